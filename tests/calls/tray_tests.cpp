// The tray icon, the desktop settings window and the second start's show
// request, with the whole program put together (Program) against q5sim.
// The desktop's tray is given to the program as present; offscreen, Qt has
// none to show the icon in.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <thread>

#include "calls/frm_call_control.h"
#include "mailbox/frm_mbx.h"
#include "program_fixture.h"
#include "shell/autostart.h"
#include "shell/frm_desktop_settings.h"
#include "shell/frm_main.h"
#include "shell/settings.h"
#include "shell/show_request.h"
#include "sim_control.h"
#include "ui_frm_desktop_settings.h"
#include "ui_frm_login.h"
#include "ui_frm_main.h"
#include "ui_frm_mbx.h"

namespace q5test {
namespace {

using q5::frmMain;
using q5::shell::MsgAnswer;
using q5::shell::Setting;

class TrayTest : public ProgramTest {
protected:
    void StartProgram(bool tray) {
        program_.reset();
        program_ = std::make_unique<q5::Program>([tray] { return tray; });
        ASSERT_EQ(session().Create(), S_OK);
        sim_ = std::make_unique<CallSim>(Q5SIM_TOOL, home_->path());
        ASSERT_GT(sim_->port(), 0) << "q5sim did not start";
        LogIn(windows().Load<q5::frmLogin>(), QStringLiteral("101"), QStringLiteral("1234"),
              QStringLiteral("127.0.0.1:%1").arg(sim_->port()), false);
        ASSERT_TRUE(session().loggedIn());
        main_ = &windows().Load<frmMain>();
        main_->show();
        Pump();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        sim_.reset();
    }
    q5::frmCallControl* Calls() { return windows().Loaded<q5::frmCallControl>(); }
    // Clicks the entry `text` of the tray icon's menu.
    void ClickTrayMenu(const QString& text) {
        QMenu* menu = program().tray().menu();
        menu->popup(QPoint(10, 10));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == text) chosen = action;
        }
        ASSERT_NE(chosen, nullptr) << text.toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        Pump();
    }

    std::unique_ptr<CallSim> sim_;
    frmMain* main_ = nullptr;
};

TEST_F(TrayTest, ClosingTheMainWindowHidesItOnlyWithATrayAndKeepInTray) {
    struct Case {
        bool tray;
        bool keep;
        bool hides;
    };
    for (const Case c : {Case{true, true, true}, Case{true, false, false}, Case{false, true, false}}) {
        SCOPED_TRACE(testing::Message() << "tray " << c.tray << " keep " << c.keep);
        q5::shell::Settings().SetNumber(Setting::KeepInTray, c.keep ? 1 : 0);
        StartProgram(c.tray);
        main_->close();
        Pump();
        EXPECT_EQ(windows().ProgramEnding(), !c.hides);
        EXPECT_FALSE(main_->isVisible());
        EXPECT_EQ(q5::shell::Settings().Number(Setting::TrayNoticeShown), c.hides ? 1 : 0);
        EXPECT_TRUE(asked().empty());
        windows().DestroyAllWindows();
        q5::shell::Settings().Remove(Setting::TrayNoticeShown);
        // The ended program's request to leave the event loops is cleared.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
}

TEST_F(TrayTest, HiddenInTheTrayCallsStillArriveAndShowBringsTheWindowBack) {
    StartProgram(true);
    EXPECT_EQ(program().tray().icon().toolTip(), QStringLiteral("Q5Client: logged in to mailbox 101"));
    main_->close();
    Pump();
    ASSERT_FALSE(main_->isVisible());
    ASSERT_FALSE(windows().ProgramEnding());
    ASSERT_NE(Calls(), nullptr);
    // The log starts on a thread of its own.
    ASSERT_TRUE(PumpUntil([&] { return Calls()->LogRunning(); })) << Calls()->LogStatus().toStdString();

    const QString key = QString::fromStdString(sim_->StartCall("101", "2125550100"));
    ASSERT_FALSE(key.isEmpty());
    EXPECT_TRUE(PumpUntil([&] { return Calls()->RowOf(key) != nullptr; })) << "the event log stopped";
    EXPECT_TRUE(Calls()->LogRunning());
    EXPECT_EQ(session().callsWaiting(), 1);
    EXPECT_EQ(program().tray().icon().toolTip(), QStringLiteral("Q5Client: mailbox 101, calls waiting: 1"));

    ClickTrayMenu(QStringLiteral("Show"));
    EXPECT_TRUE(main_->isVisible());
    sim_->Command("SIM_HANGUP " + key.toStdString());
    EXPECT_TRUE(PumpUntil([&] { return session().callsWaiting() == 0; }));
    session().setLoggedIn(false);
    EXPECT_EQ(program().tray().icon().toolTip(), QStringLiteral("Q5Client: disconnected"));
}

TEST_F(TrayTest, QuitFromTheTrayAsksAboutUnsavedEditsAndEndsTheProgram) {
    StartProgram(true);
    main_->close();
    Pump();
    ClickTrayMenu(QStringLiteral("Mailbox Settings"));
    auto* editor = windows().Loaded<q5::frmMbx>();
    ASSERT_NE(editor, nullptr);
    QTest::mouseClick(editor->ui()->Check2, Qt::LeftButton);
    ASSERT_TRUE(session().fieldsChanged());

    Answer({MsgAnswer::cancel});
    ClickTrayMenu(QStringLiteral("Quit"));
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Fields have been changed. Do you want to save?"));
    EXPECT_FALSE(windows().ProgramEnding()) << "Cancel keeps the program";
    EXPECT_NE(windows().Loaded<frmMain>(), nullptr);

    Answer({MsgAnswer::no});
    ClickTrayMenu(QStringLiteral("Quit"));
    EXPECT_EQ(asked().size(), 2u);
    EXPECT_TRUE(windows().ProgramEnding());
}

TEST_F(TrayTest, SettingsWindowStoresTheChoicesAndWritesOrRemovesTheAutostartEntry) {
    StartProgram(true);
    const auto open = [this] {
        main_->ui()->mnuDesktopSettings->trigger();
        Pump();
        return windows().Loaded<q5::frmDesktopSettings>();
    };
    q5::frmDesktopSettings* form = open();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->isVisible());
    EXPECT_FALSE(form->ui()->lblNoTray->isVisible());
    EXPECT_TRUE(form->ui()->chkNotifications->isChecked());
    EXPECT_FALSE(form->ui()->chkAutostart->isChecked());
    QTest::mouseClick(form->ui()->chkNotifications, Qt::LeftButton);
    QTest::mouseClick(form->ui()->chkAutostart, Qt::LeftButton);
    QTest::mouseClick(form->ui()->chkStartMinimised, Qt::LeftButton);
    QTest::mouseClick(form->ui()->cmdOK, Qt::LeftButton);
    Pump();
    EXPECT_EQ(windows().Loaded<q5::frmDesktopSettings>(), nullptr);
    const q5::shell::Settings settings;
    EXPECT_EQ(settings.Number(Setting::Notifications), 0);
    EXPECT_EQ(settings.Number(Setting::KeepInTray), 1);
    EXPECT_EQ(settings.Number(Setting::Autostart), 1);
    EXPECT_EQ(settings.Number(Setting::StartMinimised), 1);
    EXPECT_TRUE(QFile::exists(q5::shell::AutostartEntryPath()));

    // Cancel (here: Escape) changes nothing; OK without the box removes the entry.
    form = open();
    ASSERT_TRUE(form->ui()->chkAutostart->isChecked());
    QTest::mouseClick(form->ui()->chkAutostart, Qt::LeftButton);
    QTest::keyClick(form, Qt::Key_Escape);
    Pump();
    EXPECT_TRUE(QFile::exists(q5::shell::AutostartEntryPath()));
    form = open();
    ASSERT_TRUE(form->ui()->chkAutostart->isChecked());
    QTest::mouseClick(form->ui()->chkAutostart, Qt::LeftButton);
    QTest::mouseClick(form->ui()->cmdOK, Qt::LeftButton);
    Pump();
    EXPECT_FALSE(QFile::exists(q5::shell::AutostartEntryPath()));
    EXPECT_EQ(q5::shell::Settings().Number(Setting::Autostart), 0);
}

TEST_F(TrayTest, StartMinimisedLeavesTheMainWindowInTheTrayOnlyWhenThereIsOne) {
    q5::shell::Settings().SetNumber(Setting::StartMinimised, 1);
    sim_ = std::make_unique<CallSim>(Q5SIM_TOOL, home_->path());
    ASSERT_GT(sim_->port(), 0) << "q5sim did not start";
    for (const bool tray : {true, false}) {
        SCOPED_TRACE(tray ? "tray" : "no tray");
        program_.reset();
        program_ = std::make_unique<q5::Program>([tray] { return tray; });
        q5::Program::Options options;
        options.host = QStringLiteral("127.0.0.1:%1").arg(sim_->port());
        options.user = QStringLiteral("101");
        ASSERT_TRUE(program().Start(options));
        q5::frmLogin* login = windows().Loaded<q5::frmLogin>();
        ASSERT_NE(login, nullptr);
        QTest::keyClicks(login->ui()->txtPassword, QStringLiteral("1234"));
        QTest::mouseClick(login->ui()->cmdOK, Qt::LeftButton);
        Pump();
        frmMain* main = windows().Loaded<frmMain>();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(main->isVisible(), !tray);
        EXPECT_NE(windows().Loaded<q5::frmCallControl>(), nullptr);
    }
}

TEST_F(TrayTest, ASecondStartShowsTheWindowOnlyWhenItIsHiddenInTheTray) {
    StartProgram(true);
    q5::shell::ShowRequestServer server([this] { return program().tray().ShowIfHidden(); });
    ASSERT_TRUE(server.Listen());
    const auto ask = [] {
        // The second start blocks; this program's loop must answer meanwhile.
        std::atomic<int> answer{-1};
        std::thread second([&answer] { answer = q5::shell::AskRunningInstanceToShow() ? 1 : 0; });
        PumpUntil([&answer] { return answer >= 0; });
        second.join();
        return answer == 1;
    };
    EXPECT_FALSE(ask()) << "a visible window: refused";
    main_->close();
    Pump();
    ASSERT_FALSE(main_->isVisible());
    EXPECT_TRUE(ask());
    EXPECT_TRUE(main_->isVisible());
}

}  // namespace
}  // namespace q5test
