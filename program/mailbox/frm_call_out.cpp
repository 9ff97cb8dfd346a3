#include "mailbox/frm_call_out.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>

#include "mailbox/activation.h"
#include "mailbox/drop_down_combo.h"
#include "mailbox/table_calls.h"
#include "mailbox/window_parts.h"
#include "shell/program.h"
#include "shell/session.h"
#include "shell/typed_combos.h"
#include "ui_frm_call_out.h"

namespace q5 {

using mailbox::Codec;

frmCallOut::frmCallOut(Session& session, WindowManager& windows)
    : session_(session), windows_(windows), ui_(new Ui::frmCallOut) {
    ui_->setupUi(this);
    shell::KeepTypedComboText(this);
    tbSave = mailbox::AddSaveToolBar(this, tbToolBar);
    connect(tbSave, &QAction::triggered, this, &frmCallOut::tbToolBar_ButtonClick);
    mailbox::Collect(this, Text16, QStringLiteral("Text16"));
    mailbox::Collect(this, Text17, QStringLiteral("Text17"));
    mailbox::Collect(this, Combo16, QStringLiteral("Combo16"));
    mailbox::Collect(this, Check1, QStringLiteral("Check1"));
    for (size_t n = 0; n < Grid.size(); ++n)
        mailbox::Collect(this, Grid[n], QStringLiteral("Text%1").arg(n + 18));

    const auto changed = [this] { session_.setFieldsChanged(true); };
    for (size_t i = 0; i < 7; ++i) {
        connect(Text16[i], &QLineEdit::textEdited, this, changed);
        connect(Text17[i], &QLineEdit::textEdited, this, changed);
        for (auto& column : Grid) connect(column[i], &QLineEdit::textEdited, this, changed);
        connect(Check1[i], &QCheckBox::clicked, this, changed);
        connect(Combo16[i], &mailbox::DropDownCombo::DropDown, this, changed);
    }
    connect(ui_->Check8, &QCheckBox::clicked, this, changed);
    // "Active" only greys the frames out; no field stands behind it here.
    connect(ui_->Check8, &QCheckBox::toggled, this, [this](bool on) {
        ui_->fraNumbers->setEnabled(on);
        ui_->fraSchedule->setEnabled(on);
    });

    // The binding table of the BOX_BIN record, row by row.
    static constexpr const char* kSuffix[] = {"nm",      "pm",   "From",    "until", "bin1",
                                              "attemp1", "bin2", "attemp2", "bin3",  "attemp3"};
    auto S = [](const char* pattern, size_t i) { return QString::fromLatin1(pattern).arg(i); };
    for (size_t i = 0; i < 7; ++i) {
        //                  load and save name       codec          trim   trim
        //                                                           load   save   control
        box_bin_.push_back({S("NUM%1", i), S("NUM%1", i), Codec::text, false, false, Text16[i]});
        box_bin_.push_back({S("Type%1", i), S("Type%1", i), Codec::text, false, false, Combo16[i]});
        box_bin_.push_back({S("Sched%1_day", i), S("Sched%1_day", i), Codec::text, false, false, Text17[i]});
        box_bin_.push_back(
            {S("Sched%1_active", i), S("Sched%1_active", i), Codec::yes_no, false, false, Check1[i]});
        for (size_t n = 0; n < Grid.size(); ++n) {
            const QString field = QStringLiteral("Sched%1_%2").arg(i).arg(QString::fromLatin1(kSuffix[n]));
            box_bin_.push_back({field, field, Codec::text, true, false, Grid[n][i]});
        }
    }

    new mailbox::ActivationWatch(this, [this] { session_.RunWhenIdle(this, [this] { Form_Activate(); }); });

    Load();
    session_.setFieldsChanged(false);
}

frmCallOut::~frmCallOut() {
    delete ui_;
}

void frmCallOut::Form_Activate() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::stop_at_first);
    calls.SetTable(QStringLiteral("BOX_BIN"));
}

bool frmCallOut::Load() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::stop_at_first);
    calls.SetTable(QStringLiteral("BOX_BIN"));
    calls.GetRecord();
    mailbox::LoadBindings(calls, box_bin_);
    return !calls.ended();
}

bool frmCallOut::Save() {
    mailbox::TableCalls calls = Calls(mailbox::TableCalls::Policy::stop_at_first);
    calls.SetTable(QStringLiteral("BOX_BIN"));  // whatever another window selected meanwhile
    mailbox::SaveBindings(calls, box_bin_);
    calls.PutRecord();
    if (calls.ended()) return false;
    session_.setFieldsChanged(false);
    return true;
}

void frmCallOut::closeEvent(QCloseEvent* event) {
    // Not while its own call waits for the server: the answer comes first.
    if (session_.IsWaiting(this)) {
        event->ignore();
        return;
    }
    if (session_.fieldsChanged() &&
        !MayCloseAfterAskingToSave([this] { return Save(); }, windows_.ProgramEnding())) {
        event->ignore();
        return;
    }
    session_.setFieldsChanged(false);
    event->accept();
    windows_.Unload<frmCallOut>();
}

}  // namespace q5
