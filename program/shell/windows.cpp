#include "shell/windows.h"

#include <QMdiSubWindow>

#include "calls/frm_call_control.h"
#include "calls/frm_pim_setup.h"
#include "calls/frm_properties.h"
#include "greetings/frm_greeting.h"

namespace q5::windows {

namespace {

QPointer<WindowManager> g_manager;

}  // namespace

void SetManager(WindowManager* manager) {
    g_manager = manager;
}

WindowManager* Manager() {
    return g_manager.data();
}

WindowManager& RequireManager() {
    if (!g_manager) qFatal("q5client: no window manager");
    return *g_manager;
}

void detail::Dispose(QWidget* form) {
    QWidget* outer = form;
    if (auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget())) outer = frame;
    outer->hide();
    outer->deleteLater();
}

void UnloadAllWindows() {
    if (g_manager) g_manager->UnloadAllWindows();
}

bool CloseEditingWindows() {
    return !g_manager || g_manager->CloseEditingWindows();
}

void OfferReconnect(QWidget* parent) {
    if (g_manager) g_manager->OfferReconnect(parent);
}

void EndProgram(int code) {
    if (g_manager) g_manager->EndProgram(code);
}

bool ProgramEnding() {
    return g_manager && g_manager->ProgramEnding();
}

int ProgramExitCode() {
    return g_manager ? g_manager->ProgramExitCode() : 0;
}

void DestroyAllWindows() {
    if (g_manager) g_manager->DestroyAllWindows();
    delete Loaded<frmCallControl>();
    delete Loaded<frmPIMSetup>();
    delete Loaded<frmProperties>();
    delete Loaded<frmGreeting>();
}

}  // namespace q5::windows
