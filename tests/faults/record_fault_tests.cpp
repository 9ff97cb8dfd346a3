// Faults in the record transfers of table "BOX": GET (the reply and every
// byte of the record stream), PUT and ADD (their two reply lines).
#include "fault_fixture.h"

namespace q5test {
namespace {

struct Field {
    const char16_t* name;
    std::string value;
};

// The unprivileged form of a "BOX" row in transfer order, with a mailbox's
// real values (some empty, as the server sends them).
std::vector<Field> BoxRow() {
    return {
        {u"EXT1", "101"},
        {u"EXT2", ""},
        {u"EXT3", ""},
        {u"COPY_TO", ""},
        {u"DELAY", "0"},
        {u"DELAY_DAYS", "30"},
        {u"DELAY_MSGS", "100"},
        {u"PASS", "1234"},
        {u"LAST_N", "Ramirez"},
        {u"FIRST_N", "Alice"},
        {u"GUEST_PASSWORD", ""},
        {u"MWI", "Y"},
        {u"SCREEN", "V"},
        {u"PA_PAGING", "N"},
        {u"WAKEUP_MODE", "N"},
        {u"WAKE_UP_WEEK_NUM", "2125550142"},
        {u"WAKEUP_WEEK_ON", "Y"},
        {u"WAKE_UP_WEEK_HOUR", "0700"},
        {u"WAKEUP_WEEKEND_ON", "N"},
        {u"WAKE_UP_WEEKEND_NUM", ""},
        {u"WAKE_UP_WEEKEND_HOUR", "0900"},
        {u"GREET", "1"},
        {u"TRANS_CALL", "Y"},
        {u"MWI_OPTIONAL", "N"},
        {u"MWI_OPTIONAL_TYPE", "0"},
        {u"NAME_REC", "Y"},
        {u"GREET_REC", "Y"},
        {u"CALL_OUT_ACTIVE", "N"},
        {u"CALL_OUT_NUMBER", "9,5551234"},
        {u"CALL_SCHEDUALE", "1111100"},
        {u"FAX_DID", ""},
        {u"SAVE_TRANSFER_FLAG", "N"},
        {u"RESERVED3", ""},
        {u"SPELL_BY_LAST_NAME", "RAM"},
        {u"SPELL_BY_FIRST_NAME", "ALI"},
        {u"FIRST_TIME_ENTERED", "N"},
        {u"MWI_ON", "N"},
        {u"DEP_OVER", ""},
        {u"CON_TBL_1", "101"},
        {u"CON_TBL_2", "102"},
        {u"CON_TBL_3", ""},
        {u"CON_TBL_4", ""},
        {u"CON_TBL_5", ""},
        {u"CON_TBL_6", ""},
        {u"CON_TBL_7", ""},
        {u"CON_TBL_8", ""},
        {u"CON_TBL_9", ""},
        {u"CON_TBL_0", "0"},
        {u"CALL_STATUS", "I"},
        {u"CALL_LINK", ""},
        {u"COPY_TO_DELAY", "0"},
        {u"TE_MM_TIMER", "4"},
        {u"CR_TIMER", "6"},
        {u"COPY_TO_TYPE", "A"},
        {u"AUTO_CALL_RECORD", "N"},
        {u"BOX_LANG", "ENG"},
        {u"SPEC_MWI", "N"},
        {u"SPEC_MWI_ON", ""},
        {u"SPEC_MWI_OFF", ""},
    };
}

// Each value as one string of the record stream; every value here is
// shorter than 255 bytes, so its length is one byte.
std::string Encode(const std::vector<Field>& row, std::vector<std::size_t>* starts = nullptr) {
    std::string bytes;
    for (const Field& field : row) {
        if (starts) starts->push_back(bytes.size());
        bytes.push_back(static_cast<char>(field.value.size()));
        bytes += field.value;
    }
    return bytes;
}

std::u16string OldValue(std::size_t i) {
    return U16("old" + std::to_string(i));
}

class RecordFaults : public FaultSweep {
protected:
    void SetAll(const std::vector<Field>& row, bool old) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::u16string value = old ? OldValue(i) : U16(row[i].value);
            ASSERT_EQ(table_->SetField(B(row[i].name).Get(), BStr(value.c_str()).Get()), S_OK);
        }
    }
    // GET of a row with every fault of the sweep: a failed GET leaves every
    // field as it was.
    void BrokenGet();
    std::vector<std::u16string> Values(const std::vector<Field>& row) {
        std::vector<std::u16string> values;
        for (const Field& field : row) {
            BStr value;
            EXPECT_EQ(table_->get_GetField(B(field.name).Get(), value.ReleaseAndGetAddressOf()), S_OK);
            values.emplace_back(value.View());
        }
        return values;
    }
};

void RecordFaults::BrokenGet() {
    const std::vector<Field> row = BoxRow();
    std::vector<std::size_t> starts;
    const std::string record = Encode(row, &starts);
    const std::string reply = "+OK\r\n";
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("GET BOX\r\n");
    const std::size_t reply_at = exchange.server_size();
    exchange.Send(reply);
    const std::size_t record_at = exchange.server_size();
    exchange.Send(record);
    ASSERT_EQ(table_->SetTable(B(u"BOX").Get()), S_OK);

    std::vector<std::u16string> old_values, sent_values;
    for (std::size_t i = 0; i < row.size(); ++i) {
        old_values.push_back(OldValue(i));
        sent_values.push_back(U16(row[i].value));
    }

    Sweep("GET record", exchange, reply_at, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        SetAll(row, true);
        const HRESULT hr = table_->GetRecord();
        const std::u16string message = hr == S_OK ? u"" : TakeMessage();
        const std::vector<std::u16string> values = Values(row);
        if (hr != S_OK) {
            EXPECT_EQ(values, old_values) << "a failed GET changed the record";
        }

        if (fault.kind == FaultKind::none) {
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(values, sent_values);
            return;
        }
        const bool in_reply = fault.offset < record_at;
        const std::size_t at = in_reply ? fault.offset - reply_at : fault.offset - record_at;
        if (fault.kind != FaultKind::corrupt) {
            EXPECT_EQ(hr, E_CONNECTION_LOST);
            // A lost reply line is reported as the part of it that arrived.
            if (in_reply) {
                EXPECT_EQ(message, U16(reply.substr(0, at)));
            }
            if (!in_reply) {
                EXPECT_FALSE(message.empty());
            }
            EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
            return;
        }
        if (in_reply) {
            if (at == 0 && fault.value == '-') {
                EXPECT_EQ(hr, E_FAIL);
                EXPECT_EQ(message, u"-OK\r\n");
            } else if (fault.value != '\n' && at + 1 < reply.size()) {
                EXPECT_EQ(hr, S_OK);
                EXPECT_EQ(values, sent_values);
            } else {
                // The line ends early or runs into the record: the record is
                // read from the wrong place, and anything may come of it.
                EXPECT_TRUE(hr == S_OK || hr == E_CONNECTION_LOST) << std::hex << hr;
            }
            return;
        }
        // Inside the record: the field that holds the byte, and whether the
        // byte is its length.
        std::size_t field = 0;
        while (field + 1 < starts.size() && starts[field + 1] <= at) ++field;
        const bool in_length = at == starts[field];
        if (!in_length) {
            // A changed character changes that one field and nothing else.
            ASSERT_EQ(hr, S_OK);
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (i == field) {
                    EXPECT_EQ(values[i].size(), sent_values[i].size()) << "field " << i;
                } else {
                    EXPECT_EQ(values[i], sent_values[i]) << "field " << i;
                }
            }
            return;
        }
        // A changed length: the fields before it are whole; from it on the
        // stream is read out of step, or ends too early.
        ASSERT_TRUE(hr == S_OK || hr == E_CONNECTION_LOST) << std::hex << hr;
        if (hr == S_OK) {
            for (std::size_t i = 0; i < field; ++i) {
                EXPECT_EQ(values[i], sent_values[i]) << "field " << i;
            }
        } else {
            EXPECT_FALSE(message.empty());
        }
    });
}

TEST_F(RecordFaults, BrokenGetFailsAndLeavesEveryFieldAsItWas) {
    BrokenGet();
}

// The same through TLS, cut at every offset: a cut inside a TLS record is a
// lost connection like a cut of plain TCP.
TEST_F(RecordFaults, BrokenGetOverTlsCutAnywhereIsConnectionLost) {
    UseTls(FaultKind::cut);
    if (HasFatalFailure()) return;
    BrokenGet();
}

// PUT then ADD of the same record: each sends the record after its first
// reply and is decided by its second; a lost connection fails the rest.
TEST_F(RecordFaults, BrokenPutOrAddReplyFailsThatTransferAndEveryLaterOneWhenLost) {
    std::vector<Field> row = BoxRow();
    // A field set by name is never empty (an empty value is stored as one blank).
    for (Field& field : row) {
        if (field.value.empty()) field.value = " ";
    }
    const std::string record = Encode(row);
    struct Reply {
        std::string bytes;
        std::size_t at = 0;
    };
    std::vector<Reply> replies = {
        {"+OK send it\r\n"}, {"+OK stored\r\n"}, {"+OK send the new row\r\n"}, {"+OK added\r\n"}};
    Exchange exchange;
    exchange.Send(kFaultGreeting).Expect("PUT BOX\r\n");
    replies[0].at = exchange.server_size();
    exchange.Send(replies[0].bytes).Expect(record);
    replies[1].at = exchange.server_size();
    exchange.Send(replies[1].bytes).Expect("ADD BOX\r\n");
    replies[2].at = exchange.server_size();
    exchange.Send(replies[2].bytes).Expect(record);
    replies[3].at = exchange.server_size();
    exchange.Send(replies[3].bytes);
    ASSERT_EQ(table_->SetTable(B(u"BOX").Get()), S_OK);
    SetAll(row, false);

    Sweep("PUT and ADD record", exchange, replies[0].at, [&](const Fault& fault) {
        ASSERT_EQ(Connect(), S_OK);
        bool lost = false;
        bool out_of_step = false;
        for (int transfer = 0; transfer < 2; ++transfer) {
            const HRESULT hr = transfer == 0 ? table_->PutRecord() : table_->AddRecord();
            const std::u16string message = hr == S_OK ? u"" : TakeMessage();
            if (out_of_step) {
                EXPECT_TRUE(hr == S_OK || hr == E_FAIL || hr == E_CONNECTION_LOST) << std::hex << hr;
                continue;
            }
            if (lost) {
                EXPECT_EQ(hr, E_CONNECTION_LOST) << "transfer " << transfer;
                continue;
            }
            Verdict verdict = Verdict::ok;
            std::string line;  // the reply line the fault is in
            std::size_t at = 0;
            for (int r = 2 * transfer; r < 2 * transfer + 2; ++r) {
                const Reply& reply = replies[r];
                if (!fault.hits(reply.at, reply.at + reply.bytes.size())) continue;
                at = fault.offset - reply.at;
                line = reply.bytes;
                if (fault.kind == FaultKind::corrupt) {
                    verdict = LineVerdict(at, line.size(), fault.value);
                    line[at] = fault.value;
                    // A line that ends early leaves its rest as the next reply.
                    if (fault.value == '\n' && at + 1 < line.size()) out_of_step = true;
                    // A refused PUT sends no record, which the server waits for.
                    if (verdict == Verdict::refused && r % 2 == 0) out_of_step = true;
                } else {
                    verdict = Verdict::lost;
                }
            }
            EXPECT_EQ(hr, CodeOf(verdict)) << "transfer " << transfer;
            if (verdict == Verdict::refused) {
                EXPECT_EQ(message, U16(line));
            }
            if (verdict == Verdict::lost && fault.kind != FaultKind::corrupt) {
                // The part of the reply line that arrived.
                EXPECT_EQ(message, U16(line.substr(0, at)));
            }
            if (verdict == Verdict::lost) lost = true;
        }
    });
}

}  // namespace
}  // namespace q5test
