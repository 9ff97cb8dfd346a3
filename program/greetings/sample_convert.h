// Conversion between the recorder's samples (mono, 16-bit) and whatever
// format an audio device offers: any rate, any channel count, unsigned
// 8-bit, signed 16-bit, signed 32-bit or float samples, interleaved.
//
// Thread rule: any thread; one converter object per stream.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace q5::media {

enum class SampleKind { uint8, int16, int32, float32 };

struct PcmFormat {
    int rate = 8000;
    int channels = 1;
    SampleKind kind = SampleKind::int16;
    int BytesPerFrame() const;
};

// Device input to mono 16-bit at `out_rate`, chunk by chunk: channels are
// averaged, a faster input is averaged down (each output sample is the mean
// of the input samples of its time slot), a slower one is held. Partial
// frames and the resampling phase carry over to the next chunk.
class CaptureConverter {
public:
    CaptureConverter(PcmFormat in, int out_rate);
    void Push(const char* data, int64_t bytes, std::vector<int16_t>& out);

private:
    void PushSample(int32_t value, std::vector<int16_t>& out);

    PcmFormat in_;
    double step_;        // input samples per output sample
    double boundary_;    // input index at which the next output sample is due
    int64_t index_ = 0;  // input samples seen
    int64_t sum_ = 0;
    int count_ = 0;
    int16_t last_ = 0;
    QByteArray partial_;  // bytes of an incomplete frame
};

// Mono 16-bit samples at `in_rate` to a device's format (nearest earlier
// sample for each output frame, copied to every channel).
QByteArray ToDeviceFormat(const int16_t* samples, int64_t count, int in_rate, PcmFormat out);

}  // namespace q5::media
