#include "program_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "shell/frm_login.h"
#include "shell/library_registration.h"
#include "shell/session_state.h"
#include "shell/windows.h"
#include "ui_frm_login.h"

namespace q5test {

void ProgramTest::SetUp() {
    home_ = std::make_unique<TempHome>();
    q5::shell::MessageService::SetResponder([this](const q5::shell::MessageRequest& request) {
        asked_.push_back(request);
        if (answers_.empty()) return q5::shell::MsgAnswer::ok;
        const q5::shell::MsgAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
    const q5::shell::RegistrationResult registration = q5::shell::EnsureClientClassRegistered(QString());
    ASSERT_TRUE(registration.ok) << registration.problem.toStdString();
    ASSERT_EQ(q5::CreateSession(), S_OK);
}

void ProgramTest::TearDown() {
    q5::windows::DestroyAllWindows();
    q5::ReleaseSession();
    q5::shell::MessageService::SetResponder({});
    q5::frmLogin::SetPrefill(QString(), QString());
    q5::frmLogin::ResetSecretStoreNotice();
    home_.reset();
}

void ProgramTest::Answer(std::initializer_list<q5::shell::MsgAnswer> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

std::vector<QString> ProgramTest::AskedTexts() const {
    std::vector<QString> texts;
    for (const auto& request : asked_) texts.push_back(request.text);
    return texts;
}

void ProgramTest::LogIn(q5::frmLogin& login, const QString& user, const QString& password,
                        const QString& host, bool save) {
    login.ui()->txtUserName->setText(user);
    login.ui()->txtPassword->setText(password);
    login.ui()->Text1->setText(host);
    login.ui()->Check1->setChecked(save);
    login.ui()->cmdOK->click();
    Pump();
}

QString ProgramTest::HostOf(const TestServer& server) const {
    return QStringLiteral("127.0.0.1:%1").arg(server.port());
}

void ProgramTest::Pump() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

}  // namespace q5test
