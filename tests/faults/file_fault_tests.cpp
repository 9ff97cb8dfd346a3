// Faults in the file transfers (GETFILE, PUTFILE of a 300-byte file) and in
// SEND_Q5_EVENT, whose event record goes out between two replies.
#include <limits>
#include <optional>

#include "fault_fixture.h"

namespace q5test {
namespace {

bool LostOrStalled(const Fault& fault) {
    return fault.kind == FaultKind::cut || fault.kind == FaultKind::stall;
}

// The size word of a download's first reply: the second blank-separated
// word, ended by a blank or the line end; plain digits within 32 bits only.
std::optional<std::size_t> SizeWord(const std::string& line) {
    std::size_t start = line.find(' ');
    if (start == std::string::npos) return std::nullopt;
    start = line.find_first_not_of(' ', start);
    if (start == std::string::npos) return std::nullopt;
    const std::size_t end = line.find_first_of(" \r\n", start);
    const std::string word = line.substr(start, end == std::string::npos ? end : end - start);
    if (word.empty() || word.size() > 10) return std::nullopt;
    std::size_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    if (value > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;
    return value;
}

struct Download {
    HRESULT code = S_OK;
    std::optional<std::string> file;  // nullopt: the local file as it was
    bool session_closed = false;      // besides by a lost connection
};

// What a download makes of the server's bytes: the first line decides
// whether it starts and how many bytes follow; those bytes are the file, as
// many of them as arrived; the line after them decides the result. A
// download that never starts leaves the local file alone; one agreed with an
// unusable size also closes the session.
Download ExpectedDownload(const std::string& bytes) {
    std::string rest;
    const std::vector<std::string> lines = Lines(bytes, &rest);
    if (lines.empty()) return {E_CONNECTION_LOST, std::nullopt};
    const std::string& first = lines[0];
    if (first[0] == '-') return {E_FILE_OPEN, std::nullopt};
    const std::optional<std::size_t> size = SizeWord(UpToNul(first));
    if (!size) return {E_FILE_OPEN, std::nullopt, true};
    const std::string after = bytes.substr(first.size());
    if (after.size() < *size) return {E_CONNECTION_LOST, after};
    const std::string file = after.substr(0, *size);
    const std::vector<std::string> tail = Lines(after.substr(*size));
    if (tail.empty()) return {E_CONNECTION_LOST, file};
    return {tail[0][0] == '-' ? E_FILE_OPEN : S_OK, file};
}

class FileFaults : public FaultSweep {
protected:
    void BrokenDownload();
};

TEST_F(FileFaults, BrokenDownloadKeepsExactlyTheBytesReceivedAndReportsTheDocumentedCode) {
    BrokenDownload();
}

// The same through TLS, stalled at every offset: the read timeout ends the
// wait inside TLS as it does on plain TCP.
TEST_F(FileFaults, BrokenDownloadOverTlsStalledAnywhereIsConnectionLost) {
    UseTls(FaultKind::stall);
    if (HasFatalFailure()) return;
    BrokenDownload();
}

void FileFaults::BrokenDownload() {
    const std::string data = Pattern(300);
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("GETFILE 101 greet1.wav\r\n");
    const std::size_t first = exchange.server_size();
    exchange.Send("+OK 300\r\n");
    const std::size_t data_at = exchange.server_size();
    exchange.Send(data);
    const std::size_t final_at = exchange.server_size();
    exchange.Send("+OK done\r\n");
    const std::string local = LocalFile("greet1.wav");
    const std::string previous = "the previous content of the local file";

    Sweep("GETFILE", exchange, first, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        WriteFile(local, previous);
        const HRESULT hr = util_->GetFile(B(u"101").Get(), B(u"greet1.wav").Get(), Wide(local).Get());
        const std::u16string message = hr == S_OK ? u"" : TakeMessage();
        const std::string file = ReadFile(local);
        if (LostOrStalled(fault)) {
            EXPECT_EQ(hr, E_CONNECTION_LOST);
            EXPECT_EQ(message, u"Connection Lost");
            // Untouched until the first reply is complete; truncated when the
            // transfer began, then every data byte that arrived.
            if (fault.offset < data_at) {
                EXPECT_EQ(file, previous);
            } else {
                EXPECT_EQ(file, data.substr(0, std::min(fault.offset, final_at) - data_at));
            }
            EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
            return;
        }
        const Download expected = ExpectedDownload(exchange.CorruptedBytes(fault).substr(first));
        EXPECT_EQ(hr, expected.code);
        EXPECT_EQ(file, expected.file.value_or(previous));
        if (hr == E_FILE_OPEN) {
            EXPECT_EQ(message, u"Failed to open file");
        }
        if (expected.session_closed) {
            EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
        }
        if (hr == E_CONNECTION_LOST) {
            EXPECT_EQ(message, u"Connection Lost");
        }
        if (fault.kind == FaultKind::none) {
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(file, data);
        }
    });
}

// A download with a sink moves its data in chunks of 4095 bytes and
// reports before each chunk after the first; a connection lost on either
// side of a chunk boundary keeps exactly the bytes that arrived and reports
// only what had moved.
TEST_F(FaultSweep, DownloadLostAtAChunkBoundaryKeepsTheBytesAndReportsOnlyWhatMoved) {
    constexpr std::size_t kSize = 9000;
    constexpr std::size_t kChunk = 4095;
    const std::string data = Pattern(kSize);
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("GETFILE 101 long.wav\r\n").Send("+OK 9000\r\n");
    const std::size_t data_at = exchange.server_size();
    exchange.Send(data).Send("+OK done\r\n");
    const std::string local = LocalFile("long.wav");
    const std::size_t descriptors = OpenDescriptors();
    for (FaultKind kind : {FaultKind::cut, FaultKind::stall}) {
        for (std::size_t moved : {std::size_t{1}, kChunk - 1, kChunk, kChunk + 1, 2 * kChunk - 1, 2 * kChunk,
                                  2 * kChunk + 1, kSize - 1}) {
            const Fault fault{kind, data_at + moved, 0};
            SCOPED_TRACE(Describe(fault));
            RecordingSink sink;
            peer_.Start(exchange, fault);
            ASSERT_EQ(Connect(), S_OK);
            EXPECT_EQ(util_->GetFile2(B(u"101").Get(), B(u"long.wav").Get(), Wide(local).Get(), &sink),
                      E_CONNECTION_LOST);
            EXPECT_EQ(TakeMessage(), u"Connection Lost");
            EXPECT_EQ(ReadFile(local), data.substr(0, moved));
            std::vector<std::pair<LONG, LONG>> reports;
            for (std::size_t at = kChunk; at <= moved; at += kChunk) {
                reports.emplace_back(static_cast<LONG>(at), static_cast<LONG>(kSize));
            }
            EXPECT_EQ(sink.progress(), reports);
            EXPECT_EQ(sink.refs(), 1u);
            connect_->Close();
            const PeerReport report = peer_.Finish();
            EXPECT_EQ(report.received, exchange.ClientBytesBefore(fault.offset));
            EXPECT_TRUE(report.client_closed);
        }
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

// Through TLS one record may carry a file's last bytes and the closing line
// together (here the whole reply is one write, cut into records of 16 KiB):
// the direct reads into the file take only the bytes still owed, however
// many records they span, and leave the line for the reply's reader.
TEST_F(FaultSweep, TlsDownloadWhoseLastRecordAlsoCarriesTheClosingLineEndsWell) {
    UseTls(FaultKind::none);
    if (HasFatalFailure()) return;
    const std::string local = LocalFile("straddle.wav");
    for (std::size_t size : {std::size_t{40000}, std::size_t{100000}}) {
        SCOPED_TRACE(size);
        const std::string data = Pattern(size);
        Exchange exchange;
        exchange.Send(kFaultGreeting)
            .Expect("GETFILE 101 straddle.wav\r\n")
            .Send("+OK " + std::to_string(size) + "\r\n" + data + "+OK done\r\n")
            .Expect("NOOP\r\n")
            .Send("+OK\r\n");
        peer_.Start(exchange, Fault{});
        ASSERT_EQ(Connect(), S_OK);
        EXPECT_EQ(util_->GetFile(B(u"101").Get(), B(u"straddle.wav").Get(), Wide(local).Get()), S_OK);
        EXPECT_EQ(ReadFile(local), data);
        EXPECT_EQ(util_->KeepAlive(), S_OK) << "the session is still in step";
        connect_->Close();
        const PeerReport report = peer_.Finish();
        EXPECT_TRUE(report.deviation.empty()) << report.deviation;
    }
}

TEST_F(FaultSweep, BrokenUploadReplyIsConnectionLostUnlessTheServerRefusedTheStart) {
    const std::string data = Pattern(300);
    const std::string go = "+OK go ahead\r\n";
    const std::string stored = "+OK stored\r\n";
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("PUTFILE 101 greet2.wav 300\r\n");
    const std::size_t go_at = exchange.server_size();
    exchange.Send(go).Expect(data);
    const std::size_t stored_at = exchange.server_size();
    exchange.Send(stored);
    const std::string local = LocalFile("greet2.wav");
    WriteFile(local, data);

    Sweep("PUTFILE", exchange, go_at, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        const HRESULT hr = util_->PutFile(B(u"101").Get(), B(u"greet2.wav").Get(), Wide(local).Get());
        const std::u16string message = hr == S_OK ? u"" : TakeMessage();
        HRESULT expected = S_OK;
        if (LostOrStalled(fault)) {
            expected = E_CONNECTION_LOST;
        } else if (fault.hits(go_at, stored_at)) {
            const std::size_t at = fault.offset - go_at;
            const Verdict verdict = LineVerdict(at, go.size(), fault.value);
            if (verdict == Verdict::refused) {
                expected = E_FILE_OPEN;
            } else if (verdict == Verdict::lost) {
                expected = E_CONNECTION_LOST;
            } else if (fault.value == '\n' && at + 1 < go.size()) {
                // The rest of the line is read as the final line, which must
                // start with '+'.
                expected = go[at + 1] == '+' ? S_OK : E_CONNECTION_LOST;
            }
        } else if (fault.kind == FaultKind::corrupt) {
            const std::size_t at = fault.offset - stored_at;
            const bool plus = at != 0 || fault.value == '+';
            expected = plus && LineVerdict(at, stored.size(), fault.value, false) == Verdict::ok
                           ? S_OK
                           : E_CONNECTION_LOST;
        }
        EXPECT_EQ(hr, expected);
        if (hr == E_FILE_OPEN) {
            EXPECT_EQ(message, u"Failed to open file");
        }
        if (hr == E_CONNECTION_LOST) {
            EXPECT_EQ(message, u"Connection Lost");
            EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
        }
    });
}

TEST_F(FaultSweep, BrokenEventInjectionReplyFailsSetVXValue) {
    const std::string accept = "+OK send event\r\n";
    const std::string queued = "+OK event queued\r\n";
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("SEND_Q5_EVENT 7\r\n");
    const std::size_t accept_at = exchange.server_size();
    exchange.Send(accept).Expect("20;1 5;x .");
    const std::size_t queued_at = exchange.server_size();
    exchange.Send(queued);

    Sweep("SEND_Q5_EVENT", exchange, accept_at, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        const HRESULT hr = util_->SetVXValue(B(u"7").Get(), B(u"1.5").Get(), B(u"x").Get());
        HRESULT expected = S_OK;
        if (LostOrStalled(fault)) {
            expected = E_CONNECTION_LOST;
        } else if (fault.kind == FaultKind::corrupt) {
            const bool first = fault.offset < queued_at;
            const std::string& line = first ? accept : queued;
            const std::size_t at = fault.offset - (first ? accept_at : queued_at);
            // A first line that ends early leaves its rest as the second,
            // which starts with no '-' here.
            expected = CodeOf(LineVerdict(at, line.size(), fault.value));
        }
        EXPECT_EQ(hr, expected);
        if (hr != S_OK) {
            EXPECT_EQ(TakeMessage(), u"Failed to set V-X value");
        }
        if (hr == E_CONNECTION_LOST) {
            EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
        }
    });
}

}  // namespace
}  // namespace q5test
