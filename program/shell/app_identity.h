// How the program names itself to the desktop: the application id that
// names its desktop entry, icon and AppStream data, and the window icon
// compiled into the program (drawn from dist/org.q5client.Q5Client.svg), so
// that it shows from the build tree as well as when installed.
//
// Thread rule: UI thread, after the application object exists.
#pragma once

namespace q5::shell {

inline constexpr char kApplicationId[] = "org.q5client.Q5Client";

// Sets the desktop file name and the window icon of the application.
void ApplyDesktopIdentity();

}  // namespace q5::shell
