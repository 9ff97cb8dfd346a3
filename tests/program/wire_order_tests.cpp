// The order of the commands a user's session puts on the wire: start-up,
// login, the mailbox editor opened from the menu, Save, closing it and
// closing the program, as q5sim logs them on the program's connection.

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <sstream>
#include <string>
#include <vector>

#include "mailbox/frm_mbx.h"
#include "program_fixture.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/program.h"
#include "ui_frm_login.h"
#include "ui_frm_main.h"

namespace q5test {
namespace {

// What q5sim logged of its first connection (the program's own session;
// the event log connects second), in order: "user: command -> reply" per
// command, then "closed". The time stamps and the connect line are left out.
std::vector<std::string> FirstConnection(const std::string& log) {
    std::vector<std::string> entries;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tag = line.find(" #1 ");
        if (tag == std::string::npos) continue;
        const std::string entry = line.substr(tag + 4);
        if (entry.rfind("connected", 0) == 0) continue;
        entries.push_back(entry);
    }
    return entries;
}

using WireOrderTest = ProgramTest;

TEST_F(WireOrderTest, ScriptedUserSessionSendsItsCommandsInOrder) {
    auto server = StartDemoServer();
    auto* sim = dynamic_cast<Q5Sim*>(server.get());
    if (!sim) GTEST_SKIP() << "needs q5sim's command log";
    q5::Program& program = *program_;
    q5::Program::Options options;
    options.host = HostOf(*server);
    options.user = QString::fromStdString(server->user());
    ASSERT_TRUE(program.Start(options));
    q5::frmLogin* login = windows().Loaded<q5::frmLogin>();
    ASSERT_NE(login, nullptr);
    QTest::keyClicks(login->ui()->txtPassword, QString::fromStdString(server->password()));
    QTest::mouseClick(login->ui()->cmdOK, Qt::LeftButton);
    Pump();
    q5::frmMain* main = windows().Loaded<q5::frmMain>();
    ASSERT_NE(main, nullptr);
    main->ui()->mnuMailbox->trigger();
    Pump();
    q5::frmMbx* editor = windows().Loaded<q5::frmMbx>();
    ASSERT_NE(editor, nullptr);
    QTest::mouseClick(editor->tbToolBar->widgetForAction(editor->tbSave), Qt::LeftButton);
    Pump();
    editor->close();
    Pump();
    main->close();
    Pump();
    EXPECT_TRUE(asked().empty()) << AskedTexts().front().toStdString();

    const std::vector<std::string> expected{
        "-: USER 101 -> +OK send password",
        "101: PASS **** -> +OK mailbox 101 logged in",
        "101: GET BOX -> +OK record follows",  // the main window reads the screening
        // The editor opens.
        "101: GET BOX_BIN -> +OK record follows",
        "101: GET BOX -> +OK record follows",
        "101: GET BOX_EMAIL -> +OK record follows",
        "101: GET BOX_EMAIL2 -> +OK record follows",
        // Save.
        "101: PUT BOX_BIN -> +OK send record / +OK updated",
        "101: PUT BOX -> +OK send record / +OK updated",
        "101: PUT BOX_EMAIL -> +OK send record / +OK updated",
        "101: GET BOX_EMAIL2 -> +OK record follows",
        "101: PUT BOX_EMAIL2 -> +OK send record / +OK updated",
        // The program closes.
        "101: QUIT -> +OK bye",
        "closed",
    };
    // q5sim logs the close once it saw the connection end.
    for (int i = 0; i < 1000 && sim->Log().find(" #1 closed") == std::string::npos; ++i) QTest::qWait(10);
    EXPECT_EQ(FirstConnection(sim->Log()), expected);
}

}  // namespace
}  // namespace q5test
