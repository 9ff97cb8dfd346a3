#include "calls/register_windows.h"

#include "calls/frm_call_control.h"
#include "calls/frm_contact.h"
#include "calls/frm_pim_setup.h"
#include "calls/frm_properties.h"
#include "shell/window_manager.h"

namespace q5::calls {

ContactWindows& ContactWindowsOf(WindowManager& windows) {
    auto* open = windows.findChild<ContactWindows*>(QString(), Qt::FindDirectChildrenOnly);
    if (!open) {
        open = new ContactWindows(&windows);
        windows.AddEditingWindows([open] { return open->CloseAll(); });
    }
    return *open;
}

void RegisterWindows(WindowManager& windows, CallWindowsOptions options) {
    ContactWindows& contacts = ContactWindowsOf(windows);
    windows.Register(WindowKind::CallControl, [&windows, &contacts, player = std::move(options.name_player),
                                               limit = options.name_fetch_limit,
                                               notifications = std::move(options.notifications)] {
        return new frmCallControl(windows.session(), windows, contacts, player, limit, notifications);
    });
    windows.Register(WindowKind::PIMSetup, [] { return new frmPIMSetup(); });
    windows.Register(WindowKind::Properties, [] { return new frmProperties(); });
}

}  // namespace q5::calls
