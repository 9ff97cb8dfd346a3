// Text crossing the component boundary: BSTR arguments become 8-bit wire
// text (a null BSTR stays null and is sent as empty text); wire text becomes
// a newly allocated BSTR that the caller frees.
//
// Thread rule: stateless; any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "q5client/com.h"

namespace q5::component {

class WireArg {
public:
    explicit WireArg(BSTR text);
    bool is_null() const noexcept { return !text_; }
    // The converted text; empty text for a null argument.
    const char* c_str() const noexcept { return text_ ? text_->c_str() : ""; }
    const std::string& str() const noexcept;

private:
    std::optional<std::string> text_;
};

// A new BSTR holding wire text converted from the code page; null when out of memory.
BSTR ToBstr(std::string_view wire);
BSTR ToBstr(std::u16string_view text);

}  // namespace q5::component
