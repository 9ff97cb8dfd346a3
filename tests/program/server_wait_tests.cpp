// The visible wait. Without a server: a session whose work blocks until the
// test lets it go. While a window waits its input is held and, half a second
// in, it shows "Waiting for the server..." with Cancel; other windows, and
// the other MDI children of the same main window, keep taking input. With
// the program: a login to a host that never greets ends with Cancel.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <condition_variable>
#include <mutex>

#include "gate.h"
#include "silent_host.h"
#include "program_fixture.h"
#include "shell/frm_login.h"
#include "shell/server_wait.h"
#include "shell/session.h"
#include "ui_frm_login.h"

namespace q5test {
namespace {

using q5::ServerWaitIndicator;
using q5::Session;
using q5::SessionViews;

// A window with two text boxes.
class Form : public QWidget {
public:
    explicit Form(QWidget* parent = nullptr)
        : QWidget(parent), edit(new QLineEdit(this)), second(new QLineEdit(this)) {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        layout->addWidget(second);
        resize(320, 200);
    }
    QLineEdit* edit;
    QLineEdit* second;
};

using q5test::Gate;

// A click as the window system delivers it: to the window, at a point of
// the widget (its centre unless given) that nothing covers.
void ClickAt(QWidget* widget, QPoint at = {-1, -1}) {
    if (at.x() < 0) at = widget->rect().center();
    QWidget* top = widget->window();
    const QPoint in_top = widget->mapTo(top, at);
    EXPECT_EQ(top->childAt(in_top), widget) << "the click would not reach it";
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, in_top);
}

QPushButton* CancelOf(QWidget* panel) {
    return panel ? panel->findChild<QPushButton*>(QStringLiteral("serverWaitCancel")) : nullptr;
}

void ExpectPanelShowsTheWait(QWidget* panel, const QWidget* host) {
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    const auto* label = panel->findChild<QLabel*>(QStringLiteral("serverWaitLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Waiting for the server..."));
    const QPushButton* cancel = CancelOf(panel);
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(host->rect().contains(panel->geometry())) << "panel outside its window";
    // Whole text and button, also in a narrow window.
    EXPECT_TRUE(panel->rect().contains(label->geometry()));
    EXPECT_TRUE(panel->rect().contains(cancel->geometry()));
    EXPECT_GE(cancel->width(), cancel->sizeHint().width());
    if (label->wordWrap()) {
        EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    } else {
        EXPECT_GE(label->width(), label->sizeHint().width());
    }
}

TEST(ServerWaitTest, WaitingWindowsHoldInputAndShowTheWaitWhileOthersWork) {
    Session session;
    ServerWaitIndicator indicator(session);

    Form dialog;  // a top-level window that waits
    dialog.show();
    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    main.resize(800, 600);
    auto* child = new Form;  // an MDI child that waits
    QMdiSubWindow* child_frame = area->addSubWindow(child);
    // Narrower than the panel's one-line form.
    child_frame->resize(180, 200);
    auto* sibling = new Form;  // its sibling, which does not
    area->addSubWindow(sibling);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    child->second->setFocus();
    Gate release;
    bool checked = false;
    // While the dialog waits (outer), the MDI child begins a wait of its own
    // (inner); both stay waiting until the gate opens.
    QTimer::singleShot(0, &dialog, [&] {
        QTimer::singleShot(0, child, [&] {
            QTest::keyClicks(dialog.edit, QStringLiteral("held"));
            QTest::keyClicks(child->edit, QStringLiteral("held"));
            QTest::keyClicks(sibling->edit, QStringLiteral("free"));
            EXPECT_EQ(dialog.edit->text(), QString());
            EXPECT_EQ(child->edit->text(), QString());
            EXPECT_EQ(sibling->edit->text(), QStringLiteral("free"));
            EXPECT_TRUE(indicator.IsHeld(child_frame));
            EXPECT_FALSE(indicator.IsHeld(sibling));
            EXPECT_FALSE(indicator.IsHeld(&main));
            // No panel for a short wait.
            EXPECT_EQ(indicator.PanelOf(&dialog), nullptr);
            EXPECT_EQ(indicator.PanelOf(child), nullptr);

            ASSERT_TRUE(
                QTest::qWaitFor([&] { return indicator.PanelOf(&dialog) && indicator.PanelOf(child); }));
            ExpectPanelShowsTheWait(indicator.PanelOf(&dialog), &dialog);
            ExpectPanelShowsTheWait(indicator.PanelOf(child), child);
            EXPECT_NE(indicator.PanelOf(&dialog), indicator.PanelOf(child));
            // The Cancel button is the one control that takes input; Escape
            // anywhere in the waiting window presses it.
            QPushButton* cancel = CancelOf(indicator.PanelOf(child));
            EXPECT_FALSE(indicator.IsHeld(cancel));
            QSignalSpy clicked(cancel, &QPushButton::clicked);
            ClickAt(cancel);
            EXPECT_EQ(clicked.count(), 1);
            QTest::keyClick(child->edit, Qt::Key_Escape);
            EXPECT_EQ(clicked.count(), 2);
            // A click on a text box neither lands nor moves the focus.
            ClickAt(child->edit, {3, 3});
            EXPECT_EQ(child_frame->focusWidget(), cancel);
            QTest::keyClicks(child->edit, QStringLiteral("held"));
            EXPECT_EQ(child->edit->text(), QString());
            checked = true;
            release.Open();
        });
        EXPECT_EQ(session.Call(child, [](const SessionViews&) { return 2; }), 2);
        // The inner wait is over: its panel went, the outer one stays.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(indicator.PanelOf(child), nullptr);
        EXPECT_NE(indicator.PanelOf(&dialog), nullptr);
        // The click on Cancel took the focus; it is back in the second box.
        EXPECT_EQ(child_frame->focusWidget(), child->second);
        QTest::keyClicks(child->edit, QStringLiteral("typed"));
        EXPECT_EQ(child->edit->text(), QStringLiteral("typed"));
    });
    EXPECT_EQ(session.Call(&dialog,
                           [&release](const SessionViews&) {
                               release.Wait();
                               return 1;
                           }),
              1);
    EXPECT_TRUE(checked);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(indicator.PanelOf(&dialog), nullptr);
    EXPECT_EQ(dialog.findChild<QWidget*>(QStringLiteral("serverWaitPanel")), nullptr);
    QTest::keyClicks(dialog.edit, QStringLiteral("typed"));
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("typed"));
}

// ---- with the program's session ---------------------------------------------------------

using q5test::SilentHost;

class LoginWaitTest : public ProgramTest {};

TEST_F(LoginWaitTest, LoginToAHostThatNeverGreetsEndsWithCancel) {
    SilentHost host;
    ASSERT_GT(host.port(), 0);
    auto& login = windows().Load<q5::frmLogin>();
    login.ShowNonModal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    login.ui()->txtUserName->setText(QStringLiteral("101"));
    login.ui()->txtPassword->setText(QStringLiteral("1234"));
    login.ui()->Text1->setText(QStringLiteral("127.0.0.1:%1").arg(host.port()));
    Answer({q5::shell::MsgAnswer::ok});  // "No Connection": try again

    bool cancelled = false;
    bool too_late = false;
    // Ten seconds tell a working Cancel from the greeting's own 30 s
    // timeout; the wait can only end once this code returned to it.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setInterval(10000);
    QObject::connect(&deadline, &QTimer::timeout, [&] { too_late = session().waiting(); });
    // Once the login dialog shows its wait.
    auto* poll = new QTimer(&login);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [&] {
        if (!program().wait_indicator().PanelOf(&login)) return;
        poll->stop();
        ASSERT_TRUE(session().IsWaiting(&login));
        QPushButton* cancel = CancelOf(program().wait_indicator().PanelOf(&login));
        ASSERT_NE(cancel, nullptr);
        ClickAt(cancel);
        cancelled = true;
        deadline.start();
    });
    poll->start();
    QTest::mouseClick(login.ui()->cmdOK, Qt::LeftButton);
    Pump();
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(too_late) << "Cancel did not end the wait for the greeting";
    EXPECT_FALSE(session().loggedIn());
    ASSERT_FALSE(asked().empty());
    EXPECT_EQ(asked().back().title, QStringLiteral("No Connection"));
    // The login dialog is back and takes input.
    auto* again = windows().Loaded<q5::frmLogin>();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
    again->ui()->txtUserName->clear();
    QTest::keyClicks(again->ui()->txtUserName, QStringLiteral("102"));
    EXPECT_EQ(again->ui()->txtUserName->text(), QStringLiteral("102"));
}

}  // namespace
}  // namespace q5test
