#include "shell/frm_desktop_settings.h"

#include <QCoreApplication>
#include <QFile>

#include "shell/autostart.h"
#include "shell/message_service.h"
#include "shell/settings.h"
#include "ui_frm_desktop_settings.h"

namespace q5 {

using shell::Setting;

frmDesktopSettings::frmDesktopSettings(WindowManager& windows, std::function<bool()> tray_available)
    : windows_(windows), ui_(new Ui::frmDesktopSettings) {
    ui_->setupUi(this);
    connect(ui_->cmdOK, &QPushButton::clicked, this, &frmDesktopSettings::cmdOK_Click);
    connect(ui_->cmdCancel, &QPushButton::clicked, this, &frmDesktopSettings::cmdCancel_Click);
    ui_->lblNoTray->setVisible(tray_available && !tray_available());
    Form_Load();
}

frmDesktopSettings::~frmDesktopSettings() {
    delete ui_;
}

void frmDesktopSettings::Form_Load() {
    const shell::Settings settings;
    ui_->chkNotifications->setChecked(settings.Number(Setting::Notifications) != 0);
    ui_->chkKeepInTray->setChecked(settings.Number(Setting::KeepInTray) != 0);
    // The entry on disk is what the desktop goes by.
    ui_->chkAutostart->setChecked(QFile::exists(shell::AutostartEntryPath()));
    ui_->chkStartMinimised->setChecked(settings.Number(Setting::StartMinimised) != 0);
}

void frmDesktopSettings::cmdOK_Click() {
    const bool autostart = ui_->chkAutostart->isChecked();
    const QString problem = autostart ? shell::WriteAutostartEntry(QCoreApplication::applicationFilePath())
                                      : shell::RemoveAutostartEntry();
    if (!problem.isEmpty()) {
        shell::MessageRequest request;
        request.text =
            tr("The autostart entry %1 could not be changed: %2").arg(shell::AutostartEntryPath(), problem);
        request.icon = shell::MsgIcon::warning;
        shell::MessageService::Show(request, this);
        return;
    }
    shell::Settings settings;
    settings.SetNumber(Setting::Notifications, ui_->chkNotifications->isChecked() ? 1 : 0);
    settings.SetNumber(Setting::KeepInTray, ui_->chkKeepInTray->isChecked() ? 1 : 0);
    settings.SetNumber(Setting::Autostart, autostart ? 1 : 0);
    settings.SetNumber(Setting::StartMinimised, ui_->chkStartMinimised->isChecked() ? 1 : 0);
    accept();
}

void frmDesktopSettings::cmdCancel_Click() {
    reject();
}

void frmDesktopSettings::done(int result) {
    // OK, Cancel, Escape and the window's close all unload it.
    QDialog::done(result);
    windows_.Unload<frmDesktopSettings>();
}

}  // namespace q5
