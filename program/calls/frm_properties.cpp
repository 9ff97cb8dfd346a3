#include "calls/frm_properties.h"

#include "ui_frm_properties.h"

namespace q5 {

frmProperties::frmProperties() : ui_(new Ui::frmProperties) {
    ui_->setupUi(this);
    // notr: the names of the contact programs.
    ui_->Combo1->addItems({QStringLiteral("Microsoft Outlook"), QStringLiteral("Microsoft Outlook Express"),
                           QStringLiteral("ACT")});
}

frmProperties::~frmProperties() {
    delete ui_;
}

}  // namespace q5
