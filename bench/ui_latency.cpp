// How late the program's UI thread gets while the server stalls, and how
// quickly Cancel gives the window back:
//
//   the program logged in to q5sim as mailbox 101, main window and mailbox
//   editor open; q5sim stopped (SIGSTOP); a click on the editor's Save. A
//   10 ms timer on the UI thread notes when it runs; 10 s after the click
//   the wait panel's Cancel is clicked.
//
// Figures, one a line ("name value unit"):
//   idle_worst               the same in the second before, nothing waiting
//   stall_worst, stall_p99   lateness of the 10 ms slots in the 10 s after
//                            the click (see ui_latency_probe.h)
//   cancel_to_tick           Cancel click to the timer's next run
//   cancel_to_input          Cancel click to the end of the editor's wait
//                            (its input no longer held; a key typed into
//                            it then is checked to land)
//   cancel_to_question       Cancel click to the "Disconnected..." question
// Run with scripts/bench-ui (offscreen unless QT_QPA_PLATFORM is set). The
// same scenario against the program before the session thread:
// bench/before/run.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include "mailbox/frm_mbx.h"
#include "shell/frm_main.h"
#include "shell/library_registration.h"
#include "shell/message_service.h"
#include "shell/program.h"
#include "shell/server_wait.h"
#include "ui_latency_probe.h"

int main(int argc, char** argv) {
    using namespace q5bench;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TempHome home;
    setenv("Q5CLIENT_LIBRARY", Q5CLIENT_LIBRARY, 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Q5SimProcess sim(Q5SIM_TOOL);
    if (sim.port() <= 0) return std::fprintf(stderr, "ui_latency: q5sim did not start\n"), 1;
    if (!q5::shell::EnsureClientClassRegistered(QString()).ok) return 1;

    auto program = std::make_unique<q5::Program>();
    q5::Session& session = program->session();
    if (FAILED(session.Create())) return std::fprintf(stderr, "ui_latency: no session object\n"), 1;
    const int port = sim.port();
    const HRESULT login = session.Call(nullptr, [port](const q5::SessionViews& v) {
        HRESULT hr = v.connect->Connect(BStr(u"127.0.0.1").Get(), port, 10);
        if (SUCCEEDED(hr)) hr = v.connect->Login(BStr(u"101").Get(), BStr(u"1234").Get());
        return hr;
    });
    if (FAILED(login)) return std::fprintf(stderr, "ui_latency: login failed\n"), 1;
    session.setUserName(QStringLiteral("101"));
    session.setPassword(QStringLiteral("1234"));
    session.setLoggedIn(true);

    Clock::time_point asked{};
    q5::shell::MessageService::SetResponder([&asked](const q5::shell::MessageRequest& request) {
        if (asked == Clock::time_point{} && request.title == QLatin1String("Disconnected..."))
            asked = Clock::now();
        return q5::shell::MsgAnswer::ok;
    });
    auto& main = program->windows().Load<q5::frmMain>();
    main.show();
    auto& editor = program->windows().Load<q5::frmMbx>();
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) return 1;
    auto* text_box = editor.findChild<QLineEdit*>();

    Clock::time_point cancelled{};
    Clock::time_point wait_ended{};
    QObject::connect(&session, &q5::Session::waitEnded, [&](QObject* waiter) {
        if (waiter == &editor && cancelled != Clock::time_point{} && wait_ended == Clock::time_point{}) {
            wait_ended = Clock::now();
        }
    });
    bool cancel_found = false;
    TickProbe probe;
    probe.Start();
    const Clock::time_point idle = Clock::now();
    QTest::qWait(1000);
    sim.Pause();
    const Clock::time_point click = Clock::now();
    QTimer::singleShot(10000, &editor, [&] {
        QWidget* panel = program->wait_indicator().PanelOf(&editor);
        auto* cancel = panel ? panel->findChild<QPushButton*>(QStringLiteral("serverWaitCancel")) : nullptr;
        cancel_found = cancel != nullptr;
        cancelled = Clock::now();
        if (cancel) QTest::mouseClick(cancel, Qt::LeftButton);
    });
    QTest::mouseClick(editor.tbToolBar->widgetForAction(editor.tbSave), Qt::LeftButton);
    const Clock::time_point returned = Clock::now();
    bool typed = false;
    if (text_box) {
        const QString before = text_box->text();
        QTest::keyClick(text_box, Qt::Key_End);
        QTest::keyClicks(text_box, QStringLiteral("7"));
        typed = text_box->text() != before;
    }
    QTest::qWait(500);
    probe.Stop();

    const TickProbe::Figures stall = probe.Lateness(click, click + std::chrono::seconds(10));
    const TickProbe::Figures calm = probe.Lateness(idle, idle + std::chrono::milliseconds(990));
    std::printf("ui_latency idle_worst %.1f ms (the second before the stall, for comparison)\n",
                calm.worst_ms);
    std::printf("ui_latency stall_worst %.1f ms (due %.0f ms after the click)\n", stall.worst_ms,
                stall.worst_at_ms);
    std::printf("ui_latency stall_p99 %.1f ms\n", stall.p99_ms);
    if (!cancel_found) {
        std::printf("ui_latency no wait panel with Cancel after 10 s (the Save returned after %.1f ms)\n",
                    Ms(returned - click));
    } else {
        std::printf("ui_latency cancel_to_tick %.1f ms\n", Ms(probe.FirstTickAfter(cancelled) - cancelled));
        std::printf("ui_latency cancel_to_input %.1f ms%s\n", Ms(wait_ended - cancelled),
                    typed ? "" : " (but the typed key did not land)");
        if (asked != Clock::time_point{}) {
            std::printf("ui_latency cancel_to_question %.1f ms\n", Ms(asked - cancelled));
        }
    }
    sim.Resume();
    program.reset();
    return cancel_found && typed ? 0 : 1;
}
