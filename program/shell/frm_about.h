// frmAbout: the About window (title, version, legal warning, picture),
// modal over the main window.
//
// Thread rule: UI thread only.
#pragma once

#include <QDialog>

namespace Ui {
class frmAbout;
}

namespace q5 {

class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout();
    ~frmAbout() override;
    Ui::frmAbout* ui() const { return ui_; }

public slots:
    void cmdOK_Click();

private:
    Ui::frmAbout* ui_;
};

}  // namespace q5
