// Sound files of the recorder, through libsndfile: whole-file reading of any
// format libsndfile knows (mixed down to mono 16-bit samples) and
// incremental writing of 16-bit PCM mono WAV files, the format the server
// converts to VOX.
//
// Thread rule: any thread; one object is used by one thread at a time.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

struct sf_private_tag;  // libsndfile's SNDFILE

namespace q5::media {

// The recording format: 8 kHz, 16-bit, mono.
inline constexpr int kRecordRate = 8000;

struct SoundData {
    int rate = 0;                  // frames per second
    std::vector<int16_t> samples;  // mono
};

// Reads the whole file, averaging its channels into one. False, with the
// reason in `error`, when the file cannot be opened or read as sound.
bool ReadSoundFile(const QString& path, SoundData& out, QString* error);

// Writes a 16-bit PCM mono WAV file sample block by sample block; the
// header is complete once Close returns true.
class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates or truncates `path`.
    bool Open(const QString& path, int rate, QString* error);
    bool Write(const int16_t* samples, int64_t count);
    // Finishes the file; false when a write failed on the way.
    bool Close();
    bool isOpen() const { return file_ != nullptr; }
    int64_t frames() const { return frames_; }

private:
    sf_private_tag* file_ = nullptr;
    int64_t frames_ = 0;
    bool failed_ = false;
};

// Writes `samples` as a complete WAV file.
bool WriteWavFile(const QString& path, int rate, const std::vector<int16_t>& samples, QString* error);

}  // namespace q5::media
