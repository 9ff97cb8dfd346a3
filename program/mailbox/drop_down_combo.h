// DropDownCombo: a combo box that tells when its list drops down (the
// mailbox windows count a drop-down as an edit).
//
// Thread rule: UI thread only.
#pragma once

#include <QComboBox>

namespace q5::mailbox {

class DropDownCombo : public QComboBox {
    Q_OBJECT

public:
    explicit DropDownCombo(QWidget* parent = nullptr) : QComboBox(parent) {}

    void showPopup() override {
        emit DropDown();
        QComboBox::showPopup();
    }

signals:
    void DropDown();
};

}  // namespace q5::mailbox
