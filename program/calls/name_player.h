// NamePlayer: plays a caller's recorded name. The call control window only
// needs "play this file, or say why not"; the default player hands the file
// to the desktop's command-line sound player (paplay, pw-play or aplay,
// whichever is installed); the call control window takes a factory of
// players so that another player can stand in for it.
//
// Thread rule: UI thread only.
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QProcess;

namespace q5::calls {

class NamePlayer {
public:
    using FailureHandler = std::function<void(const QString& reason)>;

    virtual ~NamePlayer() = default;
    // Stops what plays and starts `path`; false with a reason when it cannot.
    virtual bool Play(const QString& path, QString* error) = 0;
    // Told when a name that started cannot be played to the end (the player
    // gave up); not told when Play itself failed or a new Play stopped it.
    void OnFailure(FailureHandler handler) { on_failure_ = std::move(handler); }

protected:
    void Failed(const QString& reason) const {
        if (on_failure_) on_failure_(reason);
    }

private:
    FailureHandler on_failure_;
};

class CommandNamePlayer : public NamePlayer {
public:
    CommandNamePlayer();
    ~CommandNamePlayer() override;
    bool Play(const QString& path, QString* error) override;

private:
    void Stop();
    void Finished();

    QProcess* process_ = nullptr;
    QString program_;
};

using NamePlayerFactory = std::function<std::unique_ptr<NamePlayer>()>;
// A player from `factory`, or the desktop's sound player when it is empty.
std::unique_ptr<NamePlayer> MakeNamePlayer(const NamePlayerFactory& factory);

}  // namespace q5::calls
