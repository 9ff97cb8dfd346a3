#include "mailbox/frm_mbx.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include "mailbox/drop_down_combo.h"
#include "mailbox/progress_sink.h"
#include "mailbox/table_calls.h"
#include "mailbox/window_parts.h"
#include "shell/message_service.h"
#include "shell/program.h"
#include "shell/session.h"
#include "shell/typed_combos.h"
#include "shell/shell_logic.h"
#include "ui_frm_mbx.h"

namespace q5 {

using mailbox::Binding;
using mailbox::Codec;
using mailbox::Collect;
using mailbox::Group;
using mailbox::Inform;

namespace {

QString ChooseWithDialog(QWidget* parent, const QString& title, const QString& filter) {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

frmMbx::frmMbx(Session& session, WindowManager& windows, FileChooser chooser)
    : session_(session),
      windows_(windows),
      chooser_(chooser ? std::move(chooser) : FileChooser(ChooseWithDialog)),
      ui_(new Ui::frmMbx) {
    ui_->setupUi(this);
    shell::KeepTypedComboText(this);
    tbSave = mailbox::AddSaveToolBar(this, tbToolBar);
    connect(tbSave, &QAction::triggered, this, &frmMbx::tbToolBar_ButtonClick);

    Collect(this, Frame1, QStringLiteral("Frame1"));
    Collect(this, Option1, QStringLiteral("Option1"));
    Collect(this, Option2, QStringLiteral("Option2"));
    Collect(this, Option3, QStringLiteral("Option3"));
    Collect(this, Option7, QStringLiteral("Option7"));
    Collect(this, Option8, QStringLiteral("Option8"));
    Collect(this, Text16, QStringLiteral("Text16"));
    Collect(this, Text17, QStringLiteral("Text17"));
    Collect(this, Combo16, QStringLiteral("Combo16"));
    Collect(this, Check1, QStringLiteral("Check1"));
    Collect(this, Check5, QStringLiteral("Check5"));
    Collect(this, Check7, QStringLiteral("Check7"));
    Collect(this, DTPicker3, QStringLiteral("DTPicker3"));
    Collect(this, DTPicker4, QStringLiteral("DTPicker4"));
    for (size_t n = 0; n < ComboTry.size(); ++n)
        Collect(this, ComboTry[n], QStringLiteral("Combo%1").arg(n + 1));
    Collect(this, Combo18, QStringLiteral("Combo18"));
    Collect(this, Text29, QStringLiteral("Text29"));
    Collect(this, Subject, QStringLiteral("Text30"));
    Collect(this, FileName, QStringLiteral("Text31"));
    Collect(this, Command1, QStringLiteral("Command1"));
    Collect(this, Command2, QStringLiteral("Command2"));
    // Forward addresses and subjects take 30 characters, file names 15.
    for (size_t k = 0; k < 5; ++k) {
        Text29[k]->setMaxLength(30);
        Subject[k]->setMaxLength(30);
    }
    for (QLineEdit* box : FileName) box->setMaxLength(mailbox::kFileNameLimit);
    grpOption1_ = Group(this, Option1);
    grpOption2_ = Group(this, Option2);
    grpOption3_ = Group(this, Option3);
    grpOption7_ = Group(this, Option7);
    grpOption8_ = Group(this, Option8);

    // The library reports the progress on the session thread, while this
    // window waits for PutFile2: the bar moves on the UI thread.
    sink_ = mailbox::ProgressSink::Create(
        [this](LONG bytes, LONG total) {
            QMetaObject::invokeMethod(
                this, [this, bytes, total] { Progress(bytes, total); }, Qt::QueuedConnection);
        },
        &sink_object_);

    // Opening.
    current_tab_ = ui_->TabStrip1->currentIndex() + 1;
    connect(ui_->TabStrip1, &QTabWidget::currentChanged, this,
            [this](int index) { current_tab_ = index + 1; });
    const double dpi = logicalDpiX();
    resize(shell::TwipsToPixels(11415, dpi), shell::TwipsToPixels(10560, dpi));
    for (auto* combo : Combo18) {
        for (const char* name : mailbox::kConversionNames) combo->addItem(mailbox::ConversionShown(name));
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
    ui_->DTPicker1->setDisplayFormat(QString::fromLatin1(mailbox::kPickerFormat));
    ui_->DTPicker2->setDisplayFormat(QString::fromLatin1(mailbox::kPickerFormat));
    const QStringList tries{QString(),           QStringLiteral("1"), QStringLiteral("2"),
                            QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                            QStringLiteral("6"), QStringLiteral("7")};
    for (size_t i = 0; i < 7; ++i) {
        DTPicker3[i]->setDisplayFormat(QString::fromLatin1(mailbox::kPickerFormat));
        DTPicker4[i]->setDisplayFormat(QString::fromLatin1(mailbox::kPickerFormat));
        for (auto& column : ComboTry) column[i]->addItems(tries);
    }

    // What counts as an edit.
    const auto changed = [this] { session_.setFieldsChanged(true); };
    for (QLineEdit* box :
         {ui_->Text1, ui_->Text4, ui_->Text8, ui_->Text9, ui_->Text10, ui_->Text11, ui_->Text49})
        connect(box, &QLineEdit::textEdited, this, changed);
    for (size_t i = 0; i < 7; ++i) {
        connect(Text16[i], &QLineEdit::textEdited, this, changed);
        connect(Text17[i], &QLineEdit::textEdited, this, changed);
        connect(Combo16[i], &mailbox::DropDownCombo::DropDown, this, changed);
        for (QCheckBox* box : {Check1[i], Check5[i], Check7[i]})
            connect(box, &QCheckBox::clicked, this, changed);
        for (auto& column : ComboTry) connect(column[i], &QComboBox::activated, this, changed);
        // The arrows belong to the picker, the digits to its line edit.
        for (QTimeEdit* picker : {DTPicker3[i], DTPicker4[i]}) {
            picker->installEventFilter(this);
            if (auto* digits = picker->findChild<QLineEdit*>()) digits->installEventFilter(this);
        }
    }
    for (auto* combo : Combo18) connect(combo, &mailbox::DropDownCombo::DropDown, this, changed);
    for (QCheckBox* box : {ui_->Check2, ui_->Check3, ui_->Check4, ui_->Check6, ui_->Check8})
        connect(box, &QCheckBox::clicked, this, changed);
    for (QButtonGroup* group : {grpOption1_, grpOption2_, grpOption3_, grpOption7_, grpOption8_})
        connect(group, &QButtonGroup::buttonClicked, this, changed);
    connect(grpOption2_, &QButtonGroup::idToggled, this,
            [this] { session_.setNameScreening(Option2[mailbox::kScreenWithNameRecording]->isChecked()); });
    connect(ui_->Check8, &QCheckBox::toggled, this, [this](bool on) {
        ui_->fraNumbers->setEnabled(on);
        ui_->fraSchedule->setEnabled(on);
    });
    for (int n = 0; n < 10; ++n) {
        connect(Command1[static_cast<size_t>(n)], &QPushButton::clicked, this,
                [this, n] { Command1_Click(n); });
        connect(Command2[static_cast<size_t>(n)], &QPushButton::clicked, this,
                [this, n] { Command2_Click(n); });
    }

    BuildBindings();
    Load();
    session_.setFieldsChanged(false);
}

frmMbx::~frmMbx() {
    if (sink_object_) sink_object_->Detach();
    delete ui_;
}

// The binding tables, record by record, in the order Load reads the fields.
void frmMbx::BuildBindings() {
    auto S = [](const char* pattern, size_t i) { return QString::fromLatin1(pattern).arg(i); };
    for (size_t i = 0; i < 7; ++i) {
        //                  load name                 save name                codec               trim  trim
        //                                                                                         load  save
        //                                                                                         control
        box_bin_.push_back({S("NUM%1", i), S("NUM%1", i), Codec::text, false, false, Text16[i]});
        box_bin_.push_back({S("Type%1", i), S("Type%1", i), Codec::text, false, false, Combo16[i]});
        box_bin_.push_back({S("Sched%1_day", i), S("Sched%1_day", i), Codec::text, false, false, Text17[i]});
        box_bin_.push_back(
            {S("Sched%1_active", i), S("Sched%1_active", i), Codec::yes_no, false, false, Check1[i]});
        box_bin_.push_back(
            {S("Sched%1_nm", i), S("Sched%1_nm", i), Codec::one_zero, false, false, Check5[i]});
        box_bin_.push_back(
            {S("Sched%1_pm", i), S("Sched%1_pm", i), Codec::one_zero, false, false, Check7[i]});
        box_bin_.push_back(
            {S("Sched%1_From", i), S("Sched%1_From", i), Codec::sched_from, false, false, DTPicker3[i]});
        box_bin_.push_back(
            {S("Sched%1_Until", i), S("Sched%1_until", i), Codec::sched_until, false, false, DTPicker4[i]});
        box_bin_.push_back(
            {S("Sched%1_bin1", i), S("Sched%1_bin1", i), Codec::text, true, false, ComboTry[0][i]});
        box_bin_.push_back(
            {S("Sched%1_attemp1", i), S("Sched%1_attemp1", i), Codec::text, true, false, ComboTry[1][i]});
        box_bin_.push_back(
            {S("Sched%1_bin2", i), S("Sched%1_bin2", i), Codec::text, true, false, ComboTry[2][i]});
        box_bin_.push_back(
            {S("Sched%1_attemp2", i), S("Sched%1_attemp2", i), Codec::text, true, false, ComboTry[3][i]});
        box_bin_.push_back(
            {S("Sched%1_bin3", i), S("Sched%1_bin3", i), Codec::text, true, false, ComboTry[4][i]});
        box_bin_.push_back(
            {S("Sched%1_attemp3", i), S("Sched%1_attemp3", i), Codec::text, true, false, ComboTry[5][i]});
    }

    const auto L = [](const char* name) { return QString::fromLatin1(name); };
    box_ = {
        {L("call_scheduale"), L("call_scheduale"), Codec::yes_no, false, false, ui_->Check8},
        {L("WAKEUP_WEEK_ON"), L("WAKEUP_WEEK_ON"), Codec::yes_no, true, false, ui_->Check2},
        // Save writes each wake-up number before its time (save_seq).
        {L("WAKE_UP_WEEK_HOUR"), L("WAKE_UP_WEEK_HOUR"), Codec::hhmm, true, false, ui_->DTPicker1, nullptr,
         ui_->Text11, -1, 3},
        {L("WAKE_UP_WEEK_NUM"), L("WAKE_UP_WEEK_NUM"), Codec::text, true, false, ui_->Text9, nullptr, nullptr,
         -1, 2},
        {L("WAKEUP_WEEKEND_ON"), L("WAKEUP_WEEKEND_ON"), Codec::yes_no, true, false, ui_->Check3},
        {L("WAKE_UP_WEEKEND_HOUR"), L("WAKE_UP_WEEKEND_HOUR"), Codec::hhmm, true, false, ui_->DTPicker2,
         nullptr, ui_->Text10, -1, 6},
        {L("WAKE_UP_WEEKEND_NUM"), L("WAKE_UP_WEEKEND_NUM"), Codec::text, true, false, ui_->Text8, nullptr,
         nullptr, -1, 5},
        {L("SCREEN"), L("SCREEN"), Codec::option, true, false, grpOption2_, &mailbox::kScreenCodes, nullptr,
         mailbox::kScreenDisabled},
        {L("CALL_OUT_ACTIVE"), L("CALL_OUT_ACTIVE"), Codec::yes_no, true, false, ui_->Check4},
        {L("CALL_OUT_NUMBER"), L("CALL_OUT_NUMBER"), Codec::text, true, true, ui_->Text1},
        {L("TRANS_CALL"), L("TRANS_CALL"), Codec::option, true, false, grpOption3_, &mailbox::kTransferCodes},
        {L("DEP_OVER"), L("DEP_OVER"), Codec::yes_no, true, false, ui_->Check6},
    };
    // Keys "1" to "9" are CON_TBL_0 to CON_TBL_8; key "0" is CON_TBL_9.
    for (int key : {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}) {
        const QString field = mailbox::ConversionField(key);
        box_.push_back({field, field, Codec::conversion, true, false, Combo18[static_cast<size_t>(key)]});
    }

    box_email_ = {
        {L("MWI_ADDRESS"), L("MWI_ADDRESS"), Codec::text, true, false, ui_->Text49},
        {L("POP3PASS"), L("POP3PASS"), Codec::text, true, false, ui_->Text4},
        {L("MWI"), L("MWI"), Codec::option, true, false, grpOption8_, &mailbox::kMwiCodes},
        {L("DELTYPE"), L("DELTYPE"), Codec::option, true, false, grpOption7_, &mailbox::kDelTypeCodes},
    };

    for (size_t k = 1; k <= 5; ++k) {
        box_email2_.push_back(
            {S("SUBJECT%1", k), S("SUBJECT%1", k), Codec::text, true, false, Subject[k - 1]});
        box_email2_.push_back(
            {S("ATTACH%1", k), S("ATTACH%1", k), Codec::text, true, false, FileName[k - 1]});
        box_email2_.push_back({S("RCPT%1", k), S("RCPT%1", k), Codec::text, true, false, Text29[k - 1]});
        box_email2_.push_back({S("TXT%1", k), S("TXT%1", k), Codec::text, true, false, FileName[k + 4]});
    }
}

void frmMbx::Load() {
    mailbox::TableCalls calls = Calls();
    calls.SetTable(QStringLiteral("BOX_BIN"));
    calls.GetRecord();
    mailbox::LoadBindings(calls, box_bin_);

    calls.ClearFailed();
    calls.SetTable(QStringLiteral("BOX"));
    calls.GetRecord();
    mailbox::LoadBindings(calls, box_);
    // The frames follow "Active" even when loading left the box as it was.
    ui_->fraNumbers->setEnabled(ui_->Check8->isChecked());
    ui_->fraSchedule->setEnabled(ui_->Check8->isChecked());

    calls.SetTable(QStringLiteral("BOX_EMAIL"));
    calls.GetRecord();
    mailbox::LoadBindings(calls, box_email_);

    calls.ClearFailed();
    calls.SetTable(QStringLiteral("BOX_EMAIL2"));
    calls.GetRecord();
    if (calls.ended()) return;
    if (calls.failed()) {
        for (size_t k = 0; k < 5; ++k) {
            Subject[k]->clear();
            Text29[k]->clear();
            FileName[k]->clear();
            FileName[k + 5]->clear();
        }
        Inform(tr("No BOX_EMAIL2 record was found. Please contact your system administrator for more "
                  "information"),
               this);
        return;
    }
    mailbox::LoadBindings(calls, box_email2_);
}

bool frmMbx::Save() {
    mailbox::TableCalls calls = Calls();
    calls.SetTable(QStringLiteral("BOX_BIN"));
    mailbox::SaveBindings(calls, box_bin_);
    calls.PutRecord();

    calls.SetTable(QStringLiteral("BOX"));
    mailbox::SaveBindings(calls, box_);
    calls.PutRecord();

    calls.SetTable(QStringLiteral("BOX_EMAIL"));
    mailbox::SaveBindings(calls, box_email_);
    calls.PutRecord();

    calls.SetTable(QStringLiteral("BOX_EMAIL2"));
    calls.GetRecord();
    mailbox::SaveBindings(calls, box_email2_);
    calls.PutRecord();
    if (calls.ended()) return false;
    session_.setFieldsChanged(false);
    return true;
}

void frmMbx::tbToolBar_ButtonClick() {
    Save();
}

void frmMbx::Command1_Click(int index) {
    const size_t n = static_cast<size_t>(index);
    const QString filter = index > 4 ? tr("Text (*.txt *.html)") : QString();
    const QString path = chooser_(this, tr("Attachment..."), filter);
    if (path.isEmpty()) {
        FileName[n]->clear();
        return;
    }
    // The box holds the name the server will store the file under.
    const QString name = QFileInfo(path).fileName();
    if (const QString problem = mailbox::RemoteNameProblem(name); !problem.isEmpty()) {
        Inform(problem, this);
        return;
    }
    local_paths_[n] = path;
    FileName[n]->setText(name);
    session_.setFieldsChanged(true);
}

void frmMbx::Command2_Click(int index) {
    const size_t n = static_cast<size_t>(index);
    if (local_paths_[n].isEmpty()) {
        Inform(tr("You must select a file before uploading to the server"), this);
        return;
    }
    const QString remote = FileName[n]->text();
    if (const QString problem = mailbox::RemoteNameProblem(remote); !problem.isEmpty()) {
        Inform(problem, this);
        return;
    }
    if (!session_.created()) return;
    const auto wide = [](const QString& text) {
        return BStr(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<UINT>(text.size()));
    };
    BStr mailbox_number = wide(session_.userName());
    BStr remote_file = wide(remote);
    BStr local_file = wide(local_paths_[n]);
    const ComPtr<ISupportEvents> keep = sink_;
    const HRESULT hr = session_.Call(this, [&](const SessionViews& views) {
        return views.util->PutFile2(mailbox_number.Get(), remote_file.Get(), local_file.Get(), keep.Get());
    });
    if (FAILED(hr)) {
        if (hr == E_FILE_OPEN) {
            shell::ErrorOf(hr);
            Inform(tr("Target mailbox does not exist"), this);
        } else {
            const shell::ErrorDetails error = shell::ErrorOf(hr);
            Inform(shell::ErrorNumberText(hr) + error.description, this);
        }
    }
    ui_->ProgressBar1->setValue(0);
}

void frmMbx::Progress(LONG bytes, LONG total) {
    ui_->ProgressBar1->setValue(mailbox::ProgressPercent(bytes, total));
}

bool frmMbx::eventFilter(QObject* watched, QEvent* event) {
    // A click on a schedule time picker counts as an edit.
    if (event->type() == QEvent::MouseButtonPress) session_.setFieldsChanged(true);
    return QWidget::eventFilter(watched, event);
}

void frmMbx::closeEvent(QCloseEvent* event) {
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
    windows_.Unload<frmMbx>();
}

}  // namespace q5
