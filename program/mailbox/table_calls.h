// TableCalls: the mailbox windows' road to the session's IQ5Table, with the
// window's error policy applied to every call. Once a call ended the
// operation, the remaining calls of that operation do nothing.
//
//   Policy::skip_refusals (mailbox editor, advanced settings): E_FAIL sets
//     the failure flag and the operation goes on; E_CONNECTION_LOST asks
//     "Disconnected..." (OK opens the login window, Cancel ends the program)
//     and ends the operation; any other error shows its number followed by
//     its description and ends the operation.
//   Policy::show_each (conversion table): every error shows its description
//     and the operation goes on.
//   Policy::stop_at_first (call-out settings): the first error is reported
//     (E_CONNECTION_LOST as above, else number and description) and ends the
//     operation; the window and its edits stay.
//
// Each call is one wait of the window on the session (Session::Call), so a
// report can come between two calls as it always did.
//
// Thread rule: UI thread only.
#pragma once

#include <QString>

#include <optional>

#include "q5client/q5client.h"

class QWidget;

namespace q5 {
class Session;
class WindowManager;
}  // namespace q5

namespace q5::mailbox {

// The three outcomes of a failed call as the windows show them.
// ReportError: "Disconnected..." for a lost connection (OK opens the login
// window, Cancel ends the program), else number and description.
void ReportError(HRESULT hr, WindowManager& windows, QWidget* parent);
// The description alone (conversion table).
void ReportDescription(HRESULT hr, QWidget* parent);

class TableCalls {
public:
    enum class Policy { skip_refusals, show_each, stop_at_first };

    // `parent` is the window that waits and that the reports belong to.
    TableCalls(Session& session, WindowManager& windows, Policy policy, QWidget* parent);

    bool SetTable(const QString& name);
    bool GetRecord();
    // The field's value, or nothing when the call failed.
    std::optional<QString> GetField(const QString& name);
    bool SetField(const QString& name, const QString& value);
    bool PutRecord();

    // Set by a refused call (E_FAIL) under skip_refusals.
    bool failed() const { return failed_; }
    void ClearFailed() { failed_ = false; }
    // An error ended the operation; the remaining calls do nothing.
    bool ended() const { return ended_; }

private:
    bool Check(HRESULT hr);
    // Runs `call` with the session's table view; E_POINTER without one.
    template <class Call>
    HRESULT OnTable(Call&& call);

    Session& session_;
    WindowManager& windows_;
    Policy policy_;
    QWidget* parent_;
    bool failed_ = false;
    bool ended_ = false;
};

}  // namespace q5::mailbox
