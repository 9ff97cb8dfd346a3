// frmPIMSetup: the PIM setup window (the contacts' telephone number pattern,
// the region national numbers are read in, and the contacts folder), a
// window of its own. The pattern in effect is the text of its pattern box:
// filled from the settings store when the window is loaded, and kept as
// typed (saved or not) while it stays loaded; the region box likewise.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

#include "shell/window_manager.h"

#include "shell/registry.h"

namespace Ui {
class frmPIMSetup;
}

namespace q5 {

class frmPIMSetup : public QWidget {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::PIMSetup;

    frmPIMSetup();
    ~frmPIMSetup() override;
    Ui::frmPIMSetup* ui() const { return ui_; }

    QString PatternInEffect() const;
    QString ContactsFolderInEffect() const;
    // The region box's text: a two-letter code, or empty for the locale's.
    QString RegionInEffect() const;

public slots:
    void Command1_Click();  // Save
    void Command2_Click();  // Cancel
    void Command3_Click();  // Browse for the contacts folder

private:
    void Form_Load();
    Ui::frmPIMSetup* ui_;
    shell::Registry mQ5Client;
};

}  // namespace q5
