// Where the program is put together: the greeting manager registered with
// the window manager.
//
// Thread rule: UI thread only.
#pragma once

#include "greetings/frm_greeting.h"

namespace q5::greetings {

struct GreetingWindowsOptions {
    frmGreeting::DeviceFactory devices;  // empty: the machine's sound devices
};

void RegisterWindows(WindowManager& windows, GreetingWindowsOptions options = {});

}  // namespace q5::greetings
