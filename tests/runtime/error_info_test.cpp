// Error records and the per-thread current record.
#include <gtest/gtest.h>
#include <q5client/com.h>

#include <atomic>
#include <thread>

namespace {

// A record of the caller's own making that counts its references, to check
// that the runtime takes and gives back exactly what it should.
class CountingRecord final : public IErrorInfo {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IErrorInfo) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetGUID(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSource(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD*) override { return E_NOTIMPL; }

    std::atomic<ULONG> refs{1};
};

ComPtr<IErrorInfo> TakeRecord(HRESULT* hr = nullptr) {
    ComPtr<IErrorInfo> info;
    const HRESULT got = GetErrorInfo(0, info.ReleaseAndGetAddressOf());
    if (hr) *hr = got;
    return info;
}

TEST(ErrorInfo, FieldsReadBackAsFreshCopiesAndUnsetOnesAsNull) {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.ReleaseAndGetAddressOf()), S_OK);
    const GUID iid{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    char16_t description[] = u"Connect Failed";
    char16_t source[] = u"Q5Client.CoQ5Client.1";
    EXPECT_EQ(create->SetGUID(iid), S_OK);
    EXPECT_EQ(create->SetDescription(description), S_OK);
    EXPECT_EQ(create->SetSource(source), S_OK);
    description[0] = u'X';  // the record holds its own copy

    ComPtr<IErrorInfo> info;
    ASSERT_EQ(create.As(IID_IErrorInfo, info), S_OK);
    GUID gotIid{};
    EXPECT_EQ(info->GetGUID(&gotIid), S_OK);
    EXPECT_EQ(gotIid, iid);

    BStr first;
    BStr second;
    ASSERT_EQ(info->GetDescription(first.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(info->GetDescription(second.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(first.View(), u"Connect Failed");
    EXPECT_NE(first.Get(), second.Get()) << "each call hands out a new string";
    BStr src;
    ASSERT_EQ(info->GetSource(src.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(src.View(), u"Q5Client.CoQ5Client.1");

    BStr helpFile(u"stale");
    ASSERT_EQ(info->GetHelpFile(helpFile.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(helpFile.Get(), nullptr);
    DWORD context = 99;
    EXPECT_EQ(info->GetHelpContext(&context), S_OK);
    EXPECT_EQ(context, 0u);
    EXPECT_EQ(info->GetDescription(nullptr), E_POINTER);
}

TEST(ErrorInfo, BothViewsShareOneIdentity) {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(create.As(IID_IErrorInfo, info), S_OK);
    ComPtr<ICreateErrorInfo> back;
    ASSERT_EQ(info.As(IID_ICreateErrorInfo, back), S_OK);
    EXPECT_EQ(back.Get(), create.Get());

    ComPtr<IUnknown> fromCreate;
    ComPtr<IUnknown> fromInfo;
    ASSERT_EQ(create.As(IID_IUnknown, fromCreate), S_OK);
    ASSERT_EQ(info.As(IID_IUnknown, fromInfo), S_OK);
    EXPECT_EQ(fromCreate.Get(), fromInfo.Get());

    ComPtr<ISupportErrorInfo> none;
    EXPECT_EQ(info.As(IID_ISupportErrorInfo, none), E_NOINTERFACE);
    EXPECT_FALSE(none);
}

TEST(ErrorInfo, RecordBelongsToTheThreadThatSetItAndIsTakenOnce) {
    CountingRecord record;
    ASSERT_EQ(SetErrorInfo(0, &record), S_OK);

    HRESULT otherHr = E_FAIL;
    bool otherSawRecord = true;
    std::thread other([&] { otherSawRecord = static_cast<bool>(TakeRecord(&otherHr)); });
    other.join();
    EXPECT_EQ(otherHr, S_FALSE);
    EXPECT_FALSE(otherSawRecord);

    HRESULT hr = E_FAIL;
    ComPtr<IErrorInfo> taken = TakeRecord(&hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(taken.Get(), &record);
    TakeRecord(&hr);
    EXPECT_EQ(hr, S_FALSE) << "taking the record clears it";
}

TEST(ErrorInfo, ReferencesBalanceAcrossSetReplaceClearAndTake) {
    CountingRecord a;
    CountingRecord b;
    ASSERT_EQ(SetErrorInfo(0, &a), S_OK);
    EXPECT_EQ(a.refs, 2u);
    ASSERT_EQ(SetErrorInfo(0, &a), S_OK);
    EXPECT_EQ(a.refs, 2u) << "setting the same record again";
    ASSERT_EQ(SetErrorInfo(0, &b), S_OK);
    EXPECT_EQ(a.refs, 1u) << "the replaced record is released";
    EXPECT_EQ(b.refs, 2u);
    ASSERT_EQ(SetErrorInfo(0, nullptr), S_OK);
    EXPECT_EQ(b.refs, 1u) << "a null record clears";

    ASSERT_EQ(SetErrorInfo(0, &a), S_OK);
    IErrorInfo* raw = nullptr;
    ASSERT_EQ(GetErrorInfo(0, &raw), S_OK);
    EXPECT_EQ(a.refs, 2u) << "the thread's reference passes to the caller";
    raw->Release();
    EXPECT_EQ(a.refs, 1u);

    EXPECT_EQ(SetErrorInfo(1, &a), E_INVALIDARG) << "reserved must be zero";
    EXPECT_EQ(a.refs, 1u);
    EXPECT_EQ(GetErrorInfo(0, nullptr), E_POINTER);
}

TEST(ErrorInfo, RecordLeftOnAnEndingThreadIsReleased) {
    CountingRecord record;
    std::thread([&] { SetErrorInfo(0, &record); }).join();
    EXPECT_EQ(record.refs, 1u);

    // The runtime's own records are freed the same way; LeakSanitizer builds
    // catch it if not.
    std::thread([] {
        ComPtr<ICreateErrorInfo> create;
        ComPtr<IErrorInfo> info;
        if (CreateErrorInfo(create.ReleaseAndGetAddressOf()) == S_OK &&
            create.As(IID_IErrorInfo, info) == S_OK) {
            SetErrorInfo(0, info.Get());
        }
    }).join();
}

}  // namespace
