#include "shell/frm_about.h"

#include <QStyle>

#include "shell/shell_logic.h"
#include "ui_frm_about.h"

namespace q5 {

frmAbout::frmAbout(WindowManager& windows) : windows_(windows), ui_(new Ui::frmAbout) {
    ui_->setupUi(this);
    connect(ui_->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    ui_->lblTitle->setText(QString::fromLatin1(shell::kAppTitle));
    ui_->lblVersion->setText(tr("Version 2.0"));
    ui_->PicIcon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
}

frmAbout::~frmAbout() {
    delete ui_;
}

void frmAbout::cmdOK_Click() {
    accept();
    windows_.Unload<frmAbout>();
}

}  // namespace q5
