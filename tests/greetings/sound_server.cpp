#include "sound_server.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace q5test {

namespace {

pid_t g_pid = -1;
std::string g_dir;
std::string g_reason = "not started";
bool g_started = false;

std::string FindPulseAudio() {
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
        const std::string path = std::string(dir) + "/pulseaudio";
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return {};
}

}  // namespace

void SoundServer::Prepare() {
    if (!g_dir.empty()) return;
    char dir_template[] = "/tmp/q5greet-sound-XXXXXX";
    if (!mkdtemp(dir_template)) {
        g_reason = "no temp folder for the sound server";
        setenv("PULSE_SERVER", "unix:/nonexistent/q5-no-sound-server", 1);
        return;
    }
    g_dir = dir_template;
    chmod(g_dir.c_str(), 0700);
    // Clients only ever reach this server, or none.
    setenv("PULSE_SERVER", ("unix:" + g_dir + "/pulse/native").c_str(), 1);
}

void SoundServer::Start() {
    if (g_pid > 0 || g_started) return;
    g_started = true;
    if (g_dir.empty()) return;
    const std::string socket = g_dir + "/pulse/native";
    const std::string tool = FindPulseAudio();
    if (getenv("Q5TEST_NO_SOUND_SERVER")) {
        g_reason = "Q5TEST_NO_SOUND_SERVER is set";
        return;
    }
    if (tool.empty()) {
        g_reason = "PulseAudio is not installed (Debian package pulseaudio)";
        return;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        g_reason = "cannot start PulseAudio";
        return;
    }
    if (pid == 0) {
        setenv("XDG_RUNTIME_DIR", g_dir.c_str(), 1);
        setenv("HOME", g_dir.c_str(), 1);
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        unsetenv("PULSE_SERVER");
        const std::string log = g_dir + "/pulseaudio.log";
        freopen(log.c_str(), "w", stderr);
        freopen("/dev/null", "w", stdout);
        execl(tool.c_str(), "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
              "--use-pid-file=no", "--load=module-native-protocol-unix auth-anonymous=1",
              "--load=module-null-sink sink_name=nullsink", "--load=module-null-source source_name=nullsrc",
              "--load=module-always-sink", static_cast<char*>(nullptr));
        _exit(127);
    }
    g_pid = pid;
    // Wait for its socket (at most ten seconds), or for it to give up.
    for (int i = 0; i < 200; ++i) {
        if (std::filesystem::exists(socket)) {
            g_reason.clear();
            return;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            g_pid = -1;
            g_reason = "PulseAudio did not start (see its log in " + g_dir + ")";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    g_reason = "PulseAudio did not open its socket in time";
    Stop();
}

void SoundServer::Stop() {
    if (g_pid > 0) {
        kill(g_pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && waitpid(g_pid, &status, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (waitpid(g_pid, &status, WNOHANG) == 0) {
            kill(g_pid, SIGKILL);
            waitpid(g_pid, &status, 0);
        }
        g_pid = -1;
    }
    if (!g_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(g_dir, ignored);
        g_dir.clear();
    }
}

bool SoundServer::running() {
    return g_pid > 0 && g_reason.empty();
}

const std::string& SoundServer::reason() {
    return g_reason;
}

}  // namespace q5test
