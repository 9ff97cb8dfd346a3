// frmPIMSetup: the PIM setup window (the contacts' telephone number pattern), a window of its own.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

namespace Ui {
class frmPIMSetup;
}

namespace q5 {

class frmPIMSetup : public QWidget {
    Q_OBJECT

public:
    frmPIMSetup();
    ~frmPIMSetup() override;
    Ui::frmPIMSetup* ui() const { return ui_; }

private:
    Ui::frmPIMSetup* ui_;
};

}  // namespace q5
