#include "component/strings.h"

#include "channel/codepage.h"

namespace q5::component {

WireArg::WireArg(BSTR text) {
    if (text) text_ = channel::ToWire(std::u16string_view(text, SysStringLen(text)));
}

const std::string& WireArg::str() const noexcept {
    static const std::string empty;
    return text_ ? *text_ : empty;
}

BSTR ToBstr(std::u16string_view text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

BSTR ToBstr(std::string_view wire) {
    return ToBstr(std::u16string_view(channel::FromWire(wire)));
}

}  // namespace q5::component
