#include "mailbox/table_calls.h"

#include "mailbox/mailbox_rules.h"
#include "shell/message_service.h"
#include "shell/session.h"
#include "shell/shell_logic.h"
#include "shell/window_manager.h"

namespace q5::mailbox {

namespace {

BStr Wide(const QString& text) {
    return BStr(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<UINT>(text.size()));
}

}  // namespace

void ReportError(HRESULT hr, WindowManager& windows, QWidget* parent) {
    const shell::ErrorDetails error = shell::ErrorOf(hr);
    if (hr == E_CONNECTION_LOST) {
        windows.OfferReconnect(parent);
        return;
    }
    shell::MessageRequest request;
    request.text = shell::ErrorNumberText(hr) + error.description;
    shell::MessageService::Show(request, parent);
}

void ReportDescription(HRESULT hr, QWidget* parent) {
    shell::MessageRequest request;
    request.text = shell::ErrorOf(hr).description;
    shell::MessageService::Show(request, parent);
}

TableCalls::TableCalls(Session& session, WindowManager& windows, Policy policy, QWidget* parent)
    : session_(session), windows_(windows), policy_(policy), parent_(parent) {}

template <class Call>
HRESULT TableCalls::OnTable(Call&& call) {
    return session_.Call(parent_, [&call](const SessionViews& views) -> HRESULT {
        return views.table ? call(*views.table) : E_POINTER;
    });
}

bool TableCalls::Check(HRESULT hr) {
    if (SUCCEEDED(hr)) return true;
    switch (policy_) {
        case Policy::skip_refusals:
            switch (OutcomeOf(hr)) {
                case ErrorOutcome::skip:
                    shell::ErrorOf(hr);  // the record is read and dropped
                    failed_ = true;
                    return false;
                case ErrorOutcome::reconnect:
                case ErrorOutcome::show_error:
                    ended_ = true;
                    ReportError(hr, windows_, parent_);
                    return false;
            }
            return false;
        case Policy::show_each:
            ReportDescription(hr, parent_);
            return false;
        case Policy::stop_at_first:
            ended_ = true;
            ReportError(hr, windows_, parent_);
            return false;
    }
    return false;
}

bool TableCalls::SetTable(const QString& name) {
    if (ended_) return false;
    BStr wide = Wide(name);
    return Check(OnTable([&](IQ5Table& table) { return table.SetTable(wide.Get()); }));
}

bool TableCalls::GetRecord() {
    if (ended_) return false;
    return Check(OnTable([](IQ5Table& table) { return table.GetRecord(); }));
}

std::optional<QString> TableCalls::GetField(const QString& name) {
    if (ended_) return std::nullopt;
    BStr wide = Wide(name);
    BStr value;
    if (!Check(OnTable([&](IQ5Table& table) {
            return table.get_GetField(wide.Get(), value.ReleaseAndGetAddressOf());
        })))
        return std::nullopt;
    const std::u16string_view view = value.View();
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

bool TableCalls::SetField(const QString& name, const QString& value) {
    if (ended_) return false;
    BStr wide_name = Wide(name);
    BStr wide_value = Wide(value);
    return Check(OnTable([&](IQ5Table& table) { return table.SetField(wide_name.Get(), wide_value.Get()); }));
}

bool TableCalls::PutRecord() {
    if (ended_) return false;
    return Check(OnTable([](IQ5Table& table) { return table.PutRecord(); }));
}

}  // namespace q5::mailbox
