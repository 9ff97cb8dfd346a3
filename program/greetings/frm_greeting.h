// frmGreeting: the greeting manager, a child of the main window's MDI area:
// listens to, records and uploads the mailbox's greetings and recorded name
// in fourteen languages, and chooses the active greeting (BOX GREET_REC).
// Files travel through the Session (the window waits for each step while
// the program keeps running) with this window as the progress sink; sound
// is recorded and played by its multimedia control mmcWav.
//
// Thread rule: UI thread only; the progress sink is called on the session
// thread during a transfer and hands the progress to the UI thread.
#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "greetings/greeting_logic.h"
#include "greetings/multimedia_control.h"
#include "q5client/q5client.h"
#include "shell/window_manager.h"

class QAction;
class QRadioButton;

namespace Ui {
class frmGreeting;
}

namespace q5 {

class Session;

class frmGreeting : public QWidget {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::Greeting;

    // The window's sound devices (empty: the machine's).
    using DeviceFactory = std::function<std::unique_ptr<media::AudioDevice>()>;

    frmGreeting(Session& session, WindowManager& windows, const DeviceFactory& devices = {});
    ~frmGreeting() override;
    Ui::frmGreeting* ui() const { return ui_; }

    std::array<QRadioButton*, greetings::kGreetingTypeCount> Option2{};  // greeting type
    std::array<QRadioButton*, 3> Option1{};                              // active greeting
    media::MultimediaControl& mmcWav() { return *mmcWav_; }

    // The progress sink given to GetFile2 and PutFile2.
    ISupportEvents* progress_sink() const { return sink_.Get(); }
    void GetProgress(LONG bytes, LONG total);

    // What Get/Transmit/Record/Play act on, from the controls.
    greetings::Selection CurrentSelection() const;

public slots:
    void Command1_Click();  // Get Greeting
    void Command2_Click();  // Transmit Greeting
    void Option2_Click(int index);
    void Option3_Click();
    void Toolbar1_ButtonClick(QAction* button);
    void mmcWav_PlayClick();
    void mmcWav_RecordClick();
    void mmcWav_StopClick();
    void mmcWav_PauseClick();
    void mmcWav_PrevClick();
    void mmcWav_StatusUpdate();
    void Form_Activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void ReadActiveGreeting();
    void Save();
    // Runs the server steps; false at the first failure.
    bool RunSteps(const std::vector<greetings::FileStep>& steps);
    // Ends a failed Get, Transmit, Record or Play; `reason` goes to the help line.
    void NotRecorded(const QString& reason = QString());
    // SetTable "BOX"; a failure is shown at load (waiting for it), skipped
    // otherwise (posted).
    void SetTableBox(bool report = false);

    Session& session_;
    WindowManager& windows_;
    Ui::frmGreeting* ui_;
    std::unique_ptr<media::MultimediaControl> mmcWav_;
    ComPtr<ISupportEvents> sink_;
    bool unloaded_ = false;
    bool watching_mdi_ = false;
};

}  // namespace q5
