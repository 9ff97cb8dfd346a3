// MessageService: every message box and question of the program goes
// through here, so the texts, titles, buttons and default buttons are in one
// place and tests can answer the questions. Without a responder a modal
// QMessageBox asks the user.
//
// Thread rule: UI thread only.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace q5::shell {

enum class MsgButtons { ok, ok_cancel, yes_no, yes_no_cancel };
enum class MsgIcon { none, information, warning, critical };
enum class MsgAnswer { ok, cancel, yes, no };

struct MessageRequest {
    QString text;
    QString title;
    MsgButtons buttons = MsgButtons::ok;
    MsgIcon icon = MsgIcon::none;
    MsgAnswer default_button = MsgAnswer::ok;
};

using MessageResponder = std::function<MsgAnswer(const MessageRequest&)>;

class MessageService {
public:
    // Shows the request and returns the button pressed (Escape or closing
    // the box answers Cancel where there is one, else OK).
    static MsgAnswer Show(const MessageRequest& request, QWidget* parent = nullptr);
    // Shorthand for an OK box with the application title.
    static void Inform(const QString& text, MsgIcon icon = MsgIcon::none, QWidget* parent = nullptr);

    // Installs a responder that answers instead of the user; an empty one
    // restores the message boxes. Returns the previous responder.
    static MessageResponder SetResponder(MessageResponder responder);
};

}  // namespace q5::shell
