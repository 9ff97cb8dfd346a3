// frmConversionTable: "Key Press", a child of the main window's MDI area:
// what each key 0 to 9 of a caller leads to, and "Department override", in
// the logged-in mailbox's BOX record. It shows and stores the codes as they
// are ("/G", "9999999", a number to dial). It keeps no record of edits and
// never asks to save. Selects table BOX on every activation and on
// closing, and Load and Save select it again. Every failed call shows its
// description and the operation goes on. The binding table is in
// frm_conversion_table.cpp, next to the form.
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
class frmConversionTable;
}

class QAction;
class QComboBox;
class QToolBar;

namespace q5 {

class frmConversionTable : public QWidget {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::ConversionTable;
    frmConversionTable(Session& session, WindowManager& windows);
    ~frmConversionTable() override;
    Ui::frmConversionTable* ui() const { return ui_; }

    void Form_Activate();
    void Load();
    void Save();

    QToolBar* tbToolBar = nullptr;
    QAction* tbSave = nullptr;  // key "Save"
    std::array<QComboBox*, 10> Combo18{};

public slots:
    void tbToolBar_ButtonClick() { Save(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    mailbox::TableCalls Calls(mailbox::TableCalls::Policy policy) { return {session_, windows_, policy, this}; }

    Session& session_;
    WindowManager& windows_;
    Ui::frmConversionTable* ui_;
    std::vector<mailbox::Binding> box_;
};

}  // namespace q5
