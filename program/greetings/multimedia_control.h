// MultimediaControl: the recorder and player of wave files that the
// greeting manager and call control drive by commands.
//
//   control.setFileName(path);            // the sound file to play or record
//   control.Command("open");              // existing file: loaded for play;
//                                         // missing file: empty, for record
//   control.Command("play");              // plays from the current position
//   control.Command("record");            // records 8 kHz 16-bit mono
//   control.Command("stop");              // stops playing or recording
//   control.Command("save");              // ends a recording and writes it
//                                         // (padded to an even sample count)
//   control.Command("prev");              // stops and rewinds to the start
//   control.Command("pause");             // pauses; "play"/"record" resume
//   control.Command("close");             // stops, drops an unsaved recording
//
// Commands are case-insensitive. A command that fails returns false and
// leaves the mode as it was; error() tells why ("No audio output device is
// available", "Cannot open …"). Nothing throws, nothing shows a window.
//
// A recording goes to a temporary file beside the target file; "save"
// replaces the target with it in one rename, so the previous file stays
// intact until the new recording has been written, and "close" without
// "save" leaves it untouched.
//
// statusUpdate() is emitted on every change of mode and, while playing or
// recording, every 100 ms (position() moves); done() when playback reaches
// the end. Positions and lengths are in milliseconds.
//
// Thread rule: UI thread only (it lives on the thread that created it; its
// signals come from that thread's event loop or from inside Command()).
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

#include "greetings/audio_device.h"
#include "greetings/wav_file.h"

namespace q5::media {

enum class Mode { not_open, stopped, playing, recording, paused, ready };

class MultimediaControl : public QObject, private AudioDevice::Listener {
    Q_OBJECT

public:
    // On the machine's default sound devices.
    explicit MultimediaControl(QObject* parent = nullptr);
    // On the given device (tests give a fake).
    explicit MultimediaControl(std::unique_ptr<AudioDevice> device, QObject* parent = nullptr);
    ~MultimediaControl() override;

    void setFileName(const QString& path) { file_name_ = path; }
    const QString& fileName() const { return file_name_; }

    bool Command(const QString& command);
    const QString& error() const { return error_; }

    Mode mode() const { return mode_; }
    int64_t position() const;  // ms
    int64_t length() const;    // ms
    // True while a recording waits for "save".
    bool hasUnsavedRecording() const { return writer_.isOpen(); }

    // Emits statusUpdate() with the current position (the timer's work;
    // tests call it directly).
    void Tick();

signals:
    void statusUpdate();
    void done();

private:
    bool Open();
    bool Play();
    bool Record();
    bool Stop();
    bool Pause();
    bool Prev();
    bool Save();
    void Close();
    bool Fail(const QString& error);
    void SetMode(Mode mode);
    void StopDevice();
    void DiscardRecording();
    int64_t CurrentFrame() const;

    void CapturedSamples(const int16_t* samples, int64_t count) override;
    void PlaybackFinished() override;
    void DeviceFailed(const QString& error) override;

    std::unique_ptr<AudioDevice> device_;
    QString file_name_;
    QString error_;
    Mode mode_ = Mode::not_open;
    Mode paused_from_ = Mode::stopped;  // what "paused" interrupted
    SoundData sound_;                   // what "play" plays
    int64_t frame_ = 0;                 // position while not playing
    int64_t play_from_ = 0;             // frame where the running playback began
    WavWriter writer_;                  // the recording in progress
    QString temp_path_;                 // its temporary file
    QTimer timer_;
};

}  // namespace q5::media
