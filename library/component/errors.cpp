#include "component/errors.h"

#include <string>

#include "channel/codepage.h"

namespace q5::component {

HRESULT Raise(HRESULT code, std::u16string_view source, std::u16string_view message) noexcept {
    try {
        ICreateErrorInfo* create = nullptr;
        if (FAILED(CreateErrorInfo(&create)) || !create) return code;
        std::u16string src(source);
        std::u16string text(message);
        create->SetGUID(GUID_NULL);
        create->SetSource(src.data());
        create->SetDescription(text.data());
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info))) && info) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    } catch (...) {
        // Out of memory while building the record: the code still tells the caller.
    }
    return code;
}

HRESULT RaiseWire(HRESULT code, std::u16string_view source, std::string_view message) noexcept {
    try {
        return Raise(code, source, channel::FromWire(message));
    } catch (...) {
        return code;
    }
}

HRESULT FailCommand(const channel::ServerSession& session, channel::Outcome outcome,
                    std::u16string_view source, std::u16string_view message) noexcept {
    if (outcome == channel::Outcome::bad_argument) {
        try {
            return RaiseWire(E_INVALIDARG, source, "Invalid argument: " + session.argument_problem());
        } catch (...) {
            return E_INVALIDARG;
        }
    }
    return Raise(CodeRule(session), source, message);
}

HRESULT RaiseConnectFailed(HRESULT code, std::u16string_view source, std::u16string_view message,
                           const channel::ServerSession& session) noexcept {
    if (session.connect_problem().empty()) return Raise(code, source, message);
    try {
        return Raise(code, source,
                     std::u16string(message) + u": " + channel::FromWire(session.connect_problem()));
    } catch (...) {
        return Raise(code, source, message);
    }
}

}  // namespace q5::component
