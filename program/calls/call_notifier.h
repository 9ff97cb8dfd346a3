// CallNotifier: one desktop notification per call the call control window
// lists, with the caller and the call's status and the actions of the
// window's buttons. A new call shows one (when the user wants them), a
// change of status replaces it, the end of the call closes it; an action
// the user picks in it comes back as actionInvoked with the call's key.
//
// The notifications go through a NotificationBus; DBusNotificationBus is the
// desktop's notification service (org.freedesktop.Notifications on the
// session bus). Every D-Bus call is asynchronous: without a session bus or
// without a notification service nothing is shown and nothing waits.
//
// Thread rule: UI thread only (the bus's answers and signals arrive there).
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace q5::calls {

// The desktop's notification service, as the notifier needs it.
class NotificationBus {
public:
    virtual ~NotificationBus() = default;
    // Shows a notification, replacing the notification `replaces` when that
    // is not 0; `shown` gets its id later, 0 when there is none. `actions`
    // alternate an action's key and its label.
    virtual void Notify(uint replaces, const QString& summary, const QString& body,
                        const QStringList& actions, std::function<void(uint id)> shown) = 0;
    virtual void Close(uint id) = 0;

    // Set by the notifier: the user picked an action of notification `id`;
    // the notification `id` is gone (closed by the user or the service).
    std::function<void(uint id, const QString& action)> onAction;
    std::function<void(uint id)> onClosed;
};

// The notification service on the session bus.
std::unique_ptr<NotificationBus> MakeDBusNotificationBus();

using NotificationBusFactory = std::function<std::unique_ptr<NotificationBus>()>;

// What a call's notification says.
struct CallNotice {
    QString name;    // the caller's name ("" when unknown)
    QString number;  // formatted as the list shows it
    QString status;  // the list's "Status" text
};

class CallNotifier : public QObject {
    Q_OBJECT

public:
    // The actions of a notification, in the order of the window's buttons.
    enum class Action { Answer, SendToMailbox, HoldRelease, Show };
    Q_ENUM(Action)

    // `enabled` is asked for each new call (the user's setting).
    CallNotifier(std::unique_ptr<NotificationBus> bus, std::function<bool()> enabled,
                 QObject* parent = nullptr);
    // Closes the notifications still shown.
    ~CallNotifier() override;

    // A new call: shows its notification when notifications are enabled. A
    // call already known is updated instead.
    void CallArrived(const QString& key, const CallNotice& notice);
    // The call's status (or caller) changed: replaces its notification.
    void CallChanged(const QString& key, const CallNotice& notice);
    // The call ended: closes its notification.
    void CallEnded(const QString& key);
    // Closes every notification (the list goes away).
    void EndAll();

    // The notification's summary and body for a call.
    static QString Summary(const CallNotice& notice);
    static QString Body(const CallNotice& notice);
    // Action keys and labels, as sent with Notify.
    static QStringList Actions();
    static QString ActionKey(Action action);

signals:
    void actionInvoked(const QString& key, q5::calls::CallNotifier::Action action);

private:
    struct Shown {
        uint id = 0;           // 0 while the service has not answered
        bool waiting = false;  // a Notify is on its way
        bool stale = false;    // changed while a Notify was on its way
        bool ended = false;    // to be closed once the id is known
        CallNotice notice;
    };
    void Send(const QString& key);
    void Answered(const QString& key, uint id);
    void ActionOf(uint id, const QString& action);
    void ClosedByService(uint id);
    QString KeyOf(uint id) const;

    std::unique_ptr<NotificationBus> bus_;
    std::function<bool()> enabled_;
    QHash<QString, Shown> calls_;
    // Answers to a Notify can come after the notifier is gone.
    std::shared_ptr<CallNotifier*> self_;
};

}  // namespace q5::calls
