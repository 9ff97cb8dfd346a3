// File transfer and voice conversions of the library against q5sim.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "e2e_fixture.h"
#include "sink.h"

namespace q5test {
namespace {

class FileTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        session_ = LogIn(u"101", u"1234");
        ASSERT_TRUE(session_);
        util_ = Query<IQ5Util>(session_.Get(), IID_IQ5Util);
        ASSERT_TRUE(util_);
    }
    void TearDown() override {
        util_.Reset();
        session_.Reset();
        E2eTest::TearDown();
    }
    std::string Local(const std::string& name) const { return dir_ + "/" + name; }

    ComPtr<IQ5Connect> session_;
    ComPtr<IQ5Util> util_;
};

struct Wav {
    bool valid = false;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

// Reads a PCM WAV file's format and 16-bit samples.
Wav ParseWav(const std::string& bytes) {
    Wav wav;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return wav;
    std::size_t at = 12;
    bool have_format = false;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        const std::uint32_t size = Le32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            wav.channels = static_cast<unsigned char>(bytes[body + 2]) |
                           static_cast<unsigned char>(bytes[body + 3]) << 8;
            wav.rate = static_cast<int>(Le32(bytes, body + 4));
            wav.bits = static_cast<unsigned char>(bytes[body + 14]) |
                       static_cast<unsigned char>(bytes[body + 15]) << 8;
            have_format = true;
        } else if (id == "data" && have_format) {
            const std::size_t n = std::min<std::size_t>(size, bytes.size() - body) / 2;
            wav.samples.resize(n);
            std::memcpy(wav.samples.data(), bytes.data() + body, n * 2);
            wav.valid = true;
            return wav;
        }
        at = body + size + (size & 1);
    }
    return wav;
}

// A 8 kHz 16-bit mono WAV file holding a tone.
std::string MakeWav(double seconds, double frequency) {
    const auto count = static_cast<std::uint32_t>(seconds * 8000);
    std::string data;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto v =
            static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265358979 * frequency * i / 8000.0));
        data += static_cast<char>(v & 0xFF);
        data += static_cast<char>((v >> 8) & 0xFF);
    }
    auto le = [](std::uint32_t v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
        return out;
    };
    return "RIFF" + le(36 + static_cast<std::uint32_t>(data.size()), 4) + "WAVE" + "fmt " + le(16, 4) +
           le(1, 2) + le(1, 2) + le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2) + "data" +
           le(static_cast<std::uint32_t>(data.size()), 4) + data;
}

double Rms(const std::vector<std::int16_t>& samples) {
    double sum = 0;
    for (const std::int16_t s : samples) sum += static_cast<double>(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

TEST_F(FileTest, TenMiBRoundTripArrivesWholeWithProgressReports) {
    std::string bytes(10 * 1024 * 1024, '\0');
    std::mt19937 random(7);
    for (char& c : bytes) c = static_cast<char>(random());
    WriteFile(Local("big.bin"), bytes);

    auto* up = new ProgressSink;
    ASSERT_EQ(util_->PutFile2(W(u"101").Get(), W(u"big.bin").Get(), W(Local("big.bin")).Get(), up), S_OK);
    EXPECT_EQ(ReadFile(MailboxFile("101", "big.bin")), bytes);
    auto* down = new ProgressSink;
    ASSERT_EQ(util_->GetFile2(W(u"101").Get(), W(u"big.bin").Get(), W(Local("copy.bin")).Get(), down), S_OK);
    EXPECT_EQ(ReadFile(Local("copy.bin")), bytes);

    for (ProgressSink* sink : {up, down}) {
        const auto reports = sink->progress();
        ASSERT_GT(reports.size(), 2000u);  // about one per 4095-byte chunk
        LONG last = 0;
        for (const auto& [moved, total] : reports) {
            EXPECT_EQ(total, static_cast<LONG>(bytes.size()));
            EXPECT_GT(moved, last);
            last = moved;
        }
        EXPECT_LT(last, static_cast<LONG>(bytes.size()));
        EXPECT_EQ(sink->refs(), 1u) << "the library released the sink";
        sink->Release();
    }
    // The session is still usable after the transfers.
    EXPECT_EQ(util_->KeepAlive(), S_OK);
}

TEST_F(FileTest, FilesOutsideTheMailboxAreRefusedAndDeleteIsIdempotent) {
    WriteFile(Local("x.bin"), "data");
    EXPECT_EQ(util_->PutFile(W(u"101").Get(), W(u"../x.bin").Get(), W(Local("x.bin")).Get()), E_FILE_OPEN);
    EXPECT_EQ(util_->PutFile(W(u"102").Get(), W(u"x.bin").Get(), W(Local("x.bin")).Get()), E_FILE_OPEN);
    EXPECT_EQ(util_->GetFile(W(u"101").Get(), W(u"../../data/q5sim.db").Get(), W(Local("db")).Get()),
              E_FILE_OPEN);
    EXPECT_EQ(util_->GetFile(W(u"101").Get(), W(u"missing.wav").Get(), W(Local("m")).Get()), E_FILE_OPEN);
    EXPECT_EQ(util_->DelFile(W(u"101").Get(), W(u"missing.wav").Get()), S_OK);
    EXPECT_EQ(util_->RenFile(W(u"101").Get(), W(u"missing.wav").Get(), W(u"b").Get()), E_FAIL);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
}

TEST_F(FileTest, GreetingSurvivesTheTransmitAndGetSequencesOfEveryNaming) {
    const std::string tone = MakeWav(1.5, 440);
    const Wav original = ParseWav(tone);
    ASSERT_TRUE(original.valid);

    // Spanish "Busy" greeting: the server keeps it as "greet4.spa".
    WriteFile(Local("greet4.spa.wav"), tone);
    ASSERT_EQ(
        util_->PutFile2(W(u"101").Get(), W(u"greet4.spa").Get(), W(Local("greet4.spa.wav")).Get(), nullptr),
        S_OK);
    ASSERT_EQ(util_->ConvertW2V(W(u"101").Get(), W(u"greet4.spa.wav").Get()), S_OK);
    ASSERT_EQ(util_->RenFile(W(u"101").Get(), W(u"greet4.spa.vox").Get(), W(u"greet4.spa").Get()), S_OK);
    ASSERT_EQ(util_->DelFile(W(u"101").Get(), W(u"greet4.spa.wav").Get()), S_OK);
    const std::string vox = ReadFile(MailboxFile("101", "greet4.spa"));
    EXPECT_NEAR(static_cast<double>(vox.size()), original.samples.size() / 2.0, 2.0)
        << "4-bit ADPCM at 8 kHz";

    ASSERT_EQ(util_->ConvertV2W(W(u"101").Get(), W(u"greet4.spa").Get()), S_OK);
    ASSERT_EQ(util_->GetFile2(W(u"101").Get(), W(u"greet4.wav").Get(), W(Local("back.wav")).Get(), nullptr),
              S_OK);
    ASSERT_EQ(util_->DelFile(W(u"101").Get(), W(u"greet4.wav").Get()), S_OK);
    const Wav back = ParseWav(ReadFile(Local("back.wav")));
    ASSERT_TRUE(back.valid);
    EXPECT_EQ(back.channels, 1);
    EXPECT_EQ(back.rate, 8000);
    EXPECT_EQ(back.bits, 16);
    EXPECT_NEAR(static_cast<double>(back.samples.size()), static_cast<double>(original.samples.size()), 4.0);
    EXPECT_NEAR(Rms(back.samples), Rms(original.samples), Rms(original.samples) * 0.2);

    // English temporary greeting: "greetT.wav" becomes "greetT.vox" and back.
    WriteFile(Local("greetT.eng.wav"), tone);
    ASSERT_EQ(util_->PutFile(W(u"101").Get(), W(u"greetT.wav").Get(), W(Local("greetT.eng.wav")).Get()),
              S_OK);
    ASSERT_EQ(util_->ConvertW2V(W(u"101").Get(), W(u"greetT.wav").Get()), S_OK);
    ASSERT_EQ(util_->DelFile(W(u"101").Get(), W(u"greetT.wav").Get()), S_OK);
    ASSERT_EQ(util_->ConvertV2W(W(u"101").Get(), W(u"greetT.vox").Get()), S_OK);
    ASSERT_EQ(util_->GetFile(W(u"101").Get(), W(u"greetT.wav").Get(), W(Local("t.wav")).Get()), S_OK);
    EXPECT_TRUE(ParseWav(ReadFile(Local("t.wav"))).valid);

    // The recorded name.
    ASSERT_EQ(util_->ConvertV2W(W(u"101").Get(), W(u"Name.vox").Get()), S_OK);
    ASSERT_EQ(util_->GetFile(W(u"101").Get(), W(u"Name.wav").Get(), W(Local("Name.wav")).Get()), S_OK);
    EXPECT_GT(ParseWav(ReadFile(Local("Name.wav"))).samples.size(), 4000u);

    // A greeting the server does not have.
    EXPECT_EQ(util_->ConvertV2W(W(u"101").Get(), W(u"greetH.vox").Get()), E_FAIL);
    // Something that is no sound file.
    WriteFile(Local("junk.wav"), "not a sound file at all");
    ASSERT_EQ(util_->PutFile(W(u"101").Get(), W(u"junk.wav").Get(), W(Local("junk.wav")).Get()), S_OK);
    EXPECT_EQ(util_->ConvertW2V(W(u"101").Get(), W(u"junk.wav").Get()), E_FAIL);
}

TEST_F(FileTest, ServerFactsAreThere) {
    BStr text;
    ASSERT_EQ(util_->get_Uptime(text.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_NE(std::u16string(text.View()).find(u"days"), std::u16string::npos);
    ASSERT_EQ(util_->get_Serial(text.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(std::u16string(text.View()), u"Q5SIM-0000-0001\r\n");
    ASSERT_EQ(util_->GetAttr(W(u"CHANNELS").Get(), text.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(std::u16string(text.View()), u"8");
    LONG library = 0, server = 0;
    ASSERT_EQ(util_->GetVersion(&library, &server), S_OK);
    EXPECT_EQ(server, 5);
}

}  // namespace
}  // namespace q5test
