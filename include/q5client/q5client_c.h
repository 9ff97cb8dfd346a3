/* The Q5Client type library and the component runtime for C callers.
 *
 * The interfaces appear as C structs whose first member points at a table
 * of function pointers (the vtable) with the methods in the exact slot order
 * of the C++ interfaces in q5client.h; each function takes the interface
 * pointer itself as its first argument:
 *
 *     IQ5Table* table = ...;
 *     table->lpVtbl->SetTable(table, name);
 *
 * Every method, its arguments, units, string ownership and result codes are
 * described in q5client.h and com.h; the behaviour is the same from C.
 * Strings are BSTRs of UTF-16 text: make them with SysAllocString, free what
 * a method returns with SysFreeString.
 *
 * Works as C11 and as C++; a translation unit includes either this header or
 * q5client.h (and com.h), never both.
 *
 * Thread rule: as q5client.h: call a CoQ5Client or CoEvents object only from
 * the thread that created it, except IQ5CallCancel, which any thread may
 * call; ISupportEvents sinks are called from the library's worker threads.
 */
#ifndef Q5CLIENT_Q5CLIENT_C_H
#define Q5CLIENT_Q5CLIENT_C_H

#if defined(__cplusplus) && defined(Q5COM_API)
#error "q5client_c.h and q5client.h (or com.h) cannot be included in one translation unit"
#endif

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Types ------------------------------------------------------------- */

typedef int32_t HRESULT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int32_t BOOL;
#ifdef __cplusplus
typedef char16_t OLECHAR;
#else
typedef uint_least16_t OLECHAR; /* the type of u"" literals in C11 */
#endif
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* BSTR;

typedef struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;

/* ---- Result codes -------------------------------------------------------- */

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define E_POINTER ((HRESULT)0x80004003u)
#define E_FAIL ((HRESULT)0x80004005u)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFu)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110u)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111u)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154u)
/* Library-specific. */
#define E_FILE_OPEN ((HRESULT)0x80040001u)
#define E_CONNECTION_LOST ((HRESULT)0x80040010u)

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define CLSCTX_INPROC_SERVER 0x1u

/* ---- Identities ------------------------------------------------------------ */

static const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID IID_IErrorInfo = {
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
static const IID IID_ICreateErrorInfo = {
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
static const IID IID_ISupportErrorInfo = {
    0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

static const GUID LIBID_Q5CLIENTLib = {
    0xA5189176, 0x63C4, 0x41CA, {0xAB, 0xA2, 0x0D, 0xB8, 0xE1, 0xF7, 0x4C, 0x23}};
static const CLSID CLSID_CoQ5Client = {
    0x434F6442, 0x422E, 0x4164, {0xB2, 0x6A, 0x0B, 0x96, 0x6C, 0xB8, 0x01, 0x81}};
static const CLSID CLSID_CoEvents = {
    0x6388416A, 0xC875, 0x4BDC, {0x85, 0x95, 0xBC, 0x9F, 0xFC, 0x0A, 0xF5, 0x1D}};
static const IID IID_IQ5Connect = {
    0x21BA292F, 0xD606, 0x43E0, {0xA4, 0x3A, 0x7B, 0x9A, 0x9F, 0xE3, 0x6B, 0x16}};
static const IID IID_IQ5Table = {
    0xD2940487, 0xE0C4, 0x4125, {0xAB, 0x4D, 0x40, 0x00, 0x9D, 0xFC, 0x6C, 0x84}};
static const IID IID_IQ5Admin = {
    0x6FC6D09F, 0xCA80, 0x45A4, {0x82, 0xE7, 0xA6, 0xD3, 0x43, 0x66, 0x58, 0xCA}};
static const IID IID_IQ5Util = {0x5041FD37, 0x999B, 0x4B98, {0xA0, 0xE7, 0x8B, 0xE2, 0x52, 0x3D, 0xA8, 0xED}};
static const IID IID_IQ5FaxServer = {
    0x882CBE3A, 0xD238, 0x45EE, {0xA0, 0x9C, 0x94, 0xFD, 0x59, 0x1C, 0xB2, 0x26}};
static const IID IID_IQ5CallCancel = {
    0xEA1E8BA3, 0x7465, 0x49F2, {0xB1, 0xCE, 0xDB, 0xE8, 0x74, 0xC6, 0xBC, 0xA6}};
static const IID IID_ICoEvents = {
    0xF8D096BC, 0xD241, 0x434E, {0xB6, 0x8A, 0x94, 0xC9, 0xD3, 0x01, 0x47, 0xAC}};
static const IID IID_ISupportEvents = {
    0x9FFE8E3A, 0xB1C7, 0x4624, {0x93, 0x26, 0xDD, 0x43, 0x76, 0x52, 0xF2, 0xC3}};

#define Q5_PROGID_COQ5CLIENT u"Q5Client.CoQ5Client.1"
#define Q5_PROGID_COEVENTS u"Q5Client.CoEvents.1"

/* The most Q5 events a log without a sink keeps for GetQ5Event. */
#define Q5_EVENT_QUEUE_LIMIT 100000L

static inline int IsEqualGUID(const GUID* a, const GUID* b) {
    return a->Data1 == b->Data1 && a->Data2 == b->Data2 && a->Data3 == b->Data3 &&
           a->Data4[0] == b->Data4[0] && a->Data4[1] == b->Data4[1] && a->Data4[2] == b->Data4[2] &&
           a->Data4[3] == b->Data4[3] && a->Data4[4] == b->Data4[4] && a->Data4[5] == b->Data4[5] &&
           a->Data4[6] == b->Data4[6] && a->Data4[7] == b->Data4[7];
}

/* ---- Interfaces ------------------------------------------------------------ */

typedef struct IUnknown IUnknown;
typedef struct IClassFactory IClassFactory;
typedef struct IErrorInfo IErrorInfo;
typedef struct ICreateErrorInfo ICreateErrorInfo;
typedef struct ISupportErrorInfo ISupportErrorInfo;
typedef struct ISupportEvents ISupportEvents;
typedef struct IQ5Connect IQ5Connect;
typedef struct IQ5Table IQ5Table;
typedef struct IQ5Admin IQ5Admin;
typedef struct IQ5Util IQ5Util;
typedef struct IQ5FaxServer IQ5FaxServer;
typedef struct IQ5CallCancel IQ5CallCancel;
typedef struct ICoEvents ICoEvents;

/* The three slots every interface starts with. */
#define Q5_IUNKNOWN_METHODS(I)                                        \
    HRESULT (*QueryInterface)(I * This, const IID* riid, void** ppv); \
    ULONG (*AddRef)(I * This);                                        \
    ULONG (*Release)(I * This);

typedef struct IUnknownVtbl {
    Q5_IUNKNOWN_METHODS(IUnknown)
} IUnknownVtbl;
struct IUnknown {
    const IUnknownVtbl* lpVtbl;
};

typedef struct IClassFactoryVtbl {
    Q5_IUNKNOWN_METHODS(IClassFactory)
    HRESULT (*CreateInstance)(IClassFactory* This, IUnknown* outer, const IID* riid, void** ppv);
    HRESULT (*LockServer)(IClassFactory* This, BOOL lock);
} IClassFactoryVtbl;
struct IClassFactory {
    const IClassFactoryVtbl* lpVtbl;
};

typedef struct IErrorInfoVtbl {
    Q5_IUNKNOWN_METHODS(IErrorInfo)
    HRESULT (*GetGUID)(IErrorInfo* This, GUID* guid);
    HRESULT (*GetSource)(IErrorInfo* This, BSTR* source);
    HRESULT (*GetDescription)(IErrorInfo* This, BSTR* description);
    HRESULT (*GetHelpFile)(IErrorInfo* This, BSTR* helpFile);
    HRESULT (*GetHelpContext)(IErrorInfo* This, DWORD* helpContext);
} IErrorInfoVtbl;
struct IErrorInfo {
    const IErrorInfoVtbl* lpVtbl;
};

typedef struct ICreateErrorInfoVtbl {
    Q5_IUNKNOWN_METHODS(ICreateErrorInfo)
    HRESULT (*SetGUID)(ICreateErrorInfo* This, const GUID* guid);
    HRESULT (*SetSource)(ICreateErrorInfo* This, LPOLESTR source);
    HRESULT (*SetDescription)(ICreateErrorInfo* This, LPOLESTR description);
    HRESULT (*SetHelpFile)(ICreateErrorInfo* This, LPOLESTR helpFile);
    HRESULT (*SetHelpContext)(ICreateErrorInfo* This, DWORD helpContext);
} ICreateErrorInfoVtbl;
struct ICreateErrorInfo {
    const ICreateErrorInfoVtbl* lpVtbl;
};

typedef struct ISupportErrorInfoVtbl {
    Q5_IUNKNOWN_METHODS(ISupportErrorInfo)
    HRESULT (*InterfaceSupportsErrorInfo)(ISupportErrorInfo* This, const IID* riid);
} ISupportErrorInfoVtbl;
struct ISupportErrorInfo {
    const ISupportErrorInfoVtbl* lpVtbl;
};

/* Implemented by the caller; the library calls it from its worker threads. */
typedef struct ISupportEventsVtbl {
    Q5_IUNKNOWN_METHODS(ISupportEvents)
    HRESULT (*GetStatus)(ISupportEvents* This, LONG chan, BSTR mode, BSTR status, BSTR box);
    HRESULT (*GetQ5Event)(ISupportEvents* This, LONG msgid, BSTR data1, BSTR data2, BSTR data3);
    HRESULT (*GetProgress)(ISupportEvents* This, LONG bytes, LONG total);
} ISupportEventsVtbl;
struct ISupportEvents {
    const ISupportEventsVtbl* lpVtbl;
};

typedef struct IQ5ConnectVtbl {
    Q5_IUNKNOWN_METHODS(IQ5Connect)
    HRESULT (*Connect)(IQ5Connect* This, BSTR host, LONG port, LONG timeout);
    HRESULT (*Close)(IQ5Connect* This);
    HRESULT (*Login)(IQ5Connect* This, BSTR username, BSTR password);
    HRESULT (*SuLogin)(IQ5Connect* This, BSTR user, BSTR password);
    HRESULT (*Quit)(IQ5Connect* This);
} IQ5ConnectVtbl;
struct IQ5Connect {
    const IQ5ConnectVtbl* lpVtbl;
};

typedef struct IQ5TableVtbl {
    Q5_IUNKNOWN_METHODS(IQ5Table)
    HRESULT (*GetRecord)(IQ5Table* This);
    HRESULT (*PutRecord)(IQ5Table* This);
    HRESULT (*AddRecord)(IQ5Table* This);
    HRESULT (*SuLogin)(IQ5Table* This, BSTR user, BSTR password);
    HRESULT (*OpenTable)(IQ5Table* This, BSTR key);
    HRESULT (*CloseTable)(IQ5Table* This);
    HRESULT (*NextRecord)(IQ5Table* This);
    HRESULT (*PrevRecord)(IQ5Table* This);
    HRESULT (*FirstRecord)(IQ5Table* This);
    HRESULT (*LastRecord)(IQ5Table* This);
    HRESULT (*DeleteRecord)(IQ5Table* This);
    HRESULT (*SetField)(IQ5Table* This, BSTR Field, BSTR value);
    HRESULT (*get_GetField)(IQ5Table* This, BSTR Field, BSTR* pVal);
    HRESULT (*put_GetField)(IQ5Table* This, BSTR Field, BSTR value);
    HRESULT (*get_IsEof)(IQ5Table* This, LONG* pVal);
    HRESULT (*get_IsBof)(IQ5Table* This, LONG* pVal);
    HRESULT (*SetTable)(IQ5Table* This, BSTR table);
} IQ5TableVtbl;
struct IQ5Table {
    const IQ5TableVtbl* lpVtbl;
};

typedef struct IQ5AdminVtbl {
    Q5_IUNKNOWN_METHODS(IQ5Admin)
    HRESULT (*DeleteMailbox)(IQ5Admin* This, BSTR mailbox);
    HRESULT (*AddMailbox)(IQ5Admin* This, BSTR mailbox);
    HRESULT (*LightMWI)(IQ5Admin* This, BSTR mailbox, BSTR mode);
    HRESULT (*ResetMWI)(IQ5Admin* This);
    HRESULT (*SendRingEvent)(IQ5Admin* This, LONG chan);
    HRESULT (*SendHangupEvent)(IQ5Admin* This, LONG chan);
    HRESULT (*LoadConf)(IQ5Admin* This, LONG k);
} IQ5AdminVtbl;
struct IQ5Admin {
    const IQ5AdminVtbl* lpVtbl;
};

typedef struct IQ5UtilVtbl {
    Q5_IUNKNOWN_METHODS(IQ5Util)
    HRESULT (*GetFile)(IQ5Util* This, BSTR mailbox, BSTR remotefile, BSTR localfile);
    HRESULT (*GetFile2)(IQ5Util* This, BSTR mailbox, BSTR remotefile, BSTR localfile, ISupportEvents* p);
    HRESULT (*PutFile)(IQ5Util* This, BSTR mailbox, BSTR remotefile, BSTR localfile);
    HRESULT (*PutFile2)(IQ5Util* This, BSTR mailbox, BSTR remotefile, BSTR localfile, ISupportEvents* p);
    HRESULT (*ConvertV2W)(IQ5Util* This, BSTR mailbox, BSTR remotefile);
    HRESULT (*ConvertW2V)(IQ5Util* This, BSTR mailbox, BSTR remotefile);
    HRESULT (*DelFile)(IQ5Util* This, BSTR mailbox, BSTR remotefile);
    HRESULT (*RenFile)(IQ5Util* This, BSTR mailbox, BSTR srcfile, BSTR destfile);
    HRESULT (*get_Uptime)(IQ5Util* This, BSTR* pVal);
    HRESULT (*get_Serial)(IQ5Util* This, BSTR* pVal);
    HRESULT (*get_Version)(IQ5Util* This, BSTR* pVal);
    HRESULT (*get_VLoad)(IQ5Util* This, BSTR* pVal);
    HRESULT (*get_VerType)(IQ5Util* This, BSTR* pVal);
    HRESULT (*KeepAlive)(IQ5Util* This);
    HRESULT (*SetVValue)(IQ5Util* This, BSTR msgid, BSTR value);
    HRESULT (*SetVXValue)(IQ5Util* This, BSTR msgid, BSTR v_value, BSTR x_value);
    HRESULT (*GetAttr)(IQ5Util* This, BSTR name, BSTR* pVal);
    HRESULT (*CompileGrammar)(IQ5Util* This, BSTR infile, BSTR outfile);
    HRESULT (*GetVersion)(IQ5Util* This, LONG* dll, LONG* server);
    HRESULT (*GenDirAssistBnf)(IQ5Util* This, BSTR outfile, BSTR dep, BSTR opmode, LONG style);
} IQ5UtilVtbl;
struct IQ5Util {
    const IQ5UtilVtbl* lpVtbl;
};

typedef struct IQ5FaxServerVtbl {
    Q5_IUNKNOWN_METHODS(IQ5FaxServer)
    HRESULT (*SendFax)(IQ5FaxServer* This, LONG* JobID);
    HRESULT (*GetFaxStatus)(IQ5FaxServer* This, BSTR mailbox, LONG JobID, LONG* status);
    HRESULT (*CancelFax)(IQ5FaxServer* This, BSTR mailbox, LONG job);
    HRESULT (*EnumFaxJobs)(IQ5FaxServer* This, BSTR mailbox, int* jobs, int* size);
    HRESULT (*RetryFax)(IQ5FaxServer* This, BSTR mailbox, LONG job);
    HRESULT (*GetFaxAttr)(IQ5FaxServer* This, BSTR mailbox, LONG job, BSTR attr, BSTR* pVal);
} IQ5FaxServerVtbl;
struct IQ5FaxServer {
    const IQ5FaxServerVtbl* lpVtbl;
};

/* The one interface that any thread may call (see q5client.h). */
typedef struct IQ5CallCancelVtbl {
    Q5_IUNKNOWN_METHODS(IQ5CallCancel)
    HRESULT (*Cancel)(IQ5CallCancel* This, ULONG ulSeconds);
    HRESULT (*TestCancel)(IQ5CallCancel* This);
} IQ5CallCancelVtbl;
struct IQ5CallCancel {
    const IQ5CallCancelVtbl* lpVtbl;
};

typedef struct ICoEventsVtbl {
    Q5_IUNKNOWN_METHODS(ICoEvents)
    HRESULT(*BeginStatusLog)
    (ICoEvents* This, BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass, ISupportEvents* p);
    HRESULT(*BeginQ5Log)
    (ICoEvents* This, BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass, ISupportEvents* p);
    HRESULT (*EndStatusLog)(ICoEvents* This);
    HRESULT (*EndQ5Log)(ICoEvents* This);
    HRESULT (*GetQ5Event)(ICoEvents* This, LONG* id, BSTR* data1, BSTR* data2, BSTR* data3);
} ICoEventsVtbl;
struct ICoEvents {
    const ICoEventsVtbl* lpVtbl;
};

#undef Q5_IUNKNOWN_METHODS

/* ---- Runtime entry points (libq5com) ------------------------------------- */

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

HRESULT CreateErrorInfo(ICreateErrorInfo** created);
HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

HRESULT CoCreateInstance(const CLSID* clsid, IUnknown* outer, DWORD clsctx, const IID* riid, void** ppv);
HRESULT CoGetClassObject(const CLSID* clsid, DWORD clsctx, void* reserved, const IID* riid, void** ppv);
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
int StringFromGUID2(const GUID* guid, LPOLESTR out, int max);
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);

HRESULT Q5RegCreateKey(const char* key);
HRESULT Q5RegSetValue(const char* key, const char* name, const char* value);
HRESULT Q5RegGetValue(const char* key, const char* name, char* out, size_t size);
HRESULT Q5RegDeleteTree(const char* key);
HRESULT Q5RegPath(char* out, size_t size);

#ifdef __cplusplus
}
#endif

#endif /* Q5CLIENT_Q5CLIENT_C_H */
