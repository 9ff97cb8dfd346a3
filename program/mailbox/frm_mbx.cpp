#include "mailbox/frm_mbx.h"

#include "ui_frm_mbx.h"

namespace q5 {

frmMbx::frmMbx() : ui_(new Ui::frmMbx) { ui_->setupUi(this); }

frmMbx::~frmMbx() { delete ui_; }

}  // namespace q5
