// The remembered password and the desktop's secret store. KeyringTest runs
// inside a private D-Bus session with an unlocked keyring (with_keyring.sh);
// NoSecretStoreTest runs without any session bus.

#include <stdlib.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

#include "program_fixture.h"
#include "shell/frm_login.h"
#include "shell/registry.h"
#include "shell/secret_store.h"
#include "shell/session_state.h"
#include "shell/windows.h"
#include "ui_frm_login.h"

namespace q5test {
namespace {

using q5::frmLogin;
using q5::shell::SecretStore;
namespace windows = q5::windows;

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
    LogIn(windows::Load<frmLogin>(), QString::fromStdString(server->user()), password, HostOf(*server), true);
    ASSERT_TRUE(q5::gLoggedIn);
    EXPECT_TRUE(asked().empty()) << "no notice when the store keeps the password";
    EXPECT_EQ(SecretStore::Read(frmLogin::PasswordSecretKey()).value_or(QString()), password);
    windows::DestroyAllWindows();
    frmLogin& again = windows::Load<frmLogin>();
    EXPECT_EQ(again.ui()->txtPassword->text(), password);

    q5::gLoggedIn = false;
    LogIn(again, QString::fromStdString(server->user()), password, HostOf(*server), false);
    ASSERT_TRUE(q5::gLoggedIn);
    EXPECT_FALSE(SecretStore::Read(frmLogin::PasswordSecretKey()).has_value());
}

TEST_F(NoSecretStoreTest, PasswordIsNotRememberedOtherSettingsAreAndTheDialogSaysSoOnce) {
    EXPECT_FALSE(SecretStore::Write(QStringLiteral("test/none"), QStringLiteral("x")));
    auto server = StartDemoServer();
    const QString user = QString::fromStdString(server->user());
    const QString password = QString::fromStdString(server->password());
    LogIn(windows::Load<frmLogin>(), user, password, HostOf(*server), true);
    ASSERT_TRUE(q5::gLoggedIn);
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_TRUE(asked()[0].text.startsWith(QStringLiteral("The password is not remembered")));
    EXPECT_EQ(q5::shell::Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Login"),
                                        QStringLiteral("&User Name:")),
              user);
    QFile file(q5::shell::Registry::FilePath(QStringLiteral("Q5Client")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains(password.toUtf8()));

    windows::DestroyAllWindows();
    q5::gLoggedIn = false;
    frmLogin& again = windows::Load<frmLogin>();
    EXPECT_EQ(again.ui()->txtUserName->text(), user);
    EXPECT_TRUE(again.ui()->txtPassword->text().isEmpty());
    LogIn(again, user, password, HostOf(*server), true);
    EXPECT_EQ(asked().size(), 1u) << "said once, not at every login";
}

}  // namespace
}  // namespace q5test
