// The remembered password and the desktop's secret store. KeyringTest runs
// inside a private D-Bus session with an unlocked keyring (with_keyring.sh);
// NoSecretStoreTest runs without any session bus.

#include <stdlib.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <algorithm>

#include "program_fixture.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/program.h"
#include "shell/registry.h"
#include "shell/secret_store.h"
#include "ui_frm_login.h"

namespace q5test {
namespace {

using q5::frmLogin;
using q5::frmMain;
using q5::shell::SecretStore;

class KeyringTest : public ProgramTest {
protected:
    void SetUp() override {
        if (!getenv("Q5_TEST_KEYRING")) GTEST_SKIP() << "needs the keyring session of with_keyring.sh";
        ProgramTest::SetUp();
    }
};

class NoSecretStoreTest : public ProgramTest {
protected:
    void SetUp() override {
        if (getenv("DBUS_SESSION_BUS_ADDRESS")) GTEST_SKIP() << "a session bus is running";
        ProgramTest::SetUp();
    }
};

TEST_F(KeyringTest, SecretRoundTripsAndRemovalLeavesNothing) {
    const QString key = QStringLiteral("test/roundtrip");
    QString why;
    ASSERT_TRUE(SecretStore::Write(key, QStringLiteral("s3cr=t &:"), &why)) << why.toStdString();
    EXPECT_EQ(SecretStore::Read(key).value_or(QStringLiteral("<none>")), QStringLiteral("s3cr=t &:"));
    EXPECT_TRUE(SecretStore::Remove(key));
    EXPECT_FALSE(SecretStore::Read(key).has_value());
    EXPECT_TRUE(SecretStore::Remove(key)) << "removing what is not there is no failure";
}

TEST_F(KeyringTest, RememberedPasswordComesBackFromTheStoreAndUncheckingForgetsIt) {
    auto server = StartDemoServer();
    const QString password = QString::fromStdString(server->password());
    LogIn(windows().Load<frmLogin>(), QString::fromStdString(server->user()), password, HostOf(*server), true);
    ASSERT_TRUE(session().loggedIn());
    EXPECT_EQ(program_->login_shared().no_secret_store_notice.data(), nullptr) << "no notice when the store keeps the password";
    EXPECT_EQ(SecretStore::Read(frmLogin::PasswordSecretKey()).value_or(QString()), password);
    windows().DestroyAllWindows();
    frmLogin& again = windows().Load<frmLogin>();
    EXPECT_EQ(again.ui()->txtPassword->text(), password);

    session().setLoggedIn(false);
    LogIn(again, QString::fromStdString(server->user()), password, HostOf(*server), false);
    ASSERT_TRUE(session().loggedIn());
    EXPECT_FALSE(SecretStore::Read(frmLogin::PasswordSecretKey()).has_value());
    EXPECT_FALSE(SecretStore::Read(frmLogin::PasswordOwnerSecretKey()).has_value());
}

TEST_F(KeyringTest, UserNameFromTheCommandLineNeverShowsAnotherUsersRememberedPassword) {
    auto server = StartDemoServer();
    const QString user = QString::fromStdString(server->user());
    const QString password = QString::fromStdString(server->password());
    LogIn(windows().Load<frmLogin>(), user, password, HostOf(*server), true);
    ASSERT_TRUE(session().loggedIn());
    ASSERT_EQ(SecretStore::Read(frmLogin::PasswordSecretKey()).value_or(QString()), password);
    struct Case {
        const char* remembered_user;  // in the settings file
        const char* user_option;      // --user
        const char* user_box;
        bool password_shown;
    };
    // The last case is what a login of 102 leaves when its password did not
    // reach the store: the store still holds 101's.
    const Case cases[] = {
        {"101", "102", "102", false},
        {"101", " 101 ", " 101 ", true},
        {"102", "", "102", false},
        {"102", "102", "102", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.remembered_user) + " --user '" + c.user_option + "'");
        windows().DestroyAllWindows();
        q5::shell::Registry::Write(QStringLiteral("Q5Client"), QStringLiteral("Login"),
                                   QStringLiteral("&User Name:"), QString::fromLatin1(c.remembered_user));
        program_->login_shared().prefill_user = QString::fromLatin1(c.user_option);
        frmLogin& login = windows().Load<frmLogin>();
        EXPECT_EQ(login.ui()->txtUserName->text(), QString::fromLatin1(c.user_box));
        EXPECT_EQ(login.ui()->txtPassword->text(), c.password_shown ? password : QString());
    }
}

TEST_F(NoSecretStoreTest, NoticeComesOnceInPlainWordsWithoutStoppingTheKeepAlive) {
    QString why;
    EXPECT_FALSE(SecretStore::Write(QStringLiteral("test/none"), QStringLiteral("x"), &why));
    FakeQ5Server server;
    const QString user = QString::fromStdString(server.user());
    const QString password = QString::fromStdString(server.password());
    q5::Program& program = *program_;
    q5::Program::Options options;
    options.host = HostOf(server);
    ASSERT_TRUE(program.Start(options));
    frmLogin* login = windows().Loaded<frmLogin>();
    ASSERT_NE(login, nullptr);
    QTest::keyClicks(login->ui()->txtUserName, user);
    QTest::keyClicks(login->ui()->txtPassword, password);
    login->ui()->Check1->setFocus();
    QTest::keyClick(login->ui()->Check1, Qt::Key_Space);
    ASSERT_TRUE(login->ui()->Check1->isChecked());
    QTest::mouseClick(login->ui()->cmdOK, Qt::LeftButton);
    Pump();
    ASSERT_TRUE(session().loggedIn());

    QMessageBox* notice = program_->login_shared().no_secret_store_notice.data();
    ASSERT_NE(notice, nullptr) << "no notice";
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->windowModality(), Qt::NonModal);
    EXPECT_TRUE(notice->text().startsWith(QStringLiteral("Your password was not remembered")));
    EXPECT_FALSE(!why.isEmpty() && notice->text().contains(why)) << "the store's own error text";
    // The main window is up and its keep-alive reaches the server while
    // the notice is open (its 64 s made short here).
    frmMain* main = windows().Loaded<frmMain>();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(main->Timer1.isActive());
    const auto noops = [&] {
        const std::vector<std::string> lines = server.Lines();
        return std::count(lines.begin(), lines.end(), std::string("NOOP"));
    };
    const auto before = noops();
    main->Timer1.setInterval(200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return noops() > before; }, 10000)) << "no keep-alive";
    EXPECT_EQ(program_->login_shared().no_secret_store_notice.data(), notice);
    EXPECT_TRUE(notice->isVisible());
    main->Timer1.stop();

    // The user name and host are remembered, the password nowhere.
    EXPECT_EQ(q5::shell::Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Login"),
                                        QStringLiteral("&User Name:")),
              user);
    QFile file(q5::shell::Registry::FilePath(QStringLiteral("Q5Client")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains(password.toUtf8()));

    // OK closes it; a second login in the same run says nothing more.
    QTest::mouseClick(notice->button(QMessageBox::Ok), Qt::LeftButton);
    Pump();
    EXPECT_EQ(program_->login_shared().no_secret_store_notice.data(), nullptr);
    login->ShowNonModal();
    QTest::mouseClick(login->ui()->cmdOK, Qt::LeftButton);
    Pump();
    EXPECT_FALSE(login->isVisible()) << "the second login went through";
    EXPECT_EQ(program_->login_shared().no_secret_store_notice.data(), nullptr) << "said once, not at every login";

    windows().DestroyAllWindows();
    session().setLoggedIn(false);
    frmLogin& again = windows().Load<frmLogin>();
    EXPECT_EQ(again.ui()->txtUserName->text(), user);
    EXPECT_TRUE(again.ui()->txtPassword->text().isEmpty());
}

}  // namespace
}  // namespace q5test
