// frmMbx: the mailbox editor "Mailbox Settings", a window of its own: the
// settings of the logged-in mailbox on five tab pages, read from the
// records BOX_BIN, BOX, BOX_EMAIL and BOX_EMAIL2 when it opens and written
// back on "Save" (or "Yes" when closing asks). It uploads the forwarding
// entries' attachment and text files with PutFile2, its progress sink
// moving ProgressBar1. The binding tables of the four records are in
// frm_mbx.cpp, next to the form frm_mbx.ui.
//
// Thread rule: UI thread only.
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

#include "mailbox/bindings.h"
#include "mailbox/table_calls.h"
#include "q5client/q5client.h"
#include "shell/window_manager.h"

namespace Ui {
class frmMbx;
}

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class QToolBar;

namespace q5 {

namespace mailbox {
class DropDownCombo;
class ProgressSink;
}  // namespace mailbox

class frmMbx : public QWidget {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::Mbx;

    // The file-open dialog of "...": returns the chosen full path, or an
    // empty string when the user cancels. Without one, the desktop's.
    using FileChooser = std::function<QString(QWidget* parent, const QString& title, const QString& filter)>;

    frmMbx(Session& session, WindowManager& windows, FileChooser chooser = {});
    ~frmMbx() override;
    Ui::frmMbx* ui() const { return ui_; }

    void Load();
    // False when an error ended it (reported already); refusals skipped
    // in silence do not count.
    bool Save();

    // The progress sink passed to PutFile2.
    ISupportEvents* progress_sink() const { return sink_.Get(); }
    const QString& local_path(int slot) const { return local_paths_[static_cast<size_t>(slot)]; }

    QToolBar* tbToolBar = nullptr;
    QAction* tbSave = nullptr;  // key "Save"

    std::array<QWidget*, 5> Frame1{};
    std::array<QRadioButton*, 4> Option1{}, Option2{}, Option3{};
    std::array<QRadioButton*, 3> Option7{}, Option8{};
    std::array<QLineEdit*, 7> Text16{}, Text17{};
    std::array<mailbox::DropDownCombo*, 7> Combo16{};
    std::array<QCheckBox*, 7> Check1{}, Check5{}, Check7{};
    std::array<QTimeEdit*, 7> DTPicker3{}, DTPicker4{};
    std::array<std::array<QComboBox*, 7>, 6> ComboTry{};  // Combo1 .. Combo6, row i
    std::array<mailbox::DropDownCombo*, 10> Combo18{};
    std::array<QLineEdit*, 5> Text29{}, Subject{};
    std::array<QLineEdit*, 10> FileName{};
    std::array<QPushButton*, 10> Command1{}, Command2{};

public slots:
    void tbToolBar_ButtonClick();
    void Command1_Click(int index);
    void Command2_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildBindings();
    void Progress(LONG bytes, LONG total);

    mailbox::TableCalls Calls() {
        return {session_, windows_, mailbox::TableCalls::Policy::skip_refusals, this};
    }

    Session& session_;
    WindowManager& windows_;
    FileChooser chooser_;
    Ui::frmMbx* ui_;
    int current_tab_ = 1;
    std::array<QString, 10> local_paths_;
    QButtonGroup* grpOption1_ = nullptr;
    QButtonGroup* grpOption2_ = nullptr;
    QButtonGroup* grpOption3_ = nullptr;
    QButtonGroup* grpOption7_ = nullptr;
    QButtonGroup* grpOption8_ = nullptr;
    // The binding tables, one per record.
    std::vector<mailbox::Binding> box_bin_, box_, box_email_, box_email2_;
    ComPtr<ISupportEvents> sink_;
    mailbox::ProgressSink* sink_object_ = nullptr;
};

}  // namespace q5
