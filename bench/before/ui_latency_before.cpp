// The UI latency scenario against the program as it was at dbedfc4, where
// every library call ran on the UI thread: logged in to q5sim, q5sim
// stopped, a click on the mailbox editor's Save, the 10 ms timer's lateness
// over the 10 s after the click. That program has no Cancel: the figures
// end with the time the click returned (the read timeout). Built and run by
// bench/before/run (not part of the normal build: it uses that commit's
// program globals).
#include <QApplication>
#include <QTest>
#include <QToolBar>

#include "../ui_latency_probe.h"
#include "mailbox/frm_mbx.h"
#include "shell/frm_main.h"
#include "shell/library_registration.h"
#include "shell/message_service.h"
#include "shell/session_state.h"
#include "shell/windows.h"

namespace {

BStr Wide(const char16_t* text) {
    return BStr(text);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace q5bench;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TempHome home;
    setenv("Q5CLIENT_LIBRARY", Q5CLIENT_LIBRARY, 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Q5SimProcess sim(Q5SIM_TOOL);
    if (sim.port() <= 0) return std::fprintf(stderr, "ui_latency_before: q5sim did not start\n"), 1;
    if (!q5::shell::EnsureClientClassRegistered(QString()).ok || FAILED(q5::CreateSession())) return 1;
    if (FAILED(q5::gConnect->Connect(Wide(u"127.0.0.1").Get(), sim.port(), 10)) ||
        FAILED(q5::gConnect->Login(Wide(u"101").Get(), Wide(u"1234").Get()))) {
        return std::fprintf(stderr, "ui_latency_before: login failed\n"), 1;
    }
    q5::gUserName = QStringLiteral("101");
    q5::gPassword = QStringLiteral("1234");
    q5::gLoggedIn = true;
    Clock::time_point asked{};
    q5::shell::MessageService::SetResponder([&asked](const q5::shell::MessageRequest&) {
        if (asked == Clock::time_point{}) asked = Clock::now();
        return q5::shell::MsgAnswer::cancel;
    });
    q5::frmMain& main = q5::windows::Load<q5::frmMain>();
    main.show();
    q5::frmMbx& editor = q5::windows::Load<q5::frmMbx>();
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) return 1;

    TickProbe probe;
    probe.Start();
    QTest::qWait(1000);
    sim.Pause();
    const Clock::time_point click = Clock::now();
    QTest::mouseClick(editor.tbToolBar->widgetForAction(editor.tbSave), Qt::LeftButton);
    const Clock::time_point returned = Clock::now();
    QTest::qWait(200);
    probe.Stop();
    const TickProbe::Figures stall = probe.Lateness(click, click + std::chrono::seconds(10));
    std::printf("ui_latency_before stall_worst %.1f ms\n", stall.worst_ms);
    std::printf("ui_latency_before stall_p99 %.1f ms\n", stall.p99_ms);
    std::printf("ui_latency_before click_to_return %.1f ms (no Cancel: the read timeout)\n",
                Ms(returned - click));
    if (asked != Clock::time_point{}) {
        std::printf("ui_latency_before click_to_question %.1f ms\n", Ms(asked - click));
    }
    sim.Resume();
    q5::windows::DestroyAllWindows();
    q5::ReleaseSession();
    return 0;
}
