// Conversion between the UTF-16 text of the component surface and the 8-bit
// text of the wire. The code page is CP1252 unless Q5CLIENT_CODEPAGE names
// another one that iconv knows. Characters the code page cannot hold become
// '?'; bytes it does not define become the code point of the same value.
//
// Thread rule: all functions are safe to call from any thread.
#pragma once

#include <string>
#include <string_view>

namespace q5::channel {

std::string ToWire(std::u16string_view text);
std::u16string FromWire(std::string_view bytes);
// The code page in use (as iconv names it).
const std::string& WireCodePage();

}  // namespace q5::channel
