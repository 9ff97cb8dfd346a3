/* Reads one field of a mailbox's BOX record and prints it, through the C
 * interface of the Q5Client library.
 *
 * Usage: q5-read-field-c HOST PORT MAILBOX PASSWORD [FIELD]
 * Prints FIELD=value (FIELD defaults to SCREEN); on a failure, the library's
 * message and the result code on standard error, exit status 1.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "q5client/q5client_c.h"

/* A BSTR of 8-bit text (ASCII expected for names and passwords here). */
static BSTR Widen(const char* text) {
    size_t n = strlen(text);
    BSTR out = SysAllocStringLen(NULL, (UINT)n);
    if (!out) return NULL;
    for (size_t i = 0; i < n; ++i) out[i] = (OLECHAR)(unsigned char)text[i];
    return out;
}

/* Writes UTF-16 text to a stream as UTF-8. */
static void PrintUtf8(FILE* out, const OLECHAR* text, UINT length) {
    for (UINT i = 0; i < length; ++i) {
        unsigned long c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            fputc((int)c, out);
        } else if (c < 0x800) {
            fputc((int)(0xC0 | (c >> 6)), out);
            fputc((int)(0x80 | (c & 0x3F)), out);
        } else if (c < 0x10000) {
            fputc((int)(0xE0 | (c >> 12)), out);
            fputc((int)(0x80 | ((c >> 6) & 0x3F)), out);
            fputc((int)(0x80 | (c & 0x3F)), out);
        } else {
            fputc((int)(0xF0 | (c >> 18)), out);
            fputc((int)(0x80 | ((c >> 12) & 0x3F)), out);
            fputc((int)(0x80 | ((c >> 6) & 0x3F)), out);
            fputc((int)(0x80 | (c & 0x3F)), out);
        }
    }
}

/* Prints what failed, with the error record the library left, if any. */
static int Fail(const char* what, HRESULT hr) {
    fprintf(stderr, "%s failed (0x%08lX)", what, (unsigned long)(uint32_t)hr);
    IErrorInfo* info = NULL;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR text = NULL;
        if (SUCCEEDED(info->lpVtbl->GetDescription(info, &text)) && text) {
            fputs(": ", stderr);
            PrintUtf8(stderr, text, SysStringLen(text));
        }
        SysFreeString(text);
        info->lpVtbl->Release(info);
    }
    fputc('\n', stderr);
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) {
        fprintf(stderr, "usage: %s HOST PORT MAILBOX PASSWORD [FIELD]\n", argv[0]);
        return 2;
    }
    const char* field_name = argc == 6 ? argv[5] : "SCREEN";

    IQ5Connect* connect = NULL;
    HRESULT hr =
        CoCreateInstance(&CLSID_CoQ5Client, NULL, CLSCTX_INPROC_SERVER, &IID_IQ5Connect, (void**)&connect);
    if (FAILED(hr)) return Fail("CoCreateInstance", hr);

    int status = 1;
    IQ5Table* table = NULL;
    BSTR host = Widen(argv[1]), user = Widen(argv[3]), password = Widen(argv[4]);
    BSTR box = Widen("BOX"), field = Widen(field_name), value = NULL;
    if (!host || !user || !password || !box || !field) {
        fputs("out of memory\n", stderr);
        goto done;
    }
    /* Timeouts are in seconds. */
    if (FAILED(hr = connect->lpVtbl->Connect(connect, host, atol(argv[2]), 10))) {
        Fail("Connect", hr);
        goto done;
    }
    if (FAILED(hr = connect->lpVtbl->Login(connect, user, password))) {
        Fail("Login", hr);
        goto done;
    }
    if (FAILED(hr = connect->lpVtbl->QueryInterface(connect, &IID_IQ5Table, (void**)&table))) {
        Fail("QueryInterface", hr);
        goto done;
    }
    if (FAILED(hr = table->lpVtbl->SetTable(table, box)) || FAILED(hr = table->lpVtbl->GetRecord(table))) {
        Fail("GetRecord", hr);
        goto done;
    }
    if (FAILED(hr = table->lpVtbl->get_GetField(table, field, &value))) {
        Fail("GetField", hr);
        goto done;
    }
    printf("%s=", field_name);
    PrintUtf8(stdout, value, SysStringLen(value));
    putchar('\n');
    status = 0;
    connect->lpVtbl->Quit(connect);

done:
    SysFreeString(value);
    SysFreeString(field);
    SysFreeString(box);
    SysFreeString(password);
    SysFreeString(user);
    SysFreeString(host);
    if (table) table->lpVtbl->Release(table);
    connect->lpVtbl->Release(connect);
    return status;
}
