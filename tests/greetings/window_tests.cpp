// The greeting manager window against q5sim with the demo mailbox 101, on
// the offscreen platform, with a fake sound device.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "fake_audio_device.h"
#include "greetings/frm_greeting.h"
#include "greetings/wav_file.h"
#include "program_fixture.h"
#include "greetings/register_windows.h"
#include "shell/local_paths.h"
#include "shell/session.h"
#include "shell/window_manager.h"
#include "ui_frm_greeting.h"

namespace q5test {
namespace {

using q5::frmGreeting;
using q5::SessionViews;

BStr B(const QString& text) {
    return BStr(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<UINT>(text.size()));
}

std::vector<int16_t> Tone(int count, double hz = 440.0, double amplitude = 8000.0) {
    std::vector<int16_t> samples(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        samples[static_cast<size_t>(i)] =
            static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * i / 8000.0));
    }
    return samples;
}

// Root-mean-square difference relative to the original's RMS.
double RelativeError(const std::vector<int16_t>& original, const std::vector<int16_t>& copy) {
    double diff = 0, power = 0;
    const size_t n = std::min(original.size(), copy.size());
    for (size_t i = 0; i < n; ++i) {
        const double d = static_cast<double>(original[i]) - copy[i];
        diff += d * d;
        power += static_cast<double>(original[i]) * original[i];
    }
    return power > 0 ? std::sqrt(diff / power) : 1.0;
}

// The program's session object, logged in to mailbox 101 on `port`, and
// its window manager with the greeting manager on a fake sound device.
class GreetingSessionTest : public ProgramTest {
protected:
    void StartSession(int port) {
        session_ = std::make_unique<q5::Session>();
        ASSERT_EQ(session_->Create(), S_OK);
        windows_ = std::make_unique<q5::WindowManager>(*session_);
        q5::greetings::RegisterWindows(*windows_,
                                       {[this] { return std::make_unique<FakeAudioDevice>(device_); }});
        const HRESULT hr = session_->Call(nullptr, [port](const SessionViews& v) {
            BStr host(u"127.0.0.1"), user(u"101"), password(u"1234");
            const HRESULT result = v.connect->Connect(host.Get(), port, 0);
            return SUCCEEDED(result) ? v.connect->Login(user.Get(), password.Get()) : result;
        });
        ASSERT_EQ(hr, S_OK);
        session_->setUserName(QStringLiteral("101"));
        session_->setLoggedIn(true);
    }
    void TearDown() override {
        if (windows_) windows_->DestroyAllWindows();
        windows_.reset();
        session_.reset();
        ProgramTest::TearDown();
    }
    frmGreeting& Open() { return windows_->Load<frmGreeting>(); }

    FakeDeviceState device_;
    std::unique_ptr<q5::Session> session_;
    std::unique_ptr<q5::WindowManager> windows_;
};

class GreetingWindowTest : public GreetingSessionTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        const std::string tool = Q5SIM_TOOL;
        if (tool.empty() || !std::filesystem::exists(tool)) GTEST_SKIP() << "the build has no q5sim";
        sim_ = std::make_unique<Q5Sim>(tool);
        if (sim_->port() <= 0) GTEST_SKIP() << "q5sim did not start";
        StartSession(sim_->port());
    }
    void TearDown() override {
        GreetingSessionTest::TearDown();
        sim_.reset();
    }

    static QString Vox(const char* file) {
        return q5::shell::LocalPath(q5::shell::LocalFolder::vox, QString::fromLatin1(file));
    }
    void Choose(frmGreeting& form, int type, const char* language) {
        form.Option2[static_cast<size_t>(type)]->click();
        form.ui()->Combo1->setCurrentText(QString::fromLatin1(language));
    }
    void WriteLocal(const char* file, const std::vector<int16_t>& samples) {
        ASSERT_TRUE(q5::shell::EnsureWorkingFolders());
        ASSERT_TRUE(q5::media::WriteWavFile(Vox(file), 8000, samples, nullptr));
    }
    std::vector<int16_t> ReadLocal(const char* file) {
        q5::media::SoundData sound;
        QString error;
        EXPECT_TRUE(q5::media::ReadSoundFile(Vox(file), sound, &error)) << error.toStdString();
        EXPECT_EQ(sound.rate, 8000);
        return sound.samples;
    }
    // The server's copy of a file of mailbox 101, or empty when it has none.
    QByteArray ServerFile(const char* name) {
        QTemporaryDir dir;
        const QString local = dir.filePath(QStringLiteral("copy"));
        BStr mailbox(u"101");
        BStr remote = B(QString::fromLatin1(name));
        BStr path = B(local);
        const HRESULT hr = session_->Call(nullptr, [&](const SessionViews& v) {
            return v.util->GetFile(mailbox.Get(), remote.Get(), path.Get());
        });
        if (FAILED(hr)) return {};
        QFile file(local);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll();
    }
    QString GreetRec() {
        BStr table(u"BOX"), field(u"GREET_REC");
        BStr value;
        session_->Call(nullptr, [&](const SessionViews& v) {
            EXPECT_EQ(v.table->SetTable(table.Get()), S_OK);
            EXPECT_EQ(v.table->GetRecord(), S_OK);
            EXPECT_EQ(v.table->get_GetField(field.Get(), value.ReleaseAndGetAddressOf()), S_OK);
        });
        return QString::fromUtf16(value.View().data(), static_cast<qsizetype>(value.View().size())).trimmed();
    }
    void SetGreetRec(const char* text) {
        BStr table(u"BOX"), field(u"GREET_REC");
        BStr value = B(QString::fromLatin1(text));
        session_->Call(nullptr, [&](const SessionViews& v) {
            ASSERT_EQ(v.table->SetTable(table.Get()), S_OK);
            ASSERT_EQ(v.table->GetRecord(), S_OK);
            ASSERT_EQ(v.table->SetField(field.Get(), value.Get()), S_OK);
            ASSERT_EQ(v.table->PutRecord(), S_OK);
        });
    }

    std::unique_ptr<Q5Sim> sim_;
};

// ---- load -------------------------------------------------------------------

TEST_F(GreetingWindowTest, LoadFillsTheFourteenLanguagesOpensTheRecorderAndSizesTheWindow) {
    frmGreeting& form = Open();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Greeting"));
    ASSERT_EQ(form.ui()->Combo1->count(), 14);
    EXPECT_EQ(form.ui()->Combo1->currentText(), QStringLiteral("English"));
    EXPECT_EQ(form.ui()->Combo1->itemText(9), QStringLiteral("Portugeuse"));
    EXPECT_EQ(form.mmcWav().mode(), q5::media::Mode::stopped);
    EXPECT_EQ(form.ui()->lblStatusValue->text(), QStringLiteral("Stopped"));
    EXPECT_EQ(form.ui()->lblFile->text(), QStringLiteral("File Name  :"));
    EXPECT_NEAR(form.width() * 1440.0 / form.logicalDpiX(), 8910, 30);
    EXPECT_NEAR(form.height() * 1440.0 / form.logicalDpiY(), 8040, 30);
    EXPECT_TRUE(asked().empty());
}

TEST_F(GreetingWindowTest, GreetRecTSelectsTemporary) {
    SetGreetRec("T");
    frmGreeting& form = Open();
    EXPECT_TRUE(form.Option1[1]->isChecked());
    EXPECT_FALSE(form.Option1[0]->isChecked());
    EXPECT_FALSE(form.Option1[2]->isChecked());
}

TEST_F(GreetingWindowTest, UnknownGreetRecSelectsNothingAndSaveLeavesIt) {
    SetGreetRec("X");
    frmGreeting& form = Open();
    for (QRadioButton* option : form.Option1) EXPECT_FALSE(option->isChecked());
    form.ui()->Save->trigger();
    EXPECT_TRUE(asked().empty());
    EXPECT_EQ(GreetRec(), QStringLiteral("X"));
}

TEST_F(GreetingWindowTest, SaveWritesTheChosenActiveGreeting) {
    SetGreetRec("Y");
    frmGreeting& form = Open();
    form.Option1[2]->click();
    form.ui()->Save->trigger();
    EXPECT_EQ(GreetRec(), QStringLiteral("N"));
    form.Option1[1]->click();
    form.ui()->Save->trigger();
    EXPECT_EQ(GreetRec(), QStringLiteral("T"));
    EXPECT_TRUE(asked().empty());
}

// ---- choices, progress, help --------------------------------------------------

TEST_F(GreetingWindowTest, NameClearsOnlyNormalAndAnyTypeClearsName) {
    frmGreeting& form = Open();
    ASSERT_TRUE(form.Option2[0]->isChecked());
    form.ui()->Option3->click();
    EXPECT_TRUE(form.ui()->Option3->isChecked());
    EXPECT_FALSE(form.Option2[0]->isChecked());
    form.Option2[2]->click();
    EXPECT_FALSE(form.ui()->Option3->isChecked());
    form.ui()->Option3->click();
    EXPECT_TRUE(form.Option2[2]->isChecked()) << "Busy stays chosen beside Name";
    EXPECT_TRUE(form.CurrentSelection().name);
}

TEST_F(GreetingWindowTest, ProgressGoesToTheBarFromOneToHundred) {
    frmGreeting& form = Open();
    ISupportEvents* sink = form.progress_sink();
    ASSERT_NE(sink, nullptr);
    sink->GetProgress(0, 100);
    EXPECT_EQ(form.ui()->ProgressBar1->value(), 1);
    sink->GetProgress(150, 100);
    EXPECT_EQ(form.ui()->ProgressBar1->value(), 100);
    sink->GetProgress(5, 0);
    EXPECT_EQ(form.ui()->ProgressBar1->value(), 0);
}

TEST_F(GreetingWindowTest, HelpLineFollowsTheMouseOverTheButtonsAndClearsOverTheRecorder) {
    frmGreeting& form = Open();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(form.ui()->Command1, &enter);
    EXPECT_TRUE(form.ui()->Label1->text().startsWith(QStringLiteral("To listen to your greeting")));
    QCoreApplication::sendEvent(form.ui()->Command2, &enter);
    EXPECT_TRUE(form.ui()->Label1->text().endsWith(QStringLiteral("'Transmit Greeting' Button. ")));
    QCoreApplication::sendEvent(form.ui()->Frame4, &enter);
    EXPECT_TRUE(form.ui()->Label1->text().isEmpty());
}

// ---- get and transmit ------------------------------------------------------------

TEST_F(GreetingWindowTest, GetOfTheSeededSpanishGreetingFetchesItIntoGreetSpaWav) {
    frmGreeting& form = Open();
    Choose(form, 0, "Spanish");
    form.ui()->Command1->click();
    EXPECT_TRUE(asked().empty()) << (asked().empty() ? "" : asked()[0].text.toStdString());
    const std::vector<int16_t> samples = ReadLocal("greet.spa.wav");
    EXPECT_NEAR(static_cast<double>(samples.size()), 20000, 400) << "2.5 seconds";
    EXPECT_EQ(form.ui()->ProgressBar1->value(), 100);
    EXPECT_EQ(form.mmcWav().fileName(), Vox("greet.spa.wav"));
    EXPECT_TRUE(ServerFile("greet.wav").isEmpty()) << "the converted copy is deleted";
    EXPECT_EQ(QFile::permissions(Vox("greet.spa.wav")) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions{})
        << "a fetched greeting is the user's alone";
}

TEST_F(GreetingWindowTest, TransmitNormalEnglishUploadsGreetEngWavAndTheServerKeepsAVoxGreet) {
    const std::vector<int16_t> tone = Tone(8000);
    WriteLocal("greet.eng.wav", tone);
    const QByteArray before = ServerFile("greet.vox");
    frmGreeting& form = Open();
    Choose(form, 0, "English");
    form.ui()->Command2->click();
    EXPECT_TRUE(asked().empty()) << (asked().empty() ? "" : asked()[0].text.toStdString());
    const QByteArray vox = ServerFile("greet.vox");
    EXPECT_NE(vox, before);
    EXPECT_FALSE(vox.startsWith("RIFF")) << "VOX, not WAV";
    EXPECT_NEAR(vox.size(), 4000, 40) << "4-bit samples of one second";
    EXPECT_TRUE(ServerFile("greet.wav").isEmpty());
    // And it comes back as sent.
    QFile::remove(Vox("greet.eng.wav"));
    form.ui()->Command1->click();
    EXPECT_LT(RelativeError(tone, ReadLocal("greet.eng.wav")), 0.2);
}

TEST_F(GreetingWindowTest, TransmitThenGetOfBusySpanishRoundTripsTheAudio) {
    const std::vector<int16_t> tone = Tone(12000, 300.0, 6000.0);
    WriteLocal("greet4.spa.wav", tone);
    frmGreeting& form = Open();
    Choose(form, 2, "Spanish");
    form.ui()->Command2->click();
    ASSERT_TRUE(asked().empty()) << asked()[0].text.toStdString();
    EXPECT_FALSE(ServerFile("greet4.spa").isEmpty()) << "the server greeting has its name";
    EXPECT_TRUE(ServerFile("greet4.spa.vox").isEmpty()) << "renamed";
    EXPECT_TRUE(ServerFile("greet4.spa.wav").isEmpty());
    ASSERT_TRUE(QFile::remove(Vox("greet4.spa.wav")));
    form.ui()->Command1->click();
    EXPECT_TRUE(asked().empty());
    const std::vector<int16_t> back = ReadLocal("greet4.spa.wav");
    EXPECT_NEAR(static_cast<double>(back.size()), 12000, 4);
    EXPECT_LT(RelativeError(tone, back), 0.2);
    EXPECT_TRUE(ServerFile("greet4.wav").isEmpty());
}

TEST_F(GreetingWindowTest, GetOfAMissingGreetingSaysNotRecordedAndKeepsTheLocalCopy) {
    WriteLocal("greetH.ger.wav", Tone(800));
    frmGreeting& form = Open();
    Choose(form, 4, "German");
    form.ui()->Command1->click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Greeting is not recorded"));
    EXPECT_EQ(asked()[0].buttons, q5::shell::MsgButtons::ok);
    EXPECT_EQ(ReadLocal("greetH.ger.wav"), Tone(800));
    EXPECT_EQ(QDir(q5::shell::LocalPath(q5::shell::LocalFolder::vox)).entryList(QDir::Files),
              QStringList{QStringLiteral("greetH.ger.wav")});
}

TEST_F(GreetingWindowTest, TransmitWithoutALocalRecordingSaysNotRecorded) {
    frmGreeting& form = Open();
    Choose(form, 3, "Italian");
    form.ui()->Command2->click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Greeting is not recorded"));
}

// ---- recorder ---------------------------------------------------------------------

TEST_F(GreetingWindowTest, RecordedNameIsSavedOnStopAndTransmittedAsNameVox) {
    frmGreeting& form = Open();
    form.ui()->Option3->click();
    form.ui()->Combo1->setCurrentText(QStringLiteral("English"));
    form.ui()->mmcWavRecord->click();
    ASSERT_TRUE(asked().empty()) << asked()[0].text.toStdString();
    EXPECT_EQ(form.ui()->lblStatusValue->text(), QStringLiteral("Recording"));
    ASSERT_NE(device_.listener, nullptr);
    const std::vector<int16_t> tone = Tone(4000);
    device_.listener->CapturedSamples(tone.data(), static_cast<int64_t>(tone.size()));
    form.ui()->mmcWavStop->click();
    EXPECT_EQ(form.ui()->lblStatusValue->text(), QStringLiteral("Stopped"));
    EXPECT_EQ(ReadLocal("Name.wav"), tone);
    const QByteArray before = ServerFile("Name.vox");
    form.ui()->Command2->click();
    EXPECT_TRUE(asked().empty());
    const QByteArray after = ServerFile("Name.vox");
    EXPECT_NE(after, before);
    EXPECT_NEAR(after.size(), 2000, 20);
}

TEST_F(GreetingWindowTest, RecordWithoutAnInputDeviceSaysNotRecordedAndKeepsTheOldRecording) {
    WriteLocal("greetT.eng.wav", Tone(1600));
    device_.fail_capture = QStringLiteral("No audio input device is available");
    frmGreeting& form = Open();
    Choose(form, 1, "English");
    form.ui()->mmcWavRecord->click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Greeting is not recorded"));
    EXPECT_EQ(form.ui()->Label1->text(), QStringLiteral("No audio input device is available"));
    EXPECT_EQ(ReadLocal("greetT.eng.wav"), Tone(1600));
}

TEST_F(GreetingWindowTest, PlayShowsPlayingWithTheSliderAndStopRewinds) {
    WriteLocal("greet5.eng.wav", Tone(16000));
    frmGreeting& form = Open();
    Choose(form, 3, "English");
    form.ui()->mmcWavPlay->click();
    ASSERT_TRUE(asked().empty());
    EXPECT_EQ(form.ui()->lblStatusValue->text(), QStringLiteral("Playing"));
    EXPECT_EQ(form.ui()->Slider1->maximum(), 2000);
    device_.played_frames = 8000;
    form.mmcWav().Tick();
    EXPECT_EQ(form.ui()->Slider1->value(), 1000);
    form.ui()->mmcWavStop->click();
    EXPECT_EQ(form.ui()->lblStatusValue->text(), QStringLiteral("Stopped"));
    EXPECT_EQ(form.mmcWav().position(), 0);
    EXPECT_FALSE(device_.playing);
}

TEST_F(GreetingWindowTest, PlayOfAGreetingNeverFetchedSaysNotRecorded) {
    frmGreeting& form = Open();
    Choose(form, 5, "Chinese");
    form.ui()->mmcWavPlay->click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Greeting is not recorded"));
    EXPECT_EQ(device_.playbacks_started, 0);
}

TEST_F(GreetingWindowTest, UnloadClosesTheRecorderAndDropsAnUnsavedRecording) {
    frmGreeting& form = Open();
    Choose(form, 0, "English");
    form.ui()->mmcWavRecord->click();
    ASSERT_TRUE(device_.capturing);
    windows_->Unload<frmGreeting>();
    Pump();
    EXPECT_EQ(windows_->Loaded<frmGreeting>(), nullptr);
    EXPECT_FALSE(device_.capturing);
    EXPECT_TRUE(QDir(q5::shell::LocalPath(q5::shell::LocalFolder::vox)).entryList(QDir::Files).isEmpty());
}

// ---- save against a server that refuses -----------------------------------------

// The scripted server logs in and refuses every other command, the row's GET
// and PUT included.
class GreetingRefusedTest : public GreetingSessionTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        StartSession(server_.port());
    }
    long Count(const std::string& line) const {
        const auto lines = server_.Lines();
        return std::count(lines.begin(), lines.end(), line);
    }

    FakeQ5Server server_;
};

TEST_F(GreetingRefusedTest, SaveRefusedByTheServerIsSkippedWithoutAMessage) {
    frmGreeting& form = Open();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // Reading the row at load is refused, and says so.
    ASSERT_EQ(asked().size(), 1u);
    asked_.clear();
    QWidget* save = form.ui()->Toolbar1->widgetForAction(form.ui()->Save);
    ASSERT_NE(save, nullptr);
    // With no active greeting chosen, and with one.
    QTest::mouseClick(save, Qt::LeftButton);
    // On the indicator: the button is wider than its caption.
    QTest::mouseClick(form.Option1[1], Qt::LeftButton, {}, QPoint(8, form.Option1[1]->height() / 2));
    ASSERT_TRUE(form.Option1[1]->isChecked());
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(Count("PUT BOX"), 2) << "both saves reached the server";
    EXPECT_TRUE(AskedTexts().empty());
    EXPECT_EQ(windows_->Loaded<frmGreeting>(), &form);
    EXPECT_EQ(session_->Call(nullptr, [](const SessionViews& v) { return v.util->KeepAlive(); }), S_OK)
        << "the session stays up";
}

}  // namespace
}  // namespace q5test
