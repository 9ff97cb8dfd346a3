// The session-wide state of the desktop program, owned here and nowhere
// else: the one session object with its four views, and the values of the
// logged-in session that every window reads.
//
// Thread rule: UI thread only. The session object is apartment-threaded and
// is created by CreateSession on the thread that runs the program's windows.
#pragma once

#include <QString>

#include "q5client/q5client.h"

namespace q5 {

extern ComPtr<IUnknown> gSession;    // CoQ5Client, created once by CreateSession
extern ComPtr<IQ5Connect> gConnect;  // Connect, Login, Quit, Close
extern ComPtr<IQ5Admin> gAdmin;
extern ComPtr<IQ5Util> gUtil;    // KeepAlive, files, conversions
extern ComPtr<IQ5Table> gTable;  // table and record access
extern QString gUserName;        // trimmed; the mailbox number of every call
extern QString gPassword;        // trimmed
extern QString gHost;            // trimmed host text
extern bool gLoggedIn;
extern bool gNameScreening;  // mailbox screens calls with a recorded name
extern bool gFieldsChanged;  // an editing window holds unsaved changes

// Creates gSession through the component runtime and takes its views in the
// order IQ5Connect, IQ5Admin, IQ5Util, IQ5Table. On failure everything stays
// empty and the failing code is returned.
HRESULT CreateSession();

// Drops the views and the session object (at program end), and resets the
// session values to their start.
void ReleaseSession();

}  // namespace q5
