// frmGreeting: the greeting manager, a child of the main window's MDI area: the mailbox's greetings and recorded name.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

namespace Ui {
class frmGreeting;
}

namespace q5 {

class frmGreeting : public QWidget {
    Q_OBJECT

public:
    frmGreeting();
    ~frmGreeting() override;
    Ui::frmGreeting* ui() const { return ui_; }

private:
    Ui::frmGreeting* ui_;
};

}  // namespace q5
