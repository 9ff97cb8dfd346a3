// A program of someone else's, built out of tree against an installed
// Q5Client: it creates CoQ5Client through the runtime, connects and logs in.
// Usage: q5consumer HOST PORT MAILBOX PASSWORD
// Prints "logged in" and exits 0, or prints the failing step and exits 1.
#include <q5client/q5client.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::u16string Wide(const char* text) {
    std::u16string out;
    for (const char* c = text; *c; ++c) out += static_cast<char16_t>(static_cast<unsigned char>(*c));
    return out;
}

int Fail(const char* step, HRESULT hr) {
    std::string description;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BStr text;
        if (SUCCEEDED(info->GetDescription(text.ReleaseAndGetAddressOf())))
            for (char16_t c : text.View())
                description += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
        info->Release();
    }
    std::printf("%s failed: 0x%08X %s\n", step, static_cast<unsigned>(hr), description.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: q5consumer HOST PORT MAILBOX PASSWORD\n", stderr);
        return 2;
    }
    ComPtr<IQ5Connect> session;
    HRESULT hr =
        CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect, session.AsOut());
    if (FAILED(hr)) return Fail("CoCreateInstance", hr);
    BStr host(Wide(argv[1]).c_str()), user(Wide(argv[3]).c_str()), password(Wide(argv[4]).c_str());
    hr = session->Connect(host.Get(), std::atoi(argv[2]), 0);
    if (FAILED(hr)) return Fail("Connect", hr);
    hr = session->Login(user.Get(), password.Get());
    if (FAILED(hr)) return Fail("Login", hr);
    std::puts("logged in");
    session->Quit();
    return 0;
}
