#include "calls/name_player.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace q5::calls {
namespace {

NamePlayerFactory& Factory() {
    static NamePlayerFactory factory;
    return factory;
}

}  // namespace

CommandNamePlayer::CommandNamePlayer() : process_(new QProcess) {}

CommandNamePlayer::~CommandNamePlayer() {
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(1000);
    }
    delete process_;
}

bool CommandNamePlayer::Play(const QString& path, QString* error) {
    // "close": stop the name that plays.
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(1000);
    }
    // "open"
    if (!QFileInfo(path).isFile()) {
        if (error) *error = QStringLiteral("The recorded name %1 was not found").arg(path);
        return false;
    }
    QString program;
    for (const char* name : {"paplay", "pw-play", "aplay"}) {
        program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty()) break;
    }
    if (program.isEmpty()) {
        if (error)
            *error =
                QStringLiteral("No audio device: no sound player (paplay, pw-play or aplay) is installed");
        return false;
    }
    // "play"
    QStringList arguments;
    if (program.endsWith(QStringLiteral("aplay"))) arguments << QStringLiteral("-q");
    arguments << path;
    process_->start(program, arguments);
    if (!process_->waitForStarted(2000)) {
        if (error) *error = QStringLiteral("No audio device: %1").arg(process_->errorString());
        return false;
    }
    return true;
}

NamePlayerFactory SetNamePlayerFactory(NamePlayerFactory factory) {
    NamePlayerFactory previous = std::move(Factory());
    Factory() = std::move(factory);
    return previous;
}

std::unique_ptr<NamePlayer> MakeNamePlayer() {
    if (Factory()) return Factory()();
    return std::make_unique<CommandNamePlayer>();
}

}  // namespace q5::calls
