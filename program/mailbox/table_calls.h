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
// Thread rule: UI thread only (the session object is apartment-threaded).
#pragma once

#include <QString>

#include <optional>

#include "q5client/q5client.h"

class QWidget;

namespace q5::mailbox {

// The three outcomes of a failed call as the windows show them.
// ReportError: "Disconnected..." for a lost connection (OK opens the login
// window, Cancel ends the program), else number and description.
void ReportError(HRESULT hr, QWidget* parent);
// The description alone (conversion table).
void ReportDescription(HRESULT hr, QWidget* parent);

class TableCalls {
public:
    enum class Policy { skip_refusals, show_each, stop_at_first };

    TableCalls(IQ5Table* table, Policy policy, QWidget* parent);

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

    IQ5Table* table_;
    Policy policy_;
    QWidget* parent_;
    bool failed_ = false;
    bool ended_ = false;
};

}  // namespace q5::mailbox
