// frmCallOut: "Call Out Settings", a child of the main window's MDI area:
// the seven call-out numbers and seven schedule rows of the logged-in
// mailbox's BOX_BIN record, all as plain text. Selects table BOX_BIN on
// every activation, and Load and Save select it again. The first failing call
// of Load or Save is reported and ends the operation; the window and the
// user's edits stay. The binding table is in frm_call_out.cpp, next to the
// form.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

#include <array>
#include <vector>

#include "mailbox/bindings.h"
#include "mailbox/table_calls.h"
#include "shell/window_manager.h"

namespace Ui {
class frmCallOut;
}

class QAction;
class QCheckBox;
class QLineEdit;
class QToolBar;

namespace q5 {

namespace mailbox {
class DropDownCombo;
}

class frmCallOut : public QWidget {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::CallOut;
    frmCallOut(Session& session, WindowManager& windows);
    ~frmCallOut() override;
    Ui::frmCallOut* ui() const { return ui_; }

    void Form_Activate();
    // False when a call failed (reported already).
    bool Load();
    bool Save();

    QToolBar* tbToolBar = nullptr;
    QAction* tbSave = nullptr;  // key "Save"
    std::array<QLineEdit*, 7> Text16{}, Text17{};
    std::array<mailbox::DropDownCombo*, 7> Combo16{};
    std::array<QCheckBox*, 7> Check1{};
    // Text18 ("RM") to Text27 ("Try3"), row i: Grid[n - 18][i].
    std::array<std::array<QLineEdit*, 7>, 10> Grid{};

public slots:
    void tbToolBar_ButtonClick() { Save(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    mailbox::TableCalls Calls(mailbox::TableCalls::Policy policy) { return {session_, windows_, policy, this}; }

    Session& session_;
    WindowManager& windows_;
    Ui::frmCallOut* ui_;
    std::vector<mailbox::Binding> box_bin_;
};

}  // namespace q5
