// The desktop shell end to end: start-up, login dialog, main window,
// keep-alive and shutdown, against the demo server (q5sim when the build
// has it) or, where a test watches the client's own connects and commands,
// the fake server.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <filesystem>

#include "calls/frm_call_control.h"
#include "calls/frm_pim_setup.h"
#include "mailbox/frm_advanced.h"
#include "mailbox/frm_mbx.h"
#include "program_fixture.h"
#include "scripted_peer.h"
#include "shell/app_identity.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/instance_lock.h"
#include "shell/library_registration.h"
#include "shell/local_paths.h"
#include "shell/program.h"
#include "shell/registry.h"
#include "shell/shell_logic.h"
#include "shell/tls_trust.h"
#include "test_certificate.h"
#include "ui_frm_login.h"
#include "ui_frm_main.h"

namespace q5test {
namespace {

using q5::frmLogin;
using q5::frmMain;
using q5::shell::MsgAnswer;
using q5::shell::MsgButtons;

QString LoginSetting(const char* key) {
    return q5::shell::Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Login"),
                                     QString::fromUtf8(key));
}
QString GeometrySetting(const char* key) {
    return q5::shell::Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Settings"),
                                     QString::fromUtf8(key));
}

// ---- start-up -------------------------------------------------------------

using StartupTest = ProgramTest;

TEST_F(StartupTest, WindowsCarryTheApplicationIconAndIdFromTheBuildTree) {
    q5::shell::ApplyDesktopIdentity();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.q5client.Q5Client"));
    frmLogin& login = windows().Load<frmLogin>();
    const QIcon icon = login.windowIcon();
    for (const int size : {16, 32, 48, 256}) {
        EXPECT_EQ(icon.pixmap(size, size).size(), QSize(size, size)) << size;
    }
}

TEST_F(StartupTest, SecondInstanceIsRefusedWithDuplicateWarning) {
    q5::shell::InstanceLock first;
    ASSERT_TRUE(first.TryLock());
    q5::Program second;
    EXPECT_FALSE(second.Start({}));
    EXPECT_NE(second.exit_code(), 0);
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Q5Controller is already running"));
    EXPECT_EQ(asked()[0].title, QStringLiteral("Duplicate"));
    EXPECT_EQ(asked()[0].icon, q5::shell::MsgIcon::warning);
    EXPECT_EQ(second.windows().Loaded<frmLogin>(), nullptr) << "no window before the instance check";
}

TEST_F(StartupTest, MissingRegistrationIsMadeFromTheLibraryNextToTheProgram) {
    session().Release();
    std::filesystem::remove(home_->path() + "/registry");
    ASSERT_FALSE(q5::shell::IsClientClassRegistered());
    q5::Program& program = *program_;
    ASSERT_TRUE(program.Start({}));
    EXPECT_TRUE(q5::shell::IsClientClassRegistered());
    EXPECT_TRUE(session().created());
    frmLogin* login = windows().Loaded<frmLogin>();
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(login->windowModality(), Qt::ApplicationModal);
}

TEST_F(StartupTest, LoginFromStartupOpensMainWindowWithTrimmedMailboxInCaption) {
    auto server = StartDemoServer();
    q5::Program& program = *program_;
    q5::Program::Options options;
    options.host = HostOf(*server);
    options.user = QStringLiteral("  ") + QString::fromStdString(server->user()) + QStringLiteral(" ");
    ASSERT_TRUE(program.Start(options));
    frmLogin* login = windows().Loaded<frmLogin>();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->ui()->Text1->text(), options.host) << "--host pre-fills the host box";
    login->ui()->txtPassword->setText(QString::fromStdString(server->password()));
    login->ui()->cmdOK->click();
    Pump();
    EXPECT_TRUE(asked().empty()) << AskedTexts().front().toStdString();
    EXPECT_TRUE(session().loggedIn());
    EXPECT_FALSE(login->isVisible());
    frmMain* main = windows().Loaded<frmMain>();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(),
              QStringLiteral("Q5Client connected to mailbox ") + QString::fromStdString(server->user()));
    EXPECT_EQ(session().userName(), QString::fromStdString(server->user()));
    // The working folders exist after the main window loaded.
    EXPECT_TRUE(QFile::exists(q5::shell::LocalPath(q5::shell::LocalFolder::vox)));
    EXPECT_TRUE(QFile::exists(q5::shell::LocalPath(q5::shell::LocalFolder::temp)));
    // The call control window opened inside the MDI area.
    ASSERT_NE(qobject_cast<q5::frmCallControl*>(windows().Loaded(q5::WindowKind::CallControl)), nullptr);
    EXPECT_NE(
        qobject_cast<QMdiSubWindow*>(
            qobject_cast<q5::frmCallControl*>(windows().Loaded(q5::WindowKind::CallControl))->parentWidget()),
        nullptr);
}

// ---- login dialog -----------------------------------------------------------

using LoginTest = ProgramTest;

TEST_F(LoginTest, FirstRunShowsBlankUserLocalhostUncheckedAndDefaultGeometry) {
    frmLogin& login = windows().Load<frmLogin>();
    EXPECT_EQ(login.windowTitle(), QStringLiteral("Login"));
    EXPECT_EQ(login.lblLabels[0]->text(), QStringLiteral("&User Name:"));
    EXPECT_EQ(login.lblLabels[1]->text(), QStringLiteral("&Password:"));
    EXPECT_TRUE(login.ui()->txtUserName->text().isEmpty());
    EXPECT_TRUE(login.ui()->txtPassword->text().isEmpty());
    EXPECT_EQ(login.ui()->Text1->text(), QStringLiteral("localhost"));
    EXPECT_FALSE(login.ui()->Check1->isChecked());
    EXPECT_TRUE(asked().empty());
    int left, top, width, height;
    frmMain::StoredGeometry(left, top, width, height);
    EXPECT_EQ(left, 1000);
    EXPECT_EQ(top, 1000);
    EXPECT_EQ(width, 6500);
    EXPECT_EQ(height, 6500);
}

TEST_F(LoginTest, CheckedBoxRemembersUserAndHostButNeverWritesThePasswordToTheFile) {
    auto server = StartDemoServer();
    const QString user = QStringLiteral(" ") + QString::fromStdString(server->user()) + QStringLiteral(" ");
    LogIn(windows().Load<frmLogin>(), user, QString::fromStdString(server->password()), HostOf(*server),
          true);
    ASSERT_TRUE(session().loggedIn());
    EXPECT_EQ(LoginSetting("&User Name:"), user) << "remembered untrimmed";
    EXPECT_EQ(LoginSetting("Host"), HostOf(*server));
    EXPECT_EQ(LoginSetting("SaveSettings"), QStringLiteral("1"));
    EXPECT_EQ(LoginSetting("&Password:"), QString());
    QFile file(q5::shell::Registry::FilePath(QStringLiteral("Q5Client")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains(QByteArray::fromStdString(server->password())));
    EXPECT_EQ(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                    QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions{});

    windows().DestroyAllWindows();
    frmLogin& again = windows().Load<frmLogin>();
    EXPECT_TRUE(again.ui()->Check1->isChecked());
    EXPECT_EQ(again.ui()->txtUserName->text(), user);
    EXPECT_EQ(again.ui()->Text1->text(), HostOf(*server));
}

TEST_F(LoginTest, AdministratorHostFillsTheHostBoxUntilTheUserKeepsHisOwn) {
    const QString system = QString::fromStdString(home_->path() + "/system/q5client");
    ASSERT_TRUE(QDir().mkpath(system));
    QFile defaults(system + QStringLiteral("/Q5Client.ini"));
    ASSERT_TRUE(defaults.open(QIODevice::WriteOnly));
    defaults.write("[Login]\nHost=pbx.example:1008\n");
    defaults.close();

    frmLogin& first = windows().Load<frmLogin>();
    EXPECT_EQ(first.ui()->Text1->text(), QStringLiteral("pbx.example:1008"));
    EXPECT_FALSE(first.ui()->Check1->isChecked());

    auto server = StartDemoServer();
    LogIn(first, QString::fromStdString(server->user()), QString::fromStdString(server->password()),
          HostOf(*server), true);
    ASSERT_TRUE(session().loggedIn());
    windows().DestroyAllWindows();
    frmLogin& again = windows().Load<frmLogin>();
    EXPECT_EQ(again.ui()->Text1->text(), HostOf(*server)) << "the user's own host wins";
}

TEST_F(LoginTest, UncheckedBoxOverwritesRememberedValuesWithEmptyAndStoresZero) {
    auto server = StartDemoServer();
    const QString user = QString::fromStdString(server->user());
    const QString password = QString::fromStdString(server->password());
    LogIn(windows().Load<frmLogin>(), user, password, HostOf(*server), true);
    ASSERT_TRUE(session().loggedIn());
    windows().DestroyAllWindows();
    session().setLoggedIn(false);
    frmLogin& second = windows().Load<frmLogin>();
    LogIn(second, user, password, HostOf(*server), false);
    ASSERT_TRUE(session().loggedIn());
    EXPECT_EQ(LoginSetting("&User Name:"), QString());
    EXPECT_EQ(LoginSetting("Host"), QString());
    EXPECT_EQ(LoginSetting("&Password:"), QString());
    EXPECT_EQ(LoginSetting("SaveSettings"), QStringLiteral("0"));
    windows().DestroyAllWindows();
    frmLogin& third = windows().Load<frmLogin>();
    EXPECT_TRUE(third.ui()->txtUserName->text().isEmpty());
    EXPECT_EQ(third.ui()->Text1->text(), QStringLiteral("localhost"));
    EXPECT_FALSE(third.ui()->Check1->isChecked());
}

TEST_F(LoginTest, PasswordTypedWithBlanksGoesToTheServerTrimmed) {
    // Exact bytes: the demo server would trim the password itself.
    ScriptedPeer peer;
    peer.Accept()
        .Send("+OK 5 Q5Server ready\r\n")
        .Expect("USER 101\r\n")
        .Send("+OK send password\r\n")
        .Expect("PASS 12 34\r\n")
        .Send("+OK mailbox logged in\r\n");
    peer.Start();
    frmLogin& login = windows().Load<frmLogin>();
    login.ShowModal();
    QTest::keyClicks(login.ui()->txtUserName, QStringLiteral(" 101 "));
    QTest::keyClicks(login.ui()->txtPassword, QStringLiteral("  12 34 "));
    login.ui()->Text1->selectAll();
    QTest::keyClicks(login.ui()->Text1, QStringLiteral("127.0.0.1:%1").arg(peer.port()));
    QTest::mouseClick(login.ui()->cmdOK, Qt::LeftButton);
    Pump();
    const std::vector<std::string> deviations = peer.Finish();
    EXPECT_TRUE(deviations.empty()) << deviations.front() << "\nreceived: " << peer.Received();
    EXPECT_TRUE(session().loggedIn());
    EXPECT_EQ(session().password(), QStringLiteral("12 34"));
}

TEST_F(LoginTest, WrongPasswordKeepsTheDialogAndTheNextOKConnectsAgain) {
    FakeQ5Server server;
    frmLogin& login = windows().Load<frmLogin>();
    login.show();
    LogIn(login, QStringLiteral("101"), QStringLiteral("wrong"), HostOf(server), false);
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Incorrect Username or Password"));
    EXPECT_EQ(asked()[0].title, QStringLiteral("Login Failed"));
    EXPECT_EQ(asked()[0].icon, q5::shell::MsgIcon::warning);
    EXPECT_TRUE(login.isVisible());
    EXPECT_FALSE(session().loggedIn());
    EXPECT_EQ(windows().Loaded<frmMain>(), nullptr);
    EXPECT_EQ(LoginSetting("SaveSettings"), QString()) << "nothing remembered after a failed login";

    LogIn(login, QStringLiteral("101"), QStringLiteral("1234"), HostOf(server), false);
    EXPECT_TRUE(session().loggedIn());
    // Two logins on fresh connections, then the call control window's own
    // event-log connection.
    EXPECT_EQ(server.connections(), 3);
}

TEST_F(LoginTest, RefusedConnectionAsksNoConnectionAndOKGivesAFreshNonModalDialog) {
    int closed_port;
    {
        FakeQ5Server gone;
        closed_port = gone.port();
    }
    frmLogin* first = &windows().Load<frmLogin>();
    first->ShowModal();
    Answer({MsgAnswer::ok});
    LogIn(*first, QStringLiteral("101"), QStringLiteral("1234"),
          QStringLiteral("127.0.0.1:%1").arg(closed_port), false);
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text,
              QStringLiteral("Can not establish connection with Q5Server. Please verify that Q5 "
                             "is running before re-attempting to log in"));
    EXPECT_EQ(asked()[0].title, QStringLiteral("No Connection"));
    EXPECT_EQ(asked()[0].buttons, MsgButtons::ok_cancel);
    frmLogin* fresh = windows().Loaded<frmLogin>();
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, first) << "the old dialog was unloaded";
    EXPECT_TRUE(fresh->isVisible());
    EXPECT_EQ(fresh->windowModality(), Qt::NonModal);
    EXPECT_FALSE(windows().ProgramEnding());
}

TEST_F(LoginTest, RefusedConnectionCancelEndsTheProgram) {
    int closed_port;
    {
        FakeQ5Server gone;
        closed_port = gone.port();
    }
    Answer({MsgAnswer::cancel});
    LogIn(windows().Load<frmLogin>(), QStringLiteral("101"), QStringLiteral("1234"),
          QStringLiteral("127.0.0.1:%1").arg(closed_port), false);
    EXPECT_TRUE(windows().ProgramEnding());
}

// A TLS server whose certificate the system does not trust, typed and
// clicked as a user does.
class TlsLoginTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        cert_ = q5test::MakeTestCertificate(home_->path(), "server", "localhost", "IP:127.0.0.1");
        ASSERT_EQ(cert_.error, "");
        sim_ = std::make_unique<Q5Sim>(
            Q5SIM_TOOL, std::vector<std::string>{"--tls-cert", cert_.cert_file, "--tls-key", cert_.key_file});
        ASSERT_NE(sim_->port(), 0);
        host_ = QStringLiteral("tls://127.0.0.1:%1").arg(sim_->port());
    }
    void TearDown() override {
        sim_.reset();
        ProgramTest::TearDown();
    }
    void TypeAndClickOK(frmLogin& login) {
        for (QLineEdit* box : {login.ui()->txtUserName, login.ui()->txtPassword, login.ui()->Text1})
            box->clear();
        QTest::keyClicks(login.ui()->txtUserName, QStringLiteral("101"));
        QTest::keyClicks(login.ui()->txtPassword, QStringLiteral("1234"));
        QTest::keyClicks(login.ui()->Text1, host_);
        QTest::mouseClick(login.ui()->cmdOK, Qt::LeftButton);
        // The login after a "Yes" runs from the event loop.
        for (int i = 0; i < 20 && !session().loggedIn(); ++i) Pump();
    }
    QString StoredPin() const {
        return q5::shell::Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("TlsPins"),
                                         QStringLiteral("127.0.0.1:%1").arg(sim_->port()));
    }

    q5test::TestCertificate cert_;
    std::unique_ptr<Q5Sim> sim_;
    QString host_;
};

TEST_F(TlsLoginTest, FirstContactShowsTheCertificateAndYesPinsItAndLogsIn) {
    frmLogin& login = windows().Load<frmLogin>();
    login.show();
    Answer({MsgAnswer::yes});
    TypeAndClickOK(login);
    ASSERT_FALSE(asked().empty());
    EXPECT_EQ(asked()[0].title, QStringLiteral("Untrusted Server Certificate"));
    EXPECT_EQ(asked()[0].buttons, MsgButtons::yes_no);
    EXPECT_EQ(asked()[0].default_button, MsgAnswer::no);
    EXPECT_TRUE(asked()[0].text.contains(QString::fromStdString(cert_.fingerprint)))
        << asked()[0].text.toStdString();
    EXPECT_TRUE(asked()[0].text.contains(QStringLiteral("Subject: CN=localhost")));
    EXPECT_TRUE(asked()[0].text.contains(QStringLiteral("Valid: from ")));
    EXPECT_TRUE(session().loggedIn());
    EXPECT_EQ(StoredPin(), QString::fromStdString(cert_.fingerprint));
    // The call control window's event log took the pinned host too.
    EXPECT_EQ(asked().size(), 1u) << AskedTexts().back().toStdString();
}

TEST_F(TlsLoginTest, NoKeepsNothingAndAChangedPinnedCertificateIsRefusedWithAWarning) {
    frmLogin& login = windows().Load<frmLogin>();
    login.show();
    Answer({MsgAnswer::no});
    TypeAndClickOK(login);
    EXPECT_FALSE(session().loggedIn());
    EXPECT_EQ(StoredPin(), QString());

    // Pinned earlier to another certificate: refused, and nothing is asked.
    const QString old_pin = QStringLiteral("AB:") + QString::fromStdString(cert_.fingerprint).mid(3);
    q5::shell::StorePin(QStringLiteral("Q5Client"), host_, old_pin);
    TypeAndClickOK(login);
    ASSERT_EQ(asked().size(), 2u);
    EXPECT_EQ(asked()[1].title, QStringLiteral("Server Certificate Changed"));
    EXPECT_EQ(asked()[1].buttons, MsgButtons::ok);
    EXPECT_TRUE(asked()[1].text.contains(QString::fromStdString(cert_.fingerprint)));
    EXPECT_FALSE(session().loggedIn());
    EXPECT_TRUE(login.isVisible());
    EXPECT_EQ(StoredPin(), old_pin) << "a changed certificate is never taken silently";
}

TEST_F(LoginTest, CancelEndsTheProgramWithoutTouchingTheServer) {
    FakeQ5Server server;
    windows().Load<frmLogin>().ui()->cmdCancel->click();
    EXPECT_TRUE(windows().ProgramEnding());
    EXPECT_EQ(server.connections(), 0);
}

// ---- main window --------------------------------------------------------------

class MainWindowTest : public ProgramTest {
protected:
    frmMain& LoggedInMain(TestServer& server) {
        LogIn(windows().Load<frmLogin>(), QString::fromStdString(server.user()),
              QString::fromStdString(server.password()), HostOf(server), false);
        EXPECT_TRUE(session().loggedIn());
        frmMain& main = windows().Load<frmMain>();
        main.show();
        Pump();
        return main;
    }
    // One keep-alive, and its answer handled.
    void KeepAlive(frmMain& main) {
        main.Timer1_Timer();
        EXPECT_TRUE(PumpUntil([&main] { return !main.keepAliveInFlight(); }));
    }
};

TEST_F(MainWindowTest, KeepAliveAfterServerStopsOffersReconnectAndOKShowsLastTypedValues) {
    auto server = StartDemoServer();
    frmMain& main = LoggedInMain(*server);
    EXPECT_TRUE(main.Timer1.isActive());
    EXPECT_EQ(main.Timer1.interval(), 64000);
    KeepAlive(main);
    EXPECT_TRUE(asked().empty()) << "a live session keeps quiet";
    server->Stop();
    Answer({MsgAnswer::ok});
    KeepAlive(main);
    ASSERT_GE(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text,
              QStringLiteral("Connection To Q5Server has been lost. Press OK to reconnect or "
                             "Cancel to terminate you session."));
    EXPECT_EQ(asked()[0].title, QStringLiteral("Disconnected..."));
    EXPECT_EQ(asked()[0].buttons, MsgButtons::ok_cancel);
    frmLogin* login = windows().Loaded<frmLogin>();
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(login->windowModality(), Qt::NonModal);
    EXPECT_EQ(login->ui()->txtUserName->text(), QString::fromStdString(server->user()));
    EXPECT_EQ(windows().Loaded<frmMain>(), &main) << "the main window stays";
    // No second question while the user is logging in again.
    KeepAlive(main);
    EXPECT_EQ(asked().size(), 1u);
}

TEST_F(MainWindowTest, KeepAliveLostConnectionCancelEndsTheProgram) {
    auto server = StartDemoServer();
    frmMain& main = LoggedInMain(*server);
    server->Stop();
    Answer({MsgAnswer::cancel});
    KeepAlive(main);
    EXPECT_TRUE(windows().ProgramEnding());
}

// IQ5Util whose KeepAlive fails with a chosen code and error text.
class FailingUtil : public IQ5Util {
public:
    FailingUtil(HRESULT code, const char16_t* text) : code_(code), text_(text) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetFile(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFile2(BSTR, BSTR, BSTR, ISupportEvents*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PutFile(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PutFile2(BSTR, BSTR, BSTR, ISupportEvents*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConvertV2W(BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConvertW2V(BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DelFile(BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RenFile(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Uptime(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Serial(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Version(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_VLoad(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_VerType(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE KeepAlive() override {
        ++calls;
        ICreateErrorInfo* create = nullptr;
        if (SUCCEEDED(CreateErrorInfo(&create))) {
            std::u16string text(text_);
            create->SetDescription(text.data());
            IErrorInfo* info = nullptr;
            create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
            SetErrorInfo(0, info);
            info->Release();
            create->Release();
        }
        return code_;
    }
    HRESULT STDMETHODCALLTYPE SetVValue(BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVXValue(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttr(BSTR, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompileGrammar(BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVersion(LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GenDirAssistBnf(BSTR, BSTR, BSTR, LONG) override { return E_NOTIMPL; }
    int calls = 0;

private:
    HRESULT code_;
    const char16_t* text_;
};

TEST_F(MainWindowTest, KeepAliveRefusalIsSilentAndOtherErrorsShowNumberThenDescription) {
    auto server = StartDemoServer();
    FailingUtil refusing(E_FAIL, u"Keepalive failed");
    FailingUtil odd(E_INVALIDARG, u"Odd failure");
    FailingUtil* util = &refusing;  // read on the session thread, between keep-alives
    windows().Register(q5::WindowKind::Main, [this, &util] {
        return new frmMain(session(), windows(),
                           [&util](const q5::SessionViews&) { return util->KeepAlive(); });
    });
    frmMain& main = LoggedInMain(*server);

    KeepAlive(main);
    EXPECT_EQ(refusing.calls, 1);
    EXPECT_TRUE(asked().empty());

    util = &odd;
    KeepAlive(main);
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("-2147024809Odd failure"));
    EXPECT_EQ(asked()[0].buttons, MsgButtons::ok);
    EXPECT_FALSE(windows().ProgramEnding());
}

TEST_F(MainWindowTest, ClosingSavesGeometryInTwipsThenQuitsAndCloses) {
    FakeQ5Server server;
    frmMain& main = LoggedInMain(server);
    main.move(150, 90);
    main.resize(700, 480);
    Pump();
    const double dpi = main.screen()->logicalDotsPerInchX();
    const int left = q5::shell::PixelsToTwips(main.x(), dpi);
    const int width = q5::shell::PixelsToTwips(main.width(), dpi);
    main.close();
    Pump();
    EXPECT_EQ(GeometrySetting("MainLeft"), QString::number(left));
    EXPECT_EQ(GeometrySetting("MainWidth"), QString::number(width));
    EXPECT_FALSE(GeometrySetting("MainTop").isEmpty());
    EXPECT_FALSE(GeometrySetting("MainHeight").isEmpty());
    EXPECT_TRUE(windows().ProgramEnding());
    const std::vector<std::string> lines = server.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "QUIT");
}

TEST_F(MainWindowTest, ClosingWhileMinimisedKeepsTheStoredGeometry) {
    auto server = StartDemoServer();
    q5::shell::Registry::Write(QStringLiteral("Q5Client"), QStringLiteral("Settings"),
                               QStringLiteral("MainLeft"), QStringLiteral("2880"));
    frmMain& main = LoggedInMain(*server);
    const double dpi = main.screen()->logicalDotsPerInchX();
    EXPECT_EQ(main.x(), q5::shell::TwipsToPixels(2880, dpi)) << "stored left edge applied at load";
    main.move(400, 400);
    main.showMinimized();
    Pump();
    ASSERT_TRUE(main.isMinimized());
    main.close();
    Pump();
    EXPECT_EQ(GeometrySetting("MainLeft"), QStringLiteral("2880"));
    EXPECT_EQ(GeometrySetting("MainWidth"), QString());
}

TEST_F(MainWindowTest, MenusTakeTheirCaptionsFromTheStringTable) {
    auto server = StartDemoServer();
    frmMain& main = LoggedInMain(*server);
    EXPECT_EQ(main.ui()->mnuHelp->title(), QStringLiteral("&Help"));
    EXPECT_EQ(main.ui()->mnuHelpAbout->text(), QStringLiteral("&About "));
    EXPECT_EQ(Shown(main.ui()->mnuCallControl->title()), QStringLiteral("Call Control"));
    EXPECT_EQ(main.ui()->mnuAdministration->title(), QStringLiteral("&Administration"));
    EXPECT_EQ(Shown(main.ui()->mnuAdvanced->text()), QStringLiteral("Advanced "));
}

TEST_F(MainWindowTest, EditorWindowsOpenInTheMdiAreaAndTheMailboxEditorOnItsOwn) {
    auto server = StartDemoServer();
    frmMain& main = LoggedInMain(*server);
    main.ui()->mnuAdvanced->trigger();
    main.ui()->mnuMailbox->trigger();
    main.ui()->mnuPIMSetup->trigger();
    Pump();
    ASSERT_NE(windows().Loaded<q5::frmAdvanced>(), nullptr);
    EXPECT_EQ(windows().Loaded<q5::frmAdvanced>()->window(), &main);
    EXPECT_EQ(windows().Loaded<q5::frmAdvanced>()->windowTitle(), QStringLiteral("Advanced Settings"));
    ASSERT_NE(windows().Loaded<q5::frmMbx>(), nullptr);
    EXPECT_TRUE(windows().Loaded<q5::frmMbx>()->isWindow());
    ASSERT_NE(qobject_cast<q5::frmPIMSetup*>(windows().Loaded(q5::WindowKind::PIMSetup)), nullptr);
    EXPECT_TRUE(qobject_cast<q5::frmPIMSetup*>(windows().Loaded(q5::WindowKind::PIMSetup))->isWindow());
    // Showing again does not make a second frame.
    const auto frames = main.mdiArea()->subWindowList().size();
    main.ShowAdvanced();
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), frames);
}

TEST_F(MainWindowTest, UnloadAllWindowsKeepsOnlyThePimSetupWindow) {
    auto server = StartDemoServer();
    frmMain& main = LoggedInMain(*server);
    main.ShowPIMSetup();
    main.ShowMbx();
    windows().UnloadAllWindows();
    Pump();
    EXPECT_EQ(windows().Loaded<frmMain>(), nullptr);
    EXPECT_EQ(windows().Loaded<frmLogin>(), nullptr);
    EXPECT_EQ(windows().Loaded<q5::frmMbx>(), nullptr);
    EXPECT_EQ(qobject_cast<q5::frmCallControl*>(windows().Loaded(q5::WindowKind::CallControl)), nullptr);
    EXPECT_NE(qobject_cast<q5::frmPIMSetup*>(windows().Loaded(q5::WindowKind::PIMSetup)), nullptr);
    EXPECT_FALSE(windows().ProgramEnding()) << "unloading is not ending";
}

TEST_F(MainWindowTest, AskSaveDefaultsToNoAndMapsTheAnswers) {
    Answer({MsgAnswer::yes, MsgAnswer::no, MsgAnswer::cancel});
    EXPECT_EQ(q5::AskSave(), 0);
    EXPECT_EQ(q5::AskSave(), 1);
    EXPECT_EQ(q5::AskSave(), 2);
    ASSERT_EQ(asked().size(), 3u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Fields have been changed. Do you want to save?"));
    EXPECT_EQ(asked()[0].title, QStringLiteral("Fields changed"));
    EXPECT_EQ(asked()[0].buttons, MsgButtons::yes_no_cancel);
    EXPECT_EQ(asked()[0].default_button, MsgAnswer::no);
    EXPECT_EQ(asked()[0].icon, q5::shell::MsgIcon::warning);
}

}  // namespace
}  // namespace q5test
