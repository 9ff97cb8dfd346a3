// Show requests: how a second start of the desktop program reaches the
// running one. The running program listens on a local socket next to its
// instance lock (owner only); a second start sends the one word "show" and
// reads one word back: "shown" when the running program brought its main
// window back from the tray, "refused" otherwise (it refuses a second
// instance as before).
//
// Thread rule: UI thread (the server lives on the thread that made it).
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace q5::shell {

class ShowRequestServer : public QObject {
    Q_OBJECT

public:
    // `show_hidden` shows the main window when it is hidden in the tray and
    // says whether it did.
    explicit ShowRequestServer(std::function<bool()> show_hidden, QObject* parent = nullptr);
    ~ShowRequestServer() override;

    // Starts listening; call only while holding the instance lock (a socket
    // left by a crashed program is taken over). False when it cannot.
    bool Listen();

    static QString SocketPath();

private:
    void Accept();

    std::function<bool()> show_hidden_;
    QLocalServer* server_;
};

// Asks the running program to show its window: true when it answered
// "shown".
bool AskRunningInstanceToShow();

}  // namespace q5::shell
