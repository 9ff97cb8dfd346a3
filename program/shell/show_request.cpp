#include "shell/show_request.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include "shell/instance_lock.h"

namespace q5::shell {

namespace {

constexpr char kRequest[] = "show\n";
constexpr char kShown[] = "shown\n";
constexpr char kRefused[] = "refused\n";
constexpr int kMaxLine = 16;
constexpr int kPatienceMs = 3000;

}  // namespace

ShowRequestServer::ShowRequestServer(std::function<bool()> show_hidden, QObject* parent)
    : QObject(parent), show_hidden_(std::move(show_hidden)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &ShowRequestServer::Accept);
}

ShowRequestServer::~ShowRequestServer() = default;

QString ShowRequestServer::SocketPath() {
    return QFileInfo(InstanceLock::LockPath()).absolutePath() + QStringLiteral("/q5client.show");
}

bool ShowRequestServer::Listen() {
    const QString path = SocketPath();
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

void ShowRequestServer::Accept() {
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        // A peer that never says its word is dropped.
        QTimer::singleShot(kPatienceMs, peer, [peer] { peer->abort(); });
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            if (!peer->canReadLine()) {
                if (peer->bytesAvailable() > kMaxLine) peer->abort();
                return;
            }
            const QByteArray line = peer->readLine(kMaxLine);
            const bool shown = line == kRequest && show_hidden_ && show_hidden_();
            peer->write(shown ? kShown : kRefused);
            peer->disconnectFromServer();
        });
    }
}

bool AskRunningInstanceToShow() {
    QLocalSocket socket;
    socket.connectToServer(ShowRequestServer::SocketPath());
    if (!socket.waitForConnected(kPatienceMs)) return false;
    socket.write(kRequest);
    if (!socket.waitForBytesWritten(kPatienceMs)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kPatienceMs) || socket.bytesAvailable() > kMaxLine) return false;
    }
    return socket.readLine(kMaxLine) == kShown;
}

}  // namespace q5::shell
