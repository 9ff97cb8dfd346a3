// Reads one field of a mailbox's BOX record and prints it, through the C++
// interfaces of the Q5Client library.
//
// Usage: q5-read-field-cpp HOST PORT MAILBOX PASSWORD [FIELD]
// Prints FIELD=value (FIELD defaults to SCREEN); on a failure, the library's
// message and the result code on standard error, exit status 1.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "q5client/q5client.h"

namespace {

// A BSTR of 8-bit text (ASCII expected for names and passwords here).
BStr Widen(std::string_view text) {
    std::u16string wide(text.begin(), text.end());
    return BStr(wide.data(), static_cast<UINT>(wide.size()));
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Prints what failed, with the error record the library left, if any.
int Fail(const char* what, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    std::cerr << what << " failed (" << code << ")";
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) == S_OK && info) {
        BStr text;
        if (SUCCEEDED(info->GetDescription(text.ReleaseAndGetAddressOf())))
            std::cerr << ": " << Utf8(text.View());
    }
    std::cerr << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) {
        std::cerr << "usage: " << argv[0] << " HOST PORT MAILBOX PASSWORD [FIELD]\n";
        return 2;
    }
    const std::string field_name = argc == 6 ? argv[5] : "SCREEN";

    ComPtr<IQ5Connect> session;
    HRESULT hr =
        CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect, session.AsOut());
    if (FAILED(hr)) return Fail("CoCreateInstance", hr);
    // Timeouts are in seconds.
    if (FAILED(hr = session->Connect(Widen(argv[1]).Get(), std::atol(argv[2]), 10)))
        return Fail("Connect", hr);
    if (FAILED(hr = session->Login(Widen(argv[3]).Get(), Widen(argv[4]).Get()))) return Fail("Login", hr);

    // The same object, seen through its table interface.
    ComPtr<IQ5Table> table = session.As<IQ5Table>();
    if (!table) return Fail("QueryInterface", E_NOINTERFACE);
    if (FAILED(hr = table->SetTable(Widen("BOX").Get())) || FAILED(hr = table->GetRecord()))
        return Fail("GetRecord", hr);
    BStr value;  // the library allocates it; BStr frees it
    if (FAILED(hr = table->get_GetField(Widen(field_name).Get(), value.ReleaseAndGetAddressOf())))
        return Fail("GetField", hr);
    std::cout << field_name << "=" << Utf8(value.View()) << "\n";
    session->Quit();
    return 0;
}
