// frmMbx: the mailbox editor, a window of its own: the settings of the logged-in mailbox on five tab pages.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

namespace Ui {
class frmMbx;
}

namespace q5 {

class frmMbx : public QWidget {
    Q_OBJECT

public:
    frmMbx();
    ~frmMbx() override;
    Ui::frmMbx* ui() const { return ui_; }

private:
    Ui::frmMbx* ui_;
};

}  // namespace q5
