// A server that stalls while a window waits for it: q5sim stopped with
// SIGSTOP during a Save of the mailbox editor. The program keeps working
// (the status bar clock runs, the About window answers), the editor holds
// its input and after half a second shows that it waits, and its Cancel
// ends the wait with the lost-connection question.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>

#include "mailbox/frm_mbx.h"
#include "mailbox_fixture.h"
#include "shell/frm_about.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/server_wait.h"

namespace q5test {
namespace {

using q5::frmMbx;
using q5::shell::MsgAnswer;

QPushButton* CancelIn(QWidget* panel) {
    return panel ? panel->findChild<QPushButton*>(QStringLiteral("serverWaitCancel")) : nullptr;
}

class StallTest : public MailboxTest {
protected:
    Q5Sim& sim() { return dynamic_cast<Q5Sim&>(*server_); }
    // Runs `script` from the event loop once `window` shows its wait.
    void WhenWaitShows(QWidget& window, std::function<void()> script) {
        auto* poll = new QTimer(&window);
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [this, &window, poll, script = std::move(script)] {
            if (!program().wait_indicator().PanelOf(&window)) return;
            poll->stop();
            poll->deleteLater();
            script();
        });
        poll->start();
    }
    void TearDown() override {
        if (server_) sim().Resume();
        MailboxTest::TearDown();
    }
};

TEST_F(StallTest, StalledSaveLeavesTheProgramWorkingAndCancelOffersToLogInAgain) {
    auto& main = windows().Load<q5::frmMain>();
    main.show();
    auto& editor = windows().Load<frmMbx>();
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    auto* clock = main.findChild<QLabel*>(QStringLiteral("sbStatusBar_3"));
    ASSERT_NE(clock, nullptr);
    auto* text_box = editor.findChild<QLineEdit*>();
    ASSERT_NE(text_box, nullptr);
    const QString text_before = text_box->text();
    Answer({MsgAnswer::ok});  // "Disconnected...": log in again
    sim().Pause();

    bool checked = false;
    bool too_late = false;
    // Ten seconds tell a working Cancel from the 31 s read timeout; the wait
    // can only end once the script returned to it.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setInterval(10000);
    QObject::connect(&deadline, &QTimer::timeout, [&] { too_late = session().waiting(); });
    // Runs once the editor shows its wait: half a second into the stalled call.
    WhenWaitShows(editor, [&] {
        ASSERT_TRUE(session().IsWaiting(&editor));
        // The clock runs on: a blanked label is filled again.
        clock->setText(QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !clock->text().isEmpty(); }));
        // Another window takes input.
        auto& about = windows().Load<q5::frmAbout>();
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key_Escape);
        EXPECT_FALSE(about.isVisible()) << "the About window did not answer";
        // The editor's own input is held.
        QTest::keyClicks(text_box, QStringLiteral("9"));
        EXPECT_EQ(text_box->text(), text_before);
        // Its Cancel ends the wait.
        QPushButton* cancel = CancelIn(program().wait_indicator().PanelOf(&editor));
        ASSERT_NE(cancel, nullptr);
        EXPECT_TRUE(cancel->isVisible());
        checked = true;
        QTest::mouseClick(cancel, Qt::LeftButton);
        deadline.start();
    });
    QTest::mouseClick(editor.tbToolBar->widgetForAction(editor.tbSave), Qt::LeftButton);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(too_late) << "Cancel did not end the wait";
    EXPECT_FALSE(session().IsWaiting(&editor));
    Pump();
    EXPECT_EQ(program().wait_indicator().PanelOf(&editor), nullptr);
    const std::vector<QString> texts = AskedTexts();
    EXPECT_EQ(
        std::count(texts.begin(), texts.end(),
                   QStringLiteral("Connection To Q5Server has been lost. Press OK to reconnect or Cancel "
                                  "to terminate you session.")),
        1);
    auto* login = windows().Loaded<q5::frmLogin>();
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->isVisible());
    EXPECT_FALSE(session().loggedIn());
}

}  // namespace
}  // namespace q5test
