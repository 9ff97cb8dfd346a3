// The call control window, the contact pop-up and the PIM setup and
// properties windows, offscreen, against q5sim (started with a superuser
// that starts and ends calls) and a temporary vCard folder. The timers are
// stopped and driven by calling their slots; only the arrival of events
// from the network is waited for.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "calls/call_logic.h"
#include "calls/frm_call_control.h"
#include "calls/frm_contact.h"
#include "calls/frm_pim_setup.h"
#include "calls/frm_properties.h"
#include "calls/name_player.h"
#include "calls/pim.h"
#include "calls/register_windows.h"
#include "program_fixture.h"
#include "scripted_peer.h"
#include "shell/frm_login.h"
#include "shell/local_paths.h"
#include "shell/registry.h"
#include "shell/session.h"
#include "shell/window_manager.h"
#include "silent_host.h"
#include "sim_control.h"
#include "trickle_proxy.h"
#include "ui_frm_call_control.h"
#include "ui_frm_pim_setup.h"
#include "ui_frm_properties.h"

namespace q5test {
namespace {

using q5::frmCallControl;
using q5::frmContact;
using q5::frmPIMSetup;
using Col = frmCallControl::Column;

// No one but the user may read, write or enter `path`.
bool OwnerOnly(const QString& path) {
    constexpr auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    return QFileInfo::exists(path) && (QFile::permissions(path) & others) == QFileDevice::Permissions{};
}

QString ContactsDir() {
    return q5::shell::LocalPath(q5::shell::LocalFolder::base) + QStringLiteral("/contacts");
}

void WriteCard(const QString& file, const QByteArray& card) {
    QDir().mkpath(ContactsDir());
    QFile out(ContactsDir() + QLatin1Char('/') + file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(card);
}

QByteArray Card(const char* name, const char* tel) {
    return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:") + name + "\r\n" + tel + "END:VCARD\r\n";
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Runs the event loop until `done` holds (a process ends, a signal comes).
bool WaitFor(const std::function<bool()>& done, int limit_ms = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

QString TempFile(const QString& name) {
    return q5::shell::LocalPath(q5::shell::LocalFolder::temp, name);
}

class RecordingPlayer : public q5::calls::NamePlayer {
public:
    explicit RecordingPlayer(std::vector<QString>* played) : played_(played) {}
    bool Play(const QString& path, QString*) override {
        played_->push_back(path);
        return true;
    }

private:
    std::vector<QString>* played_;
};

// The program's session object and window manager, with the windows of
// this folder registered (names play into `played_`).
class ManagedTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        session_ = std::make_unique<q5::Session>();
        ASSERT_EQ(session_->Create(), S_OK);
        windows_ = std::make_unique<q5::WindowManager>(*session_);
        Register();
        // A lost session's question opens the login dialog.
        windows_->Register(q5::WindowKind::Login,
                           [this] { return new q5::frmLogin(*session_, *windows_, login_shared_); });
    }
    void TearDown() override {
        if (windows_) {
            windows_->DestroyAllWindows();
            q5::calls::ContactWindowsOf(*windows_).DestroyAll();
        }
        windows_.reset();
        session_.reset();
        ProgramTest::TearDown();
    }
    void Register(bool own_player = false) {
        q5::calls::CallWindowsOptions options;
        if (!own_player) options.name_player = [this] { return std::make_unique<RecordingPlayer>(&played_); };
        q5::calls::RegisterWindows(*windows_, std::move(options));
    }
    std::vector<frmContact*> OpenContacts() const {
        return q5::calls::ContactWindowsOf(*windows_).OpenWindows();
    }
    QString Format(const QString& number) const { return q5::calls::FormatCallerNumber(*windows_, number); }
    QString Lookup(const QString& number) const { return q5::calls::LookupContactName(*windows_, number); }

    q5::LoginShared login_shared_;
    std::unique_ptr<q5::Session> session_;
    std::unique_ptr<q5::WindowManager> windows_;
    std::vector<QString> played_;
};

class CallControlTest : public ManagedTest {
protected:
    void SetUp() override {
        ManagedTest::SetUp();
        sim_ = std::make_unique<CallSim>(Q5SIM_TOOL, home_->path());
        ASSERT_GT(sim_->port(), 0) << "q5sim did not start";
        ConnectSession();
        session_->setHost(QStringLiteral("127.0.0.1:%1").arg(sim_->port()));
    }
    void TearDown() override {
        ManagedTest::TearDown();
        sim_.reset();
    }

    // The main session, logged in to mailbox 101 as the login dialog leaves it.
    void ConnectSession(int port = 0) {
        const HRESULT hr = session_->Call(nullptr, [&](const q5::SessionViews& v) {
            BStr host(u"127.0.0.1"), user(u"101"), password(u"1234");
            HRESULT result = v.connect->Connect(host.Get(), port ? port : sim_->port(), 5);
            return SUCCEEDED(result) ? v.connect->Login(user.Get(), password.Get()) : result;
        });
        ASSERT_EQ(hr, S_OK);
        session_->setUserName(QStringLiteral("101"));
        session_->setPassword(QStringLiteral("1234"));
        session_->setLoggedIn(true);
    }
    // Without a session object: no screening is read, no name fetched.
    void DropSessionObject() {
        const QString host = session_->host();
        session_->Release();
        session_->setUserName(QStringLiteral("101"));
        session_->setPassword(QStringLiteral("1234"));
        session_->setHost(host);
        session_->setLoggedIn(true);
    }

    frmCallControl& Open() {
        frmCallControl& cc = windows_->Load<frmCallControl>();
        cc.Timer1.stop();
        cc.Timer2.stop();
        // The log starts on a thread of its own; its answer comes back
        // through the event loop.
        EXPECT_TRUE(WaitFor([&] { return !cc.LogStarting(); })) << "the event log's start never answered";
        return cc;
    }
    // One tick of the event poll, to the end of its work.
    static void Tick(frmCallControl& cc) {
        cc.Timer1_Timer();
        EXPECT_TRUE(WaitFor([&] { return !cc.Polling(); })) << "the poll never finished";
    }

    // Polls once per turn until `done` holds (events come over the network).
    static bool PollUntil(frmCallControl& cc, const std::function<bool()>& done, int limit_ms = 10000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
        while (std::chrono::steady_clock::now() < deadline) {
            cc.Timer1_Timer();
            // What the poll posted comes back.
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    static QTreeWidgetItem* WaitForRow(frmCallControl& cc, const QString& key,
                                       const QString& status = QString()) {
        QTreeWidgetItem* row = nullptr;
        PollUntil(cc, [&] {
            row = cc.RowOf(key);
            return row && (status.isEmpty() || row->text(Col::colStatus) == status);
        });
        return row && (status.isEmpty() || row->text(Col::colStatus) == status) ? row : nullptr;
    }
    QString Call(const char* number) {
        const std::string key = sim_->StartCall("101", number);
        EXPECT_FALSE(key.empty()) << "SIM_CALL refused";
        return QString::fromStdString(key);
    }
    static void Select(frmCallControl& cc, QTreeWidgetItem* row) {
        cc.ui()->ListView1->clearSelection();
        row->setSelected(true);
    }

    std::unique_ptr<CallSim> sim_;
};

// ---- the window ------------------------------------------------------------------

TEST_F(CallControlTest, LoadShowsSixColumnsInternalSelectedAndTheMailboxAsTransferTarget) {
    frmCallControl& cc = Open();
    EXPECT_EQ(cc.windowTitle(), QStringLiteral("Call Control"));
    QTreeWidgetItem* header = cc.ui()->ListView1->headerItem();
    ASSERT_EQ(cc.ui()->ListView1->columnCount(), 6);
    const QStringList expected = {QStringLiteral("Calling name"), QStringLiteral("Calling number"),
                                  QStringLiteral("Status"),       QStringLiteral("Start"),
                                  QStringLiteral("Elapsed"),      QStringLiteral("Name Recorded")};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(header->text(i), expected[i]);
    EXPECT_TRUE(cc.Option1[0]->isChecked());
    EXPECT_EQ(cc.ui()->Text1->text(), QStringLiteral("101"));
    EXPECT_EQ(q5test::Shown(cc.Command1[3]->text()), QStringLiteral("Transfer to..."));
    EXPECT_TRUE(cc.LogRunning()) << cc.LogStatus().toStdString();
}

TEST_F(CallControlTest, NewCallWithoutNameTakesTheNameOfTheDemoContactCard) {
    const std::string demo_card = sim_->data_dir() + "/demo-contacts/alice-ramirez.vcf";
    ASSERT_TRUE(std::filesystem::exists(demo_card));
    QDir().mkpath(ContactsDir());
    std::filesystem::copy_file(demo_card, (ContactsDir() + QStringLiteral("/alice.vcf")).toStdString());
    frmCallControl& cc = Open();
    const QString key = Call("2125550142");
    QTreeWidgetItem* row = WaitForRow(cc, key);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(Col::colName), QStringLiteral("Alice Ramirez"));
    EXPECT_EQ(row->text(Col::colStatus), QStringLiteral("New Call"));
    EXPECT_EQ(row->text(Col::colElapsed), QStringLiteral("00:00:00"));
    EXPECT_FALSE(row->text(Col::colStart).isEmpty());
}

TEST_F(CallControlTest, NewCallWithoutMatchingContactKeepsAnEmptyNameAndFormatsTheNumber) {
    windows_->Load<frmPIMSetup>().ui()->Text2->setText(QStringLiteral("(###) ###-####"));
    frmCallControl& cc = Open();
    const QString key = Call("2125550142");
    QTreeWidgetItem* row = WaitForRow(cc, key);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(Col::colName), QString());
    EXPECT_EQ(row->text(Col::colNumber), QStringLiteral("(212) 555-0142"));
}

// ---- the contact pop-up ---------------------------------------------------------

TEST_F(CallControlTest, PopUpShowsOnlyTheBusinessMatchWhenAnotherContactHasItAsMobile) {
    WriteCard(QStringLiteral("a-mobile.vcf"), Card("Mobile Person", "TEL;TYPE=CELL:2125550142\r\n"));
    WriteCard(QStringLiteral("b-business.vcf"),
              Card("Business Person", "TEL;TYPE=WORK,VOICE:2125550142\r\n"));
    frmCallControl& cc = Open();
    QTreeWidgetItem* row = WaitForRow(cc, Call("2125550142"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(Col::colName), QStringLiteral("Business Person"));
    Select(cc, row);
    cc.Command1[4]->click();
    const std::vector<frmContact*> shown = OpenContacts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->contact().DisplayName(), QStringLiteral("Business Person"));
    EXPECT_TRUE(shown[0]->isVisible());
}

TEST_F(CallControlTest, PopUpShowsARadioOnlyMatchAndCreatesNoContact) {
    WriteCard(QStringLiteral("r.vcf"), Card("Radio Person", "TEL;TYPE=X-EVOLUTION-RADIO:2125550142\r\n"));
    frmCallControl& cc = Open();
    QTreeWidgetItem* row = WaitForRow(cc, Call("2125550142"));
    ASSERT_NE(row, nullptr);
    Select(cc, row);
    cc.Command1[4]->click();
    const std::vector<frmContact*> shown = OpenContacts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0]->isNewContact());
    EXPECT_EQ(shown[0]->contact().DisplayName(), QStringLiteral("Radio Person"));
    EXPECT_EQ(QDir(ContactsDir()).entryList(QDir::Files).size(), 1);
}

TEST_F(CallControlTest, PopUpWithoutMatchOpensANewContactWithTheFormattedNumberAndSaveWritesIt) {
    windows_->Load<frmPIMSetup>().ui()->Text2->setText(QStringLiteral("(###) ###-####"));
    frmCallControl& cc = Open();
    QTreeWidgetItem* row = WaitForRow(cc, Call("2125550142"));
    ASSERT_NE(row, nullptr);
    Select(cc, row);
    cc.Command1[4]->click();
    std::vector<frmContact*> shown = OpenContacts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0]->isNewContact());
    EXPECT_EQ(shown[0]->txtPhone[q5::calls::BusinessTelephoneNumber]->text(),
              QStringLiteral("(212) 555-0142"));

    shown[0]->findChild<QLineEdit*>(QStringLiteral("txtFullName"))->setText(QStringLiteral("New Caller"));
    ASSERT_TRUE(shown[0]->cmdSave_Click());
    const QStringList files = QDir(ContactsDir()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(ReadAll(ContactsDir() + QLatin1Char('/') + files[0]).contains("New Caller"));
    // The next call from the number finds the saved contact.
    EXPECT_EQ(Lookup(QStringLiteral("2125550142")), QStringLiteral("New Caller"));
}

// ---- buttons and server state ----------------------------------------------------------

TEST_F(CallControlTest, EveryButtonWithoutASelectedRowAsksToSelectACall) {
    frmCallControl& cc = Open();
    for (QPushButton* button : cc.Command1) button->click();
    ASSERT_EQ(asked().size(), 5u);
    for (const auto& request : asked())
        EXPECT_EQ(request.text, QStringLiteral("please select a call in progress"));
    EXPECT_TRUE(OpenContacts().empty());
}

TEST_F(CallControlTest, AnswerHoldSendToMailboxAndTransferChangeTheCallInQ5sim) {
    frmCallControl& cc = Open();
    QTreeWidgetItem* answered = WaitForRow(cc, Call("5550001"));
    ASSERT_NE(answered, nullptr);
    Select(cc, answered);
    cc.Command1[0]->click();
    EXPECT_NE(WaitForRow(cc, answered->data(0, Qt::UserRole).toString(), QStringLiteral("In Transit")),
              nullptr);

    QTreeWidgetItem* held = WaitForRow(cc, Call("5550002"));
    ASSERT_NE(held, nullptr);
    Select(cc, held);
    cc.Command1[2]->click();
    EXPECT_EQ(held->text(Col::colStatus), QStringLiteral("Ask to hold..."));
    EXPECT_NE(WaitForRow(cc, held->data(0, Qt::UserRole).toString(), QStringLiteral("On Hold")), nullptr);

    QTreeWidgetItem* voicemail = WaitForRow(cc, Call("5550003"));
    ASSERT_NE(voicemail, nullptr);
    Select(cc, voicemail);
    cc.Command1[1]->click();
    EXPECT_NE(WaitForRow(cc, voicemail->data(0, Qt::UserRole).toString(), QStringLiteral("Leaving Message")),
              nullptr);

    QTreeWidgetItem* transferred = WaitForRow(cc, Call("5550004"));
    ASSERT_NE(transferred, nullptr);
    Select(cc, transferred);
    cc.Option1[1]->setChecked(true);
    cc.ui()->Text1->setText(QStringLiteral("  5551234  "));
    cc.Command1[3]->click();
    EXPECT_NE(WaitForRow(cc, transferred->data(0, Qt::UserRole).toString(), QStringLiteral("Transfer")),
              nullptr);
    EXPECT_TRUE(asked().empty()) << asked()[0].text.toStdString();
}

TEST_F(CallControlTest, HoldOnAnEndedCallSendsTheRequestButKeepsDisconnect) {
    frmCallControl& cc = Open();
    const QString key = Call("5550005");
    ASSERT_NE(WaitForRow(cc, key), nullptr);
    sim_->Command("SIM_HANGUP " + key.toStdString());
    QTreeWidgetItem* row = WaitForRow(cc, key, QStringLiteral("Disconnect"));
    ASSERT_NE(row, nullptr);
    Select(cc, row);
    cc.Command1[2]->click();
    EXPECT_EQ(row->text(Col::colStatus), QStringLiteral("Disconnect"));
    // The server refuses a request for an ended call.
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("please select a call in progress"));
}

// ---- elapsed time and the call log ------------------------------------------------------

TEST_F(CallControlTest, EndedCallIsLoggedWithElapsedOneMinuteFiveAfter65TicksAndStopsTicking) {
    windows_->Load<frmPIMSetup>().ui()->Text2->setText(QStringLiteral("(###) ###-####"));
    QDir(q5::shell::LocalPath(q5::shell::LocalFolder::base)).removeRecursively();  // the log folder is made
    frmCallControl& cc = Open();
    const QString ended = Call("2125550142");
    const QString going = Call("5550006");
    QTreeWidgetItem* row = WaitForRow(cc, ended);
    QTreeWidgetItem* other = WaitForRow(cc, going);
    ASSERT_NE(row, nullptr);
    ASSERT_NE(other, nullptr);
    for (int i = 0; i < 65; ++i) cc.Timer2_Timer();
    EXPECT_EQ(row->text(Col::colElapsed), QStringLiteral("00:01:05"));
    sim_->Command("SIM_HANGUP " + ended.toStdString());
    ASSERT_NE(WaitForRow(cc, ended, QStringLiteral("Disconnect")), nullptr);

    const QByteArray log = ReadAll(q5::shell::LocalPath(q5::shell::LocalFolder::call_log));
    const QByteArray expected_tail =
        "\"(212) 555-0142\",\"" + row->text(Col::colStart).toUtf8() + "\",\"00:01:05\"\r\n";
    EXPECT_TRUE(log.startsWith('#') && log.endsWith(expected_tail)) << log.constData();
    EXPECT_EQ(log.count('\n'), 1);
    EXPECT_TRUE(OwnerOnly(q5::shell::LocalPath(q5::shell::LocalFolder::call_log)));
    EXPECT_TRUE(OwnerOnly(q5::shell::LocalPath(q5::shell::LocalFolder::base)));

    cc.Timer2_Timer();
    EXPECT_EQ(row->text(Col::colElapsed), QStringLiteral("00:01:05"));
    EXPECT_EQ(other->text(Col::colElapsed), QStringLiteral("00:01:06"));
}

TEST_F(CallControlTest, CallLogThatCannotBeWrittenIsReportedOnceNotOnEveryCall) {
    // A folder where the log file should be: every append fails.
    ASSERT_TRUE(QDir().mkpath(q5::shell::LocalPath(q5::shell::LocalFolder::call_log)));
    frmCallControl& cc = Open();
    for (const char* number : {"5550007", "5550008"}) {
        const QString key = Call(number);
        ASSERT_NE(WaitForRow(cc, key), nullptr);
        sim_->Command("SIM_HANGUP " + key.toStdString());
        ASSERT_NE(WaitForRow(cc, key, QStringLiteral("Disconnect")), nullptr);
    }
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_TRUE(asked()[0].text.startsWith(QStringLiteral("The call log"))) << asked()[0].text.toStdString();
}

// ---- recorded names -----------------------------------------------------------------------

TEST_F(CallControlTest, ScreenedCallFetchesItsRecordedNameIntoTempAndDoubleClickPlaysIt) {
    frmCallControl& cc = Open();
    const QString key = Call("5550009");
    QTreeWidgetItem* row = WaitForRow(cc, key);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(WaitFor([&] { return cc.NameFetchesRunning() == 0; }));
    EXPECT_TRUE(session_->nameScreening());
    EXPECT_EQ(cc.mNameFile, q5::calls::NameRecordingFile(key));
    const QString local = q5::shell::LocalPath(q5::shell::LocalFolder::temp, key + QStringLiteral(".wav"));
    EXPECT_EQ(cc.mLocalNameFile, local);
    const QByteArray wav = ReadAll(local);
    EXPECT_TRUE(wav.startsWith("RIFF")) << "no sound file at " << local.toStdString();
    EXPECT_EQ(row->text(Col::colNameRecorded), QStringLiteral("Yes"));
    EXPECT_TRUE(OwnerOnly(local) && OwnerOnly(q5::shell::LocalPath(q5::shell::LocalFolder::temp)));
    // The converted copy on the server is removed again.
    EXPECT_FALSE(
        std::filesystem::exists(sim_->data_dir() + "/mailboxes/101/" + cc.mNameFile.toStdString() + ".wav"));
    EXPECT_TRUE(asked().empty()) << asked()[0].text.toStdString();

    Select(cc, row);
    cc.ListView1_DblClick();
    ASSERT_EQ(played_.size(), 1u);
    EXPECT_EQ(played_[0], local);
    EXPECT_EQ(cc.mPlayFile, local);
}

TEST_F(CallControlTest, KeysAloneSelectACallPlayItsNameAndAnswerIt) {
    frmCallControl& cc = Open();
    const QString key = Call("5550009");
    QTreeWidgetItem* row = WaitForRow(cc, key);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(WaitFor([&] { return cc.NameFetchesRunning() == 0; }));
    cc.show();
    cc.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&cc));
    QTreeWidget* list = cc.ui()->ListView1;
    ASSERT_EQ(QApplication::focusWidget(), list)
        << "the list is the window's first stop, not "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
    QTest::keyClick(list, Qt::Key_Space);
    ASSERT_EQ(list->selectedItems().value(0), row);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(played_.size(), 1u);
    EXPECT_EQ(played_[0], q5::shell::LocalPath(q5::shell::LocalFolder::temp, key + QStringLiteral(".wav")));
    QTest::keyClick(list, Qt::Key_N, Qt::AltModifier);  // "A&nswer Call"
    EXPECT_NE(WaitForRow(cc, key, QStringLiteral("In Transit")), nullptr);
    EXPECT_TRUE(asked().empty()) << asked()[0].text.toStdString();
}

TEST_F(CallControlTest, RecordedNamesGoWhenTheProgramEndsAndThoseOfAnEarlierRunAtStart) {
    WriteAll(TempFile(QStringLiteral("K77.wav")), "RIFF");
    WriteAll(TempFile(QStringLiteral("notes.txt")), "mine");
    frmCallControl& cc = Open();
    EXPECT_FALSE(QFile::exists(TempFile(QStringLiteral("K77.wav"))));
    const QString key = Call("5550016");
    QTreeWidgetItem* row = WaitForRow(cc, key);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(WaitFor([&] { return cc.NameFetchesRunning() == 0; }));
    ASSERT_EQ(row->text(Col::colNameRecorded), QStringLiteral("Yes"));
    ASSERT_TRUE(QFile::exists(TempFile(key + QStringLiteral(".wav"))));
    windows_->DestroyAllWindows();  // as the program does once its event loop has returned
    EXPECT_FALSE(QFile::exists(TempFile(key + QStringLiteral(".wav"))));
    EXPECT_TRUE(QFile::exists(TempFile(QStringLiteral("notes.txt"))));
}

// The desktop's sound player, first on PATH: like paplay it refuses
// options; it notes what it was given, or fails as it does without a sound
// server.
class SoundPlayerTest : public CallControlTest {
protected:
    void SetUp() override {
        CallControlTest::SetUp();
        Register(true);  // the program's own player
        bin_ = QString::fromStdString(home_->path()) + QStringLiteral("/bin");
        WriteAll(bin_ + QStringLiteral("/paplay"),
                 "#!/bin/sh\n"
                 "dir=$(dirname \"$0\")\n"
                 "for a in \"$@\"; do case \"$a\" in -*) echo \"paplay: invalid option $a\" >&2; exit 1;; "
                 "esac; done\n"
                 "if [ -e \"$dir/no-server\" ]; then echo 'Connection failure: Connection refused' >&2; exit "
                 "1; fi\n"
                 "printf '%s\\n' \"$@\" > \"$dir/played\"\n");
        QFile::setPermissions(bin_ + QStringLiteral("/paplay"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        path_ = qgetenv("PATH");
        qputenv("PATH", bin_.toLocal8Bit() + ':' + path_);
    }
    void TearDown() override {
        qputenv("PATH", path_);
        CallControlTest::TearDown();
    }
    static void DoubleClick(frmCallControl& cc, QTreeWidgetItem* row) {
        QTreeWidget* list = cc.ui()->ListView1;
        // Amid the calling name, which is in view at the window's first size.
        const QPoint at(list->columnWidth(0) / 2, list->visualItemRect(row).center().y());
        // The first press and release, then the second press that the
        // platform reports as the double-click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    QString bin_;
    QByteArray path_;
};

TEST_F(SoundPlayerTest, PaplayGetsTheRecordingAloneAndAPlayerThatGivesUpIsReported) {
    frmCallControl& cc = Open();
    cc.show();
    const QString key = Call("5550015");
    QTreeWidgetItem* row = WaitForRow(cc, key);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(WaitFor([&] { return cc.NameFetchesRunning() == 0; }));
    ASSERT_EQ(row->text(Col::colNameRecorded), QStringLiteral("Yes"));
    DoubleClick(cc, row);
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(bin_ + QStringLiteral("/played")); }))
        << cc.ui()->lblLogStatus->text().toStdString();
    EXPECT_EQ(ReadAll(bin_ + QStringLiteral("/played")),
              TempFile(key + QStringLiteral(".wav")).toUtf8() + '\n');

    WriteAll(bin_ + QStringLiteral("/no-server"), "");
    DoubleClick(cc, row);
    ASSERT_TRUE(WaitFor([&] {
        return cc.ui()->lblLogStatus->text().contains(QStringLiteral("cannot be played"));
    })) << cc.ui()->lblLogStatus->text().toStdString();
    EXPECT_TRUE(cc.ui()->lblLogStatus->text().contains(QStringLiteral("Connection refused")))
        << cc.ui()->lblLogStatus->text().toStdString();
}

// ---- events the emulator never sends --------------------------------------------------------

class ScriptedEventsTest : public CallControlTest {
protected:
    // Serves the event log of mailbox 101 from a script; the main session
    // stays on q5sim.
    void ServeEvents(const std::string& records) {
        peer_.set_step_timeout(std::chrono::seconds(60));
        peer_.Accept()
            .Send("+OK Q5Server ready\r\n")
            .Expect("USER 101\r\n")
            .Send("+OK\r\n")
            .Expect("PASS 1234\r\n")
            .Send("+OK\r\n")
            .Expect("EVENT_Q5\r\n")
            .Send("+OK events follow\r\n")
            .Send(records)
            .ExpectClosed();
        peer_.Start();
        session_->setHost(QStringLiteral("127.0.0.1:%1").arg(peer_.port()));
    }
    ScriptedPeer peer_;
};

TEST_F(ScriptedEventsTest, KeyThatIsNoFileNameGetsARowButNothingIsWrittenOutsideTemp) {
    // A record ends at its first ".", so a key can carry no "..": the ways
    // out of the folder left to it are slashes and backslashes.
    const std::string long_key(40, 'k');
    ServeEvents("1;/up/evil;5550010;Eve.1;up\\evil;5550011;Bob.1;" + long_key + ";5550012;Long.");
    frmCallControl& cc = Open();
    QTreeWidgetItem* slash = WaitForRow(cc, QStringLiteral("/up/evil"));
    QTreeWidgetItem* backslash = WaitForRow(cc, QStringLiteral("up\\evil"));
    QTreeWidgetItem* too_long = WaitForRow(cc, QString::fromStdString(long_key));
    ASSERT_NE(slash, nullptr);
    ASSERT_NE(backslash, nullptr);
    ASSERT_NE(too_long, nullptr);
    for (QTreeWidgetItem* row : {slash, backslash, too_long}) {
        EXPECT_EQ(row->text(Col::colNameRecorded), QString());
        EXPECT_EQ(row->text(Col::colStatus), QStringLiteral("New Call"));
    }
    const QString temp = q5::shell::LocalPath(q5::shell::LocalFolder::temp);
    EXPECT_TRUE(QDir(temp).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(QFile::exists(QStringLiteral("/up/evil.wav")));
    EXPECT_TRUE(asked().empty()) << asked()[0].text.toStdString();
    Select(cc, slash);
    cc.ListView1_DblClick();
    EXPECT_TRUE(played_.empty());
}

TEST_F(ScriptedEventsTest, RepeatedKeyUpdatesItsRowUnknownEventsChangeNothingAnd100SaysA1Error) {
    DropSessionObject();  // no screening: only the events matter here
    ServeEvents("1;K1;5550012;Ann.2;K1;x;y.1;K1;5550012;Ann Lee.7;K1;x;y.4;NOPE;x;y.100;K1;x;y.");
    frmCallControl& cc = Open();
    ASSERT_TRUE(PollUntil(cc, [&] { return !asked().empty(); }));
    ASSERT_EQ(cc.ui()->ListView1->topLevelItemCount(), 1);
    QTreeWidgetItem* row = cc.RowOf(QStringLiteral("K1"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(Col::colName), QStringLiteral("Ann Lee"));
    EXPECT_EQ(row->text(Col::colStatus), QStringLiteral("New Call"));
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("A1 Error"));
}

TEST_F(ScriptedEventsTest, PollWhileABoxOfThePollIsOpenWaitsInsteadOfStackingBoxes) {
    ServeEvents("100;K;x;y.100;K;x;y.");
    frmCallControl& cc = Open();
    int open_boxes = 0, deepest = 0, shown = 0;
    q5::shell::MessageService::SetResponder([&](const q5::shell::MessageRequest&) {
        ++shown;
        deepest = std::max(deepest, ++open_boxes);
        cc.Timer1_Timer();  // the timer fires while the box is open
        --open_boxes;
        return q5::shell::MsgAnswer::ok;
    });
    ASSERT_TRUE(PollUntil(cc, [&] { return shown == 2; }));
    EXPECT_EQ(deepest, 1);
}

TEST_F(ScriptedEventsTest, NewCallsOnALostSessionAskToReconnectOnceAndFetchNoName) {
    ServeEvents("1;K1;5550012;Ann.1;K2;5550013;Bob.");
    sim_->Kill();  // the main session's server is gone; the events still come
    frmCallControl& cc = Open();
    // The keep-alive finds the session lost while the call window's question is open.
    q5::shell::MessageService::SetResponder([&](const q5::shell::MessageRequest& request) {
        asked_.push_back(request);
        if (asked_.size() == 1) windows_->OfferReconnect(nullptr);
        return q5::shell::MsgAnswer::ok;
    });
    ASSERT_TRUE(PollUntil(cc, [&] {
        return cc.RowOf(QStringLiteral("K1")) && cc.RowOf(QStringLiteral("K2")) &&
               cc.NameFetchesRunning() == 0;
    }));
    ASSERT_EQ(asked().size(), 1u) << asked().back().text.toStdString();
    EXPECT_EQ(asked()[0].title, QStringLiteral("Disconnected..."));
    q5::frmLogin* login = windows_->Loaded<q5::frmLogin>();
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->isVisible());
    for (const char* key : {"K1", "K2"}) {
        EXPECT_EQ(cc.RowOf(QString::fromLatin1(key))->text(Col::colNameRecorded), QString()) << key;
    }
    EXPECT_TRUE(QDir(q5::shell::LocalPath(q5::shell::LocalFolder::temp)).entryList(QDir::Files).isEmpty());
}

TEST_F(ScriptedEventsTest, CallLogIsAppendedOneLinePerEndedCallAndRepeatedEventsAddNothing) {
    DropSessionObject();
    const QString path = q5::shell::LocalPath(q5::shell::LocalFolder::call_log);
    const QByteArray earlier = "#2026-01-01 08:00:00#,\"5550100\",\"08:00:00\",\"00:00:09\"\r\n";
    WriteAll(path, earlier);
    ServeEvents("1;K1;5550101;Ann.1;K2;5550102;Bob.1;K1;5550101;Ann.10;K1;x;y.10;K1;x;y.10;K2;x;y.");
    frmCallControl& cc = Open();
    ASSERT_NE(WaitForRow(cc, QStringLiteral("K2"), QStringLiteral("Disconnect")), nullptr);
    EXPECT_EQ(cc.ui()->ListView1->topLevelItemCount(), 2);
    const QByteArray log = ReadAll(path);
    const QList<QByteArray> lines = log.split('\n');
    ASSERT_EQ(lines.size(), 4) << log.constData();  // three lines and what follows the last
    EXPECT_EQ(lines[0] + '\n', earlier);
    EXPECT_TRUE(lines[1].contains(",\"5550101\",")) << log.constData();
    EXPECT_TRUE(lines[2].contains(",\"5550102\",")) << log.constData();
    EXPECT_TRUE(asked().empty()) << asked()[0].text.toStdString();
}

TEST_F(ScriptedEventsTest, CallerNumberWithQuotesAndLineBreaksCannotForgeACallLogLine) {
    DropSessionObject();
    ServeEvents("1;K1;5550100\"\r\n#2026-01-01 00:00:00#,\"911\",\"00:00:00\",\"00:00:01;Mallory.10;K1;x;y.");
    frmCallControl& cc = Open();
    ASSERT_NE(WaitForRow(cc, QStringLiteral("K1"), QStringLiteral("Disconnect")), nullptr);
    const QByteArray log = ReadAll(q5::shell::LocalPath(q5::shell::LocalFolder::call_log));
    EXPECT_EQ(log.count('\n'), 1) << log.constData();
    EXPECT_EQ(log.count('"'), 6) << log.constData();
    EXPECT_TRUE(log.contains(",\"5550100#2026-01-01 00:00:00#,911,00:00:00,00:00:01\",")) << log.constData();
}

TEST_F(ScriptedEventsTest, BurstOfCallsIsWorkedOffInArrivalOrderInAFewTicksNotOneATick) {
    DropSessionObject();
    constexpr int kCalls = 150;
    std::string records;
    for (int i = 0; i < kCalls; ++i)
        records += "1;B" + std::to_string(i) + ";555" + std::to_string(i) + ";N.";
    for (int i = 0; i < kCalls; ++i) records += "10;B" + std::to_string(i) + ";x;y.";
    ServeEvents(records);
    frmCallControl& cc = Open();
    int ticks = 0;
    const QString last = QStringLiteral("B%1").arg(kCalls - 1);
    ASSERT_TRUE(PollUntil(
        cc,
        [&] {
            ++ticks;
            const QTreeWidgetItem* row = cc.RowOf(last);
            return row && row->text(Col::colStatus) == QStringLiteral("Disconnect");
        },
        30000));
    EXPECT_LT(ticks, kCalls / 3) << "one event a tick would take " << 2 * kCalls;
    ASSERT_EQ(cc.ui()->ListView1->topLevelItemCount(), kCalls);
    const QList<QByteArray> lines =
        ReadAll(q5::shell::LocalPath(q5::shell::LocalFolder::call_log)).split('\n');
    ASSERT_EQ(lines.size(), kCalls + 1);
    for (int i = 0; i < kCalls; ++i) {
        const QTreeWidgetItem* row = cc.ui()->ListView1->topLevelItem(i);
        EXPECT_EQ(row->data(0, Qt::UserRole).toString(), QStringLiteral("B%1").arg(i));
        EXPECT_EQ(row->text(Col::colStatus), QStringLiteral("Disconnect"));
        EXPECT_TRUE(lines[i].contains(",\"555" + QByteArray::number(i) + "\",")) << lines[i].constData();
    }
}

// ---- the event log's own connection -------------------------------------------------------

// Every tick asks the library to start the running log again; its "nothing
// to do" answer must leave the log and its status as they are.
TEST_F(CallControlTest, TicksOnARunningLogLeaveItRunningWithoutARestoredNotice) {
    frmCallControl& cc = Open();
    ASSERT_TRUE(cc.LogRunning()) << cc.LogStatus().toStdString();
    for (int i = 0; i < 3; ++i) Tick(cc);
    EXPECT_TRUE(cc.LogRunning());
    EXPECT_EQ(cc.LogStatus().toStdString(), "Receiving calls from Q5Server");
}

TEST_F(CallControlTest, KilledServerEndsTheLogWhichRestartsWhenTheServerIsBackWithoutDuplicateRows) {
    frmCallControl& cc = Open();
    const QString first = Call("5550013");
    ASSERT_NE(WaitForRow(cc, first), nullptr);
    ASSERT_TRUE(WaitFor([&] { return cc.NameFetchesRunning() == 0; }));  // as before the server goes
    sim_->Kill();
    ASSERT_TRUE(PollUntil(cc, [&] { return !cc.LogRunning(); })) << cc.LogStatus().toStdString();
    EXPECT_TRUE(cc.LogStatus().contains(QStringLiteral("has ended"))) << cc.LogStatus().toStdString();
    // While the server is away, attempts back off: ticks without one.
    for (int i = 0; i < 3; ++i) Tick(cc);
    EXPECT_FALSE(cc.LogRunning());

    ASSERT_TRUE(sim_->Restart());
    // At most the 60 s pause, counted in poll ticks.
    ASSERT_TRUE(PollUntil(
        cc, [&] { return cc.LogRunning(); }, 20000))
        << cc.LogStatus().toStdString();
    EXPECT_TRUE(cc.LogStatus().contains(QStringLiteral("restored"))) << cc.LogStatus().toStdString();
    // The main session reconnects through the login dialog; here directly.
    session_->Call(nullptr, [](const q5::SessionViews& v) { return v.connect->Close(); });
    ConnectSession();
    const QString second = Call("5550014");
    ASSERT_NE(WaitForRow(cc, second), nullptr);
    int rows_of_second = 0;
    for (int i = 0; i < cc.ui()->ListView1->topLevelItemCount(); ++i) {
        if (cc.ui()->ListView1->topLevelItem(i)->data(0, Qt::UserRole).toString() == second) ++rows_of_second;
    }
    EXPECT_EQ(rows_of_second, 1);
    EXPECT_EQ(cc.ui()->ListView1->topLevelItemCount(), first == second ? 1 : 2);
}

TEST_F(CallControlTest, AfterTheUserLogsInAgainTheEventLogRestartsAtOnceNotAfterItsPause) {
    frmCallControl& cc = Open();
    ASSERT_TRUE(cc.LogRunning()) << cc.LogStatus().toStdString();
    sim_->Kill();
    ASSERT_TRUE(PollUntil(cc, [&] { return !cc.LogRunning(); })) << cc.LogStatus().toStdString();
    // Attempts while the server is away stretch the pause to 16 s.
    for (int i = 0; i < 16; ++i) Tick(cc);
    windows_->OfferReconnect(nullptr);  // the keep-alive finds the session lost; OK
    ASSERT_EQ(asked().size(), 1u);
    ASSERT_EQ(asked()[0].title, QStringLiteral("Disconnected..."));
    q5::frmLogin* login = windows_->Loaded<q5::frmLogin>();
    ASSERT_TRUE(login && login->isVisible());
    EXPECT_FALSE(session_->loggedIn());
    ASSERT_TRUE(sim_->Restart());
    // What the login dialog does on OK, through the session.
    session_->Call(nullptr, [](const q5::SessionViews& v) { return v.connect->Close(); });
    ConnectSession();
    login->hide();
    Tick(cc);
    EXPECT_TRUE(cc.LogRunning()) << cc.LogStatus().toStdString();
}

TEST_F(CallControlTest, NoRestartWhileTheMainSessionIsLoggedOut) {
    frmCallControl& cc = Open();
    sim_->Kill();
    session_->setLoggedIn(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the worker sees the closed socket
    for (int i = 0; i < 5; ++i) Tick(cc);
    EXPECT_TRUE(cc.LogRunning()) << "nothing is probed or restarted while logged out";
}

// The start's answer and the library's message come back from the log's
// thread to the status line.
TEST_F(CallControlTest, RefusedStartShowsTheLibrarysMessageInTheStatusLine) {
    ScriptedPeer peer;
    peer.Accept()
        .Send("+OK Q5Server ready\r\n")
        .Expect("USER 101\r\n")
        .Send("+OK\r\n")
        .Expect("PASS 1234\r\n")
        .Send("-ERR wrong password\r\n")
        .ExpectClosed();
    peer.Start();
    session_->setHost(QStringLiteral("127.0.0.1:%1").arg(peer.port()));
    frmCallControl& cc = Open();
    EXPECT_FALSE(cc.LogRunning());
    EXPECT_EQ(cc.LogStatus().toStdString(),
              "The call events could not be started (Login failed); retrying in 1 s");
    EXPECT_TRUE(asked().empty()) << "the status line reports it, no box";
    EXPECT_TRUE(peer.Finish().empty());
}

// The log's connection ends and its restart goes to a host that never
// greets: while that start waits, the program goes on (a timer fires, another
// window takes a click), and closing the call window ends the start instead
// of waiting out its 30 s.
TEST_F(CallControlTest, RestartOnAHostThatNeverGreetsFreezesNothingAndClosingTheWindowEndsIt) {
    frmCallControl& cc = Open();
    ASSERT_TRUE(cc.LogRunning()) << cc.LogStatus().toStdString();
    q5test::SilentHost mute;
    session_->setHost(QStringLiteral("127.0.0.1:%1").arg(mute.port()));
    // The server goes and comes back; the main session logs in again.
    sim_->Kill();
    ASSERT_TRUE(sim_->Restart());
    session_->Call(nullptr, [](const q5::SessionViews& v) { return v.connect->Close(); });
    ConnectSession();
    ASSERT_TRUE(WaitFor([&] {
        if (!cc.Polling()) cc.Timer1_Timer();
        return mute.Connected();
    })) << cc.LogStatus().toStdString();

    QTimer clock;
    int fired = 0;
    QObject::connect(&clock, &QTimer::timeout, [&] { ++fired; });
    clock.start(50);
    QPushButton other(QStringLiteral("Other"));
    int clicked = 0;
    QObject::connect(&other, &QPushButton::clicked, [&] { ++clicked; });
    other.show();
    ASSERT_TRUE(WaitFor([&] { return fired >= 5; }));
    QTest::mouseClick(&other, Qt::LeftButton);
    EXPECT_EQ(clicked, 1);
    EXPECT_TRUE(cc.LogStarting()) << "the start has not answered yet: " << cc.LogStatus().toStdString();
    EXPECT_TRUE(cc.Polling()) << "no poll runs beside the start";

    const QPointer<frmCallControl> window(&cc);
    const auto closing = std::chrono::steady_clock::now();
    windows_->Unload<frmCallControl>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto closed_after = std::chrono::steady_clock::now() - closing;
    EXPECT_TRUE(window.isNull());
    // The start's wait was ended (a poll step, a second) and its thread
    // joined, not the greeting's 30 s waited out.
    EXPECT_LT(closed_after, std::chrono::seconds(10));
    EXPECT_TRUE(mute.ClosedByClient());
}

// ---- recorded names that take too long or are too large ----------------------------------------

class SlowNameTest : public CallControlTest {
protected:
    // The main session and the event log go through `proxy` (one
    // connection each).
    frmCallControl& OpenThrough(TrickleProxy& proxy, std::chrono::milliseconds limit) {
        session_->Call(nullptr, [](const q5::SessionViews& v) { return v.connect->Close(); });
        ConnectSession(proxy.port());
        session_->setHost(QStringLiteral("127.0.0.1:%1").arg(proxy.port()));
        q5::calls::CallWindowsOptions options;
        options.name_player = [this] { return std::make_unique<RecordingPlayer>(&played_); };
        options.name_fetch_limit = limit;
        q5::calls::RegisterWindows(*windows_, std::move(options));
        frmCallControl& cc = Open();
        cc.show();
        return cc;
    }
    HRESULT KeepAlive() {
        return session_->Call(nullptr, [](const q5::SessionViews& v) { return v.util->KeepAlive(); });
    }
};

TEST_F(SlowNameTest, TricklingNameLeavesTheListAnsweringAndIsGivenUpWithNameRecordedEmpty) {
    TrickleProxy proxy(sim_->port(), {std::chrono::milliseconds(500), 0});
    ASSERT_GT(proxy.port(), 0);
    frmCallControl& cc = OpenThrough(proxy, std::chrono::milliseconds(1500));
    const QString first = Call("5550031");
    QTreeWidgetItem* row = WaitForRow(cc, first);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(cc.NameFetchesRunning(), 1);
    // While the name trickles in, calls keep coming and the user works the list.
    const QString second = Call("5550032");
    QTreeWidgetItem* next = WaitForRow(cc, second);
    ASSERT_NE(next, nullptr);
    QTreeWidget* list = cc.ui()->ListView1;
    const QPoint at(list->columnWidth(0) / 2, list->visualItemRect(row).center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(list->currentItem(), row);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentItem(), next);
    EXPECT_TRUE(next->isSelected());
    EXPECT_EQ(cc.NameFetchesGivenUp(), 0);

    if (!WaitFor([&] { return cc.NameFetchesGivenUp() >= 1; }, 6000)) {
        // A library whose waits cannot be ended: the transfer ends with its connection.
        proxy.DropConnections();
        ASSERT_TRUE(WaitFor([&] { return cc.NameFetchesGivenUp() >= 1; }));
    }
    ASSERT_TRUE(WaitFor([&] { return cc.NameFetchesRunning() == 0; }, 20000));
    for (QTreeWidgetItem* call : {row, next}) EXPECT_EQ(call->text(Col::colNameRecorded), QString());
    EXPECT_FALSE(QFile::exists(TempFile(first + QStringLiteral(".wav"))));
    // The session logged in again on its own.
    EXPECT_TRUE(asked().empty()) << asked()[0].text.toStdString();
    EXPECT_TRUE(session_->loggedIn());
    // The session's and the event log's, and at least one more: the second
    // call's fetch may have started before the first was given up, and then
    // it is given up (and logged in again) too.
    EXPECT_GE(proxy.connections(), 3);
    EXPECT_EQ(KeepAlive(), S_OK);
}

TEST_F(SlowNameTest, NameAnnouncedAboveOneMebibyteIsGivenUpAndTheSessionLogsInAgainQuietly) {
    TrickleProxy proxy(sim_->port(), {std::chrono::milliseconds(0), 1024 * 1024 + 1});
    ASSERT_GT(proxy.port(), 0);
    frmCallControl& cc = OpenThrough(proxy, q5::calls::kNameFetchLimit);
    const QString key = Call("5550033");
    QTreeWidgetItem* row = WaitForRow(cc, key);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(WaitFor([&] { return cc.NameFetchesRunning() == 0; }, 20000));
    EXPECT_EQ(cc.NameFetchesGivenUp(), 1);
    EXPECT_EQ(row->text(Col::colNameRecorded), QString());
    EXPECT_FALSE(QFile::exists(TempFile(key + QStringLiteral(".wav"))));
    EXPECT_TRUE(asked().empty()) << asked()[0].text.toStdString();
    EXPECT_EQ(proxy.connections(), 3);
    EXPECT_EQ(KeepAlive(), S_OK);
}

// ---- PIM setup and properties ---------------------------------------------------------------

using PimSetupTest = ManagedTest;

QString StoredPattern() {
    return q5::shell::Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Login"),
                                     QStringLiteral("numberPattern"));
}

TEST_F(PimSetupTest, WithoutStoredPatternTheBoxIsEmptyAndNumbersStayAsTrimmed) {
    frmPIMSetup& setup = windows_->Load<frmPIMSetup>();
    EXPECT_EQ(setup.windowTitle(), QStringLiteral("PIM Setup"));
    EXPECT_EQ(setup.ui()->Text2->text(), QString());
    EXPECT_EQ(setup.ui()->Label2->text(), QStringLiteral("Eample: (###) ###-####"));
    EXPECT_EQ(Format(QStringLiteral(" 2125550142 ")), QStringLiteral("2125550142"));
}

TEST_F(PimSetupTest, SaveStoresThePatternAndHides) {
    frmPIMSetup& setup = windows_->Load<frmPIMSetup>();
    setup.show();
    setup.ui()->Text2->setText(QStringLiteral("###-####"));
    setup.ui()->Command1->click();
    EXPECT_FALSE(setup.isVisible());
    EXPECT_EQ(StoredPattern(), QStringLiteral("###-####"));
    windows_->Unload<frmPIMSetup>();
    Pump();
    EXPECT_EQ(Format(QStringLiteral("5550142")), QStringLiteral("555-0142"));
}

TEST_F(PimSetupTest, CancelKeepsTheTypedPatternInEffectButNotStoredUntilTheNextStart) {
    q5::shell::Registry::Write(QStringLiteral("Q5Client"), QStringLiteral("Login"),
                               QStringLiteral("numberPattern"), QStringLiteral("###-####"));
    frmPIMSetup& setup = windows_->Load<frmPIMSetup>();
    EXPECT_EQ(setup.ui()->Text2->text(), QStringLiteral("###-####"));
    setup.show();
    setup.ui()->Text2->setText(QStringLiteral("(###) ###-####"));
    setup.ui()->Command2->click();
    EXPECT_FALSE(setup.isVisible());
    EXPECT_EQ(Format(QStringLiteral("2125550142")), QStringLiteral("(212) 555-0142"));
    EXPECT_EQ(StoredPattern(), QStringLiteral("###-####"));
    windows_->Unload<frmPIMSetup>();  // the next start loads the stored pattern
    Pump();
    EXPECT_EQ(Format(QStringLiteral("2125550142")), QStringLiteral("212555-0142"));
}

TEST_F(PimSetupTest, EnterInABoxSavesEnterOnCancelAndEscapeOnlyHide) {
    struct Case {
        const char* keys;
        std::function<QWidget*(frmPIMSetup&)> focus;
        Qt::Key key;
        bool stored;
    } const cases[] = {
        {"Enter in the pattern box", [](frmPIMSetup& f) { return f.ui()->Text2; }, Qt::Key_Return, true},
        {"Enter on Cancel", [](frmPIMSetup& f) { return f.ui()->Command2; }, Qt::Key_Enter, false},
        {"Escape in the folder box", [](frmPIMSetup& f) { return f.ui()->Text3; }, Qt::Key_Escape, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        q5::shell::Registry::Write(QStringLiteral("Q5Client"), QStringLiteral("Login"),
                                   QStringLiteral("numberPattern"), QString());
        frmPIMSetup& setup = windows_->Load<frmPIMSetup>();
        setup.show();
        setup.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&setup));
        QTest::keyClicks(setup.ui()->Text2, QStringLiteral("###-####"));
        c.focus(setup)->setFocus();
        QTest::keyClick(c.focus(setup), c.key);
        EXPECT_FALSE(setup.isVisible());
        EXPECT_EQ(StoredPattern(), c.stored ? QStringLiteral("###-####") : QString());
        windows_->Unload<frmPIMSetup>();
        Pump();
    }
}

TEST_F(PimSetupTest, ChosenContactsFolderIsTheOneSearched) {
    const QString folder = QString::fromStdString(home_->path()) + QStringLiteral("/elsewhere");
    QDir().mkpath(folder);
    QFile card(folder + QStringLiteral("/x.vcf"));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write(Card("Elsewhere", "TEL;TYPE=HOME,VOICE:5550142\r\n"));
    card.close();
    EXPECT_EQ(Lookup(QStringLiteral("5550142")), QString());
    windows_->Load<frmPIMSetup>().ui()->Text3->setText(folder);
    EXPECT_EQ(Lookup(QStringLiteral("5550142")), QStringLiteral("Elsewhere"));
}

TEST_F(PimSetupTest, TypedRegionReadsNationalNumbersAndIsStoredOnSave) {
    WriteCard(QStringLiteral("berlin.vcf"), Card("Berlin Office", "TEL;TYPE=WORK,VOICE:+49 30 1234567\r\n"));
    frmPIMSetup& setup = windows_->Load<frmPIMSetup>();
    setup.show();
    QTest::keyClicks(setup.ui()->Text4, QStringLiteral("us"));
    EXPECT_EQ(Lookup(QStringLiteral("030 1234567")), QString());  // a US number
    setup.ui()->Text4->clear();
    QTest::keyClicks(setup.ui()->Text4, QStringLiteral("de"));
    EXPECT_EQ(Lookup(QStringLiteral("030 1234567")), QStringLiteral("Berlin Office"));
    QTest::mouseClick(setup.ui()->Command1, Qt::LeftButton);
    EXPECT_EQ(q5::shell::Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Login"),
                                        QStringLiteral("phoneRegion")),
              QStringLiteral("DE"));
}

TEST_F(PimSetupTest, PropertiesOffersThreeClientsAnEmptySoundListAndStoresNothing) {
    q5::frmProperties& properties = windows_->Load<q5::frmProperties>();
    EXPECT_EQ(properties.windowTitle(), QStringLiteral("Properties"));
    ASSERT_EQ(properties.ui()->Combo1->count(), 3);
    EXPECT_EQ(properties.ui()->Combo1->itemText(0), QStringLiteral("Microsoft Outlook"));
    EXPECT_EQ(properties.ui()->Combo1->itemText(1), QStringLiteral("Microsoft Outlook Express"));
    EXPECT_EQ(properties.ui()->Combo1->itemText(2), QStringLiteral("ACT"));
    EXPECT_EQ(properties.ui()->Combo2->count(), 0);
    EXPECT_EQ(q5test::Shown(properties.ui()->Check1->text()), QStringLiteral("Automatic Pop-Up Screen"));
    properties.ui()->Check1->setChecked(true);
    EXPECT_FALSE(QFile::exists(q5::shell::Registry::FilePath(QStringLiteral("Q5Client"))));
}

// ---- the contact window -------------------------------------------------------------------

using q5::shell::MsgAnswer;

class ContactWindowTest : public ManagedTest {
protected:
    // "PopUp PIM" for the number: the window it opened.
    frmContact* PopUp(const char* number) {
        QString error;
        EXPECT_TRUE(q5::calls::PopUpContact(*windows_, q5::calls::ContactWindowsOf(*windows_),
                                            QString::fromLatin1(number), &error))
            << error.toStdString();
        const std::vector<frmContact*> open = OpenContacts();
        return open.empty() ? nullptr : open.back();
    }
    static void TypeNote(frmContact* window, const char* text) {
        QPlainTextEdit* notes = window->findChild<QPlainTextEdit*>(QStringLiteral("txtNotes"));
        notes->setFocus();
        QTest::keyClicks(notes, QString::fromLatin1(text));
    }
    static void ClickClose(frmContact* window) {
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdClose")), Qt::LeftButton);
        Pump();
    }
};

TEST_F(ContactWindowTest, CloseWithChangedFieldsAsksToSaveInsteadOfDroppingTheEdits) {
    WriteCard(QStringLiteral("kim.vcf"), Card("Kim", "TEL;TYPE=CELL:2125550142\r\n"));
    const QString card = ContactsDir() + QStringLiteral("/kim.vcf");
    const QByteArray before = ReadAll(card);

    // Nothing changed: no question.
    frmContact* window = PopUp("2125550142");
    ASSERT_NE(window, nullptr);
    ClickClose(window);
    EXPECT_TRUE(asked().empty());
    EXPECT_TRUE(OpenContacts().empty());

    // Cancel keeps the window and the edit; No drops it and the card stays.
    window = PopUp("2125550142");
    ASSERT_NE(window, nullptr);
    TypeNote(window, "call back");
    Answer({MsgAnswer::cancel, MsgAnswer::cancel, MsgAnswer::no});
    ClickClose(window);
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Fields have been changed. Do you want to save?"));
    EXPECT_EQ(asked()[0].buttons, q5::shell::MsgButtons::yes_no_cancel);
    ASSERT_EQ(OpenContacts().size(), 1u);
    EXPECT_TRUE(window->HasUnsavedEdits());
    // Closing the program asks as well, and Cancel there keeps everything.
    EXPECT_FALSE(windows_->CloseEditingWindows());
    ASSERT_EQ(OpenContacts().size(), 1u);
    ClickClose(window);
    EXPECT_EQ(asked().size(), 3u);
    EXPECT_TRUE(OpenContacts().empty());
    EXPECT_EQ(ReadAll(card), before);

    // Yes saves, then the window goes.
    window = PopUp("2125550142");
    ASSERT_NE(window, nullptr);
    TypeNote(window, "call back");
    Answer({MsgAnswer::yes});
    ClickClose(window);
    EXPECT_EQ(asked().size(), 4u);
    EXPECT_TRUE(OpenContacts().empty());
    EXPECT_TRUE(ReadAll(card).contains("NOTE:call back")) << ReadAll(card).constData();

    // Yes with a save that fails keeps the window, the edit and the reason.
    ASSERT_TRUE(QDir(ContactsDir()).removeRecursively());
    QFile blocker(ContactsDir());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    window = PopUp("5550199");
    ASSERT_NE(window, nullptr);
    TypeNote(window, "new caller");
    Answer({MsgAnswer::yes});
    ClickClose(window);
    ASSERT_EQ(OpenContacts().size(), 1u);
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("lblStatus"))
                    ->text()
                    .startsWith(QStringLiteral("Not saved")));
    EXPECT_TRUE(window->HasUnsavedEdits());
}

}  // namespace
}  // namespace q5test
