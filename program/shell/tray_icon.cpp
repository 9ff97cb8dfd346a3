#include "shell/tray_icon.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>

#include "shell/frm_main.h"
#include "shell/session.h"
#include "shell/settings.h"

namespace q5::shell {

TrayIcon::TrayIcon(Session& session, WindowManager& windows, Availability available)
    : session_(session),
      windows_(windows),
      available_(std::move(available)),
      menu_(new QMenu),
      show_(menu_->addAction(tr("Show"))),
      call_control_(menu_->addAction(tr("Call Control"))),
      mailbox_(menu_->addAction(tr("Mailbox Settings"))),
      greetings_(menu_->addAction(tr("Greetings"))),
      quit_(nullptr) {
    if (!available_) available_ = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    menu_->addSeparator();
    quit_ = menu_->addAction(tr("Quit"));
    icon_.setContextMenu(menu_);

    connect(show_, &QAction::triggered, this, &TrayIcon::ShowMainWindow);
    connect(call_control_, &QAction::triggered, this, [this] {
        ShowMainWindow();
        if (auto* main = windows_.Loaded<frmMain>()) main->ShowCallControl();
    });
    connect(mailbox_, &QAction::triggered, this, [this] {
        if (auto* main = windows_.Loaded<frmMain>()) main->ShowMbx();
    });
    connect(greetings_, &QAction::triggered, this, [this] {
        ShowMainWindow();
        if (auto* main = windows_.Loaded<frmMain>()) main->ShowGreeting();
    });
    connect(quit_, &QAction::triggered, this, &TrayIcon::Quit);
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) ShowMainWindow();
    });
    connect(&session_, &Session::loggedInChanged, this, &TrayIcon::Update);
    connect(&session_, &Session::callsWaitingChanged, this, &TrayIcon::Update);
    Update();
}

TrayIcon::~TrayIcon() {
    icon_.hide();
    icon_.setContextMenu(nullptr);
    delete menu_;
}

bool TrayIcon::Available() const {
    return available_();
}

void TrayIcon::Show() {
    if (shown_ || !Available()) return;
    shown_ = true;
    Update();
    icon_.show();
}

bool TrayIcon::KeepsRunning() const {
    return shown_ && Available() && Settings().Number(Setting::KeepInTray) != 0;
}

bool TrayIcon::HideMainWindowOnClose() {
    if (!KeepsRunning()) return false;
    Settings settings;
    if (settings.Number(Setting::TrayNoticeShown) == 0) {
        settings.SetNumber(Setting::TrayNoticeShown, 1);
        icon_.showMessage(tr("Q5Client keeps running"),
                          tr("Calls still arrive while the window is closed. Open it again from the "
                             "tray icon; choose Quit there to end the program."),
                          QSystemTrayIcon::Information);
    }
    return true;
}

void TrayIcon::ShowMainWindow() {
    QWidget* window = windows_.Loaded(WindowKind::Main);
    if (!window) window = windows_.Loaded(WindowKind::Login);
    if (!window) return;
    if (window->isMinimized()) {
        window->showNormal();
    } else {
        window->show();
    }
    window->raise();
    window->activateWindow();
}

bool TrayIcon::ShowIfHidden() {
    QWidget* main = windows_.Loaded(WindowKind::Main);
    if (!shown_ || !main || main->isVisible() || windows_.ProgramEnding()) return false;
    ShowMainWindow();
    return true;
}

void TrayIcon::Quit() {
    if (auto* main = windows_.Loaded<frmMain>()) {
        main->QuitProgram();
    } else {
        windows_.EndProgram(0);
    }
}

void TrayIcon::Update() {
    const bool logged_in = session_.loggedIn();
    const int waiting = logged_in ? session_.callsWaiting() : 0;
    QString tip;
    if (!logged_in) {
        tip = tr("Q5Client: disconnected");
    } else if (waiting > 0) {
        tip = tr("Q5Client: mailbox %1, calls waiting: %2").arg(session_.userName()).arg(waiting);
    } else {
        tip = tr("Q5Client: logged in to mailbox %1").arg(session_.userName());
    }
    icon_.setToolTip(tip);
    icon_.setIcon(Picture(logged_in, waiting));
    for (QAction* action : {call_control_, mailbox_, greetings_}) action->setEnabled(logged_in);
}

QIcon TrayIcon::Picture(bool logged_in, int waiting) const {
    const QIcon application = QApplication::windowIcon();
    QIcon picture;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap = application.pixmap(QSize(size, size), logged_in ? QIcon::Normal : QIcon::Disabled);
        if (pixmap.isNull()) {
            pixmap = QPixmap(size, size);
            pixmap.fill(logged_in ? Qt::darkBlue : Qt::gray);
        }
        if (waiting > 0) {
            // A red badge in the lower right corner, with the count where it fits.
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            const int badge = size * 5 / 8;
            const QRectF area(size - badge, size - badge, badge, badge);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0xd0, 0x20, 0x20));
            painter.drawEllipse(area);
            if (size >= 22) {
                QFont font = painter.font();
                font.setPixelSize(badge * 3 / 4);
                font.setBold(true);
                painter.setFont(font);
                painter.setPen(Qt::white);
                painter.drawText(area, Qt::AlignCenter,
                                 waiting > 9 ? QStringLiteral("+") : QString::number(waiting));
            }
        }
        picture.addPixmap(pixmap);
    }
    return picture;
}

}  // namespace q5::shell
