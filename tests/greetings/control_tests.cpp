// The multimedia control's commands and modes against a fake device.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "fake_audio_device.h"
#include "greetings/multimedia_control.h"
#include "greetings/wav_file.h"

namespace q5test {
namespace {

using q5::media::Mode;
using q5::media::MultimediaControl;

std::vector<int16_t> Ramp(int count, int16_t start = 0) {
    std::vector<int16_t> samples(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) samples[static_cast<size_t>(i)] = static_cast<int16_t>(start + i);
    return samples;
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        control_ = std::make_unique<MultimediaControl>(std::make_unique<FakeAudioDevice>(device_));
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    void Capture(const std::vector<int16_t>& samples) {
        ASSERT_NE(device_.listener, nullptr);
        device_.listener->CapturedSamples(samples.data(), static_cast<int64_t>(samples.size()));
    }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files); }

    QTemporaryDir dir_;
    FakeDeviceState device_;
    std::unique_ptr<MultimediaControl> control_;
};

TEST_F(ControlTest, CommandsBeforeOpenFailAndLeaveTheControlNotOpen) {
    for (const char* command : {"play", "record", "stop", "save", "prev", "pause"}) {
        EXPECT_FALSE(control_->Command(QString::fromLatin1(command))) << command;
        EXPECT_FALSE(control_->error().isEmpty()) << command;
        EXPECT_EQ(control_->mode(), Mode::not_open) << command;
    }
    EXPECT_EQ(device_.captures_started + device_.playbacks_started, 0);
    EXPECT_TRUE(control_->Command(QStringLiteral("close")));
}

TEST_F(ControlTest, UnknownCommandFailsAndCommandsIgnoreCase) {
    EXPECT_FALSE(control_->Command(QStringLiteral("eject")));
    EXPECT_TRUE(control_->Command(QStringLiteral("OPEN")));
    EXPECT_EQ(control_->mode(), Mode::stopped);
    EXPECT_TRUE(control_->Command(QStringLiteral("Close")));
    EXPECT_EQ(control_->mode(), Mode::not_open);
}

TEST_F(ControlTest, OpenOfMissingFileGivesAnEmptyRecorderThatCannotPlay) {
    control_->setFileName(Path("missing.wav"));
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    EXPECT_EQ(control_->mode(), Mode::stopped);
    EXPECT_EQ(control_->length(), 0);
    EXPECT_FALSE(control_->Command(QStringLiteral("play")));
    EXPECT_EQ(control_->mode(), Mode::stopped);
    EXPECT_EQ(device_.playbacks_started, 0);
}

TEST_F(ControlTest, OpenOfAFileThatIsNotSoundFailsWithItsName) {
    QFile junk(Path("junk.wav"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a sound file at all");
    junk.close();
    control_->setFileName(junk.fileName());
    EXPECT_FALSE(control_->Command(QStringLiteral("open")));
    EXPECT_TRUE(control_->error().contains(QStringLiteral("junk.wav"))) << control_->error().toStdString();
    EXPECT_EQ(control_->mode(), Mode::not_open);
}

TEST_F(ControlTest, RecordThenSaveWritesTheCapturedSamplesAsEightKilohertzMonoWav) {
    control_->setFileName(Path("greet.eng.wav"));
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("record"))) << control_->error().toStdString();
    EXPECT_EQ(control_->mode(), Mode::recording);
    EXPECT_EQ(device_.capture_rate, 8000);
    Capture(Ramp(3000));
    Capture(Ramp(5000, 3000));
    ASSERT_TRUE(control_->Command(QStringLiteral("save"))) << control_->error().toStdString();
    EXPECT_FALSE(device_.capturing);
    EXPECT_EQ(control_->mode(), Mode::stopped);
    EXPECT_EQ(control_->length(), 1000);

    q5::media::SoundData read;
    QString error;
    ASSERT_TRUE(q5::media::ReadSoundFile(Path("greet.eng.wav"), read, &error)) << error.toStdString();
    EXPECT_EQ(read.rate, 8000);
    EXPECT_EQ(read.samples, Ramp(8000));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("greet.eng.wav")}) << "no temporary file is left";
}

TEST_F(ControlTest, SavedRecordingOfAnOddSampleCountIsPaddedToWholeVoxBytes) {
    control_->setFileName(Path("Name.wav"));
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("record")));
    Capture(Ramp(8001, 1));
    ASSERT_TRUE(control_->Command(QStringLiteral("save")));
    q5::media::SoundData read;
    ASSERT_TRUE(q5::media::ReadSoundFile(Path("Name.wav"), read, nullptr));
    ASSERT_EQ(read.samples.size(), 8002u);
    EXPECT_EQ(read.samples.back(), 0);
    EXPECT_EQ(QFile::permissions(Path("Name.wav")) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions{})
        << "a recording is the user's alone";
}

TEST_F(ControlTest, RecordingThatIsClosedUnsavedKeepsThePreviousFile) {
    const QString path = Path("greet.eng.wav");
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, Ramp(400, 7), nullptr));
    control_->setFileName(path);
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("record")));
    Capture(Ramp(100, -50));
    EXPECT_TRUE(control_->hasUnsavedRecording());
    ASSERT_TRUE(control_->Command(QStringLiteral("close")));
    q5::media::SoundData read;
    ASSERT_TRUE(q5::media::ReadSoundFile(path, read, nullptr));
    EXPECT_EQ(read.samples, Ramp(400, 7));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("greet.eng.wav")});
}

TEST_F(ControlTest, RecordWithoutAnInputDeviceFailsAndKeepsThePreviousFile) {
    const QString path = Path("Name.wav");
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, Ramp(80), nullptr));
    device_.fail_capture = QStringLiteral("No audio input device is available");
    control_->setFileName(path);
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    EXPECT_FALSE(control_->Command(QStringLiteral("record")));
    EXPECT_EQ(control_->error(), QStringLiteral("No audio input device is available"));
    EXPECT_EQ(control_->mode(), Mode::stopped);
    EXPECT_FALSE(control_->hasUnsavedRecording());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Name.wav")});
    EXPECT_EQ(control_->length(), 10) << "the opened file is still there to play";
}

TEST_F(ControlTest, SaveReplacesAnExistingFile) {
    const QString path = Path("greet4.spa.wav");
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, Ramp(16000), nullptr));
    control_->setFileName(path);
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("record")));
    Capture(Ramp(800, 100));
    ASSERT_TRUE(control_->Command(QStringLiteral("stop")));
    EXPECT_TRUE(control_->hasUnsavedRecording()) << "stop alone does not write";
    ASSERT_TRUE(control_->Command(QStringLiteral("save")));
    q5::media::SoundData read;
    ASSERT_TRUE(q5::media::ReadSoundFile(path, read, nullptr));
    EXPECT_EQ(read.samples, Ramp(800, 100));
}

TEST_F(ControlTest, PausedRecordingResumesIntoTheSameFile) {
    control_->setFileName(Path("greetT.wav"));
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("record")));
    Capture(Ramp(100));
    ASSERT_TRUE(control_->Command(QStringLiteral("pause")));
    EXPECT_EQ(control_->mode(), Mode::paused);
    EXPECT_FALSE(device_.capturing);
    Capture(Ramp(50, 9000));  // late delivery after the pause is dropped
    ASSERT_TRUE(control_->Command(QStringLiteral("record")));
    Capture(Ramp(100, 100));
    ASSERT_TRUE(control_->Command(QStringLiteral("save")));
    q5::media::SoundData read;
    ASSERT_TRUE(q5::media::ReadSoundFile(Path("greetT.wav"), read, nullptr));
    EXPECT_EQ(read.samples, Ramp(200));
}

TEST_F(ControlTest, PlaybackReportsPositionAndEndsStoppedAtTheEnd) {
    const QString path = Path("greet.wav");
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, Ramp(16000), nullptr));
    control_->setFileName(path);
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    EXPECT_EQ(control_->length(), 2000);
    QSignalSpy done(control_.get(), &MultimediaControl::done);
    ASSERT_TRUE(control_->Command(QStringLiteral("play")));
    EXPECT_EQ(control_->mode(), Mode::playing);
    EXPECT_EQ(device_.play_rate, 8000);
    EXPECT_EQ(device_.played.size(), 16000u);
    device_.played_frames = 4000;
    EXPECT_EQ(control_->position(), 500);
    device_.listener->PlaybackFinished();
    EXPECT_EQ(control_->mode(), Mode::stopped);
    EXPECT_EQ(control_->position(), 2000);
    EXPECT_EQ(done.count(), 1);
    // Play again from the end starts over.
    ASSERT_TRUE(control_->Command(QStringLiteral("play")));
    EXPECT_EQ(device_.played.size(), 16000u);
}

TEST_F(ControlTest, PauseAndPlayContinueFromWherePlaybackStopped) {
    const QString path = Path("greet.wav");
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, Ramp(8000), nullptr));
    control_->setFileName(path);
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("play")));
    device_.played_frames = 2000;
    ASSERT_TRUE(control_->Command(QStringLiteral("pause")));
    EXPECT_EQ(control_->mode(), Mode::paused);
    EXPECT_FALSE(device_.playing);
    EXPECT_EQ(control_->position(), 250);
    ASSERT_TRUE(control_->Command(QStringLiteral("play")));
    ASSERT_EQ(device_.played.size(), 6000u);
    EXPECT_EQ(device_.played.front(), 2000);
    device_.played_frames = 1000;
    EXPECT_EQ(control_->position(), 375);
}

TEST_F(ControlTest, PrevStopsPlaybackAndRewinds) {
    const QString path = Path("greet.wav");
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, Ramp(8000), nullptr));
    control_->setFileName(path);
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("play")));
    device_.played_frames = 3000;
    ASSERT_TRUE(control_->Command(QStringLiteral("prev")));
    EXPECT_EQ(control_->mode(), Mode::stopped);
    EXPECT_FALSE(device_.playing);
    EXPECT_EQ(control_->position(), 0);
}

TEST_F(ControlTest, PlayWithoutAnOutputDeviceFailsWithTheDevicesReason) {
    const QString path = Path("greet.wav");
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, Ramp(800), nullptr));
    device_.fail_playback = QStringLiteral("No audio output device is available");
    control_->setFileName(path);
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    EXPECT_FALSE(control_->Command(QStringLiteral("play")));
    EXPECT_EQ(control_->error(), QStringLiteral("No audio output device is available"));
    EXPECT_EQ(control_->mode(), Mode::stopped);
}

TEST_F(ControlTest, DeviceBreakingOffARecordingStopsWithItsReasonAndKeepsWhatCameIn) {
    control_->setFileName(Path("greet.wav"));
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("record")));
    Capture(Ramp(160));
    device_.listener->DeviceFailed(QStringLiteral("The audio input device stopped"));
    EXPECT_EQ(control_->mode(), Mode::stopped);
    EXPECT_EQ(control_->error(), QStringLiteral("The audio input device stopped"));
    ASSERT_TRUE(control_->Command(QStringLiteral("save")));
    q5::media::SoundData read;
    ASSERT_TRUE(q5::media::ReadSoundFile(Path("greet.wav"), read, nullptr));
    EXPECT_EQ(read.samples.size(), 160u);
}

TEST_F(ControlTest, EveryModeChangeAndTickIsAStatusUpdate) {
    QSignalSpy updates(control_.get(), &MultimediaControl::statusUpdate);
    control_->setFileName(Path("greet.wav"));
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("record")));
    control_->Tick();
    ASSERT_TRUE(control_->Command(QStringLiteral("stop")));
    ASSERT_TRUE(control_->Command(QStringLiteral("close")));
    EXPECT_EQ(updates.count(), 5);
}

TEST_F(ControlTest, ReopeningAnOpenControlDropsItsUnsavedRecording) {
    control_->setFileName(Path("greet.wav"));
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    ASSERT_TRUE(control_->Command(QStringLiteral("record")));
    Capture(Ramp(10));
    ASSERT_TRUE(control_->Command(QStringLiteral("open")));
    EXPECT_FALSE(device_.capturing);
    EXPECT_FALSE(control_->hasUnsavedRecording());
    EXPECT_TRUE(Files().isEmpty());
}

}  // namespace
}  // namespace q5test
