// Text between Qt and the library's strings: both are UTF-16, so a BSTR is
// made from a QString and read back without conversion.
//
// Thread rule: plain functions; any thread.
#pragma once

#include <QString>

#include <string_view>

#include "q5client/com.h"

namespace q5 {

inline BStr ToBStr(const QString& text) {
    return BStr(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<UINT>(text.size()));
}

inline QString FromBStr(const BStr& text) {
    const std::u16string_view view = text.View();
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

}  // namespace q5
