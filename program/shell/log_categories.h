// The support log: one logging category per area of the program, written
// through Qt's message handler (standard error; the user's journal when the
// desktop started the program). Warnings are on by default; --verbose turns
// on the debug and info messages of every q5client.* category. QT_LOGGING_RULES
// still has the last word, as Qt documents.
//
// What goes in: every failure that reaches a message box, with its code
// (MessageService logs it, the code taken from the failure ErrorOf read
// last), and the session's events (login, connection lost, reconnect,
// cancel). Never a password: nothing logs the login's password or the
// commands that carry it.
//
// Thread rule: the categories and CodeText on any thread; SetUpLogging on
// the UI thread before the first window.
#pragma once

#include <QLoggingCategory>
#include <QString>

#include "q5client/com.h"

namespace q5::shell {

Q_DECLARE_LOGGING_CATEGORY(lcSession)    // "q5client.session": login, connection, waits
Q_DECLARE_LOGGING_CATEGORY(lcCalls)      // "q5client.calls": call control and contacts
Q_DECLARE_LOGGING_CATEGORY(lcGreetings)  // "q5client.greetings"
Q_DECLARE_LOGGING_CATEGORY(lcMailbox)    // "q5client.mailbox": the mailbox windows

// Names each message by its category and, with `verbose`, enables the
// debug and info messages of q5client.*.
void SetUpLogging(bool verbose);

// A result code as the log writes it: "0x80004005 (-2147467259)", the
// hexadecimal form beside the signed number the message boxes show.
QString CodeText(HRESULT hr);

// The category of a window's messages, by the window's class name (such as
// "q5::frmCallControl"); the session's for any other window or none.
using LogArea = const QLoggingCategory& (*)();
LogArea AreaOfWindow(const char* class_name);

}  // namespace q5::shell
