// GetFile2 / PutFile2 (and their sinkless forms) against a scripted server:
// the exact bytes on the wire, the local file, progress reports, the sink's
// reference while a transfer runs, and the state the session is left in.
#include "services_fixture.h"

namespace q5test {
namespace {

using Progress = std::vector<std::pair<LONG, LONG>>;

class FileTransferTest : public ServicesTest {
protected:
    HRESULT Download(const std::string& local, RecordingSink* sink = nullptr,
                     const char16_t* remote = u"greet.wav") {
        return util_->GetFile2(B(u"100").Get(), B(remote).Get(), Wide(local).Get(), sink);
    }
    HRESULT Upload(const std::string& local, RecordingSink* sink = nullptr) {
        return util_->PutFile2(B(u"100").Get(), B(u"greet.wav").Get(), Wide(local).Get(), sink);
    }
    void ExpectError(const char16_t* message) {
        ErrorRecord error = TakeErrorRecord();
        EXPECT_TRUE(error.present);
        EXPECT_EQ(error.description, message);
        EXPECT_EQ(error.source, u"Q5Client.CoQ5Client.1");
    }
};

// ---- Progress --------------------------------------------------------------------

TEST_F(FileTransferTest, DownloadReportsBeforeEachChunkAfterTheFirstAndNeverAtTheEnd) {
    const std::string data = Pattern(10000);
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 10000\r\n")
        .Send(data)
        .Send("+OK done\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    RecordingSink sink;
    const std::string local = LocalFile("greet.wav");
    EXPECT_EQ(Download(local, &sink), S_OK);
    EXPECT_EQ(sink.progress(), (Progress{{4095, 10000}, {8190, 10000}}));
    EXPECT_EQ(ReadFile(local), data);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FileTransferTest, UploadReportsLikeDownloadWithNoReportOfTheWholeFile) {
    const std::string data = Pattern(10000);
    const std::string local = LocalFile("up.wav");
    WriteFile(local, data);
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("PUTFILE 100 greet.wav 10000\r\n")
        .Send("+OK go\r\n")
        .Expect(data)
        .Send("+OK stored\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    RecordingSink sink;
    EXPECT_EQ(Upload(local, &sink), S_OK);
    EXPECT_EQ(sink.progress(), (Progress{{4095, 10000}, {8190, 10000}}));
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FileTransferTest, FileOfOneChunkOrLessGetsNoProgressReport) {
    const std::string small = Pattern(1000);
    const std::string exact = Pattern(4095);
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 1000\r\n" + small + "+OK\r\n")
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 4095\r\n" + exact + "+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    RecordingSink sink;
    EXPECT_EQ(Download(LocalFile("a"), &sink), S_OK);
    EXPECT_EQ(Download(LocalFile("b"), &sink), S_OK);
    EXPECT_TRUE(sink.calls().empty());
    EXPECT_EQ(ReadFile(LocalFile("b")), exact);
    EXPECT_TRUE(peer.Finish().empty());
}

// Larger than the library's I/O block: reports must still fall on every
// 4095-byte boundary, and the bytes must land in order.
TEST_F(FileTransferTest, MultiMegabyteTransfersReportEveryBoundaryAndKeepEveryByte) {
    const std::size_t size = 2 * 1024 * 1024 + 12345;
    const std::string data = Pattern(size);
    const std::string up = LocalFile("up.bin");
    WriteFile(up, data);
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK " + std::to_string(size) + "\r\n" + data + "+OK\r\n")
        .Expect("PUTFILE 100 greet.wav " + std::to_string(size) + "\r\n")
        .Send("+OK\r\n");
    // In pieces: the peer compares each step's bytes as they arrive.
    for (std::size_t at = 0; at < size; at += 65536) peer.Expect(data.substr(at, 65536));
    peer.Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    Progress expected;
    for (std::size_t at = 4095; at < size; at += 4095) {
        expected.emplace_back(static_cast<LONG>(at), static_cast<LONG>(size));
    }
    RecordingSink down_sink, up_sink;
    EXPECT_EQ(Download(LocalFile("down.bin"), &down_sink), S_OK);
    EXPECT_EQ(down_sink.progress(), expected);
    EXPECT_TRUE(ReadFile(LocalFile("down.bin")) == data);
    EXPECT_EQ(Upload(up, &up_sink), S_OK);
    EXPECT_EQ(up_sink.progress(), expected);
    EXPECT_TRUE(peer.Finish().empty());
}

// A large download without a sink reads in big blocks; the bytes that follow
// the file (its closing line, even the next command's reply) must stay for
// their own readers.
TEST_F(FileTransferTest, LargeDownloadTakesNoByteBeyondTheFile) {
    const std::size_t size = 1024 * 1024 + 777;
    const std::string data = Pattern(size);
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK " + std::to_string(size) + "\r\n" + data + "+OK\r\n+OK pong\r\n")
        .Expect("NOOP\r\n")
        .Expect("UPTIME\r\n")
        .Send("+OK 9 days\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    const std::string local = LocalFile("big.bin");
    EXPECT_EQ(util_->GetFile(B(u"100").Get(), B(u"greet.wav").Get(), Wide(local).Get()), S_OK);
    EXPECT_TRUE(ReadFile(local) == data);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    BStr uptime;
    EXPECT_EQ(util_->get_Uptime(uptime.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(std::u16string(uptime.View()), u"9 days\r\n");
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FileTransferTest, SinkIsHeldDuringTheTransferAndReleasedOnEveryExit) {
    const std::string data = Pattern(9000);
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 9000\r\n" + data + "+OK\r\n")
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 9000\r\n" + data + "-ERR checksum\r\n")
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 9000\r\n" + data.substr(0, 5000))
        .CloseConnection();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    RecordingSink sink;
    EXPECT_EQ(Download(LocalFile("a"), &sink), S_OK);
    EXPECT_EQ(sink.refs(), 1u);
    ASSERT_FALSE(sink.calls().empty());
    for (const auto& call : sink.calls()) EXPECT_GT(call.refs, 1u) << "progress reached an unheld sink";
    EXPECT_EQ(Download(LocalFile("b"), &sink), E_FILE_OPEN);
    EXPECT_EQ(sink.refs(), 1u);
    EXPECT_EQ(Download(LocalFile("c"), &sink), E_CONNECTION_LOST);
    EXPECT_EQ(sink.refs(), 1u);
    EXPECT_TRUE(peer.Finish().empty());
}

// ---- Download outcomes -----------------------------------------------------------

TEST_F(FileTransferTest, EmptyRemoteFileTruncatesTheLocalFileAndTheFinalLineDecides) {
    const std::string local = LocalFile("empty.wav");
    WriteFile(local, "old content");
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 0\r\n+OK\r\n")
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 0\r\n-ERR vanished\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    RecordingSink sink;
    EXPECT_EQ(Download(local, &sink), S_OK);
    EXPECT_TRUE(FileExists(local));
    EXPECT_EQ(ReadFile(local), "");
    EXPECT_TRUE(sink.calls().empty());
    EXPECT_EQ(Download(local, &sink), E_FILE_OPEN);
    ExpectError(u"Failed to open file");
    EXPECT_TRUE(peer.Finish().empty());
}

// The local file is opened before the server is asked, but its content goes
// only when the transfer starts: a refusal or a lost reply leaves an existing
// file as it was and makes no new one.
TEST_F(FileTransferTest, DownloadThatNeverStartsLeavesTheLocalFileAsItWas) {
    const std::string existing = LocalFile("refused.wav");
    WriteFile(existing, "old content");
    const std::string missing = LocalFile("never.wav");
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("-ERR no such file\r\n")
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("-ERR no such file\r\n")
        .Expect("NOOP\r\n")
        .Send("+OK\r\n")
        .Expect("GETFILE 100 greet.wav\r\n")
        .CloseConnection();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->GetFile(B(u"100").Get(), B(u"greet.wav").Get(), Wide(existing).Get()), E_FILE_OPEN);
    ExpectError(u"Failed to open file");
    EXPECT_EQ(ReadFile(existing), "old content");
    EXPECT_EQ(Download(missing), E_FILE_OPEN);
    EXPECT_FALSE(FileExists(missing));
    EXPECT_EQ(util_->KeepAlive(), S_OK) << "a refusal leaves the session usable";
    EXPECT_EQ(Download(existing), E_CONNECTION_LOST);
    ExpectError(u"Connection Lost");
    EXPECT_EQ(ReadFile(existing), "old content");
    EXPECT_TRUE(peer.Finish().empty());
}

// A positive reply whose size cannot be used may still be followed by the
// file and its closing line. Nothing can be read for such a size, so the
// session is closed rather than left to take those bytes as the replies of
// later calls.
TEST_F(FileTransferTest, UnusableSizeClosesTheSessionInsteadOfLeavingItOutOfStep) {
    const std::string local = LocalFile("x");
    const std::string command = "GETFILE 100 greet.wav\r\n";
    const char* replies[] = {"+OK\r\n", "+OK -5\r\n", "+OK 10abc\r\n", "+OK 99999999999\r\n"};
    ScriptedPeer peer;
    for (const char* reply : replies) {
        peer.Accept()
            .Send(kGreeting)
            .Expect(command)
            .Send(std::string(reply) + "0123456789+OK\r\n")
            .ExpectClosed();
    }
    peer.Start();
    for (const char* reply : replies) {
        SCOPED_TRACE(reply);
        WriteFile(local, "old content");
        ASSERT_EQ(ConnectTo(peer), S_OK);
        EXPECT_EQ(Download(local), E_FILE_OPEN);
        ExpectError(u"Failed to open file");
        EXPECT_EQ(ReadFile(local), "old content");
        EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
    }
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), command + command + command + command);
}

TEST_F(FileTransferTest, DroppedConnectionKeepsExactlyTheBytesReceivedAndClosesTheSession) {
    const std::string data = Pattern(10000);
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 10000\r\n" + data.substr(0, 6000))
        .CloseConnection();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    const std::string local = LocalFile("partial.wav");
    EXPECT_EQ(Download(local), E_CONNECTION_LOST);
    ExpectError(u"Connection Lost");
    EXPECT_EQ(ReadFile(local), data.substr(0, 6000));
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
    EXPECT_EQ(peer.Received(), "GETFILE 100 greet.wav\r\n");
}

TEST_F(FileTransferTest, LocalWriteFailureIsConnectionLostAndClosesTheSession) {
    const std::string data = Pattern(10000);
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 10000\r\n" + data + "+OK\r\n")
        .ExpectClosed();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(Download("/dev/full"), E_CONNECTION_LOST);
    ExpectError(u"Connection Lost");
    EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FileTransferTest, DownloadWithoutSessionOrLocalFileSendsNothing) {
    const std::string local = LocalFile("never.wav");
    EXPECT_EQ(Download(local), E_FILE_OPEN);
    ExpectError(u"Failed to open file");
    EXPECT_FALSE(FileExists(local));

    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("NOOP\r\n").Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(Download(LocalFile("no/such/folder/x.wav")), E_FILE_OPEN);
    ExpectError(u"Failed to open file");
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "NOOP\r\n");
}

TEST_F(FileTransferTest, RemoteNameWithLineBreakIsRefusedAndLeavesTheLocalFileAlone) {
    const std::string local = LocalFile("keep.wav");
    WriteFile(local, "precious");
    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("NOOP\r\n").Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(Download(local, nullptr, u"x\r\nDELFILE 100 y"), E_INVALIDARG);
    EXPECT_TRUE(TakeErrorRecord().present);
    EXPECT_EQ(ReadFile(local), "precious");
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "NOOP\r\n");
}

// ---- Upload outcomes -------------------------------------------------------------

TEST_F(FileTransferTest, UploadOfMissingLocalFileSendsNothing) {
    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("NOOP\r\n").Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->PutFile(B(u"100").Get(), B(u"greet.wav").Get(), Wide(LocalFile("missing")).Get()),
              E_FILE_OPEN);
    ExpectError(u"Failed to open file");
    EXPECT_EQ(Upload(folder_), E_FILE_OPEN) << "a folder has no length to announce";
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "NOOP\r\n");
}

TEST_F(FileTransferTest, UploadWhoseFinalLineIsNotPlusIsConnectionLostAndClosesTheSession) {
    const std::string local = LocalFile("up.wav");
    WriteFile(local, "abc");
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("PUTFILE 100 greet.wav 3\r\n")
        .Send("+OK\r\n")
        .Expect("abc")
        .Send("-ERR disk full\r\n")
        .ExpectClosed();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    RecordingSink sink;
    EXPECT_EQ(Upload(local, &sink), E_CONNECTION_LOST);
    ExpectError(u"Connection Lost");
    EXPECT_EQ(sink.refs(), 1u);
    EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FileTransferTest, RefusedUploadIsFailedToOpenFileAndSendsNoData) {
    const std::string local = LocalFile("up.wav");
    WriteFile(local, "abc");
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("PUTFILE 100 greet.wav 3\r\n")
        .Send("-ERR quota\r\n")
        .Expect("NOOP\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(Upload(local), E_FILE_OPEN);
    ExpectError(u"Failed to open file");
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FileTransferTest, EmptyUploadSendsOnlyTheCommandAndReadsTheFinalLine) {
    const std::string local = LocalFile("empty.wav");
    WriteFile(local, "");
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("PUTFILE 100 greet.wav 0\r\n")
        .Send("+OK\r\n")
        .Send("+OK stored\r\n")
        .Expect("NOOP\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(Upload(local), S_OK);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FileTransferTest, UploadOnClosedSessionIsFailedToOpenFile) {
    const std::string local = LocalFile("up.wav");
    WriteFile(local, "abc");
    EXPECT_EQ(Upload(local), E_FILE_OPEN);
    ExpectError(u"Failed to open file");
}

}  // namespace
}  // namespace q5test
