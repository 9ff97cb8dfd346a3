#include "shell/frm_main.h"

#include <QCloseEvent>
#include <QDate>
#include <QLocale>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTime>

#include <algorithm>

#include <QDialog>

#include "shell/busy_cursor.h"
#include "shell/form_layout.h"
#include "shell/local_paths.h"
#include "shell/message_service.h"
#include "shell/resolve_captions.h"
#include "shell/session.h"
#include "shell/shell_logic.h"
#include "ui_frm_main.h"

namespace q5 {

namespace {

constexpr int kKeepAliveMs = 64000;

using shell::Setting;

}  // namespace

frmMain::frmMain(Session& session, WindowManager& windows, KeepAliveCall keep_alive)
    : session_(session), windows_(windows), keep_alive_(std::move(keep_alive)), ui_(new Ui::frmMain) {
    if (!keep_alive_) keep_alive_ = [](const SessionViews& views) { return views.util->KeepAlive(); };
    setAttribute(Qt::WA_DeleteOnClose, false);
    ui_->setupUi(this);
    status_panel_ = new QLabel(tr("Status"), this);
    status_panel_->setObjectName(QStringLiteral("sbStatusBar_1"));
    date_panel_ = new QLabel(this);
    date_panel_->setObjectName(QStringLiteral("sbStatusBar_2"));
    time_panel_ = new QLabel(this);
    time_panel_->setObjectName(QStringLiteral("sbStatusBar_3"));
    ui_->sbStatusBar->addWidget(status_panel_, 1);
    ui_->sbStatusBar->addPermanentWidget(date_panel_);
    ui_->sbStatusBar->addPermanentWidget(time_panel_);

    connect(ui_->mnuStartCallControl, &QAction::triggered, this, &frmMain::mnuStartCallControl_Click);
    connect(ui_->mnuPIMSetup, &QAction::triggered, this, &frmMain::mnuPIMSetup_Click);
    connect(ui_->mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
    connect(ui_->mnuMailbox, &QAction::triggered, this, &frmMain::ShowMbx);
    connect(ui_->mnuAdvanced, &QAction::triggered, this, &frmMain::ShowAdvanced);
    connect(ui_->mnuConversionTable, &QAction::triggered, this, &frmMain::ShowConversionTable);
    connect(ui_->mnuCallOut, &QAction::triggered, this, &frmMain::ShowCallOut);
    connect(ui_->mnuGreeting, &QAction::triggered, this, &frmMain::ShowGreeting);
    connect(ui_->mnuProperties, &QAction::triggered, this, &frmMain::ShowProperties);
    connect(ui_->mnuDesktopSettings, &QAction::triggered, this, &frmMain::ShowDesktopSettings);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kKeepAliveMs);
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &frmMain::UpdateClock);
    Form_Load();
}

frmMain::~frmMain() {
    destroying_ = true;
    Form_Unload();
    delete ui_;
}

QMdiArea* frmMain::mdiArea() const {
    return ui_->mdiArea;
}

double frmMain::Dpi() const {
    const QScreen* display = screen();
    return display ? display->logicalDotsPerInchX() : 96.0;
}

void frmMain::StoredGeometry(int& left, int& top, int& width, int& height) {
    const shell::Settings settings;
    left = settings.Number(Setting::MainLeft);
    top = settings.Number(Setting::MainTop);
    width = settings.Number(Setting::MainWidth);
    height = settings.Number(Setting::MainHeight);
}

void frmMain::Form_Load() {
    shell::ResolveCaptions(this);
    int left, top, width, height;
    StoredGeometry(left, top, width, height);
    const double dpi = Dpi();
    move(shell::TwipsToPixels(left, dpi), shell::TwipsToPixels(top, dpi));
    resize(std::max(1, shell::TwipsToPixels(width, dpi)), std::max(1, shell::TwipsToPixels(height, dpi)));
    setWindowTitle(tr("Q5Client connected to mailbox") + QStringLiteral(" ") + session_.userName());
    UpdateClock();
    clock_.start();
    Timer1.start();
    ShowCallControl();
    shell::EnsureWorkingFolders();
    ReadScreening();
}

void frmMain::ReadScreening() {
    session_.setNameScreening(false);
    if (!session_.created()) return;
    shell::BusyCursor busy;
    // No message comes between the three calls: one wait.
    BStr value;
    const HRESULT hr = session_.Call(this, [&value](const SessionViews& views) {
        BStr table(u"BOX");
        HRESULT result = views.table->SetTable(table.Get());
        if (SUCCEEDED(result)) result = views.table->GetRecord();
        BStr field(u"SCREEN");
        if (SUCCEEDED(result))
            result = views.table->get_GetField(field.Get(), value.ReleaseAndGetAddressOf());
        return result;
    });
    if (FAILED(hr)) {
        shell::ErrorOf(E_FAIL);  // skipped: the flag stays off
        return;
    }
    const std::u16string_view text = value.View();
    session_.setNameScreening(shell::TrimBlanks(QString::fromUtf16(
                                  text.data(), static_cast<qsizetype>(text.size()))) == QLatin1String("V"));
}

void frmMain::UpdateClock() {
    const QLocale locale;
    date_panel_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    time_panel_->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

void frmMain::Timer1_Timer() {
    // One question at a time, and none while the user is logging in again.
    if (in_keep_alive_ || !session_.created()) return;
    if (QWidget* login = windows_.Loaded(WindowKind::Login); login && login->isVisible()) return;
    in_keep_alive_ = true;
    // After a waiting operation, as the timer of a blocked program would
    // have fired; the answer comes back here without anybody waiting.
    session_.RunWhenIdle(
        this, [this] { session_.Post(this, keep_alive_, [this](HRESULT hr) { KeepAliveAnswered(hr); }); });
}

void frmMain::KeepAliveAnswered(HRESULT hr) {
    const QPointer<frmMain> self(this);
    const shell::ErrorDetails error = FAILED(hr) ? shell::ErrorOf(hr) : shell::ErrorDetails{};
    switch (shell::KeepAliveActionFor(hr)) {
        case shell::KeepAliveAction::nothing:
            break;
        case shell::KeepAliveAction::offer_reconnect: {
            windows_.OfferReconnect(this);
            break;
        }
        case shell::KeepAliveAction::show_error: {
            shell::MessageRequest request;
            request.text = shell::ErrorNumberText(hr) + error.description;
            shell::MessageService::Show(request, this);
            break;
        }
    }
    if (self) in_keep_alive_ = false;
}

void frmMain::ShowChild(QWidget* form) {
    QMdiSubWindow* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    if (!frame) {
        // The frame takes the size the form was designed with, plus its own
        // border and title bar, or more where the form's content needs it.
        // It never gets smaller than that content, not even maximised: the
        // area scrolls to what it cannot show.
        const QSize designed = form->size();
        shell::ReserveTextRoom(form);
        frame = ui_->mdiArea->addSubWindow(form);
        if (QLayout* layout = frame->layout()) layout->setSizeConstraint(QLayout::SetMinimumSize);
        const int border = frame->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, frame);
        const int title = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
        frame->resize((designed + QSize(2 * border, title + border)).expandedTo(frame->minimumSizeHint()));
        if (QLayout* layout = frame->layout()) layout->activate();
        shell::FitListColumns(form);
    }
    form->show();
    frame->show();
    KeepChildrenInSight();
    ui_->mdiArea->setActiveSubWindow(frame);
}

void frmMain::KeepChildrenInSight() {
    // The area centres a child larger than itself, its title bar out of
    // sight to the left or top; the area scrolls to that corner instead.
    QRect children;
    for (QMdiSubWindow* frame : ui_->mdiArea->subWindowList()) {
        if (frame->isVisible() && !frame->isMaximized() && !frame->isMinimized())
            children |= frame->geometry();
    }
    QScrollBar* across = ui_->mdiArea->horizontalScrollBar();
    QScrollBar* down = ui_->mdiArea->verticalScrollBar();
    if (children.left() < 0) across->setValue(std::max(across->minimum(), across->value() + children.left()));
    if (children.top() < 0) down->setValue(std::max(down->minimum(), down->value() + children.top()));
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The area places the children it got while hidden as it shows.
    KeepChildrenInSight();
}

void frmMain::ShowOwn(QWidget* form) {
    if (!form->isVisible()) {
        shell::ReserveTextRoom(form);
        if (QLayout* layout = form->layout()) layout->activate();
        shell::FitListColumns(form);
    }
    form->show();
    form->raise();
    form->activateWindow();
}

void frmMain::ShowKind(WindowKind kind, bool own) {
    // Its first calls still wait for the server (the menu was chosen again
    // meanwhile): it shows once they are done.
    if (windows_.Loading(kind)) return;
    QWidget& form = windows_.Load(kind);
    if (own) {
        ShowOwn(&form);
    } else {
        ShowChild(&form);
    }
}

void frmMain::ShowCallControl() {
    ShowKind(WindowKind::CallControl, false);
}
void frmMain::ShowGreeting() {
    ShowKind(WindowKind::Greeting, false);
}
void frmMain::ShowCallOut() {
    ShowKind(WindowKind::CallOut, false);
}
void frmMain::ShowConversionTable() {
    ShowKind(WindowKind::ConversionTable, false);
}
void frmMain::ShowAdvanced() {
    ShowKind(WindowKind::Advanced, false);
}
void frmMain::ShowMbx() {
    ShowKind(WindowKind::Mbx, true);
}
void frmMain::ShowPIMSetup() {
    ShowKind(WindowKind::PIMSetup, true);
}
void frmMain::ShowProperties() {
    ShowKind(WindowKind::Properties, true);
}
void frmMain::ShowDesktopSettings() {
    ShowKind(WindowKind::DesktopSettings, true);
}

void frmMain::ShowAbout() {
    if (windows_.Loading(WindowKind::About)) return;
    auto* about = qobject_cast<QDialog*>(&windows_.Load(WindowKind::About));
    about->setParent(this, about->windowFlags());
    about->exec();
}

void frmMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1.stop();
    clock_.stop();
    if (!isMinimized()) {
        const double dpi = Dpi();
        shell::Settings settings;
        settings.SetNumber(Setting::MainLeft, shell::PixelsToTwips(x(), dpi));
        settings.SetNumber(Setting::MainTop, shell::PixelsToTwips(y(), dpi));
        settings.SetNumber(Setting::MainWidth, shell::PixelsToTwips(width(), dpi));
        settings.SetNumber(Setting::MainHeight, shell::PixelsToTwips(height(), dpi));
    }
    if (session_.created()) {
        shell::BusyCursor busy;
        // A window being destroyed does not wait as a window.
        session_.Call(destroying_ ? nullptr : this, [](const SessionViews& views) {
            views.connect->Quit();
            views.connect->Close();
        });
        shell::ErrorOf(S_OK);  // a failed Quit leaves a record nobody reads
    }
}

void frmMain::QuitProgram() {
    const QPointer<frmMain> self(this);
    quitting_ = true;
    close();
    if (self) quitting_ = false;
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Kept in the tray: only the window goes; the session, the keep-alive
    // and the call control's event log keep running.
    if (!quitting_ && hide_on_close_ && hide_on_close_()) {
        event->ignore();
        hide();
        return;
    }
    // The user closes the program. Windows with unsaved edits ask first,
    // while the session can still save them; Cancel there keeps everything
    // open. Then the unload steps, and every window goes.
    if (!windows_.CloseEditingWindows()) {
        event->ignore();
        return;
    }
    event->accept();
    const QPointer<frmMain> self(this);
    Form_Unload();
    if (self) windows_.EndProgram(0);
}

}  // namespace q5
