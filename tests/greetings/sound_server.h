// A private sound server for the tests that need real devices: PulseAudio
// with a null sink and a null source, in its own runtime folder, reached
// through PULSE_SERVER so that every test's own XDG_RUNTIME_DIR does not
// matter. Prepared before Qt Multimedia looks for devices and started by
// the first test that needs it; stopped (by its process id) when the program ends. Without
// PulseAudio, PULSE_SERVER points nowhere, so no user's server is touched
// or spawned and the machine has no sound devices (as with
// Q5TEST_NO_SOUND_SERVER set, to try the headless case).
//
// Thread rule: main thread only.
#pragma once

#include <sys/types.h>

#include <string>

namespace q5test {

class SoundServer {
public:
    // Chooses the server's folder and points PULSE_SERVER at it; before
    // anything in the program uses Qt Multimedia.
    static void Prepare();
    // Starts the server once, or says in reason() why there is none.
    static void Start();
    static void Stop();
    static bool running();
    static const std::string& reason();
};

}  // namespace q5test
