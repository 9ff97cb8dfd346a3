#include "calls/call_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QVariantMap>

#include <optional>

namespace q5::calls {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAppName = QStringLiteral("Q5Client");
const QString kAppIcon = QStringLiteral("org.q5client.Q5Client");

constexpr CallNotifier::Action kActions[] = {CallNotifier::Action::Answer,
                                             CallNotifier::Action::SendToMailbox,
                                             CallNotifier::Action::HoldRelease, CallNotifier::Action::Show};

// Whether a session bus can be reached without starting one: an address in
// the environment or the user's bus socket. (Asked for a session bus that
// is neither, the D-Bus library may try to launch a bus of its own.)
bool SessionBusAvailable() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists();
}

// The notification service on the session bus. The bus is reached on the
// first notification; signals are taken only from the service that
// answered the last Notify, so another program on the bus cannot act on a
// call.
class DBusNotificationBus final : public QObject, public NotificationBus {
    Q_OBJECT

public:
    ~DBusNotificationBus() override = default;

    void Notify(uint replaces, const QString& summary, const QString& body, const QStringList& actions,
                std::function<void(uint id)> shown) override {
        if (!Connect()) {
            shown(0);
            return;
        }
        QDBusMessage message =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
        QVariantMap hints;
        hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));  // critical: a ringing call
        hints.insert(QStringLiteral("resident"), true);                          // stays after an action
        hints.insert(QStringLiteral("desktop-entry"), kAppIcon);
        message << kAppName << replaces << kAppIcon << summary << body << actions << hints << qint32(0);
        // The answer may come after this object is gone (the window was
        // closed meanwhile): the notification it names is closed then.
        auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(message));
        connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                [bus = *bus_, alive = std::weak_ptr<DBusNotificationBus*>(self_),
                 shown = std::move(shown)](QDBusPendingCallWatcher* done) {
                    done->deleteLater();
                    const QDBusPendingReply<uint> reply = *done;
                    const std::shared_ptr<DBusNotificationBus*> self = alive.lock();
                    if (!self) {
                        if (!reply.isError()) CloseOn(bus, reply.value());
                        return;
                    }
                    if (reply.isError()) {
                        shown(0);
                        return;
                    }
                    (*self)->server_ = reply.reply().service();
                    shown(reply.value());
                });
    }

    void Close(uint id) override {
        if (Connect()) CloseOn(*bus_, id);
    }

private slots:
    void ActionInvoked(uint id, const QString& action, const QDBusMessage& message) {
        if (onAction && FromServer(message)) onAction(id, action);
    }
    void NotificationClosed(uint id, uint /*reason*/, const QDBusMessage& message) {
        if (onClosed && FromServer(message)) onClosed(id);
    }

private:
    static void CloseOn(QDBusConnection bus, uint id) {
        if (id == 0) return;
        QDBusMessage message =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
        message << id;
        bus.asyncCall(message);  // the answer says nothing we need
    }

    bool FromServer(const QDBusMessage& message) const {
        return !server_.isEmpty() && message.service() == server_;
    }

    bool Connect() {
        if (bus_) return bus_->isConnected();
        if (!SessionBusAvailable()) {
            bus_ = QDBusConnection(QString());  // not connected
            return false;
        }
        bus_ = QDBusConnection::sessionBus();
        if (!bus_->isConnected()) return false;
        // No service name: matching on it would ask the bus for its owner
        // and wait; the sender is checked in the slots instead.
        bus_->connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                      SLOT(ActionInvoked(uint, QString, QDBusMessage)));
        bus_->connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                      SLOT(NotificationClosed(uint, uint, QDBusMessage)));
        return true;
    }

    std::optional<QDBusConnection> bus_;
    QString server_;  // the unique name of the service that answered
    std::shared_ptr<DBusNotificationBus*> self_ = std::make_shared<DBusNotificationBus*>(this);
};

}  // namespace

std::unique_ptr<NotificationBus> MakeDBusNotificationBus() {
    return std::make_unique<DBusNotificationBus>();
}

CallNotifier::CallNotifier(std::unique_ptr<NotificationBus> bus, std::function<bool()> enabled,
                           QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      enabled_(std::move(enabled)),
      self_(std::make_shared<CallNotifier*>(this)) {
    bus_->onAction = [this](uint id, const QString& action) { ActionOf(id, action); };
    bus_->onClosed = [this](uint id) { ClosedByService(id); };
}

CallNotifier::~CallNotifier() {
    EndAll();
    bus_->onAction = nullptr;
    bus_->onClosed = nullptr;
}

QString CallNotifier::Summary(const CallNotice& notice) {
    const QString caller = !notice.name.trimmed().isEmpty() ? notice.name.trimmed() : notice.number.trimmed();
    return caller.isEmpty() ? tr("Incoming call") : tr("Call from %1").arg(caller);
}

QString CallNotifier::Body(const CallNotice& notice) {
    // The service may read the body as markup; the texts come from the
    // network.
    QStringList lines;
    if (!notice.name.trimmed().isEmpty() && !notice.number.trimmed().isEmpty())
        lines << notice.number.trimmed().toHtmlEscaped();
    if (!notice.status.isEmpty()) lines << notice.status.toHtmlEscaped();
    return lines.join(QLatin1Char('\n'));
}

QString CallNotifier::ActionKey(Action action) {
    switch (action) {
        case Action::Answer:
            return QStringLiteral("answer");
        case Action::SendToMailbox:
            return QStringLiteral("mailbox");
        case Action::HoldRelease:
            return QStringLiteral("hold");
        case Action::Show:
            return QStringLiteral("show");
    }
    return {};
}

QStringList CallNotifier::Actions() {
    return {ActionKey(Action::Answer),        tr("Answer"),
            ActionKey(Action::SendToMailbox), tr("Send to Mailbox"),
            ActionKey(Action::HoldRelease),   tr("Hold / Release"),
            ActionKey(Action::Show),          tr("Show")};
}

void CallNotifier::CallArrived(const QString& key, const CallNotice& notice) {
    if (calls_.contains(key)) {
        CallChanged(key, notice);
        return;
    }
    if (!enabled_ || !enabled_()) return;
    Shown& shown = calls_[key];
    shown.notice = notice;
    Send(key);
}

void CallNotifier::CallChanged(const QString& key, const CallNotice& notice) {
    const auto it = calls_.find(key);
    if (it == calls_.end() || it->ended) return;
    it->notice = notice;
    if (it->waiting) {
        it->stale = true;
        return;
    }
    Send(key);
}

void CallNotifier::CallEnded(const QString& key) {
    const auto it = calls_.find(key);
    if (it == calls_.end()) return;
    if (it->waiting) {
        it->ended = true;
        return;
    }
    const uint id = it->id;
    calls_.erase(it);
    bus_->Close(id);
}

void CallNotifier::EndAll() {
    const QStringList keys = calls_.keys();
    for (const QString& key : keys) CallEnded(key);
}

void CallNotifier::Send(const QString& key) {
    Shown& shown = calls_[key];
    shown.waiting = true;
    shown.stale = false;
    const std::weak_ptr<CallNotifier*> alive = self_;
    bus_->Notify(shown.id, Summary(shown.notice), Body(shown.notice), Actions(), [alive, key](uint id) {
        if (const std::shared_ptr<CallNotifier*> self = alive.lock()) (*self)->Answered(key, id);
    });
}

void CallNotifier::Answered(const QString& key, uint id) {
    const auto it = calls_.find(key);
    if (it == calls_.end()) {
        // Ended while the notifier was going away.
        bus_->Close(id);
        return;
    }
    it->waiting = false;
    if (id == 0) {
        // No service: the call goes on without a notification.
        calls_.erase(it);
        return;
    }
    it->id = id;
    if (it->ended) {
        calls_.erase(it);
        bus_->Close(id);
    } else if (it->stale) {
        Send(key);
    }
}

QString CallNotifier::KeyOf(uint id) const {
    if (id == 0) return {};
    for (auto it = calls_.cbegin(); it != calls_.cend(); ++it)
        if (it->id == id) return it.key();
    return {};
}

void CallNotifier::ActionOf(uint id, const QString& action) {
    const QString key = KeyOf(id);
    if (key.isEmpty()) return;
    // "default" is a click on the notification itself.
    if (action == QLatin1String("default")) {
        emit actionInvoked(key, Action::Show);
        return;
    }
    for (const Action known : kActions) {
        if (action == ActionKey(known)) {
            emit actionInvoked(key, known);
            return;
        }
    }
}

void CallNotifier::ClosedByService(uint id) {
    // Dismissed by the user (or expired): later changes of the call do not
    // bring it back.
    const QString key = KeyOf(id);
    if (key.isEmpty()) return;
    const auto it = calls_.find(key);
    if (it->waiting) {
        it->ended = true;  // the replacement on its way is closed when it arrives
        return;
    }
    calls_.erase(it);
}

}  // namespace q5::calls

#include "call_notifier.moc"
