#include "greetings/sample_convert.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace q5::media {

namespace {

int BytesPerSample(SampleKind kind) {
    switch (kind) {
        case SampleKind::uint8:
            return 1;
        case SampleKind::int16:
            return 2;
        case SampleKind::int32:
            return 4;
        case SampleKind::float32:
            return 4;
    }
    return 2;
}

int32_t ReadSample(const char* at, SampleKind kind) {
    switch (kind) {
        case SampleKind::uint8:
            return (static_cast<int32_t>(static_cast<uint8_t>(*at)) - 128) * 256;
        case SampleKind::int16: {
            int16_t v;
            std::memcpy(&v, at, sizeof v);
            return v;
        }
        case SampleKind::int32: {
            int32_t v;
            std::memcpy(&v, at, sizeof v);
            return v / 65536;
        }
        case SampleKind::float32: {
            float v;
            std::memcpy(&v, at, sizeof v);
            return static_cast<int32_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
        }
    }
    return 0;
}

void WriteSample(char* at, int16_t value, SampleKind kind) {
    switch (kind) {
        case SampleKind::uint8:
            *at = static_cast<char>(static_cast<uint8_t>((value / 256) + 128));
            return;
        case SampleKind::int16:
            std::memcpy(at, &value, sizeof value);
            return;
        case SampleKind::int32: {
            const int32_t v = static_cast<int32_t>(value) * 65536;
            std::memcpy(at, &v, sizeof v);
            return;
        }
        case SampleKind::float32: {
            const float v = static_cast<float>(value) / 32768.0f;
            std::memcpy(at, &v, sizeof v);
            return;
        }
    }
}

}  // namespace

int PcmFormat::BytesPerFrame() const {
    return BytesPerSample(kind) * std::max(1, channels);
}

CaptureConverter::CaptureConverter(PcmFormat in, int out_rate)
    : in_(in), step_(static_cast<double>(std::max(1, in.rate)) / std::max(1, out_rate)), boundary_(step_) {
    in_.channels = std::max(1, in_.channels);
}

void CaptureConverter::Push(const char* data, int64_t bytes, std::vector<int16_t>& out) {
    const int frame_bytes = in_.BytesPerFrame();
    const int sample_bytes = BytesPerSample(in_.kind);
    auto take_frame = [&](const char* frame) {
        int64_t sum = 0;
        for (int c = 0; c < in_.channels; ++c) sum += ReadSample(frame + c * sample_bytes, in_.kind);
        PushSample(static_cast<int32_t>(sum / in_.channels), out);
    };
    int64_t at = 0;
    if (!partial_.isEmpty()) {
        const int64_t need = frame_bytes - partial_.size();
        const int64_t take = std::min(need, bytes);
        partial_.append(data, static_cast<qsizetype>(take));
        at = take;
        if (partial_.size() < frame_bytes) return;
        take_frame(partial_.constData());
        partial_.clear();
    }
    for (; at + frame_bytes <= bytes; at += frame_bytes) take_frame(data + at);
    if (at < bytes) partial_.append(data + at, static_cast<qsizetype>(bytes - at));
}

void CaptureConverter::PushSample(int32_t value, std::vector<int16_t>& out) {
    sum_ += value;
    ++count_;
    ++index_;
    while (static_cast<double>(index_) >= boundary_ - 1e-9) {
        if (count_ > 0) {
            last_ = static_cast<int16_t>(std::clamp<int64_t>(sum_ / count_, -32768, 32767));
            sum_ = 0;
            count_ = 0;
        }
        out.push_back(last_);
        boundary_ += step_;
    }
}

QByteArray ToDeviceFormat(const int16_t* samples, int64_t count, int in_rate, PcmFormat out) {
    const int channels = std::max(1, out.channels);
    const int sample_bytes = BytesPerSample(out.kind);
    if (count <= 0 || in_rate <= 0 || out.rate <= 0) return {};
    const int64_t frames = count * out.rate / in_rate;
    QByteArray bytes(static_cast<qsizetype>(frames * channels * sample_bytes), '\0');
    char* at = bytes.data();
    for (int64_t frame = 0; frame < frames; ++frame) {
        const int64_t source = std::min(count - 1, frame * in_rate / out.rate);
        for (int c = 0; c < channels; ++c, at += sample_bytes) WriteSample(at, samples[source], out.kind);
    }
    return bytes;
}

}  // namespace q5::media
