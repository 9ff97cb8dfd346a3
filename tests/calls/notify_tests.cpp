// The call notifications, end to end: the call control window against
// q5sim, and a fake notification service on a private session bus (this
// binary runs under dbus-run-session) that records what it is asked and can
// send the user's action back.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QTest>
#include <QTreeWidget>

#include <chrono>
#include <ostream>
#include <functional>
#include <thread>

#include "calls/frm_call_control.h"
#include "calls/frm_pim_setup.h"
#include "calls/register_windows.h"
#include "program_fixture.h"
#include "shell/frm_login.h"
#include "shell/session.h"
#include "shell/settings.h"
#include "shell/window_manager.h"
#include "sim_control.h"
#include "ui_frm_call_control.h"
#include "ui_frm_pim_setup.h"

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace q5test {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// org.freedesktop.Notifications on a connection of its own.
class FakeNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notice {
        QString app;
        uint replaces;
        QString summary, body;
        QStringList actions;
        uint id;
    };

    explicit FakeNotifications(const QString& connection_name)
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connection_name)) {}
    ~FakeNotifications() override {
        bus_.unregisterService(kInterface);
        QDBusConnection::disconnectFromBus(bus_.name());
    }
    bool Register() {
        return bus_.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
               bus_.registerService(kInterface);
    }
    // The user picks `action` on notification `id`.
    void Invoke(uint id, const QString& action) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("ActionInvoked"));
        signal << id << action;
        bus_.send(signal);
    }

    // Answers the Notify calls held so far.
    void AnswerHeld() {
        for (const QDBusMessage& call : held_)
            bus_.send(call.createReply(call.arguments().value(1).toUInt() ? call.arguments().value(1).toUInt()
                                                                          : ++last_id_));
        held_.clear();
    }

    std::vector<Notice> notices;
    std::vector<uint> closed;
    bool hold_answers = false;  // Notify is answered by AnswerHeld

public slots:
    uint Notify(const QString& app, uint replaces, const QString& /*icon*/, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& /*hints*/,
                int /*timeout*/) {
        if (hold_answers) {
            setDelayedReply(true);
            held_.push_back(message());
            notices.push_back({app, replaces, summary, body, actions, 0});
            return 0;
        }
        const uint id = replaces ? replaces : ++last_id_;
        notices.push_back({app, replaces, summary, body, actions, id});
        return id;
    }
    void CloseNotification(uint id) { closed.push_back(id); }

private:
    QDBusConnection bus_;
    uint last_id_ = 40;
    std::vector<QDBusMessage> held_;
};

namespace {

using q5::frmCallControl;
using Col = frmCallControl::Column;

class NotifyTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "run under dbus-run-session";
        session_ = std::make_unique<q5::Session>();
        ASSERT_EQ(session_->Create(), S_OK);
        windows_ = std::make_unique<q5::WindowManager>(*session_);
        q5::calls::RegisterWindows(*windows_);
        windows_->Register(q5::WindowKind::Login,
                           [this] { return new q5::frmLogin(*session_, *windows_, login_shared_); });
        sim_ = std::make_unique<CallSim>(Q5SIM_TOOL, home_->path());
        ASSERT_GT(sim_->port(), 0) << "q5sim did not start";
        const HRESULT hr = session_->Call(nullptr, [&](const q5::SessionViews& v) {
            BStr host(u"127.0.0.1"), user(u"101"), password(u"1234");
            const HRESULT result = v.connect->Connect(host.Get(), sim_->port(), 5);
            return SUCCEEDED(result) ? v.connect->Login(user.Get(), password.Get()) : result;
        });
        ASSERT_EQ(hr, S_OK);
        session_->setUserName(QStringLiteral("101"));
        session_->setPassword(QStringLiteral("1234"));
        session_->setHost(QStringLiteral("127.0.0.1:%1").arg(sim_->port()));
        session_->setLoggedIn(true);
        windows_->Load<q5::frmPIMSetup>().ui()->Text2->setText(QStringLiteral("(###) ###-####"));
    }
    void TearDown() override {
        if (windows_) windows_->DestroyAllWindows();
        windows_.reset();
        session_.reset();
        sim_.reset();
        ProgramTest::TearDown();
    }

    frmCallControl& Open() {
        frmCallControl& cc = windows_->Load<frmCallControl>();
        cc.Timer1.stop();
        cc.Timer2.stop();
        // The log starts on a thread of its own; its answer comes back
        // through the event loop.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (cc.LogStarting() && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_FALSE(cc.LogStarting()) << "the event log's start never answered";
        return cc;
    }
    // Polls the window until `done` holds (events and D-Bus answers come
    // over sockets).
    static bool PollUntil(frmCallControl& cc, const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            cc.Timer1_Timer();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    QString Call(const std::string& number, const std::string& name = {}) {
        const std::string key = sim_->StartCall("101", number, name);
        EXPECT_FALSE(key.empty()) << "SIM_CALL refused";
        return QString::fromStdString(key);
    }

    q5::LoginShared login_shared_;
    std::unique_ptr<q5::Session> session_;
    std::unique_ptr<q5::WindowManager> windows_;
    std::unique_ptr<CallSim> sim_;
};

const QStringList kActions = {QStringLiteral("answer"),  QStringLiteral("Answer"),
                              QStringLiteral("mailbox"), QStringLiteral("Send to Mailbox"),
                              QStringLiteral("hold"),    QStringLiteral("Hold / Release"),
                              QStringLiteral("show"),    QStringLiteral("Show")};

TEST_F(NotifyTest, NewCallShowsOneNotificationWithCallerNumberAndActionsAndItsEndClosesIt) {
    FakeNotifications service(QStringLiteral("fake-notifications"));
    ASSERT_TRUE(service.Register());
    frmCallControl& cc = Open();
    const QString key = Call("2125550142", "Alice Ramirez");
    ASSERT_TRUE(PollUntil(cc, [&] { return !service.notices.empty(); }));
    ASSERT_EQ(service.notices.size(), 1u);
    const FakeNotifications::Notice shown = service.notices[0];
    EXPECT_EQ(shown.app, QStringLiteral("Q5Client"));
    EXPECT_EQ(shown.replaces, 0u);
    EXPECT_EQ(shown.summary, QStringLiteral("Call from Alice Ramirez"));
    EXPECT_EQ(shown.body, QStringLiteral("(212) 555-0142\nNew Call"));
    EXPECT_EQ(shown.actions, kActions);

    // Another program on the bus cannot act on the call: its hold is
    // passed by, the service's "Show" that the bus delivers after it is not.
    cc.hide();
    {
        QDBusConnection other =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
        QDBusMessage forged = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("ActionInvoked"));
        forged << shown.id << QStringLiteral("hold");
        ASSERT_TRUE(other.send(forged));
        // Answered only after the bus has passed the signal on.
        other.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    }
    service.Invoke(shown.id, QStringLiteral("show"));
    ASSERT_TRUE(PollUntil(cc, [&] { return cc.isVisible(); }));
    EXPECT_EQ(cc.RowOf(key)->text(Col::colStatus), QStringLiteral("New Call"));
    EXPECT_EQ(service.notices.size(), 1u) << "the forged hold changed the call";

    sim_->Command("SIM_HANGUP " + key.toStdString());
    ASSERT_TRUE(PollUntil(cc, [&] { return !service.closed.empty(); }));
    EXPECT_EQ(service.closed, std::vector<uint>{shown.id});
    EXPECT_TRUE(asked().empty());
}

// A window closed before the service answered still closes the
// notification once the answer names it.
TEST_F(NotifyTest, NotificationAnsweredAfterTheWindowClosedIsClosed) {
    FakeNotifications service(QStringLiteral("fake-notifications"));
    ASSERT_TRUE(service.Register());
    service.hold_answers = true;
    frmCallControl& cc = Open();
    Call("2125550142");
    ASSERT_TRUE(PollUntil(cc, [&] { return !service.notices.empty(); }));
    windows_->Unload<frmCallControl>();
    Pump();
    service.AnswerHeld();
    EXPECT_TRUE(PumpUntil([&] { return !service.closed.empty(); }));
    EXPECT_EQ(service.closed, std::vector<uint>{41});
}

// Each action does what the window's button does for the call's row, and
// the status the call gets replaces the notification.
TEST_F(NotifyTest, EachActionDoesWhatItsButtonDoesAndTheNewStatusReplacesTheNotification) {
    struct Case {
        const char* action;
        const char* number;
        const char* summary;
        const char* status;  // the row's status afterwards, as q5sim reports it
    };
    const Case cases[] = {
        {"answer", "2125550101", "Call from (212) 555-0101", "In Transit"},
        {"mailbox", "2125550102", "Call from (212) 555-0102", "Leaving Message"},
        {"hold", "2125550103", "Call from (212) 555-0103", "On Hold"},
        {"show", "2125550104", "Call from (212) 555-0104", "New Call"},
    };
    FakeNotifications service(QStringLiteral("fake-notifications"));
    ASSERT_TRUE(service.Register());
    frmCallControl& cc = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        service.notices.clear();
        cc.hide();
        const QString key = Call(c.number);
        ASSERT_TRUE(PollUntil(cc, [&] { return service.notices.size() == 1; }));
        const uint id = service.notices[0].id;
        EXPECT_EQ(service.notices[0].summary, QString::fromLatin1(c.summary));
        service.Invoke(id, QString::fromLatin1(c.action));
        ASSERT_TRUE(PollUntil(cc, [&] {
            QTreeWidgetItem* row = cc.RowOf(key);
            return row && row->isSelected() &&
                   (QLatin1String(c.action) == QLatin1String("show")
                        ? cc.isVisible()
                        : row->text(Col::colStatus) == QLatin1String(c.status) &&
                              service.notices.back().body == QLatin1String(c.status));
        })) << cc.RowOf(key)->text(Col::colStatus).toStdString();
        for (std::size_t i = 1; i < service.notices.size(); ++i) EXPECT_EQ(service.notices[i].replaces, id);
    }
    EXPECT_TRUE(asked().empty());
}

// Without a notification service, or with notifications turned off, calls
// come and go as before and nothing is asked or shown.
TEST_F(NotifyTest, WithoutServiceOrWithNotificationsOffCallsWorkAsBefore) {
    for (const bool service_there : {false, true}) {
        SCOPED_TRACE(service_there ? "turned off" : "no service");
        FakeNotifications service(QStringLiteral("fake-notifications"));
        if (service_there) {
            ASSERT_TRUE(service.Register());
            q5::shell::Settings().SetText(q5::shell::Setting::Notifications, QStringLiteral("0"));
        }
        frmCallControl& cc = Open();
        const QString key = Call(service_there ? "5550011" : "5550012");
        ASSERT_TRUE(PollUntil(cc, [&] { return cc.RowOf(key) != nullptr; }));
        sim_->Command("SIM_HANGUP " + key.toStdString());
        ASSERT_TRUE(PollUntil(
            cc, [&] { return cc.RowOf(key)->text(Col::colStatus) == QLatin1String("Disconnect"); }));
        EXPECT_TRUE(service.notices.empty());
        EXPECT_TRUE(service.closed.empty());
        EXPECT_TRUE(asked().empty());
        windows_->Unload<frmCallControl>();
        Pump();
    }
}

}  // namespace
}  // namespace q5test

#include "notify_tests.moc"
