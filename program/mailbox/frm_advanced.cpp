#include "mailbox/frm_advanced.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>

#include "mailbox/activation.h"
#include "mailbox/table_calls.h"
#include "mailbox/window_parts.h"
#include "shell/program.h"
#include "shell/session.h"
#include "shell/shell_logic.h"
#include "ui_frm_advanced.h"

namespace q5 {

using mailbox::Binding;
using mailbox::Codec;

frmAdvanced::frmAdvanced(Session& session, WindowManager& windows)
    : session_(session), windows_(windows), ui_(new Ui::frmAdvanced) {
    ui_->setupUi(this);
    tbSave = mailbox::AddSaveToolBar(this, tbToolBar);
    connect(tbSave, &QAction::triggered, this, &frmAdvanced::tbToolBar_ButtonClick);
    mailbox::Collect(this, Option1, QStringLiteral("Option1"));
    mailbox::Collect(this, Option2, QStringLiteral("Option2"));
    mailbox::Collect(this, Option3, QStringLiteral("Option3"));
    grpOption1_ = mailbox::Group(this, Option1);
    grpOption2_ = mailbox::Group(this, Option2);
    grpOption3_ = mailbox::Group(this, Option3);

    const auto changed = [this] { session_.setFieldsChanged(true); };
    for (QLineEdit* box : {ui_->Text1, ui_->Text8, ui_->Text9, ui_->Text10, ui_->Text11})
        connect(box, &QLineEdit::textEdited, this, changed);
    for (QCheckBox* box : {ui_->Check2, ui_->Check3, ui_->Check4})
        connect(box, &QCheckBox::clicked, this, changed);
    for (QButtonGroup* group : {grpOption1_, grpOption2_, grpOption3_})
        connect(group, &QButtonGroup::buttonClicked, this, changed);

    // The binding table of the BOX record, in the order of Load and Save.
    const auto L = [](const char* name) { return QString::fromLatin1(name); };
    box_ = {
        //  load name                 save name                codec          trim   trim
        //                                                                    load   save   control
        {L("WAKEUP_WEEK_ON"), L("WAKEUP_WEEK_ON"), Codec::yes_no, false, false, ui_->Check2},
        {L("WAKEUP_WEEKEND_ON"), L("WAKEUP_WEEKEND_ON"), Codec::yes_no, false, false, ui_->Check3},
        {L("WAKE_UP_WEEK_HOUR"), L("WAKE_UP_WEEK_HOUR"), Codec::text, false, true, ui_->Text11},
        {L("WAKE_UP_WEEK_NUM"), L("WAKE_UP_WEEK_NUM"), Codec::text, false, true, ui_->Text9},
        {L("WAKE_UP_WEEKEND_HOUR"), L("WAKE_UP_WEEKEND_HOUR"), Codec::text, false, true, ui_->Text10},
        {L("WAKE_UP_WEEKEND_NUM"), L("WAKE_UP_WEEKEND_NUM"), Codec::text, false, true, ui_->Text8},
        {L("SCREEN"), L("SCREEN"), Codec::option, false, false, grpOption2_, &mailbox::kScreenCodes, nullptr,
         mailbox::kScreenDisabled},
        {L("CALL_OUT_ACTIVE"), L("CALL_OUT_ACTIVE"), Codec::yes_no, false, false, ui_->Check4},
        {L("CALL_OUT_NUMBER"), L("CALL_OUT_NUMBER"), Codec::text, false, true, ui_->Text1},
        {L("TRANS_CALL"), L("TRANS_CALL"), Codec::option, false, false, grpOption3_,
         &mailbox::kTransferCodes},
    };

    new mailbox::ActivationWatch(this, [this] { session_.RunWhenIdle(this, [this] { Form_Activate(); }); });

    // Opening.
    const double dpi = logicalDpiX();
    resize(shell::TwipsToPixels(4515, dpi), shell::TwipsToPixels(7635, dpi));
    Load();
    session_.setFieldsChanged(false);
}

frmAdvanced::~frmAdvanced() {
    delete ui_;
}

void frmAdvanced::Form_Activate() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::skip_refusals);
    calls.SetTable(QStringLiteral("BOX"));
}

void frmAdvanced::Load() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::skip_refusals);
    calls.SetTable(QStringLiteral("BOX"));
    calls.GetRecord();
    mailbox::LoadBindings(calls, box_);
}

void frmAdvanced::Save() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::skip_refusals);
    // Another window may have selected its own table since this one was
    // last activated (the mailbox editor leaves BOX_EMAIL2 selected).
    calls.SetTable(QStringLiteral("BOX"));
    mailbox::SaveBindings(calls, box_);
    calls.PutRecord();
    if (!calls.ended()) session_.setFieldsChanged(false);
}

void frmAdvanced::closeEvent(QCloseEvent* event) {
    // Not while its own call waits for the server: the answer comes first.
    if (session_.IsWaiting(this)) {
        event->ignore();
        return;
    }
    if (session_.fieldsChanged()) {
        switch (AskSave()) {
            case 0:
                Save();
                break;
            case 1:
                break;
            default:
                event->ignore();
                return;
        }
        Form_Activate();
    }
    session_.setFieldsChanged(false);
    event->accept();
    windows_.Unload<frmAdvanced>();
}

}  // namespace q5
