#include "greetings/multimedia_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>

namespace q5::media {

namespace {

constexpr int kTickMs = 100;

int64_t FramesToMs(int64_t frames, int rate) {
    return rate > 0 ? frames * 1000 / rate : 0;
}

}  // namespace

MultimediaControl::MultimediaControl(QObject* parent)
    : MultimediaControl(CreateSystemAudioDevice(), parent) {}

MultimediaControl::MultimediaControl(std::unique_ptr<AudioDevice> device, QObject* parent)
    : QObject(parent), device_(std::move(device)) {
    device_->setListener(this);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &MultimediaControl::Tick);
}

MultimediaControl::~MultimediaControl() {
    StopDevice();
    DiscardRecording();
    device_->setListener(nullptr);
}

bool MultimediaControl::Command(const QString& command) {
    const QString verb = command.trimmed().toLower();
    error_.clear();
    if (verb == QLatin1String("open")) return Open();
    if (verb == QLatin1String("close")) {
        Close();
        return true;
    }
    if (mode_ == Mode::not_open &&
        (verb == QLatin1String("play") || verb == QLatin1String("record") || verb == QLatin1String("stop") ||
         verb == QLatin1String("save") || verb == QLatin1String("prev") || verb == QLatin1String("pause"))) {
        return Fail(tr("The device is not open"));
    }
    if (verb == QLatin1String("play")) return Play();
    if (verb == QLatin1String("record")) return Record();
    if (verb == QLatin1String("stop")) return Stop();
    if (verb == QLatin1String("save")) return Save();
    if (verb == QLatin1String("prev")) return Prev();
    if (verb == QLatin1String("pause")) return Pause();
    return Fail(tr("Unknown command: %1").arg(command));
}

bool MultimediaControl::Fail(const QString& error) {
    error_ = error;
    return false;
}

void MultimediaControl::SetMode(Mode mode) {
    mode_ = mode;
    if (mode == Mode::playing || mode == Mode::recording) {
        timer_.start();
    } else {
        timer_.stop();
    }
    emit statusUpdate();
}

void MultimediaControl::Tick() {
    emit statusUpdate();
}

int64_t MultimediaControl::CurrentFrame() const {
    const int64_t total = static_cast<int64_t>(sound_.samples.size());
    if (mode_ == Mode::playing) return std::min(total, play_from_ + device_->PlayedFrames());
    return std::min(total, frame_);
}

int64_t MultimediaControl::position() const {
    return FramesToMs(CurrentFrame(), sound_.rate);
}

int64_t MultimediaControl::length() const {
    return FramesToMs(static_cast<int64_t>(sound_.samples.size()), sound_.rate);
}

bool MultimediaControl::Open() {
    if (mode_ != Mode::not_open) Close();
    SoundData sound;
    sound.rate = kRecordRate;
    if (!file_name_.isEmpty() && QFileInfo::exists(file_name_)) {
        QString problem;
        if (!ReadSoundFile(file_name_, sound, &problem)) return Fail(problem);
    }
    sound_ = std::move(sound);
    frame_ = 0;
    SetMode(Mode::stopped);
    return true;
}

bool MultimediaControl::Play() {
    if (mode_ == Mode::playing) return true;
    if (mode_ == Mode::recording || (mode_ == Mode::paused && paused_from_ == Mode::recording)) {
        return Fail(tr("The device is recording"));
    }
    if (sound_.samples.empty()) return Fail(tr("There is nothing to play"));
    const int64_t total = static_cast<int64_t>(sound_.samples.size());
    if (frame_ >= total) frame_ = 0;
    QString problem;
    if (!device_->StartPlayback(sound_.samples.data() + frame_, total - frame_, sound_.rate, &problem)) {
        return Fail(problem);
    }
    play_from_ = frame_;
    SetMode(Mode::playing);
    return true;
}

bool MultimediaControl::Record() {
    if (mode_ == Mode::recording) return true;
    const bool resume = mode_ == Mode::paused && paused_from_ == Mode::recording && writer_.isOpen();
    if (mode_ == Mode::playing || mode_ == Mode::paused) {
        if (!resume) {
            frame_ = CurrentFrame();
            device_->StopPlayback();
        }
    }
    if (!resume) {
        if (file_name_.isEmpty()) return Fail(tr("No file name is set"));
        DiscardRecording();
        const QFileInfo target(file_name_);
        QTemporaryFile temp(target.absolutePath() + QLatin1Char('/') + target.fileName() +
                            QStringLiteral(".XXXXXX.part"));
        temp.setAutoRemove(false);
        if (!temp.open()) return Fail(tr("Cannot create a file in %1").arg(target.absolutePath()));
        temp_path_ = temp.fileName();
        temp.close();
        QString problem;
        if (!writer_.Open(temp_path_, kRecordRate, &problem)) {
            DiscardRecording();
            return Fail(problem);
        }
    }
    QString problem;
    if (!device_->StartCapture(kRecordRate, &problem)) {
        if (!resume) DiscardRecording();
        if (mode_ == Mode::playing || mode_ == Mode::paused) SetMode(Mode::stopped);
        return Fail(problem);
    }
    if (!resume) {
        sound_.rate = kRecordRate;
        sound_.samples.clear();
        frame_ = 0;
    }
    SetMode(Mode::recording);
    return true;
}

void MultimediaControl::StopDevice() {
    if (mode_ == Mode::playing) {
        frame_ = CurrentFrame();
        device_->StopPlayback();
    } else if (mode_ == Mode::recording) {
        device_->StopCapture();
        frame_ = static_cast<int64_t>(sound_.samples.size());
    }
}

bool MultimediaControl::Stop() {
    StopDevice();
    if (mode_ != Mode::stopped) SetMode(Mode::stopped);
    return true;
}

bool MultimediaControl::Pause() {
    if (mode_ != Mode::playing && mode_ != Mode::recording) return true;
    paused_from_ = mode_;
    StopDevice();
    SetMode(Mode::paused);
    return true;
}

bool MultimediaControl::Prev() {
    StopDevice();
    frame_ = 0;
    SetMode(Mode::stopped);
    return true;
}

bool MultimediaControl::Save() {
    StopDevice();
    if (mode_ != Mode::stopped) SetMode(Mode::stopped);
    if (!writer_.isOpen()) return true;
    // A whole number of sample pairs: 4-bit VOX keeps two samples a byte,
    // and the server's conversion takes only whole bytes.
    if (writer_.frames() % 2 != 0) {
        const int16_t silence = 0;
        writer_.Write(&silence, 1);
        sound_.samples.push_back(silence);
    }
    if (!writer_.Close()) {
        DiscardRecording();
        return Fail(tr("Cannot write the recording to %1").arg(file_name_));
    }
    // One rename replaces the old file, so it survives any failure before.
    if (std::rename(QFile::encodeName(temp_path_).constData(), QFile::encodeName(file_name_).constData()) !=
        0) {
        DiscardRecording();
        return Fail(tr("Cannot replace %1").arg(file_name_));
    }
    temp_path_.clear();
    // The temporary file was private, and the recording stays so (0600).
    QFile::setPermissions(file_name_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    emit statusUpdate();
    return true;
}

void MultimediaControl::Close() {
    StopDevice();
    DiscardRecording();
    sound_ = SoundData{};
    frame_ = 0;
    if (mode_ != Mode::not_open) SetMode(Mode::not_open);
}

void MultimediaControl::DiscardRecording() {
    writer_.Close();
    if (!temp_path_.isEmpty()) QFile::remove(temp_path_);
    temp_path_.clear();
}

void MultimediaControl::CapturedSamples(const int16_t* samples, int64_t count) {
    if (mode_ != Mode::recording || count <= 0) return;
    if (!writer_.Write(samples, count)) {
        error_ = tr("Cannot write the recording");
        // The device is delivering right now: stop it from the event loop.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (mode_ != Mode::recording) return;
                StopDevice();
                SetMode(Mode::stopped);
            },
            Qt::QueuedConnection);
        return;
    }
    sound_.samples.insert(sound_.samples.end(), samples, samples + count);
}

void MultimediaControl::PlaybackFinished() {
    if (mode_ != Mode::playing) return;
    device_->StopPlayback();
    frame_ = static_cast<int64_t>(sound_.samples.size());
    SetMode(Mode::stopped);
    emit done();
}

void MultimediaControl::DeviceFailed(const QString& error) {
    if (mode_ != Mode::playing && mode_ != Mode::recording) return;
    StopDevice();
    error_ = error;
    SetMode(Mode::stopped);
}

}  // namespace q5::media
