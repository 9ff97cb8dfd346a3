// Makes sure the per-user registry of classes knows CoQ5Client before the
// program creates its session. When the class is missing (or its library
// file is gone), the library installed next to the program is registered by
// loading it and running its DllRegisterServer, as q5regsvr does. Where no
// library can be found or its registration fails, the caller tells the user.
//
// Where the library is looked for, first match wins:
//   $Q5CLIENT_LIBRARY (a file path);
//   <program folder>/libq5client.so;
//   <program folder>/../lib/<multiarch>/q5client/libq5client.so (an
//     installed tree: the library folder relative to the program folder);
// and only in development and test builds (Q5_DEV_FALLBACK):
//   <program folder>/../library/component/libq5client.so (the build tree);
//   the library this program was built with.
//
// Thread rule: UI thread, before the session is created.
#pragma once

#include <QString>

namespace q5::shell {

struct RegistrationResult {
    bool ok = false;
    bool registered_now = false;  // DllRegisterServer ran
    QString library;              // the file registered or tried
    QString problem;              // why not, for the user
};

// True when CLSID_CoQ5Client names a library file that exists.
bool IsClientClassRegistered();

// Registers the library when IsClientClassRegistered() is false.
RegistrationResult EnsureClientClassRegistered(const QString& program_dir);

}  // namespace q5::shell
