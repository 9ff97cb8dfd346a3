#include "greetings/register_windows.h"

#include "shell/window_manager.h"

namespace q5::greetings {

void RegisterWindows(WindowManager& windows, GreetingWindowsOptions options) {
    windows.Register(WindowKind::Greeting, [&windows, devices = std::move(options.devices)] {
        return new frmGreeting(windows.session(), windows, devices);
    });
}

}  // namespace q5::greetings
