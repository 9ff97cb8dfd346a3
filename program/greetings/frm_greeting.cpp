#include "greetings/frm_greeting.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>

#include <atomic>

#include <QCoreApplication>
#include <QThread>

#include "shell/bstr_text.h"
#include "shell/local_paths.h"
#include "shell/message_service.h"
#include "shell/session.h"
#include "shell/shell_logic.h"
#include "ui_frm_greeting.h"

namespace q5 {

namespace {

QString NotRecordedText() {
    return QCoreApplication::translate("q5::frmGreeting", "Greeting is not recorded");
}

constexpr int kWidthTwips = 8910;
constexpr int kHeightTwips = 8040;

// The window's ISupportEvents: progress goes to the window while it lives;
// the library may hold a reference a little longer than the window. During
// a transfer it is called on the session thread, where the window cannot go
// (it is deleted only after its wait): the progress is posted to the UI
// thread.
class GreetingSink final : public ISupportEvents {
public:
    explicit GreetingSink(QPointer<frmGreeting> window) : window_(std::move(window)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISupportEvents)) {
            *ppv = static_cast<ISupportEvents*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetStatus(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetProgress(LONG bytes, LONG total) override {
        if (QThread::currentThread() == qApp->thread()) {
            if (window_) window_->GetProgress(bytes, total);
            return S_OK;
        }
        QMetaObject::invokeMethod(
            qApp,
            [window = window_, bytes, total] {
                if (window) window->GetProgress(bytes, total);
            },
            Qt::QueuedConnection);
        return S_OK;
    }

private:
    QPointer<frmGreeting> window_;
    std::atomic<ULONG> refs_{0};
};

}  // namespace

frmGreeting::frmGreeting(Session& session, WindowManager& windows, const DeviceFactory& devices)
    : session_(session), windows_(windows), ui_(new Ui::frmGreeting) {
    ui_->setupUi(this);
    Option2 = {ui_->Option2_0, ui_->Option2_1, ui_->Option2_2,
               ui_->Option2_3, ui_->Option2_4, ui_->Option2_5};
    Option1 = {ui_->Option1_0, ui_->Option1_1, ui_->Option1_2};
    // Each option array is one exclusive group; the groups can be cleared
    // from code (a type clears "Name", "Name" clears "Normal").
    auto* types = new QButtonGroup(this);
    for (int i = 0; i < greetings::kGreetingTypeCount; ++i)
        types->addButton(Option2[static_cast<size_t>(i)], i);
    auto* active = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) active->addButton(Option1[static_cast<size_t>(i)], i);
    connect(types, &QButtonGroup::idClicked, this, &frmGreeting::Option2_Click);
    connect(ui_->Option3, &QRadioButton::clicked, this, &frmGreeting::Option3_Click);
    connect(ui_->Command1, &QPushButton::clicked, this, &frmGreeting::Command1_Click);
    connect(ui_->Command2, &QPushButton::clicked, this, &frmGreeting::Command2_Click);
    connect(ui_->Toolbar1, &QToolBar::actionTriggered, this, &frmGreeting::Toolbar1_ButtonClick);
    connect(ui_->mmcWavPlay, &QToolButton::clicked, this, &frmGreeting::mmcWav_PlayClick);
    connect(ui_->mmcWavRecord, &QToolButton::clicked, this, &frmGreeting::mmcWav_RecordClick);
    connect(ui_->mmcWavStop, &QToolButton::clicked, this, &frmGreeting::mmcWav_StopClick);
    connect(ui_->mmcWavPause, &QToolButton::clicked, this, &frmGreeting::mmcWav_PauseClick);
    connect(ui_->mmcWavPrev, &QToolButton::clicked, this, &frmGreeting::mmcWav_PrevClick);

    // The help line follows the mouse.
    for (QWidget* watched : {static_cast<QWidget*>(ui_->Command1), static_cast<QWidget*>(ui_->Command2),
                             static_cast<QWidget*>(ui_->Frame4)}) {
        watched->setMouseTracking(true);
        watched->installEventFilter(this);
    }

    mmcWav_ = devices ? std::make_unique<media::MultimediaControl>(devices(), this)
                      : std::make_unique<media::MultimediaControl>(this);
    connect(mmcWav_.get(), &media::MultimediaControl::statusUpdate, this, &frmGreeting::mmcWav_StatusUpdate);

    sink_ = ComPtr<ISupportEvents>(new GreetingSink(QPointer<frmGreeting>(this)));
    Form_Load();
}

frmGreeting::~frmGreeting() {
    Form_Unload();
    delete ui_;
}

void frmGreeting::Form_Load() {
    ui_->Combo1->clear();
    for (const QString& language : greetings::LanguageCaptions()) {
        ui_->Combo1->addItem(greetings::LanguageShown(language), language);
    }
    ui_->Combo1->setCurrentIndex(0);  // "English"
    if (!mmcWav_->Command(QStringLiteral("open")))
        shell::MessageService::Inform(mmcWav_->error(), shell::MsgIcon::none, this);
    mmcWav_StatusUpdate();
    SetTableBox(true);
    ReadActiveGreeting();
    const double dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    resize(shell::TwipsToPixels(kWidthTwips, dpi), shell::TwipsToPixels(kHeightTwips, dpi));
}

void frmGreeting::SetTableBox(bool report) {
    if (!session_.created()) return;
    const auto set_table = [](const SessionViews& v) {
        BStr table(u"BOX");
        return v.table->SetTable(table.Get());
    };
    if (!report) {
        session_.Post(nullptr, set_table, [](HRESULT) {});
        return;
    }
    const HRESULT hr = session_.Call(this, set_table);
    if (FAILED(hr)) {
        const shell::ErrorDetails error = shell::ErrorOf(hr);
        shell::MessageService::Inform(error.description, shell::MsgIcon::none, this);
    }
}

void frmGreeting::ReadActiveGreeting() {
    for (QRadioButton* option : Option1) {
        option->group()->setExclusive(false);
        option->setChecked(false);
        option->group()->setExclusive(true);
    }
    if (!session_.created()) return;
    BStr value;
    const HRESULT hr = session_.Call(this, [&value](const SessionViews& v) {
        HRESULT result = v.table->GetRecord();
        if (SUCCEEDED(result)) {
            BStr field(u"GREET_REC");
            result = v.table->get_GetField(field.Get(), value.ReleaseAndGetAddressOf());
        }
        return result;
    });
    if (FAILED(hr)) {
        shell::MessageService::Inform(shell::ErrorOf(hr).description, shell::MsgIcon::none, this);
        return;
    }
    if (const auto index = greetings::ActiveGreetingIndex(shell::TrimBlanks(FromBStr(value)))) {
        Option1[static_cast<size_t>(*index)]->setChecked(true);
    }
}

void frmGreeting::Form_Activate() {
    SetTableBox();
}

void frmGreeting::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    SetTableBox();
    mmcWav_->Command(QStringLiteral("Close"));
}

void frmGreeting::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Inside the main window, activation is the MDI frame's.
    if (watching_mdi_) return;
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (QMdiArea* area = frame->mdiArea()) {
            watching_mdi_ = true;
            connect(area, &QMdiArea::subWindowActivated, this, [this, frame](QMdiSubWindow* activated) {
                if (activated == frame) Form_Activate();
            });
        }
    }
}

void frmGreeting::closeEvent(QCloseEvent* event) {
    event->accept();
    windows_.Unload<frmGreeting>();
}

greetings::Selection frmGreeting::CurrentSelection() const {
    greetings::Selection selection;
    selection.type = -1;
    for (int i = 0; i < greetings::kGreetingTypeCount; ++i) {
        if (Option2[static_cast<size_t>(i)]->isChecked()) selection.type = i;
    }
    selection.language = ui_->Combo1->currentData().toString();
    selection.name = ui_->Option3->isChecked();
    return selection;
}

void frmGreeting::Option2_Click(int) {
    ui_->Option3->setAutoExclusive(false);
    ui_->Option3->setChecked(false);
    ui_->Option3->setAutoExclusive(true);
}

void frmGreeting::Option3_Click() {
    ui_->Option3->setChecked(true);
    QButtonGroup* types = Option2[0]->group();
    types->setExclusive(false);
    Option2[0]->setChecked(false);
    types->setExclusive(true);
}

// ---- transfers --------------------------------------------------------------

void frmGreeting::GetProgress(LONG bytes, LONG total) {
    ui_->ProgressBar1->setValue(greetings::ProgressPercent(bytes, total));
}

bool frmGreeting::RunSteps(const std::vector<greetings::FileStep>& steps) {
    using Op = greetings::FileStep::Op;
    if (!session_.created()) return false;
    const QPointer<frmGreeting> self(this);
    const BStr mailbox = ToBStr(session_.userName());
    const ComPtr<ISupportEvents> keep = sink_;
    // One step a call: the window waits for each, the program goes on.
    const auto call = [this, &mailbox](auto&& work) {
        return session_.Call(this, [&](const SessionViews& v) { return work(*v.util, mailbox.Get()); });
    };
    for (const greetings::FileStep& step : steps) {
        const BStr remote = ToBStr(step.remote);
        const BStr other = ToBStr(step.other);
        HRESULT hr = E_FAIL;
        switch (step.op) {
            case Op::convert_v2w:
                hr = call([&](IQ5Util& util, BSTR box) { return util.ConvertV2W(box, remote.Get()); });
                break;
            case Op::convert_w2v:
                hr = call([&](IQ5Util& util, BSTR box) { return util.ConvertW2V(box, remote.Get()); });
                break;
            case Op::del_file:
                hr = call([&](IQ5Util& util, BSTR box) { return util.DelFile(box, remote.Get()); });
                break;
            case Op::ren_file:
                hr = call(
                    [&](IQ5Util& util, BSTR box) { return util.RenFile(box, remote.Get(), other.Get()); });
                break;
            case Op::get_file:
            case Op::put_file:
                ui_->ProgressBar1->setValue(0);
                hr = call([&](IQ5Util& util, BSTR box) {
                    return step.op == Op::get_file
                               ? util.GetFile2(box, remote.Get(), other.Get(), keep.Get())
                               : util.PutFile2(box, remote.Get(), other.Get(), keep.Get());
                });
                if (!self) return false;
                // Progress posted by the sink that is still queued comes
                // first (the call may have returned without a wait).
                QCoreApplication::sendPostedEvents(qApp, QEvent::MetaCall);
                // The library reports no progress after the last chunk.
                if (SUCCEEDED(hr)) ui_->ProgressBar1->setValue(100);
                break;
        }
        if (FAILED(hr)) {
            shell::ErrorOf(hr);
            return false;
        }
    }
    return true;
}

void frmGreeting::NotRecorded(const QString& reason) {
    if (!reason.isEmpty()) ui_->Label1->setText(reason);
    shell::MessageService::Inform(NotRecordedText(), shell::MsgIcon::none, this);
}

void frmGreeting::Command1_Click() {
    const greetings::Selection selection = CurrentSelection();
    // The download replaces the local file: let go of it first.
    mmcWav_->Command(QStringLiteral("close"));
    shell::EnsureWorkingFolders();
    const QString local = greetings::LocalSoundFile(selection);
    const QString partial = local + QStringLiteral(".download");
    std::vector<greetings::FileStep> steps = greetings::GetGreetingSteps(selection);
    // Download beside the local file and replace it only when complete, so a
    // failed download keeps the previous copy.
    for (greetings::FileStep& step : steps) {
        if (step.op == greetings::FileStep::Op::get_file) step.other = partial;
    }
    const bool fetched = RunSteps(steps);
    if (fetched) {
        QFile::remove(local);
        if (!QFile::rename(partial, local)) {
            QFile::remove(partial);
            NotRecorded();
            return;
        }
        shell::MakeOwnerOnly(local);
    } else {
        QFile::remove(partial);
        NotRecorded();
        return;
    }
    mmcWav_->setFileName(local);
    mmcWav_->Command(QStringLiteral("open"));
}

void frmGreeting::Command2_Click() {
    const greetings::Selection selection = CurrentSelection();
    // A recording still waiting to be written goes first.
    if (mmcWav_->hasUnsavedRecording()) mmcWav_->Command(QStringLiteral("save"));
    if (!QFileInfo::exists(greetings::LocalSoundFile(selection))) {
        NotRecorded();
        return;
    }
    if (!RunSteps(greetings::TransmitGreetingSteps(selection))) NotRecorded();
}

// ---- recorder ---------------------------------------------------------------

void frmGreeting::mmcWav_RecordClick() {
    if (!shell::EnsureWorkingFolders()) {
        NotRecorded(tr("Cannot create %1").arg(shell::LocalPath(shell::LocalFolder::vox)));
        return;
    }
    const QString local = greetings::LocalSoundFile(CurrentSelection());
    mmcWav_->Command(QStringLiteral("close"));
    // The existing file stays until the new recording is saved over it.
    mmcWav_->setFileName(local);
    if (!mmcWav_->Command(QStringLiteral("open")) || !mmcWav_->Command(QStringLiteral("record"))) {
        NotRecorded(mmcWav_->error());
    }
}

void frmGreeting::mmcWav_PlayClick() {
    const QString local = greetings::LocalSoundFile(CurrentSelection());
    mmcWav_->Command(QStringLiteral("close"));
    mmcWav_->setFileName(local);
    if (!QFileInfo::exists(local)) {
        NotRecorded();
        return;
    }
    if (!mmcWav_->Command(QStringLiteral("open")) || !mmcWav_->Command(QStringLiteral("play"))) {
        NotRecorded(mmcWav_->error());
    }
}

void frmGreeting::mmcWav_StopClick() {
    switch (mmcWav_->mode()) {
        case media::Mode::playing:
            mmcWav_->Command(QStringLiteral("prev"));
            break;
        case media::Mode::recording:
            if (!mmcWav_->Command(QStringLiteral("save"))) NotRecorded(mmcWav_->error());
            break;
        default:
            if (mmcWav_->hasUnsavedRecording()) {
                if (!mmcWav_->Command(QStringLiteral("save"))) NotRecorded(mmcWav_->error());
            } else {
                mmcWav_->Command(QStringLiteral("stop"));
            }
            break;
    }
}

void frmGreeting::mmcWav_PauseClick() {
    mmcWav_->Command(QStringLiteral("pause"));
}

void frmGreeting::mmcWav_PrevClick() {
    mmcWav_->Command(QStringLiteral("prev"));
}

void frmGreeting::mmcWav_StatusUpdate() {
    const media::Mode mode = mmcWav_->mode();
    if (const auto text = greetings::StateText(mode)) ui_->lblStatusValue->setText(*text);
    if (mode == media::Mode::not_open)
        ui_->lblFileValue->setText(QDir::toNativeSeparators(mmcWav_->fileName()));
    if (mode == media::Mode::playing) {
        ui_->Slider1->setMaximum(static_cast<int>(mmcWav_->length()));
        ui_->Slider1->setValue(static_cast<int>(mmcWav_->position()));
    }
    const bool open = mode != media::Mode::not_open;
    ui_->mmcWavPlay->setEnabled(open && mode != media::Mode::recording);
    ui_->mmcWavPause->setEnabled(mode == media::Mode::playing || mode == media::Mode::recording);
    ui_->mmcWavStop->setEnabled(open);
    ui_->mmcWavPrev->setEnabled(open);
}

// ---- save -------------------------------------------------------------------

void frmGreeting::Toolbar1_ButtonClick(QAction* button) {
    if (button && button->objectName() == QLatin1String("Save")) Save();
}

void frmGreeting::Save() {
    if (!session_.created()) return;
    auto handle = [this](HRESULT hr) {
        if (SUCCEEDED(hr)) return true;
        const shell::ErrorDetails error = shell::ErrorOf(hr);
        if (hr == E_FAIL) return true;
        if (hr == E_CONNECTION_LOST) {
            windows_.OfferReconnect(this);
            return false;
        }
        shell::MessageRequest request;
        request.text = shell::ErrorNumberText(hr) + error.description;
        shell::MessageService::Show(request, this);
        return true;
    };
    const QPointer<frmGreeting> self(this);
    int chosen = -1;
    for (int i = 0; i < 3; ++i) {
        if (Option1[static_cast<size_t>(i)]->isChecked()) chosen = i;
    }
    if (chosen >= 0) {
        BStr field(u"GREET_REC");
        BStr value = ToBStr(greetings::GreetRecValue(chosen));
        const HRESULT hr = session_.Call(
            this, [&](const SessionViews& v) { return v.table->SetField(field.Get(), value.Get()); });
        if (!handle(hr) || !self) return;
    }
    handle(session_.Call(this, [](const SessionViews& v) { return v.table->PutRecord(); }));
}

// ---- help line --------------------------------------------------------------

bool frmGreeting::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        if (watched == ui_->Command1) {
            ui_->Label1->setText(greetings::GetGreetingHelp());
        } else if (watched == ui_->Command2) {
            ui_->Label1->setText(greetings::TransmitGreetingHelp());
        } else if (watched == ui_->Frame4) {
            ui_->Label1->clear();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace q5
