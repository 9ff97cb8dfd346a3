// What registration publishes: for each class its programmatic identifiers,
// class key (library path, threading model, type library) and the type
// library with its interfaces.
//
// Thread rule: registration runs from one thread (the registration tool).
#pragma once

#include <string>

#include "q5client/com.h"

namespace q5::component {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::string GuidText(REFGUID guid);

HRESULT RegisterAll(const std::string& library_path) noexcept;
HRESULT UnregisterAll() noexcept;

}  // namespace q5::component
