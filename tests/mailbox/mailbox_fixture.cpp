#include "mailbox_fixture.h"


namespace q5test {

BStr Wide(const QString& text) {
    return BStr(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<UINT>(text.size()));
}

Peer::Peer(int port, const QString& user, const QString& password) {
    ComPtr<IUnknown> session;
    if (FAILED(
            CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, session.AsOut())))
        return;
    if (FAILED(session.As(IID_IQ5Connect, connect_)) || FAILED(session.As(IID_IQ5Table, table_)) ||
        FAILED(session.As(IID_IQ5Util, util_)))
        return;
    ok_ = SUCCEEDED(connect_->Connect(Wide(QStringLiteral("127.0.0.1")).Get(), port, 10)) &&
          SUCCEEDED(connect_->Login(Wide(user).Get(), Wide(password).Get()));
}

QString Peer::Get(const QString& table, const QString& field) {
    EXPECT_EQ(table_->SetTable(Wide(table).Get()), S_OK);
    EXPECT_EQ(table_->GetRecord(), S_OK) << table.toStdString();
    BStr value;
    EXPECT_EQ(table_->get_GetField(Wide(field).Get(), value.ReleaseAndGetAddressOf()), S_OK)
        << field.toStdString();
    const std::u16string_view view = value.View();
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

void Peer::Put(const QString& table, const std::map<QString, QString>& values) {
    ASSERT_EQ(table_->SetTable(Wide(table).Get()), S_OK);
    ASSERT_EQ(table_->GetRecord(), S_OK) << table.toStdString();
    for (const auto& [field, value] : values)
        ASSERT_EQ(table_->SetField(Wide(field).Get(), Wide(value).Get()), S_OK) << field.toStdString();
    ASSERT_EQ(table_->PutRecord(), S_OK) << table.toStdString();
}

HRESULT Peer::Fetch(const QString& remote, const QString& local) {
    return util_->GetFile(Wide(QStringLiteral("101")).Get(), Wide(remote).Get(), Wide(local).Get());
}

void MailboxTest::SetUp() {
    ProgramTest::SetUp();
    if (HasFatalFailure()) return;
    server_ = StartDemoServer();
    if (!dynamic_cast<Q5Sim*>(server_.get())) GTEST_SKIP() << "the mailbox windows need q5sim";
    ASSERT_EQ(LogInSession(server_->port(), QStringLiteral("101"), QStringLiteral("1234")), S_OK);
    session().setFieldsChanged(false);
    session().setNameScreening(false);
    peer_ = std::make_unique<Peer>(server_->port(), QStringLiteral("101"), QStringLiteral("1234"));
    ASSERT_TRUE(peer_->ok());
}

void MailboxTest::TearDown() {
    peer_.reset();
    ProgramTest::TearDown();
    if (server_) server_->Stop();
    server_.reset();
}

}  // namespace q5test
