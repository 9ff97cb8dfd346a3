#include "mailbox/frm_conversion_table.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>

#include "mailbox/activation.h"
#include "mailbox/table_calls.h"
#include "mailbox/window_parts.h"
#include "shell/session.h"
#include "shell/typed_combos.h"
#include "shell/shell_logic.h"
#include "ui_frm_conversion_table.h"

namespace q5 {

using mailbox::Codec;

frmConversionTable::frmConversionTable(Session& session, WindowManager& windows)
    : session_(session), windows_(windows), ui_(new Ui::frmConversionTable) {
    ui_->setupUi(this);
    shell::KeepTypedComboText(this);
    tbSave = mailbox::AddSaveToolBar(this, tbToolBar);
    connect(tbSave, &QAction::triggered, this, &frmConversionTable::tbToolBar_ButtonClick);
    mailbox::Collect(this, Combo18, QStringLiteral("Combo18"));

    // The binding table of the BOX record: keys "1" to "9" are CON_TBL_0 to
    // CON_TBL_8, key "0" is CON_TBL_9; trimmed on load, written as typed.
    for (int key : {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}) {
        const QString field = mailbox::ConversionField(key);
        box_.push_back({field, field, Codec::text, true, false, Combo18[static_cast<size_t>(key)]});
    }
    box_.push_back(
        {QStringLiteral("DEP_OVER"), QStringLiteral("DEP_OVER"), Codec::yes_no, true, false, ui_->Check6});

    new mailbox::ActivationWatch(this, [this] { session_.RunWhenIdle(this, [this] { Form_Activate(); }); });

    // Opening: Load, then the size.
    Load();
    const double dpi = logicalDpiX();
    resize(shell::TwipsToPixels(5850, dpi), shell::TwipsToPixels(5580, dpi));
}

frmConversionTable::~frmConversionTable() {
    delete ui_;
}

void frmConversionTable::Form_Activate() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::show_each);
    calls.SetTable(QStringLiteral("BOX"));
}

void frmConversionTable::Load() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::show_each);
    calls.SetTable(QStringLiteral("BOX"));
    calls.GetRecord();
    mailbox::LoadBindings(calls, box_);
}

void frmConversionTable::Save() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::show_each);
    calls.SetTable(QStringLiteral("BOX"));  // whatever another window selected meanwhile
    mailbox::SaveBindings(calls, box_);
    calls.PutRecord();
}

void frmConversionTable::closeEvent(QCloseEvent* event) {
    // Not while its own call waits for the server: the answer comes first.
    if (session_.IsWaiting(this)) {
        event->ignore();
        return;
    }
    // No record of edits: unsaved edits go with the window.
    Form_Activate();
    event->accept();
    windows_.Unload<frmConversionTable>();
}

}  // namespace q5
