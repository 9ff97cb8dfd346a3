// frmAdvanced: "Advanced Settings", a child of the main window's MDI area:
// call transfer, call screening, follow-me and the wake-up calls of the
// logged-in mailbox's BOX record, with the times as plain text. Selects
// table BOX on every activation, and Load and Save select it again. Its
// binding table is in frm_advanced.cpp, next to the form.
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
class frmAdvanced;
}

class QAction;
class QButtonGroup;
class QRadioButton;
class QToolBar;

namespace q5 {

class frmAdvanced : public QWidget {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::Advanced;
    frmAdvanced(Session& session, WindowManager& windows);
    ~frmAdvanced() override;
    Ui::frmAdvanced* ui() const { return ui_; }

    void Form_Activate();
    void Load();
    void Save();

    QToolBar* tbToolBar = nullptr;
    QAction* tbSave = nullptr;  // key "Save"
    std::array<QRadioButton*, 4> Option1{}, Option2{}, Option3{};

public slots:
    void tbToolBar_ButtonClick() { Save(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    mailbox::TableCalls Calls(mailbox::TableCalls::Policy policy) { return {session_, windows_, policy, this}; }

    Session& session_;
    WindowManager& windows_;
    Ui::frmAdvanced* ui_;
    QButtonGroup* grpOption1_ = nullptr;
    QButtonGroup* grpOption2_ = nullptr;
    QButtonGroup* grpOption3_ = nullptr;
    std::vector<mailbox::Binding> box_;
};

}  // namespace q5
