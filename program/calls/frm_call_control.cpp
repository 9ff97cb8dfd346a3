#include "calls/frm_call_control.h"

#include "ui_frm_call_control.h"

namespace q5 {

frmCallControl::frmCallControl() : ui_(new Ui::frmCallControl) { ui_->setupUi(this); }

frmCallControl::~frmCallControl() { delete ui_; }

}  // namespace q5
