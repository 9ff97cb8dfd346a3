#include "calls/frm_pim_setup.h"

#include <QFileDialog>

#include "shell/dialog_keys.h"
#include "shell/settings.h"
#include "shell/shell_logic.h"
#include "ui_frm_pim_setup.h"

namespace q5 {
namespace {

const QString kPatternKey = QStringLiteral("numberPattern");
const QString kFolderKey = QStringLiteral("contactsFolder");

}  // namespace

frmPIMSetup::frmPIMSetup() : ui_(new Ui::frmPIMSetup) {
    ui_->setupUi(this);
    connect(ui_->Command1, &QPushButton::clicked, this, &frmPIMSetup::Command1_Click);
    connect(ui_->Command2, &QPushButton::clicked, this, &frmPIMSetup::Command2_Click);
    connect(ui_->Command3, &QPushButton::clicked, this, &frmPIMSetup::Command3_Click);
    shell::SetDialogButtons(this, ui_->Command1, ui_->Command2);
    Form_Load();
}

frmPIMSetup::~frmPIMSetup() {
    delete ui_;
}

void frmPIMSetup::Form_Load() {
    // The same settings object as the login dialog's: application and section.
    mQ5Client.SetAppname(QString::fromLatin1(shell::kAppTitle));
    mQ5Client.SetSection(QStringLiteral("Login"));
    mQ5Client.SetKey(kPatternKey);
    mQ5Client.RegGet();
    ui_->Text2->setText(mQ5Client.Setting());
    mQ5Client.SetKey(kFolderKey);
    mQ5Client.RegGet();
    ui_->Text3->setText(mQ5Client.Setting());
    ui_->Text4->setText(shell::Settings().Text(shell::Setting::PhoneRegion));
}

QString frmPIMSetup::PatternInEffect() const {
    return ui_->Text2->text();
}
QString frmPIMSetup::ContactsFolderInEffect() const {
    return ui_->Text3->text();
}
QString frmPIMSetup::RegionInEffect() const {
    return ui_->Text4->text().trimmed().toUpper();
}

void frmPIMSetup::Command1_Click() {
    mQ5Client.SetKey(kPatternKey);
    mQ5Client.SetSetting(ui_->Text2->text());
    mQ5Client.RegSave();
    mQ5Client.SetKey(kFolderKey);
    mQ5Client.SetSetting(ui_->Text3->text());
    mQ5Client.RegSave();
    shell::Settings().SetText(shell::Setting::PhoneRegion, RegionInEffect());
    hide();
}

void frmPIMSetup::Command2_Click() {
    // The boxes keep what was typed; it stays in effect while the program runs.
    hide();
}

void frmPIMSetup::Command3_Click() {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Contacts folder"), ui_->Text3->text());
    if (!folder.isEmpty()) ui_->Text3->setText(folder);
}

}  // namespace q5
