#include "mailbox/frm_advanced.h"

#include "ui_frm_advanced.h"

namespace q5 {

frmAdvanced::frmAdvanced() : ui_(new Ui::frmAdvanced) { ui_->setupUi(this); }

frmAdvanced::~frmAdvanced() { delete ui_; }

}  // namespace q5
