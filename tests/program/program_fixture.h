// Fixture of the desktop program's window tests: every test gets its own
// config, data and runtime folders and registry of classes (all under one
// temp folder), the library registered in it, a fresh session object, and
// a message service that records each box and answers from a queue.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "shell/message_service.h"
#include "shell/program.h"
#include "temp_home.h"
#include "test_server.h"

namespace q5test {

// A caption as shown: without the '&' that marks its mnemonic ("&&" shows
// one '&').
QString Shown(const QString& caption);

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Answers the next questions in order (OK when the queue is empty).
    void Answer(std::initializer_list<q5::shell::MsgAnswer> answers);
    const std::vector<q5::shell::MessageRequest>& asked() const { return asked_; }
    // The texts of every box shown so far.
    std::vector<QString> AskedTexts() const;

    // Fills the loaded login dialog and presses OK.
    void LogIn(q5::frmLogin& login, const QString& user, const QString& password, const QString& host,
               bool save);
    QString HostOf(const TestServer& server) const;
    // Runs pending events and deferred deletes.
    static void Pump();
    // Runs events until `done` (an answer posted from the session thread);
    // false if it never came.
    static bool PumpUntil(const std::function<bool()>& done);

    q5::Program& program() { return *program_; }
    q5::Session& session() { return program_->session(); }
    q5::WindowManager& windows() { return program_->windows(); }
    // Connects the program's session to 127.0.0.1:`port` and logs in, as the
    // login dialog would, and records the session's values.
    HRESULT LogInSession(int port, const QString& user, const QString& password);

    std::unique_ptr<TempHome> home_;
    std::unique_ptr<q5::Program> program_;
    std::vector<q5::shell::MessageRequest> asked_;
    std::deque<q5::shell::MsgAnswer> answers_;
};

}  // namespace q5test
