// frmCallControl: the call control window, a child of the main window's MDI area: the calls of the logged-in mailbox and the actions on them.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

namespace Ui {
class frmCallControl;
}

namespace q5 {

class frmCallControl : public QWidget {
    Q_OBJECT

public:
    frmCallControl();
    ~frmCallControl() override;
    Ui::frmCallControl* ui() const { return ui_; }

private:
    Ui::frmCallControl* ui_;
};

}  // namespace q5
