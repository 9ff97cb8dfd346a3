// frmAbout: the About window (title, version, legal warning, picture),
// modal over the main window.
//
// Thread rule: UI thread only.
#pragma once

#include <QDialog>

#include "shell/window_manager.h"

namespace Ui {
class frmAbout;
}

namespace q5 {

class frmAbout : public QDialog {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::About;
    explicit frmAbout(WindowManager& windows);
    ~frmAbout() override;
    Ui::frmAbout* ui() const { return ui_; }

public slots:
    void cmdOK_Click();

private:
    WindowManager& windows_;
    Ui::frmAbout* ui_;
};

}  // namespace q5
