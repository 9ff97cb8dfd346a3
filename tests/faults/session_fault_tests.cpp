// Faults in the greeting, the login, one-line commands, a multi-line value
// and the fax job list.
#include "fault_fixture.h"

namespace q5test {
namespace {

std::string Narrow(std::u16string_view wide) {
    std::string text;
    for (char16_t c : wide) text.push_back(static_cast<char>(c));
    return text;
}

bool LostOrStalled(const Fault& fault) {
    return fault.kind == FaultKind::cut || fault.kind == FaultKind::stall;
}

TEST_F(FaultSweep, BrokenGreetingFailsConnectAndLeavesTheObjectReadyForTheNext) {
    const std::string greeting = kFaultGreeting;
    Exchange exchange;
    exchange.Send(greeting);
    Sweep("greeting", exchange, 0, [&](const Fault& fault) {
        const HRESULT hr = Connect();
        if (LostOrStalled(fault)) {
            EXPECT_EQ(hr, E_CONNECTION_LOST);
            EXPECT_EQ(TakeMessage(), u"Connect Failed");
            EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
            return;
        }
        Verdict verdict = Verdict::ok;
        if (fault.kind == FaultKind::corrupt)
            verdict = LineVerdict(fault.offset, greeting.size(), fault.value, false);
        ASSERT_EQ(hr, CodeOf(verdict));
        if (hr != S_OK) {
            EXPECT_EQ(TakeMessage(), u"Connect Failed");
            return;
        }
        LONG dll = 0, server = -1;
        ASSERT_EQ(util_->GetVersion(&dll, &server), S_OK);
        // "+OK 47 ...": the version is whole while its digits and all before
        // them arrived as sent.
        if (fault.kind == FaultKind::none || fault.offset > 5) {
            EXPECT_EQ(server, 47);
        }
    });
}

TEST_F(FaultSweep, BrokenLoginReplyFailsLoginWithTheLoginMessage) {
    const std::string user_reply = "+OK send password\r\n";
    const std::string pass_reply = "+OK mailbox 101 ready\r\n";
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("USER 101\r\n");
    const std::size_t user_at = exchange.server_size();
    exchange.Send(user_reply).Expect("PASS 1234\r\n");
    const std::size_t pass_at = exchange.server_size();
    exchange.Send(pass_reply);

    Sweep("login", exchange, user_at, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        const HRESULT hr = connect_->Login(B(u"101").Get(), B(u"1234").Get());
        HRESULT expected = S_OK;
        if (LostOrStalled(fault)) {
            expected = E_CONNECTION_LOST;
        } else if (fault.kind == FaultKind::corrupt) {
            // The reply to USER is not examined; the one to PASS decides.
            expected =
                fault.offset < pass_at
                    ? CodeOf(LineVerdict(fault.offset - user_at, user_reply.size(), fault.value, false))
                    : CodeOf(LineVerdict(fault.offset - pass_at, pass_reply.size(), fault.value));
        }
        EXPECT_EQ(hr, expected);
        if (hr != S_OK) {
            EXPECT_EQ(TakeMessage(), u"Unknown username or password");
        }
        if (hr == E_CONNECTION_LOST) {
            EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
        }
    });
}

// NOOP, an administration command and a value command in a row: a fault in
// one reply decides that command, and a lost connection fails the rest at
// once without sending them.
TEST_F(FaultSweep, BrokenOneLineReplyFailsItsCommandAndEveryLaterOneWhenLost) {
    struct Call {
        std::string reply;
        bool status_rule;
        std::size_t at = 0;
    };
    std::vector<Call> calls = {
        {"+OK\r\n", false}, {"+OK mailbox added\r\n", true}, {"+OK 3 days 4 hours\r\n", true}};
    const std::vector<std::string> commands = {"NOOP\r\n", "MAILBOX ADD 105\r\n", "UPTIME\r\n"};
    Exchange exchange;
    exchange.Send(kFaultGreeting);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        exchange.Expect(commands[i]);
        calls[i].at = exchange.server_size();
        exchange.Send(calls[i].reply);
    }
    const std::size_t first = calls[0].at;

    Sweep("one-line commands", exchange, first, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        bool lost = false;     // an earlier reply was lost: later commands fail at once
        bool shifted = false;  // an earlier reply ended early: later replies are out of step
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const Call& call = calls[i];
            const std::size_t end = call.at + call.reply.size();
            HRESULT expected = S_OK;
            Verdict verdict = Verdict::ok;
            if (lost) {
                verdict = Verdict::lost;
            } else if (fault.hits(call.at, end)) {
                verdict = fault.kind == FaultKind::corrupt
                              ? LineVerdict(fault.offset - call.at, call.reply.size(), fault.value,
                                            call.status_rule)
                              : Verdict::lost;
            }
            expected = CodeOf(verdict);
            BStr value;
            HRESULT hr = S_OK;
            std::u16string message;
            if (i == 0) {
                hr = util_->KeepAlive();
            } else if (i == 1) {
                hr = admin_->AddMailbox(B(u"105").Get());
            } else {
                hr = util_->get_Uptime(value.ReleaseAndGetAddressOf());
                expected = S_OK;  // a value command never fails; it gives empty text
            }
            if (hr != S_OK) message = TakeMessage();
            if (shifted) {
                EXPECT_TRUE(hr == S_OK || hr == E_FAIL || hr == E_CONNECTION_LOST) << "call " << i;
            } else {
                EXPECT_EQ(hr, expected) << "call " << i;
                if (hr != S_OK) {
                    EXPECT_EQ(message, i == 0 ? u"Keepalive failed" : u"Failed to Add mailbox");
                }
                if (i == 2) {
                    const std::string got = Narrow(value.View());
                    if (verdict != Verdict::ok) {
                        EXPECT_EQ(got, "");
                    } else if (!fault.hits(call.at, end)) {
                        EXPECT_EQ(got, "3 days 4 hours\r\n");
                    } else {
                        // Whatever part of the corrupted reply the line held.
                        const std::string sent =
                            exchange.CorruptedBytes(fault).substr(call.at + 4, call.reply.size() - 4);
                        EXPECT_EQ(sent.substr(0, got.size()), got);
                    }
                }
            }
            if (verdict == Verdict::lost) lost = true;
            if (fault.kind == FaultKind::corrupt && fault.hits(call.at, end) && fault.value == '\n' &&
                fault.offset + 1 < end) {
                shifted = true;
            }
        }
    });
}

// The client's reading of a multi-line value from the server's bytes: the
// status line, then lines up to one that starts with '.'; a line holds its
// text up to a NUL. Empty when the status line refuses or the '.' line
// never comes.
std::string MultiLineValue(std::string_view bytes) {
    std::string rest;
    const std::vector<std::string> lines = Lines(bytes, &rest);
    if (lines.empty() || lines[0][0] == '-') return "";
    std::string value;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i][0] == '.') return value;
        value += UpToNul(lines[i]);
    }
    return "";
}

TEST_F(FaultSweep, BrokenMultiLineValueGivesEmptyTextAndNeverAPartialValue) {
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("SERIAL\r\n");
    const std::size_t first = exchange.server_size();
    exchange.Send("+OK serial follows\r\n").Send("AB12\r\n").Send("CD34\r\n").Send(".\r\n");

    Sweep("multi-line value", exchange, first, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        BStr value;
        ASSERT_EQ(util_->get_Serial(value.ReleaseAndGetAddressOf()), S_OK);
        const std::string got = Narrow(value.View());
        if (fault.kind == FaultKind::none) {
            EXPECT_EQ(got, "AB12\r\nCD34\r\n");
        } else if (LostOrStalled(fault)) {
            EXPECT_EQ(got, "");
            EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
        } else {
            EXPECT_EQ(got, MultiLineValue(exchange.CorruptedBytes(fault).substr(first)));
        }
    });
}

TEST_F(FaultSweep, BrokenFaxJobListFailsWithoutTouchingTheSize) {
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("ENUMFAXJOBS 101\r\n");
    const std::size_t first = exchange.server_size();
    exchange.Send("12\r\n").Send("15\r\n").Send("+OK 2 jobs\r\n");

    Sweep("fax job list", exchange, first, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        constexpr int kCapacity = 10;
        std::vector<int> jobs(kCapacity, -1);
        int size = kCapacity;
        const HRESULT hr = fax_->EnumFaxJobs(B(u"101").Get(), jobs.data(), &size);
        // The fax methods leave no error record, whatever happens.
        EXPECT_FALSE(TakeErrorRecord().present);

        // The list as the client reads it: numbers of lines until one starts
        // with '+' or '-'; lost when that line never comes.
        std::string rest;
        const std::vector<std::string> lines = Lines(exchange.CorruptedBytes(fault).substr(first), &rest);
        std::vector<int> expected_jobs;
        bool closed = false;
        bool refused = false;
        if (!LostOrStalled(fault)) {
            for (const std::string& line : lines) {
                expected_jobs.push_back(static_cast<int>(LeadingNumber(UpToNul(line))));
                if (line[0] == '+' || line[0] == '-') {
                    closed = true;
                    refused = line[0] == '-';
                    break;
                }
            }
        }
        if (!closed) {
            EXPECT_EQ(hr, E_CONNECTION_LOST);
            EXPECT_EQ(size, kCapacity);
            return;
        }
        EXPECT_EQ(hr, refused ? E_FAIL : S_OK);
        ASSERT_EQ(size, static_cast<int>(expected_jobs.size()));
        EXPECT_EQ(std::vector<int>(jobs.begin(), jobs.begin() + size), expected_jobs);
        if (fault.kind == FaultKind::none) {
            EXPECT_EQ(expected_jobs, (std::vector<int>{12, 15, 0}));
        }
    });
}

}  // namespace
}  // namespace q5test
