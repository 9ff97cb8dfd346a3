// The window and device tests share one application object (offscreen
// platform) and one private sound server, prepared before Qt Multimedia
// looks for devices and started by the first test that needs one.
#include <gtest/gtest.h>

#include <QApplication>

#include "sound_server.h"

namespace {

QtMessageHandler g_default_handler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (g_default_handler) g_default_handler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    q5test::SoundServer::Prepare();
    g_default_handler = qInstallMessageHandler(QuietHandler);
    int result;
    {
        QApplication app(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        result = RUN_ALL_TESTS();
    }
    q5test::SoundServer::Stop();
    return result;
}
