// A sound device for tests: records what the control asked of it, fails on
// request, and lets the test deliver captured samples, move the playback
// position and end a playback.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "greetings/audio_device.h"

namespace q5test {

struct FakeDeviceState {
    bool capturing = false;
    bool playing = false;
    int capture_rate = 0;
    int play_rate = 0;
    std::vector<int16_t> played;  // what the last StartPlayback was given
    int64_t played_frames = 0;
    int captures_started = 0;
    int playbacks_started = 0;
    QString fail_capture;   // non-empty: StartCapture fails with it
    QString fail_playback;  // non-empty: StartPlayback fails with it
    q5::media::AudioDevice::Listener* listener = nullptr;
};

class FakeAudioDevice final : public q5::media::AudioDevice {
public:
    explicit FakeAudioDevice(FakeDeviceState& state) : state_(state) {}
    ~FakeAudioDevice() override { state_.listener = nullptr; }

    bool StartCapture(int rate, QString* error) override {
        state_.listener = listener_;
        if (!state_.fail_capture.isEmpty()) {
            *error = state_.fail_capture;
            return false;
        }
        state_.capturing = true;
        state_.capture_rate = rate;
        ++state_.captures_started;
        return true;
    }
    void StopCapture() override { state_.capturing = false; }
    bool StartPlayback(const int16_t* samples, int64_t count, int rate, QString* error) override {
        state_.listener = listener_;
        if (!state_.fail_playback.isEmpty()) {
            *error = state_.fail_playback;
            return false;
        }
        state_.playing = true;
        state_.play_rate = rate;
        state_.played.assign(samples, samples + count);
        state_.played_frames = 0;
        ++state_.playbacks_started;
        return true;
    }
    void StopPlayback() override { state_.playing = false; }
    int64_t PlayedFrames() const override { return state_.played_frames; }

private:
    FakeDeviceState& state_;
};

}  // namespace q5test
