#include "calls/frm_pim_setup.h"

#include "ui_frm_pim_setup.h"

namespace q5 {

frmPIMSetup::frmPIMSetup() : ui_(new Ui::frmPIMSetup) { ui_->setupUi(this); }

frmPIMSetup::~frmPIMSetup() { delete ui_; }

}  // namespace q5
