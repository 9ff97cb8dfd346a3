// Where the program is put together: the call control, PIM setup and
// properties windows registered with the window manager, and the contact
// windows' close-all hook (the open contact windows belong to the manager).
//
// Thread rule: UI thread only.
#pragma once

#include <chrono>

#include "calls/frm_call_control.h"
#include "calls/name_player.h"

namespace q5 {
class WindowManager;
}

namespace q5::calls {

class ContactWindows;

struct CallWindowsOptions {
    NamePlayerFactory name_player;  // empty: the desktop's sound player
    std::chrono::milliseconds name_fetch_limit = kNameFetchLimit;
    NotificationBusFactory notifications;  // empty: the desktop's notification service
};

void RegisterWindows(WindowManager& windows, CallWindowsOptions options = {});

// The manager's contact windows (made on first use).
ContactWindows& ContactWindowsOf(WindowManager& windows);

}  // namespace q5::calls
