// frmAdvanced: the advanced settings, a child of the main window's MDI area: call transfer, screening, follow-me, paging and wake-up calls of the mailbox.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

namespace Ui {
class frmAdvanced;
}

namespace q5 {

class frmAdvanced : public QWidget {
    Q_OBJECT

public:
    frmAdvanced();
    ~frmAdvanced() override;
    Ui::frmAdvanced* ui() const { return ui_; }

private:
    Ui::frmAdvanced* ui_;
};

}  // namespace q5
