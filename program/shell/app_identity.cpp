#include "shell/app_identity.h"

#include <QGuiApplication>
#include <QIcon>

namespace q5::shell {

void ApplyDesktopIdentity() {
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/q5client/icons/q5client-%1.png").arg(size), QSize(size, size));
    }
    QGuiApplication::setWindowIcon(icon);
}

}  // namespace q5::shell
