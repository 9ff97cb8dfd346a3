// frmCallOut: the call-out settings, a child of the main window's MDI area: call-out numbers and schedule rows of the mailbox.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

namespace Ui {
class frmCallOut;
}

namespace q5 {

class frmCallOut : public QWidget {
    Q_OBJECT

public:
    frmCallOut();
    ~frmCallOut() override;
    Ui::frmCallOut* ui() const { return ui_; }

private:
    Ui::frmCallOut* ui_;
};

}  // namespace q5
