// Fixture of the mailbox windows' tests: q5sim with its demo data, the
// program's session logged in as mailbox 101, and a second, independent
// session (its own CoQ5Client, logged in the same way) through which a test
// puts values into the server before a window opens and reads what reached
// the server afterwards.
#pragma once

#include <map>
#include <memory>

#include <QString>

#include "program_fixture.h"
#include "q5client/q5client.h"

namespace q5test {

// A session of its own on the server, beside the program's.
class Peer {
public:
    Peer(int port, const QString& user, const QString& password);
    bool ok() const { return ok_; }
    // The field as the server holds it now.
    QString Get(const QString& table, const QString& field);
    // Puts the values into the mailbox's row of the table (a read first,
    // so the other columns stay).
    void Put(const QString& table, const std::map<QString, QString>& values);
    // Fetches a file of the mailbox into a local path.
    HRESULT Fetch(const QString& remote, const QString& local);

private:
    ComPtr<IQ5Connect> connect_;
    ComPtr<IQ5Table> table_;
    ComPtr<IQ5Util> util_;
    bool ok_ = false;
};

class MailboxTest : public ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    Peer& peer() { return *peer_; }

    std::unique_ptr<TestServer> server_;
    std::unique_ptr<Peer> peer_;
};

BStr Wide(const QString& text);

}  // namespace q5test
