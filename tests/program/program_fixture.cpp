#include "program_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <QTest>

#include "shell/frm_login.h"
#include "shell/library_registration.h"
#include "ui_frm_login.h"

namespace q5test {

QString Shown(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        shown += caption.at(i);
    }
    return shown;
}

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
    program_ = std::make_unique<q5::Program>();
    ASSERT_EQ(session().Create(), S_OK);
}

void ProgramTest::TearDown() {
    program_.reset();
    q5::shell::MessageService::SetResponder({});
    home_.reset();
    // A test that ended the program told the application's event loops to
    // quit (QCoreApplication::exit) while none ran, and that request stays:
    // every loop started later, a session call's wait too, would return at
    // once. Running the application's own loop once clears it.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
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

bool ProgramTest::PumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i) QTest::qWait(5);
    return done();
}

HRESULT ProgramTest::LogInSession(int port, const QString& user, const QString& password) {
    const auto wide = [](const QString& text) {
        return BStr(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<UINT>(text.size()));
    };
    BStr host = wide(QStringLiteral("127.0.0.1")), name = wide(user), secret = wide(password);
    const HRESULT hr = session().Call(nullptr, [&](const q5::SessionViews& views) {
        HRESULT result = views.connect->Connect(host.Get(), port, 10);
        if (SUCCEEDED(result)) result = views.connect->Login(name.Get(), secret.Get());
        return result;
    });
    if (SUCCEEDED(hr)) {
        session().setUserName(user);
        session().setPassword(password);
        session().setLoggedIn(true);
    }
    return hr;
}

}  // namespace q5test
