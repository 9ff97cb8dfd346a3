// The old entry points of the program's windows, kept only for the call
// control, PIM setup, properties and greeting windows until they take the
// program's WindowManager in their constructors. Kinds that name their
// WindowKind go through the program's manager (Program sets it); the
// others keep a slot of their own. This file goes once they no longer use it.
//
// Thread rule: UI thread only.
#pragma once

#include <QPointer>
#include <QWidget>

#include "shell/window_manager.h"

namespace q5 {

class frmAbout;
class frmAdvanced;
class frmCallControl;
class frmCallOut;
class frmConversionTable;
class frmGreeting;
class frmLogin;
class frmMain;
class frmMbx;
class frmPIMSetup;
class frmProperties;

namespace windows {

// The program's manager, or null.
void SetManager(WindowManager* manager);
WindowManager* Manager();
WindowManager& RequireManager();

namespace detail {
template <class Form>
concept Managed = requires { Form::kWindowKind; };
template <class Form>
QPointer<Form>& Slot() {
    static QPointer<Form> slot;
    return slot;
}
void Dispose(QWidget* form);
}  // namespace detail

template <class Form>
Form* Loaded() {
    if constexpr (detail::Managed<Form>) {
        return Manager() ? Manager()->Loaded<Form>() : nullptr;
    } else {
        return detail::Slot<Form>().data();
    }
}

template <class Form>
Form& Load() {
    if constexpr (detail::Managed<Form>) {
        return RequireManager().Load<Form>();
    } else {
        QPointer<Form>& slot = detail::Slot<Form>();
        if (!slot) slot = new Form();
        return *slot;
    }
}

template <class Form>
void Unload() {
    if constexpr (detail::Managed<Form>) {
        if (Manager()) Manager()->Unload<Form>();
    } else {
        QPointer<Form>& slot = detail::Slot<Form>();
        if (Form* form = slot.data()) {
            slot = nullptr;
            detail::Dispose(form);
        }
    }
}

void UnloadAllWindows();
bool CloseEditingWindows();
void OfferReconnect(QWidget* parent);
void EndProgram(int code = 0);
bool ProgramEnding();
int ProgramExitCode();
void DestroyAllWindows();

}  // namespace windows
}  // namespace q5
