#include "calls/name_player.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSignalBlocker>
#include <QStandardPaths>

#include "calls/call_logic.h"

namespace q5::calls {
CommandNamePlayer::CommandNamePlayer() : process_(new QProcess) {
    QObject::connect(process_, &QProcess::finished, process_, [this] { Finished(); });
}

CommandNamePlayer::~CommandNamePlayer() {
    Stop();
    delete process_;
}

void CommandNamePlayer::Stop() {
    if (process_->state() == QProcess::NotRunning) return;
    // A name stopped on purpose is no failure of the player.
    const QSignalBlocker quiet(process_);
    process_->kill();
    process_->waitForFinished(1000);
}

void CommandNamePlayer::Finished() {
    if (process_->exitStatus() == QProcess::NormalExit && process_->exitCode() == 0) return;
    const QString name = QFileInfo(program_).fileName();
    QString reason = process_->exitStatus() == QProcess::NormalExit
                         ? QCoreApplication::translate("NamePlayer", "%1 ended with status %2")
                               .arg(name)
                               .arg(process_->exitCode())
                         : QCoreApplication::translate("NamePlayer", "%1 stopped unexpectedly").arg(name);
    const QString said = QString::fromLocal8Bit(process_->readAllStandardError()).simplified();
    if (!said.isEmpty()) reason += QStringLiteral(": ") + said;
    Failed(reason);
}

bool CommandNamePlayer::Play(const QString& path, QString* error) {
    // "close": stop the name that plays.
    Stop();
    // "open"
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error =
                QCoreApplication::translate("NamePlayer", "The recorded name %1 was not found").arg(path);
        return false;
    }
    QString program;
    for (const char* name : {"paplay", "pw-play", "aplay"}) {
        program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty()) break;
    }
    if (program.isEmpty()) {
        if (error)
            *error = QCoreApplication::translate(
                "NamePlayer", "No audio device: no sound player (paplay, pw-play or aplay) is installed");
        return false;
    }
    // "play"
    program_ = program;
    process_->start(program, NamePlayerArguments(program, path));
    if (!process_->waitForStarted(2000)) {
        if (error)
            *error =
                QCoreApplication::translate("NamePlayer", "No audio device: %1").arg(process_->errorString());
        return false;
    }
    return true;
}

std::unique_ptr<NamePlayer> MakeNamePlayer(const NamePlayerFactory& factory) {
    if (factory) return factory();
    return std::make_unique<CommandNamePlayer>();
}

}  // namespace q5::calls
