#include "audio.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace q5sim {

namespace fs = std::filesystem;

namespace {

class SoundFile {
public:
    SoundFile(const fs::path& path, int mode, SF_INFO& info) : file_(sf_open(path.c_str(), mode, &info)) {}
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;
    ~SoundFile() { Close(); }
    SNDFILE* get() const { return file_; }
    bool Close() {
        if (!file_) return true;
        const int rc = sf_close(file_);
        file_ = nullptr;
        return rc == 0;
    }

private:
    SNDFILE* file_;
};

fs::path TempBeside(const fs::path& target) {
    fs::path temp = target;
    temp += ".q5sim-tmp";
    return temp;
}

// Writes mono samples at 8 kHz in `format` to `target`, through a temporary
// file that replaces the target only when everything was written.
bool WriteMono(const fs::path& target, int format, const std::vector<short>& samples, std::string& error) {
    const fs::path temp = TempBeside(target);
    SF_INFO info{};
    info.samplerate = kVoiceRate;
    info.channels = 1;
    info.format = format;
    {
        SoundFile out(temp, SFM_WRITE, info);
        if (!out.get()) {
            error = std::string("cannot write: ") + sf_strerror(nullptr);
            return false;
        }
        // VOX ADPCM packs two samples into a byte and cannot take an odd
        // count: pad such a sound with one silent sample.
        std::vector<short> padded;
        const std::vector<short>* data = &samples;
        if ((format & SF_FORMAT_SUBMASK) == SF_FORMAT_VOX_ADPCM && samples.size() % 2 != 0) {
            padded = samples;
            padded.push_back(0);
            data = &padded;
        }
        const auto count = static_cast<sf_count_t>(data->size());
        if (sf_write_short(out.get(), data->data(), count) != count || !out.Close()) {
            error = "write failed";
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code failed;
    fs::rename(temp, target, failed);
    if (failed) {
        error = failed.message();
        fs::remove(temp, failed);
        return false;
    }
    return true;
}

}  // namespace

bool VoxToWav(const fs::path& vox, const fs::path& wav, std::string& error) {
    SF_INFO info{};
    info.samplerate = kVoiceRate;
    info.channels = 1;
    info.format = SF_FORMAT_RAW | SF_FORMAT_VOX_ADPCM;
    std::vector<short> samples;
    {
        SoundFile in(vox, SFM_READ, info);
        if (!in.get()) {
            error = std::string("cannot read voice file: ") + sf_strerror(nullptr);
            return false;
        }
        short chunk[4096];
        sf_count_t n;
        while ((n = sf_read_short(in.get(), chunk, 4096)) > 0)
            samples.insert(samples.end(), chunk, chunk + n);
    }
    return WriteMono(wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16, samples, error);
}

bool WavToVox(const fs::path& wav, const fs::path& vox, std::string& error) {
    SF_INFO info{};
    std::vector<float> mono;
    {
        SoundFile in(wav, SFM_READ, info);
        if (!in.get()) {
            error = std::string("cannot read sound file: ") + sf_strerror(nullptr);
            return false;
        }
        if (info.channels < 1 || info.samplerate < 1) {
            error = "sound file without channels";
            return false;
        }
        std::vector<float> frames(4096 * static_cast<std::size_t>(info.channels));
        sf_count_t n;
        while ((n = sf_readf_float(in.get(), frames.data(), 4096)) > 0) {
            for (sf_count_t f = 0; f < n; ++f) {
                float sum = 0;
                for (int c = 0; c < info.channels; ++c)
                    sum += frames[static_cast<std::size_t>(f * info.channels + c)];
                mono.push_back(sum / static_cast<float>(info.channels));
            }
        }
    }
    // Linear interpolation to 8 kHz; VOX holds 12-bit samples, so this is
    // as good as the target can keep.
    std::vector<short> samples;
    const double step = static_cast<double>(info.samplerate) / kVoiceRate;
    const std::size_t count =
        mono.empty() ? 0 : static_cast<std::size_t>(static_cast<double>(mono.size()) / step);
    samples.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double at = static_cast<double>(i) * step;
        const auto left = static_cast<std::size_t>(at);
        const std::size_t right = std::min(left + 1, mono.size() - 1);
        const double weight = at - static_cast<double>(left);
        const double value = mono[left] * (1.0 - weight) + mono[right] * weight;
        samples.push_back(static_cast<short>(std::clamp(value, -1.0, 1.0) * 32767.0));
    }
    return WriteMono(vox, SF_FORMAT_RAW | SF_FORMAT_VOX_ADPCM, samples, error);
}

bool WriteSyntheticVox(const fs::path& vox, double seconds, int variant, std::string& error) {
    const auto count = static_cast<std::size_t>(std::max(0.0, seconds) * kVoiceRate);
    std::vector<short> samples(count);
    const double base = 180.0 + 37.0 * (variant % 7);
    constexpr double kPi = 3.14159265358979323846;
    double phase = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kVoiceRate;
        // Syllable-like bursts of a gliding tone with a soft envelope.
        const double syllable = std::fmod(t, 0.25) / 0.25;
        const double envelope = std::sin(kPi * syllable);
        const double frequency = base * (1.0 + 0.3 * syllable);
        phase += 2 * kPi * frequency / kVoiceRate;
        samples[i] = static_cast<short>(9000.0 * envelope * (std::sin(phase) + 0.3 * std::sin(3 * phase)));
    }
    return WriteMono(vox, SF_FORMAT_RAW | SF_FORMAT_VOX_ADPCM, samples, error);
}

}  // namespace q5sim
