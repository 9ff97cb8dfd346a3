// The multimedia control on the machine's sound devices: a private
// PulseAudio server with a null source and a null sink when one can be
// started, else no devices at all.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "greetings/multimedia_control.h"
#include "greetings/wav_file.h"
#include "sound_server.h"

namespace q5test {
namespace {

using q5::media::Mode;
using q5::media::MultimediaControl;

// Runs the event loop until `done` holds or `ms` pass.
template <class Done>
bool RunUntil(Done done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SoundServer::Start();
    }
    QTemporaryDir dir_;
};

TEST_F(DeviceTest, RecordingFromTheDefaultInputWritesAnEightKilohertzMonoWav) {
    if (!SoundServer::running()) GTEST_SKIP() << "no sound devices: " << SoundServer::reason();
    MultimediaControl control;
    const QString path = dir_.filePath(QStringLiteral("greet.eng.wav"));
    control.setFileName(path);
    ASSERT_TRUE(control.Command(QStringLiteral("open"))) << control.error().toStdString();
    ASSERT_TRUE(control.Command(QStringLiteral("record"))) << control.error().toStdString();
    // The null source may deliver faster than real time: wait for some
    // sound, never for an exact amount.
    EXPECT_TRUE(RunUntil([&] { return control.length() >= 200; }, 10000)) << "length " << control.length();
    ASSERT_TRUE(control.Command(QStringLiteral("save"))) << control.error().toStdString();
    q5::media::SoundData sound;
    QString error;
    ASSERT_TRUE(q5::media::ReadSoundFile(path, sound, &error)) << error.toStdString();
    EXPECT_EQ(sound.rate, 8000);
    EXPECT_GT(sound.samples.size(), 0u);
}

TEST_F(DeviceTest, PlayingOnTheDefaultOutputRunsToTheEndAndStops) {
    if (!SoundServer::running()) GTEST_SKIP() << "no sound devices: " << SoundServer::reason();
    const QString path = dir_.filePath(QStringLiteral("Name.wav"));
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, std::vector<int16_t>(2400, 1000), nullptr));
    MultimediaControl control;
    bool finished = false;
    QObject::connect(&control, &MultimediaControl::done, [&] { finished = true; });
    control.setFileName(path);
    ASSERT_TRUE(control.Command(QStringLiteral("open")));
    ASSERT_TRUE(control.Command(QStringLiteral("play"))) << control.error().toStdString();
    EXPECT_EQ(control.mode(), Mode::playing);
    EXPECT_TRUE(RunUntil([&] { return finished; }, 10000));
    EXPECT_EQ(control.mode(), Mode::stopped);
    EXPECT_EQ(control.position(), 300);
}

TEST_F(DeviceTest, WithoutSoundDevicesRecordAndPlayFailWithAClearReason) {
    if (SoundServer::running()) GTEST_SKIP() << "this machine has sound devices";
    const QString path = dir_.filePath(QStringLiteral("greet.wav"));
    ASSERT_TRUE(q5::media::WriteWavFile(path, 8000, std::vector<int16_t>(800, 0), nullptr));
    MultimediaControl control;
    control.setFileName(path);
    ASSERT_TRUE(control.Command(QStringLiteral("open")));
    EXPECT_FALSE(control.Command(QStringLiteral("play")));
    EXPECT_EQ(control.error(), QStringLiteral("No audio output device is available"));
    EXPECT_FALSE(control.Command(QStringLiteral("record")));
    EXPECT_EQ(control.error(), QStringLiteral("No audio input device is available"));
    EXPECT_EQ(control.mode(), Mode::stopped);
}

}  // namespace
}  // namespace q5test
