// frmProperties: the properties window (PIM client, pop-up screen and
// sound), a window of its own. It reads and stores nothing; its choices
// change nothing elsewhere.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

#include "shell/window_manager.h"

namespace Ui {
class frmProperties;
}

namespace q5 {

class frmProperties : public QWidget {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::Properties;

    frmProperties();
    ~frmProperties() override;
    Ui::frmProperties* ui() const { return ui_; }

private:
    Ui::frmProperties* ui_;
};

}  // namespace q5
