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

#include "calls/frm_call_control.h"
#include "calls/frm_pim_setup.h"
#include "calls/frm_properties.h"
#include "greetings/frm_greeting.h"
#include "mailbox/frm_advanced.h"
#include "mailbox/frm_call_out.h"
#include "mailbox/frm_conversion_table.h"
#include "mailbox/frm_mbx.h"
#include "shell/busy_cursor.h"
#include "shell/form_layout.h"
#include "shell/frm_about.h"
#include "shell/frm_login.h"
#include "shell/local_paths.h"
#include "shell/message_service.h"
#include "shell/registry.h"
#include "shell/resolve_captions.h"
#include "shell/session_state.h"
#include "shell/shell_logic.h"
#include "shell/windows.h"
#include "ui_frm_main.h"

namespace q5 {

namespace {

constexpr int kKeepAliveMs = 64000;
const QString kSettings = QStringLiteral("Settings");

QString App() {
    return QString::fromLatin1(shell::kAppTitle);
}

}  // namespace

frmMain::frmMain() : ui_(new Ui::frmMain) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    ui_->setupUi(this);
    status_panel_ = new QLabel(QStringLiteral("Status"), this);
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

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kKeepAliveMs);
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &frmMain::UpdateClock);
    Form_Load();
}

frmMain::~frmMain() {
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
    left = shell::StoredInt(
        shell::Registry::Read(App(), kSettings, QStringLiteral("MainLeft"), QStringLiteral("1000")), 1000);
    top = shell::StoredInt(
        shell::Registry::Read(App(), kSettings, QStringLiteral("MainTop"), QStringLiteral("1000")), 1000);
    width = shell::StoredInt(
        shell::Registry::Read(App(), kSettings, QStringLiteral("MainWidth"), QStringLiteral("6500")), 6500);
    height = shell::StoredInt(
        shell::Registry::Read(App(), kSettings, QStringLiteral("MainHeight"), QStringLiteral("6500")), 6500);
}

void frmMain::Form_Load() {
    shell::ResolveCaptions(this);
    int left, top, width, height;
    StoredGeometry(left, top, width, height);
    const double dpi = Dpi();
    move(shell::TwipsToPixels(left, dpi), shell::TwipsToPixels(top, dpi));
    resize(std::max(1, shell::TwipsToPixels(width, dpi)), std::max(1, shell::TwipsToPixels(height, dpi)));
    setWindowTitle(QStringLiteral("Q5Client connected to mailbox") + QStringLiteral(" ") + gUserName);
    UpdateClock();
    clock_.start();
    Timer1.start();
    ShowCallControl();
    shell::EnsureWorkingFolders();
    ReadScreening();
}

void frmMain::ReadScreening() {
    gNameScreening = false;
    if (!gTable) return;
    shell::BusyCursor busy;
    BStr table(u"BOX");
    if (FAILED(gTable->SetTable(table.Get()))) {
        shell::ErrorOf(E_FAIL);
        return;
    }
    if (FAILED(gTable->GetRecord())) {
        shell::ErrorOf(E_FAIL);  // skipped: the flag stays off
        return;
    }
    BStr field(u"SCREEN");
    BStr value;
    if (FAILED(gTable->get_GetField(field.Get(), value.ReleaseAndGetAddressOf()))) {
        shell::ErrorOf(E_FAIL);
        return;
    }
    const std::u16string_view text = value.View();
    gNameScreening = shell::TrimBlanks(QString::fromUtf16(
                         text.data(), static_cast<qsizetype>(text.size()))) == QLatin1String("V");
}

void frmMain::UpdateClock() {
    const QLocale locale;
    date_panel_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    time_panel_->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

void frmMain::Timer1_Timer() {
    // One question at a time, and none while the user is logging in again.
    if (in_keep_alive_ || !gUtil) return;
    if (frmLogin* login = windows::Loaded<frmLogin>(); login && login->isVisible()) return;
    in_keep_alive_ = true;
    const QPointer<frmMain> self(this);
    HRESULT hr;
    {
        shell::BusyCursor busy;
        hr = gUtil->KeepAlive();
    }
    const shell::ErrorDetails error = FAILED(hr) ? shell::ErrorOf(hr) : shell::ErrorDetails{};
    switch (shell::KeepAliveActionFor(hr)) {
        case shell::KeepAliveAction::nothing:
            break;
        case shell::KeepAliveAction::offer_reconnect: {
            windows::OfferReconnect(this);
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

void frmMain::ShowCallControl() {
    ShowChild(&windows::Load<frmCallControl>());
}
void frmMain::ShowGreeting() {
    ShowChild(&windows::Load<frmGreeting>());
}
void frmMain::ShowCallOut() {
    ShowChild(&windows::Load<frmCallOut>());
}
void frmMain::ShowConversionTable() {
    ShowChild(&windows::Load<frmConversionTable>());
}
void frmMain::ShowAdvanced() {
    ShowChild(&windows::Load<frmAdvanced>());
}
void frmMain::ShowMbx() {
    ShowOwn(&windows::Load<frmMbx>());
}
void frmMain::ShowPIMSetup() {
    ShowOwn(&windows::Load<frmPIMSetup>());
}
void frmMain::ShowProperties() {
    ShowOwn(&windows::Load<frmProperties>());
}

void frmMain::ShowAbout() {
    frmAbout& about = windows::Load<frmAbout>();
    about.setParent(this, about.windowFlags());
    about.exec();
}

void frmMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1.stop();
    clock_.stop();
    if (!isMinimized()) {
        const double dpi = Dpi();
        shell::Registry::Write(App(), kSettings, QStringLiteral("MainLeft"),
                               QString::number(shell::PixelsToTwips(x(), dpi)));
        shell::Registry::Write(App(), kSettings, QStringLiteral("MainTop"),
                               QString::number(shell::PixelsToTwips(y(), dpi)));
        shell::Registry::Write(App(), kSettings, QStringLiteral("MainWidth"),
                               QString::number(shell::PixelsToTwips(width(), dpi)));
        shell::Registry::Write(App(), kSettings, QStringLiteral("MainHeight"),
                               QString::number(shell::PixelsToTwips(height(), dpi)));
    }
    if (gConnect) {
        shell::BusyCursor busy;
        gConnect->Quit();
        gConnect->Close();
        shell::ErrorOf(S_OK);  // a failed Quit leaves a record nobody reads
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    // The user closes the program. Windows with unsaved edits ask first,
    // while the session can still save them; Cancel there keeps everything
    // open. Then the unload steps, and every window goes.
    if (!windows::CloseEditingWindows()) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
    windows::EndProgram(0);
}

}  // namespace q5
