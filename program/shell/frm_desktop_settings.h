// frmDesktopSettings: how the program lives on the desktop: a notification
// for each new call, keeping running in the tray, starting with the desktop
// session (the XDG autostart entry is written or removed on OK) and
// starting minimised to the tray. OK stores the choices and closes; Cancel
// and the window's close leave them as they were.
//
// Thread rule: UI thread only.
#pragma once

#include <QDialog>

#include <functional>

#include "shell/window_manager.h"

namespace Ui {
class frmDesktopSettings;
}

namespace q5 {

class frmDesktopSettings : public QDialog {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::DesktopSettings;
    // `tray_available` says whether the desktop has a tray.
    frmDesktopSettings(WindowManager& windows, std::function<bool()> tray_available);
    ~frmDesktopSettings() override;
    Ui::frmDesktopSettings* ui() const { return ui_; }

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void done(int result) override;

private:
    void Form_Load();

    WindowManager& windows_;
    Ui::frmDesktopSettings* ui_;
};

}  // namespace q5
