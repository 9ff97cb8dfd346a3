// The shell's logic without windows: settings store, local paths, instance
// lock, library registration, host box, keep-alive outcomes, captions and
// the command line.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QProcess>
#include <QProcessEnvironment>

#include "q5client/q5client.h"
#include "temp_home.h"
#include "shell/autostart.h"
#include "shell/command_line.h"
#include "shell/instance_lock.h"
#include "shell/library_registration.h"
#include "shell/local_paths.h"
#include "shell/registry.h"
#include "shell/settings.h"
#include "shell/shell_logic.h"

namespace q5test {
namespace {

using q5::shell::Registry;

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override { home_ = std::make_unique<TempHome>(); }
    void TearDown() override { home_.reset(); }
    Registry LoginRegistry() {
        Registry r;
        r.SetAppname(QStringLiteral("Q5Client"));
        r.SetSection(QStringLiteral("Login"));
        return r;
    }
    std::unique_ptr<TempHome> home_;
};

// ---- settings store -----------------------------------------------------------

TEST_F(CoreTest, RegGetOfAnUnwrittenKeyClearsAnEarlierSetting) {
    Registry r = LoginRegistry();
    r.SetKey(QStringLiteral("SaveSettings"));
    r.SetSetting(QStringLiteral("stale"));
    r.RegGet();
    EXPECT_EQ(r.Setting(), QString());
    r.SetSetting(QStringLiteral("1"));
    r.RegSave();
    r.SetKey(QStringLiteral("Host"));
    r.SetSetting(QStringLiteral("stale"));
    r.RegGet();
    EXPECT_EQ(r.Setting(), QString()) << "a file that exists but lacks the key";
}

TEST_F(CoreTest, KeysWithAmpersandColonAndBlanksRoundTripAndStayApart) {
    Registry r = LoginRegistry();
    r.SetKey(QStringLiteral("&User Name:"));
    r.SetSetting(QStringLiteral(" 101 "));
    r.RegSave();
    r.SetKey(QStringLiteral("&Password:"));
    r.SetSetting(QStringLiteral("x"));
    r.RegSave();
    Registry other = LoginRegistry();
    other.SetKey(QStringLiteral("&User Name:"));
    other.RegGet();
    EXPECT_EQ(other.Setting(), QStringLiteral(" 101 "));
    // The same key in another section is another address.
    EXPECT_EQ(
        Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Settings"), QStringLiteral("&User Name:")),
        QString());
}

TEST_F(CoreTest, EmptyValueIsStoredAndReadBackEmptyAndRegDelRemovesTheKey) {
    Registry r = LoginRegistry();
    r.SetKey(QStringLiteral("Host"));
    r.SetSetting(QStringLiteral("server"));
    r.RegSave();
    r.SetSetting(QString());
    r.RegSave();
    r.SetSetting(QStringLiteral("x"));
    r.RegGet();
    EXPECT_EQ(r.Setting(), QString());
    EXPECT_EQ(Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Login"), QStringLiteral("Host"),
                             QStringLiteral("fallback")),
              QString())
        << "an empty value is a value, not an absence";
    r.RegDel();
    EXPECT_EQ(Registry::Read(QStringLiteral("Q5Client"), QStringLiteral("Login"), QStringLiteral("Host"),
                             QStringLiteral("fallback")),
              QStringLiteral("fallback"));
}

TEST_F(CoreTest, AdministratorDefaultsFillOnlyKeysTheUserLacksAndAreNeverWritten) {
    const QString app = QStringLiteral("Q5Client");
    const QString login = QStringLiteral("Login");
    const QString host = QStringLiteral("Host");
    // The first folder of XDG_CONFIG_DIRS that has the file counts.
    const QString empty = QString::fromStdString(home_->path() + "/empty");
    const QString system = QString::fromStdString(home_->path() + "/system");
    qputenv("XDG_CONFIG_DIRS",
            (QStringLiteral("relative:") + empty + QLatin1Char(':') + system).toLocal8Bit());
    ASSERT_TRUE(QDir().mkpath(system + QStringLiteral("/q5client")));
    const QString defaultsPath = system + QStringLiteral("/q5client/Q5Client.ini");
    const QByteArray defaults = "[Login]\nHost=pbx.example:1008\n[Settings]\nMainLeft=2000\n";
    {
        QFile file(defaultsPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(defaults);
    }
    EXPECT_EQ(Registry::DefaultsFilePath(app), defaultsPath);

    struct Step {
        const char* what;
        std::optional<QString> user;  // written to the user's file; nullopt removes the key
        QString expected;
    };
    const Step steps[] = {
        {"no user file: the default", std::nullopt, QStringLiteral("pbx.example:1008")},
        {"the user's value wins", QStringLiteral("own:4100"), QStringLiteral("own:4100")},
        {"an empty value of the user's wins too", QString(), QString()},
        {"removing it brings the default back", std::nullopt, QStringLiteral("pbx.example:1008")},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.user) {
            Registry::Write(app, login, host, *step.user);
        } else {
            Registry::Remove(app, login, host);
        }
        Registry r = LoginRegistry();
        r.SetKey(host);
        r.RegGet();
        EXPECT_EQ(r.Setting(), step.expected);
    }
    EXPECT_EQ(
        Registry::Read(app, QStringLiteral("Settings"), QStringLiteral("MainLeft"), QStringLiteral("1000")),
        QStringLiteral("2000"));
    EXPECT_EQ(
        Registry::Read(app, QStringLiteral("Settings"), QStringLiteral("MainTop"), QStringLiteral("1000")),
        QStringLiteral("1000"));
    EXPECT_EQ(Registry::ReadDefault(app, login, host), QStringLiteral("pbx.example:1008"));

    QFile file(defaultsPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), defaults) << "the defaults file is never written";
    QSettings user(Registry::FilePath(app), QSettings::IniFormat);
    EXPECT_FALSE(user.contains(QStringLiteral("Settings/MainLeft"))) << "defaults are not copied to the user";
}

// Every typed setting at the address files written so far use, with its
// default while no file holds it, and its value back after a write.
TEST_F(CoreTest, EveryTypedSettingReadsItsDefaultWhenAbsentAndRoundTripsAtItsStoredAddress) {
    using q5::shell::Setting;
    struct Case {
        Setting setting;
        const char* section;
        const char* key;
        const char* absent;  // what it reads while no file holds it
        const char* value;   // written, then read back
    };
    const Case cases[] = {
        {Setting::UserName, "Login", "&User Name:", "", "101"},
        {Setting::Password, "Login", "&Password:", "", ""},
        {Setting::Host, "Login", "Host", "localhost", "pbx.example:4100"},
        {Setting::SaveSettings, "Login", "SaveSettings", "0", "1"},
        {Setting::NumberPattern, "Login", "numberPattern", "", "(###) ###-####"},
        {Setting::ContactsFolder, "Login", "contactsFolder", "", "/home/u/contacts"},
        {Setting::MainLeft, "Settings", "MainLeft", "1000", "-120"},
        {Setting::MainTop, "Settings", "MainTop", "1000", "45"},
        {Setting::MainWidth, "Settings", "MainWidth", "6500", "9000"},
        {Setting::MainHeight, "Settings", "MainHeight", "6500", "7000"},
        {Setting::Notifications, "Desktop", "Notifications", "1", "0"},
        {Setting::KeepInTray, "Desktop", "KeepInTray", "1", "0"},
        {Setting::Autostart, "Desktop", "Autostart", "0", "1"},
        {Setting::StartMinimised, "Desktop", "StartMinimised", "0", "1"},
        {Setting::TrayNoticeShown, "Desktop", "TrayNoticeShown", "0", "1"},
        {Setting::PhoneRegion, "Login", "phoneRegion", "", "DE"},
    };
    ASSERT_EQ(q5::shell::Settings::Keys().size(), std::size(cases)) << "a key without a case here";
    q5::shell::Settings settings;
    const QString app = QStringLiteral("Q5Client");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const QString section = QString::fromLatin1(c.section), key = QString::fromUtf8(c.key);
        EXPECT_EQ(settings.Text(c.setting), QString::fromLatin1(c.absent));
        settings.SetText(c.setting, QString::fromLatin1(c.value));
        EXPECT_EQ(settings.Text(c.setting), QString::fromLatin1(c.value));
        // The same file and address as before the typed class.
        EXPECT_EQ(Registry::Read(app, section, key, QStringLiteral("absent")), QString::fromLatin1(c.value));
        settings.Remove(c.setting);
        EXPECT_EQ(Registry::Read(app, section, key, QStringLiteral("absent")), QStringLiteral("absent"));
    }
    // Numbers: a stored non-number reads as the default.
    settings.SetNumber(Setting::MainWidth, 7200);
    EXPECT_EQ(settings.Number(Setting::MainWidth), 7200);
    settings.SetText(Setting::MainWidth, QStringLiteral("wide"));
    EXPECT_EQ(settings.Number(Setting::MainWidth), 6500);
    EXPECT_EQ(settings.Number(Setting::MainLeft), 1000);
}

TEST_F(CoreTest, SettingsFileAndFolderAreOwnerOnlyEvenUnderAPermissiveUmask) {
    const mode_t old = umask(0);
    Registry::Write(QStringLiteral("Q5Client"), QStringLiteral("Settings"), QStringLiteral("MainLeft"),
                    QStringLiteral("1000"));
    Registry::Write(QStringLiteral("Q5Client"), QStringLiteral("Settings"), QStringLiteral("MainTop"),
                    QStringLiteral("1000"));
    umask(old);
    const QString path = Registry::FilePath(QStringLiteral("Q5Client"));
    EXPECT_TRUE(path.startsWith(QString::fromStdString(home_->path() + "/config/")));
    struct stat file {};
    ASSERT_EQ(stat(path.toLocal8Bit().constData(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    struct stat dir {};
    ASSERT_EQ(stat(QFileInfo(path).absolutePath().toLocal8Bit().constData(), &dir), 0);
    EXPECT_EQ(dir.st_mode & 0077, 0u);
}

// ---- local paths --------------------------------------------------------------

TEST_F(CoreTest, LocalFoldersLiveUnderDataHomeUnlessQ5ClientHomeIsSet) {
    const QString data = QString::fromStdString(home_->path() + "/data/q5client");
    EXPECT_EQ(q5::shell::LocalPath(q5::shell::LocalFolder::vox), data + QStringLiteral("/vox"));
    EXPECT_EQ(q5::shell::LocalPath(q5::shell::LocalFolder::temp, QStringLiteral("a.wav")),
              data + QStringLiteral("/temp/a.wav"));
    EXPECT_EQ(q5::shell::LocalPath(q5::shell::LocalFolder::call_log),
              data + QStringLiteral("/q5clientLog.txt"));
    setenv("Q5CLIENT_HOME", (home_->path() + "/own/").c_str(), 1);
    EXPECT_EQ(q5::shell::LocalPath(q5::shell::LocalFolder::base),
              QString::fromStdString(home_->path() + "/own"));
    EXPECT_TRUE(q5::shell::EnsureWorkingFolders());
    EXPECT_TRUE(QDir(QString::fromStdString(home_->path() + "/own/vox")).exists());
    EXPECT_TRUE(QDir(QString::fromStdString(home_->path() + "/own/temp")).exists());
    unsetenv("Q5CLIENT_HOME");
}

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return lstat(path.toLocal8Bit().constData(), &info) == 0 ? (info.st_mode & 0777) : 01000;
}

void MakeFile(const QString& path, mode_t mode) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("x");
    file.close();
    ASSERT_EQ(chmod(path.toLocal8Bit().constData(), mode), 0);
}

TEST_F(CoreTest, DataFolderAndItsFilesAreOwnerOnlyAndOlderOpenModesAreRepaired) {
    using q5::shell::LocalFolder;
    using q5::shell::LocalPath;
    const mode_t old_umask = umask(022);
    // A data folder left open by an earlier version, and a link in vox to a
    // file elsewhere that must keep its mode.
    const QString base = LocalPath(LocalFolder::base);
    for (const QString& folder : {base, LocalPath(LocalFolder::vox), base + QStringLiteral("/contacts")}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(chmod(folder.toLocal8Bit().constData(), 0755), 0);
    }
    MakeFile(LocalPath(LocalFolder::call_log), 0644);
    MakeFile(LocalPath(LocalFolder::vox, QStringLiteral("greet.eng.wav")), 0644);
    MakeFile(base + QStringLiteral("/contacts/ann.vcf"), 0644);
    const QString elsewhere = QString::fromStdString(home_->path() + "/elsewhere.txt");
    MakeFile(elsewhere, 0644);
    ASSERT_TRUE(QFile::link(elsewhere, LocalPath(LocalFolder::vox, QStringLiteral("link.wav"))));

    EXPECT_TRUE(q5::shell::EnsureWorkingFolders());
    for (const QString& folder : {base, LocalPath(LocalFolder::vox), LocalPath(LocalFolder::temp),
                                  base + QStringLiteral("/contacts")}) {
        EXPECT_EQ(ModeOf(folder), 0700u) << folder.toStdString();
    }
    for (const QString& file :
         {LocalPath(LocalFolder::call_log), LocalPath(LocalFolder::vox, QStringLiteral("greet.eng.wav")),
          base + QStringLiteral("/contacts/ann.vcf")}) {
        EXPECT_EQ(ModeOf(file), 0600u) << file.toStdString();
    }
    EXPECT_EQ(ModeOf(elsewhere), 0644u) << "a link's target is not ours to change";

    // Files the program writes are owner-only from the start, and an open
    // mode of an existing one is repaired on writing.
    const QString wav = LocalPath(LocalFolder::temp, QStringLiteral("new.wav"));
    QFile created(wav);
    ASSERT_TRUE(q5::shell::OpenOwnerOnly(created, QIODevice::WriteOnly));
    EXPECT_EQ(ModeOf(wav), 0600u);
    created.close();
    ASSERT_EQ(chmod(wav.toLocal8Bit().constData(), 0644), 0);
    QFile appended(wav);
    ASSERT_TRUE(q5::shell::OpenOwnerOnly(appended, QIODevice::WriteOnly | QIODevice::Append));
    EXPECT_EQ(ModeOf(wav), 0600u);
    umask(old_umask);
}

// ---- instance lock --------------------------------------------------------------

TEST_F(CoreTest, SecondLockIsRefusedUntilTheFirstIsReleased) {
    q5::shell::InstanceLock first;
    ASSERT_TRUE(first.TryLock());
    EXPECT_TRUE(
        q5::shell::InstanceLock::LockPath().startsWith(QString::fromStdString(home_->path() + "/runtime")));
    q5::shell::InstanceLock second;
    EXPECT_FALSE(second.TryLock());
    first.Unlock();
    EXPECT_TRUE(second.TryLock());
}

TEST_F(CoreTest, LockLeftByADeadProcessDoesNotBlockTheNextStart) {
    // A child takes the lock and dies without releasing it.
    const pid_t child = fork();
    if (child == 0) {
        QLockFile lock(q5::shell::InstanceLock::LockPath());
        _exit(lock.tryLock(0) ? (lock.setStaleLockTime(0), 0) : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(QFile::exists(q5::shell::InstanceLock::LockPath())) << "the child left its lock behind";
    q5::shell::InstanceLock next;
    EXPECT_TRUE(next.TryLock());
}

// ---- library registration -------------------------------------------------------

TEST_F(CoreTest, UnregisteredClassIsRegisteredFromTheLibraryFile) {
    ASSERT_FALSE(q5::shell::IsClientClassRegistered());
    const q5::shell::RegistrationResult result = q5::shell::EnsureClientClassRegistered(QString());
    ASSERT_TRUE(result.ok) << result.problem.toStdString();
    EXPECT_TRUE(result.registered_now);
    EXPECT_TRUE(q5::shell::IsClientClassRegistered());
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.AsOut()),
              S_OK);
    // Registered already: nothing runs again.
    EXPECT_FALSE(q5::shell::EnsureClientClassRegistered(QString()).registered_now);
}

TEST_F(CoreTest, RegistrationNamingAVanishedFileIsRenewed) {
    ASSERT_TRUE(q5::shell::EnsureClientClassRegistered(QString()).ok);
    OLECHAR text[40];
    StringFromGUID2(CLSID_CoQ5Client, text, 40);
    const std::string key = "CLSID\\" + QString::fromUtf16(text).toStdString() + "\\InprocServer32";
    ASSERT_EQ(Q5RegSetValue(key.c_str(), "", (home_->path() + "/gone.so").c_str()), S_OK);
    EXPECT_FALSE(q5::shell::IsClientClassRegistered());
    const q5::shell::RegistrationResult result = q5::shell::EnsureClientClassRegistered(QString());
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.registered_now);
}

TEST_F(CoreTest, InstalledProgramRegistersTheLibraryOfItsMultiarchFolder) {
    // An installed tree: bin/q5client and lib/<multiarch>/q5client/libq5client.so.
    unsetenv("Q5CLIENT_LIBRARY");
    const QString root = QString::fromStdString(home_->path());
    const QString library = root + QStringLiteral("/" Q5_INSTALL_LIBDIR "/q5client/libq5client.so");
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/bin")));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(library).path()));
    ASSERT_TRUE(QFile::copy(QStringLiteral(Q5CLIENT_LIBRARY), library));
    const q5::shell::RegistrationResult result =
        q5::shell::EnsureClientClassRegistered(root + QStringLiteral("/bin"));
    ASSERT_TRUE(result.ok) << result.problem.toStdString();
    EXPECT_EQ(result.library.toStdString(), QFileInfo(library).canonicalFilePath().toStdString());
}

// ---- rules ------------------------------------------------------------------------

TEST(ShellRules, HostBoxTakesAnOptionalPortAndKeepsOddTextWhole) {
    using q5::shell::ParseHostBox;
    EXPECT_EQ(ParseHostBox(QStringLiteral("localhost")).port, 1008);
    EXPECT_EQ(ParseHostBox(QStringLiteral("localhost")).host, QStringLiteral("localhost"));
    EXPECT_EQ(ParseHostBox(QStringLiteral("10.0.0.5:4008")).host, QStringLiteral("10.0.0.5"));
    EXPECT_EQ(ParseHostBox(QStringLiteral("10.0.0.5:4008")).port, 4008);
    // TLS hosts stay whole: the library reads their port and pin.
    for (const char* odd : {"host:", "host:0", "host:70000", "host:+80", "host:8x", ":80", "fe80::1",
                            "tls://host", "tls://host:1009#sha256=AB"}) {
        EXPECT_EQ(ParseHostBox(QString::fromLatin1(odd)).host, QString::fromLatin1(odd)) << odd;
        EXPECT_EQ(ParseHostBox(QString::fromLatin1(odd)).port, 1008) << odd;
    }
}

TEST(ShellRules, KeepAliveRefusalIsIgnoredLostConnectionAsksOthersShow) {
    using q5::shell::KeepAliveAction;
    using q5::shell::KeepAliveActionFor;
    EXPECT_EQ(KeepAliveActionFor(S_OK), KeepAliveAction::nothing);
    EXPECT_EQ(KeepAliveActionFor(E_FAIL), KeepAliveAction::nothing);
    EXPECT_EQ(KeepAliveActionFor(E_CONNECTION_LOST), KeepAliveAction::offer_reconnect);
    EXPECT_EQ(KeepAliveActionFor(E_INVALIDARG), KeepAliveAction::show_error);
    EXPECT_EQ(KeepAliveActionFor(E_FILE_OPEN), KeepAliveAction::show_error);
}

TEST(ShellRules, ErrorNumbersShowAsSignedDecimal) {
    EXPECT_EQ(q5::shell::ErrorNumberText(E_CONNECTION_LOST), QStringLiteral("-2147221488"));
    EXPECT_EQ(q5::shell::ErrorNumberText(E_FAIL), QStringLiteral("-2147467259"));
}

TEST(ShellRules, TrimmingRemovesBlanksOnly) {
    EXPECT_EQ(q5::shell::TrimBlanks(QStringLiteral("  101 ")), QStringLiteral("101"));
    EXPECT_EQ(q5::shell::TrimBlanks(QStringLiteral("\t101\t")), QStringLiteral("\t101\t"));
    EXPECT_EQ(q5::shell::TrimBlanks(QStringLiteral("   ")), QString());
}

TEST(ShellRules, TwipsConvertWithTheScreenDpiAndStoredTextFallsBack) {
    EXPECT_EQ(q5::shell::TwipsToPixels(1440, 96.0), 96);
    EXPECT_EQ(q5::shell::TwipsToPixels(6500, 96.0), 433);
    EXPECT_EQ(q5::shell::PixelsToTwips(433, 96.0), 6495);
    EXPECT_EQ(q5::shell::TwipsToPixels(1440, 0.0), 96) << "no screen: 96 DPI";
    EXPECT_EQ(q5::shell::StoredInt(QStringLiteral(" 1200 "), 1000), 1200);
    EXPECT_EQ(q5::shell::StoredInt(QStringLiteral(""), 1000), 1000);
    EXPECT_EQ(q5::shell::StoredInt(QStringLiteral("12ab"), 1000), 1000);
}

TEST(ShellRules, CaptionTableHasTheShellEntriesAndNoFontEntries) {
    EXPECT_EQ(q5::shell::CaptionText(1015).value_or(QString()), QStringLiteral("&About "));
    EXPECT_EQ(q5::shell::CaptionText(QStringLiteral("1026")).value_or(QString()),
              QStringLiteral("&User Name:"));
    EXPECT_EQ(q5::shell::CaptionText(3006).value_or(QString()), QStringLiteral("Wake Up "));
    EXPECT_FALSE(q5::shell::CaptionText(20).has_value());
    EXPECT_FALSE(q5::shell::CaptionText(21).has_value());
    EXPECT_FALSE(q5::shell::CaptionText(QStringLiteral("Call Control")).has_value());
}

TEST(CommandLineTest, HostAndUserPrefillAndHelpVersionAndMistakesEndAtOnce) {
    using q5::shell::ParseCommandLine;
    const auto normal = ParseCommandLine({QStringLiteral("q5client"), QStringLiteral("--host"),
                                          QStringLiteral("127.0.0.1:4100"), QStringLiteral("--user=101")});
    EXPECT_FALSE(normal.exit_now);
    EXPECT_EQ(normal.host, QStringLiteral("127.0.0.1:4100"));
    EXPECT_EQ(normal.user, QStringLiteral("101"));
    const auto help = ParseCommandLine({QStringLiteral("q5client"), QStringLiteral("--help")});
    EXPECT_TRUE(help.exit_now);
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_TRUE(help.output.contains(QStringLiteral("--host")));
    EXPECT_TRUE(help.output.contains(QStringLiteral("q5client")));
    const auto version = ParseCommandLine({QStringLiteral("q5client"), QStringLiteral("--version")});
    EXPECT_TRUE(version.exit_now);
    EXPECT_TRUE(version.output.startsWith(QStringLiteral("q5client 2.0")));
    for (const char* wrong : {"--bogus", "stray", "--host"}) {
        const auto bad = ParseCommandLine({QStringLiteral("q5client"), QString::fromLatin1(wrong)});
        EXPECT_TRUE(bad.exit_now) << wrong;
        EXPECT_EQ(bad.exit_code, 2) << wrong;
    }
}

// The three programs as a user starts them from a shell.
TEST(ProgramsTest, HelpAndVersionPrintAndSucceedAndNoDisplayIsOneLineAndExitOne) {
    struct Run {
        const char* program;
        QStringList args;
        int exit_code;
        const char* out;  // text standard output must contain ("" for none at all)
        const char* err;  // likewise for standard error
    };
    const Run runs[] = {
        {Q5CLIENT_PROGRAM, {QStringLiteral("--help")}, 0, "--version", ""},
        {Q5CLIENT_PROGRAM, {QStringLiteral("--version")}, 0, "(build " Q5_VERSION ")", ""},
        {Q5SIM_TOOL, {QStringLiteral("--help")}, 0, "--version", ""},
        {Q5SIM_TOOL, {QStringLiteral("--version")}, 0, "q5sim " Q5_VERSION, ""},
        {Q5REGSVR_TOOL, {QStringLiteral("--help")}, 0, "--system", ""},
        {Q5REGSVR_TOOL, {QStringLiteral("--version")}, 0, "q5regsvr " Q5_VERSION, ""},
        {Q5CLIENT_PROGRAM, {}, 1, "", "q5client: no display: "},
    };
    // The program started below keeps its lock, registry and settings here.
    const TempHome home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const Run& run : runs) {
        SCOPED_TRACE(std::string(run.program) + " " + run.args.join(QLatin1Char(' ')).toStdString());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QString::fromLocal8Bit(run.program), run.args);
        ASSERT_TRUE(process.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), run.exit_code);
        for (const auto& [text, wanted] : {std::pair{out, run.out}, std::pair{err, run.err}}) {
            if (*wanted) {
                EXPECT_TRUE(text.contains(QString::fromLatin1(wanted))) << text.toStdString();
            } else {
                EXPECT_TRUE(text.isEmpty()) << text.toStdString();
            }
        }
        if (run.exit_code == 1) {
            EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << "one line";
            EXPECT_TRUE(err.contains(QStringLiteral("xvfb-run")));
        }
    }

    // A platform that needs no display still starts the program.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess offscreen;
    offscreen.setProcessEnvironment(environment);
    offscreen.start(QStringLiteral(Q5CLIENT_PROGRAM), {});
    ASSERT_TRUE(offscreen.waitForStarted(30000));
    // Up and waiting at its login dialog; should it end for another reason,
    // that reason is not the missing display.
    if (!offscreen.waitForFinished(3000)) {
        offscreen.kill();
        offscreen.waitForFinished(30000);
    }
    EXPECT_FALSE(offscreen.readAllStandardError().contains("no display"));
}

}  // namespace
}  // namespace q5test

TEST(Autostart, EntryIsWrittenValidAndRemoved) {
    q5test::TempHome home;
    const QString path = q5::shell::AutostartEntryPath();
    EXPECT_EQ(path, qEnvironmentVariable("XDG_CONFIG_HOME") +
                        QStringLiteral("/autostart/org.q5client.Q5Client.desktop"));
    struct Case {
        QString program;
        QString exec;
    };
    const Case cases[] = {
        {QStringLiteral("/usr/bin/q5client"), QStringLiteral("Exec=/usr/bin/q5client")},
        {QStringLiteral("/opt/my apps/q5$client"), QStringLiteral("Exec=\"/opt/my apps/q5\\\\$client\"")},
        {QStringLiteral("/opt/100%/q5client"), QStringLiteral("Exec=\"/opt/100%%/q5client\"")},
    };
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        std::puts("desktop-file-validate is not installed: the entries are not validated");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        ASSERT_EQ(q5::shell::WriteAutostartEntry(c.program), QString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        EXPECT_TRUE(lines.contains(c.exec)) << lines.join(u'|').toStdString();
        if (!validator.isEmpty()) {
            QProcess check;
            check.start(validator, {path});
            ASSERT_TRUE(check.waitForFinished());
            EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
            EXPECT_TRUE(check.readAllStandardOutput().trimmed().isEmpty());
        }
    }
    EXPECT_EQ(q5::shell::RemoveAutostartEntry(), QString());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(q5::shell::RemoveAutostartEntry(), QString()) << "nothing to remove is no failure";
}
