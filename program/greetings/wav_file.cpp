#include "greetings/wav_file.h"

#include <sndfile.h>

#include <QCoreApplication>
#include <QFile>

namespace q5::media {

namespace {

QByteArray NativePath(const QString& path) {
    return QFile::encodeName(path);
}

}  // namespace

bool ReadSoundFile(const QString& path, SoundData& out, QString* error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(NativePath(path).constData(), SFM_READ, &info);
    if (!file) {
        if (error)
            *error = QCoreApplication::translate("WavFile", "Cannot open %1: %2")
                         .arg(path, QString::fromLocal8Bit(sf_strerror(nullptr)));
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        if (error) *error = QCoreApplication::translate("WavFile", "%1 has no sound").arg(path);
        return false;
    }
    out.rate = info.samplerate;
    out.samples.clear();
    out.samples.reserve(static_cast<size_t>(info.frames > 0 ? info.frames : 0));
    const int channels = info.channels;
    std::vector<int16_t> block(static_cast<size_t>(4096 * channels));
    for (;;) {
        const sf_count_t got = sf_readf_short(file, block.data(), 4096);
        if (got <= 0) break;
        for (sf_count_t frame = 0; frame < got; ++frame) {
            int32_t sum = 0;
            for (int c = 0; c < channels; ++c) sum += block[static_cast<size_t>(frame * channels + c)];
            out.samples.push_back(static_cast<int16_t>(sum / channels));
        }
    }
    const int problem = sf_error(file);
    sf_close(file);
    if (problem != SF_ERR_NO_ERROR) {
        if (error)
            *error = QCoreApplication::translate("WavFile", "Cannot read %1: %2")
                         .arg(path, QString::fromLocal8Bit(sf_error_number(problem)));
        return false;
    }
    return true;
}

WavWriter::~WavWriter() {
    Close();
}

bool WavWriter::Open(const QString& path, int rate, QString* error) {
    Close();
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(NativePath(path).constData(), SFM_WRITE, &info);
    frames_ = 0;
    failed_ = false;
    if (!file_) {
        if (error)
            *error = QCoreApplication::translate("WavFile", "Cannot create %1: %2")
                         .arg(path, QString::fromLocal8Bit(sf_strerror(nullptr)));
        return false;
    }
    return true;
}

bool WavWriter::Write(const int16_t* samples, int64_t count) {
    if (!file_ || failed_) return false;
    if (count <= 0) return true;
    const sf_count_t written = sf_writef_short(file_, samples, count);
    if (written != count) failed_ = true;
    if (written > 0) frames_ += written;
    return !failed_;
}

bool WavWriter::Close() {
    if (!file_) return !failed_;
    const bool closed = sf_close(file_) == 0;
    file_ = nullptr;
    return closed && !failed_;
}

bool WriteWavFile(const QString& path, int rate, const std::vector<int16_t>& samples, QString* error) {
    WavWriter writer;
    if (!writer.Open(path, rate, error)) return false;
    const bool wrote = writer.Write(samples.data(), static_cast<int64_t>(samples.size()));
    if (!writer.Close() || !wrote) {
        if (error) *error = QCoreApplication::translate("WavFile", "Cannot write %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace q5::media
