#include "greetings/frm_greeting.h"

#include "ui_frm_greeting.h"

namespace q5 {

frmGreeting::frmGreeting() : ui_(new Ui::frmGreeting) { ui_->setupUi(this); }

frmGreeting::~frmGreeting() { delete ui_; }

}  // namespace q5
