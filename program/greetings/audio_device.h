// AudioDevice: what the multimedia control needs of the machine's sound
// devices, so the control's commands and modes can run against a fake.
// Samples are mono 16-bit; the device converts to and from what the
// hardware offers.
//
// Thread rule: UI thread only. Listener calls come on that thread, from the
// event loop, never from inside a Start/Stop call.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace q5::media {

class AudioDevice {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // Samples captured since the last call, at the capture rate.
        virtual void CapturedSamples(const int16_t* samples, int64_t count) = 0;
        // Every sample given to StartPlayback has been played.
        virtual void PlaybackFinished() = 0;
        // The running capture or playback broke off; the device has stopped.
        virtual void DeviceFailed(const QString& error) = 0;
    };

    virtual ~AudioDevice() = default;
    void setListener(Listener* listener) { listener_ = listener; }

    // Starts capturing from the default input at `rate`. False, with the
    // reason, when there is no input device or it cannot be started.
    virtual bool StartCapture(int rate, QString* error) = 0;
    virtual void StopCapture() = 0;
    // Starts playing a copy of `samples` at `rate` on the default output.
    virtual bool StartPlayback(const int16_t* samples, int64_t count, int rate, QString* error) = 0;
    virtual void StopPlayback() = 0;
    // Frames played since StartPlayback (at the rate given there).
    virtual int64_t PlayedFrames() const = 0;

protected:
    Listener* listener_ = nullptr;
};

// The default input and output of the machine, through Qt Multimedia.
std::unique_ptr<AudioDevice> CreateSystemAudioDevice();

}  // namespace q5::media
