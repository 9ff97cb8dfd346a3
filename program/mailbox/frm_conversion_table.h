// frmConversionTable: the conversion table, a child of the main window's MDI area: what each key press of a caller leads to.
//
// Thread rule: UI thread only.
#pragma once

#include <QWidget>

namespace Ui {
class frmConversionTable;
}

namespace q5 {

class frmConversionTable : public QWidget {
    Q_OBJECT

public:
    frmConversionTable();
    ~frmConversionTable() override;
    Ui::frmConversionTable* ui() const { return ui_; }

private:
    Ui::frmConversionTable* ui_;
};

}  // namespace q5
