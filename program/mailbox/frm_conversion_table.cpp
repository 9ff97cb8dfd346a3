#include "mailbox/frm_conversion_table.h"

#include "ui_frm_conversion_table.h"

namespace q5 {

frmConversionTable::frmConversionTable() : ui_(new Ui::frmConversionTable) { ui_->setupUi(this); }

frmConversionTable::~frmConversionTable() { delete ui_; }

}  // namespace q5
