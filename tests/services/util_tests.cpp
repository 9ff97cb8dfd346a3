// IQ5Util apart from the file transfers: remote file commands, server facts,
// keep-alive, V values, grammar tools and versions.
#include "services_fixture.h"

namespace q5test {
namespace {

using UtilTest = ServicesTest;

std::u16string Text(const BStr& text) {
    return std::u16string(text.View());
}

TEST_F(UtilTest, RemoteFileCommandsRaiseTheirOwnMessageByTheCodeRule) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("V2W 100 m1\r\n")
        .Send("+OK\r\n")
        .Expect("V2W 100 m1\r\n")
        .Send("-ERR\r\n")
        .Expect("W2V 100 m1\r\n")
        .Send("-ERR\r\n")
        .Expect("DELFILE 100 m1\r\n")
        .Send("-ERR\r\n")
        .Expect("RENFILE 100 m1 m2\r\n")
        .Send("-ERR\r\n")
        .Expect("DELFILE 100 m2\r\n")
        .CloseConnection();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->ConvertV2W(B(u"100").Get(), B(u"m1").Get()), S_OK);
    EXPECT_EQ(util_->ConvertV2W(B(u"100").Get(), B(u"m1").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"convert_v2w failed");
    EXPECT_EQ(util_->ConvertW2V(B(u"100").Get(), B(u"m1").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"convert_w2v failed");
    EXPECT_EQ(util_->DelFile(B(u"100").Get(), B(u"m1").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"DelFile failed");
    EXPECT_EQ(util_->RenFile(B(u"100").Get(), B(u"m1").Get(), B(u"m2").Get()), E_FAIL);
    ErrorRecord error = TakeErrorRecord();
    EXPECT_EQ(error.description, u"RenFile failed");
    EXPECT_EQ(error.source, u"Q5Client.CoQ5Client.1");
    EXPECT_EQ(util_->DelFile(B(u"100").Get(), B(u"m2").Get()), E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, u"DelFile failed");
    EXPECT_TRUE(peer.Finish().empty());
}

// ---- Server facts ----------------------------------------------------------------

TEST_F(UtilTest, ValuePropertiesKeepTheLineEndButGetAttrDropsIt) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("UPTIME\r\n")
        .Send("+OK abc\r\n")
        .Expect("GET_ATTR lines\r\n")
        .Send("+OK abc\r\n")
        .Expect("VLOAD\r\n")
        .Send("+OK 3\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    BStr value;
    EXPECT_EQ(util_->get_Uptime(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(value), u"abc\r\n");
    EXPECT_EQ(util_->GetAttr(B(u"lines").Get(), value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(value), u"abc");
    EXPECT_EQ(util_->get_VLoad(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(value), u"3\r\n");
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(UtilTest, ValuePropertiesNeverFailAndReturnEmptyTextWhenTheCommandDoes) {
    BStr value;
    EXPECT_EQ(util_->get_Uptime(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(value), u"");
    EXPECT_EQ(util_->get_Serial(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(value), u"");
    EXPECT_EQ(util_->GetAttr(B(u"x").Get(), value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(value), u"");
    EXPECT_FALSE(TakeErrorRecord().present);

    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("UPTIME\r\n")
        .Send("-ERR 17 days\r\n")
        .Expect("GET_ATTR x\r\n")
        .Send("-ERR nope\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->get_Uptime(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(value), u"");
    EXPECT_EQ(util_->GetAttr(B(u"x").Get(), nullptr), S_OK) << "a null output is simply not written";
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(UtilTest, ValuesAreCutTo255AndMultiLineValuesTo2047Characters) {
    const std::string long_line(400, 'u');
    std::string lines;
    for (int i = 0; i < 30; ++i)
        lines += std::string(98, static_cast<char>('A' + i % 26)) + "\r\n";  // 3000 bytes
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("UPTIME\r\n")
        .Send("+OK " + long_line + "\r\n")
        .Expect("SERIAL\r\n")
        .Send("+OK\r\nAB12\r\nCD34\r\n.\r\n")
        .Expect("VERSION\r\n")
        .Send("+OK\r\n" + lines + ".\r\n")
        .Expect("NOOP\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    BStr value;
    EXPECT_EQ(util_->get_Uptime(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(value.Length(), 255u);
    EXPECT_EQ(util_->get_Serial(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(value), u"AB12\r\nCD34\r\n");
    EXPECT_EQ(util_->get_Version(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(value.Length(), 2047u);
    EXPECT_EQ(Text(value).substr(0, 4), u"AAAA");
    // Every line of the long value was read: the next reply is NOOP's.
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

// ---- Keep-alive and V values -----------------------------------------------------

TEST_F(UtilTest, KeepAliveAcceptsAnyReplyAndFailsOnlyWithoutOne) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("NOOP\r\n")
        .Send("-ERR busy\r\n")
        .Expect("NOOP\r\n")
        .CloseConnection();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
    ErrorRecord error = TakeErrorRecord();
    EXPECT_EQ(error.description, u"Keepalive failed");
    EXPECT_EQ(error.source, u"Q5Client.CoQ5Client.1");
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(UtilTest, VValueRecordsTurnDotsIntoBlanksAndEndWithOneDot) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("SEND_Q5_EVENT 3\r\n")
        .Send("+OK\r\n")
        .Expect("20;1 5;  .")
        .Send("+OK\r\n")
        .Expect("SEND_Q5_EVENT 4\r\n")
        .Send("+OK\r\n")
        .Expect("20;v;x y .")
        .Send("-ERR\r\n")
        .Expect("SEND_Q5_EVENT 5\r\n")
        .Send("-ERR unknown\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->SetVValue(B(u"3").Get(), B(u"1.5").Get()), S_OK);
    EXPECT_EQ(util_->SetVXValue(B(u"4").Get(), B(u"v").Get(), B(u"x.y").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"Failed to set V-X value");
    EXPECT_EQ(util_->SetVValue(B(u"5").Get(), B(u"1").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"Failed to set V value");
    EXPECT_TRUE(peer.Finish().empty());
}

// ---- Grammar tools and versions ----------------------------------------------------

TEST_F(UtilTest, DirAssistGrammarSendsFirstLettersAndIgnoresTheServersAnswer) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GEN_DASSIST_BNF out.bnf S D 2\r\n")
        .Send("-ERR whatever\r\n")
        .Expect("NOOP\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->GenDirAssistBnf(B(u"out.bnf").Get(), B(u"Sales").Get(), B(u"Day").Get(), 2), S_OK);
    EXPECT_FALSE(TakeErrorRecord().present);
    // An empty choice has no letter to send: refused, nothing on the wire.
    EXPECT_EQ(util_->GenDirAssistBnf(B(u"out.bnf").Get(), B(u"").Get(), B(u"Day").Get(), 2), E_INVALIDARG);
    EXPECT_NE(TakeErrorRecord().description.find(u"department"), std::u16string::npos);
    EXPECT_EQ(util_->GenDirAssistBnf(B(u"out.bnf").Get(), B(u"S").Get(), nullptr, 2), E_INVALIDARG);
    EXPECT_NE(TakeErrorRecord().description.find(u"operating mode"), std::u16string::npos);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received().find('\0'), std::string::npos);
}

TEST_F(UtilTest, CompileGrammarFailsByCodeAndKeepsTheEarlierErrorRecord) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("CMP_GRAMMAR in.g out.g\r\n")
        .Send("+OK\r\n")
        .Expect("DELFILE 1 x\r\n")
        .Send("-ERR\r\n")
        .Expect("CMP_GRAMMAR in.g out.g\r\n")
        .Send("-ERR syntax\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->CompileGrammar(B(u"in.g").Get(), B(u"out.g").Get()), S_OK);
    EXPECT_EQ(util_->DelFile(B(u"1").Get(), B(u"x").Get()), E_FAIL);
    EXPECT_EQ(util_->CompileGrammar(B(u"in.g").Get(), B(u"out.g").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"DelFile failed");
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(UtilTest, GetVersionReportsTheLibraryAndTheGreetingsVersion) {
    LONG dll = 0, server = -1;
    EXPECT_EQ(util_->GetVersion(&dll, &server), S_OK);
    EXPECT_EQ(dll, 104);
    EXPECT_EQ(server, 0);
    EXPECT_EQ(util_->GetVersion(nullptr, &server), E_POINTER);
    EXPECT_EQ(util_->GetVersion(&dll, nullptr), E_POINTER);

    ScriptedPeer peer;
    peer.Accept().Send("+OK 417 Q5Server\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->GetVersion(&dll, &server), S_OK);
    EXPECT_EQ(server, 417);
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "") << "GetVersion sends nothing";
}

}  // namespace
}  // namespace q5test
