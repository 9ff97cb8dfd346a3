#include "mailbox/frm_call_out.h"

#include "ui_frm_call_out.h"

namespace q5 {

frmCallOut::frmCallOut() : ui_(new Ui::frmCallOut) { ui_->setupUi(this); }

frmCallOut::~frmCallOut() { delete ui_; }

}  // namespace q5
