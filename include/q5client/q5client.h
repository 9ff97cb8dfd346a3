// The Q5Client type library (Q5CLIENTLib 1.0) as C++: the identities of the
// library, its two classes and seven interfaces, and the interfaces with
// their methods in fixed slot order. Callers depend on the slot order; never
// reorder, insert or remove a method. Property slots carry the get_/put_
// prefixes of the interface compiler.
//
// Thread rule: CoQ5Client and CoEvents objects are apartment-threaded: call
// each object only from the thread that created it. ISupportEvents sinks
// given to the event logs are called from the library's worker threads.
#pragma once

#include "q5client/com.h"

// Library-specific result codes.
inline constexpr HRESULT E_FILE_OPEN = static_cast<HRESULT>(0x80040001u);
inline constexpr HRESULT E_CONNECTION_LOST = static_cast<HRESULT>(0x80040010u);

// Identities, fixed forever: the library and the desktop program share them.
// {A5189176-63C4-41CA-ABA2-0DB8E1F74C23}
inline constexpr GUID LIBID_Q5CLIENTLib{
    0xA5189176, 0x63C4, 0x41CA, {0xAB, 0xA2, 0x0D, 0xB8, 0xE1, 0xF7, 0x4C, 0x23}};
// {434F6442-422E-4164-B26A-0B966CB80181}
inline constexpr GUID CLSID_CoQ5Client{
    0x434F6442, 0x422E, 0x4164, {0xB2, 0x6A, 0x0B, 0x96, 0x6C, 0xB8, 0x01, 0x81}};
// {6388416A-C875-4BDC-8595-BC9FFC0AF51D}
inline constexpr GUID CLSID_CoEvents{
    0x6388416A, 0xC875, 0x4BDC, {0x85, 0x95, 0xBC, 0x9F, 0xFC, 0x0A, 0xF5, 0x1D}};
// {21BA292F-D606-43E0-A43A-7B9A9FE36B16}
inline constexpr GUID IID_IQ5Connect{
    0x21BA292F, 0xD606, 0x43E0, {0xA4, 0x3A, 0x7B, 0x9A, 0x9F, 0xE3, 0x6B, 0x16}};
// {D2940487-E0C4-4125-AB4D-40009DFC6C84}
inline constexpr GUID IID_IQ5Table{
    0xD2940487, 0xE0C4, 0x4125, {0xAB, 0x4D, 0x40, 0x00, 0x9D, 0xFC, 0x6C, 0x84}};
// {6FC6D09F-CA80-45A4-82E7-A6D3436658CA}
inline constexpr GUID IID_IQ5Admin{
    0x6FC6D09F, 0xCA80, 0x45A4, {0x82, 0xE7, 0xA6, 0xD3, 0x43, 0x66, 0x58, 0xCA}};
// {5041FD37-999B-4B98-A0E7-8BE2523DA8ED}
inline constexpr GUID IID_IQ5Util{
    0x5041FD37, 0x999B, 0x4B98, {0xA0, 0xE7, 0x8B, 0xE2, 0x52, 0x3D, 0xA8, 0xED}};
// {882CBE3A-D238-45EE-A09C-94FD591CB226}
inline constexpr GUID IID_IQ5FaxServer{
    0x882CBE3A, 0xD238, 0x45EE, {0xA0, 0x9C, 0x94, 0xFD, 0x59, 0x1C, 0xB2, 0x26}};
// {F8D096BC-D241-434E-B68A-94C9D30147AC}
inline constexpr GUID IID_ICoEvents{
    0xF8D096BC, 0xD241, 0x434E, {0xB6, 0x8A, 0x94, 0xC9, 0xD3, 0x01, 0x47, 0xAC}};
// {9FFE8E3A-B1C7-4624-9326-DD437652F2C3}
inline constexpr GUID IID_ISupportEvents{
    0x9FFE8E3A, 0xB1C7, 0x4624, {0x93, 0x26, 0xDD, 0x43, 0x76, 0x52, 0xF2, 0xC3}};

// Programmatic identifiers, as registered.
inline constexpr const char16_t* kProgIdCoQ5Client = u"Q5Client.CoQ5Client.1";
inline constexpr const char16_t* kProgIdCoEvents = u"Q5Client.CoEvents.1";

// Callback interface implemented by the client. The library does not examine
// the results of these calls.
struct ISupportEvents : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetStatus(LONG chan, BSTR mode, BSTR status, BSTR box) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetQ5Event(LONG msgid, BSTR data1, BSTR data2, BSTR data3) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProgress(LONG bytes, LONG total) = 0;
};

struct IQ5Connect : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Connect(BSTR host, LONG port, LONG timeout) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Login(BSTR username, BSTR password) = 0;
    virtual HRESULT STDMETHODCALLTYPE SuLogin(BSTR user, BSTR password) = 0;
    virtual HRESULT STDMETHODCALLTYPE Quit() = 0;
};

struct IQ5Table : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetRecord() = 0;
    virtual HRESULT STDMETHODCALLTYPE PutRecord() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddRecord() = 0;
    virtual HRESULT STDMETHODCALLTYPE SuLogin(BSTR user, BSTR password) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenTable(BSTR key) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseTable() = 0;
    virtual HRESULT STDMETHODCALLTYPE NextRecord() = 0;
    virtual HRESULT STDMETHODCALLTYPE PrevRecord() = 0;
    virtual HRESULT STDMETHODCALLTYPE FirstRecord() = 0;
    virtual HRESULT STDMETHODCALLTYPE LastRecord() = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteRecord() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetField(BSTR Field, BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_GetField(BSTR Field, BSTR* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_GetField(BSTR Field, BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsEof(LONG* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsBof(LONG* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTable(BSTR table) = 0;
};

struct IQ5Admin : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE DeleteMailbox(BSTR mailbox) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddMailbox(BSTR mailbox) = 0;
    virtual HRESULT STDMETHODCALLTYPE LightMWI(BSTR mailbox, BSTR mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResetMWI() = 0;
    virtual HRESULT STDMETHODCALLTYPE SendRingEvent(LONG chan) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendHangupEvent(LONG chan) = 0;
    virtual HRESULT STDMETHODCALLTYPE LoadConf(LONG k) = 0;
};

struct IQ5Util : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetFile(BSTR mailbox, BSTR remotefile, BSTR localfile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFile2(BSTR mailbox, BSTR remotefile, BSTR localfile,
                                               ISupportEvents* p) = 0;
    virtual HRESULT STDMETHODCALLTYPE PutFile(BSTR mailbox, BSTR remotefile, BSTR localfile) = 0;
    virtual HRESULT STDMETHODCALLTYPE PutFile2(BSTR mailbox, BSTR remotefile, BSTR localfile,
                                               ISupportEvents* p) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConvertV2W(BSTR mailbox, BSTR remotefile) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConvertW2V(BSTR mailbox, BSTR remotefile) = 0;
    virtual HRESULT STDMETHODCALLTYPE DelFile(BSTR mailbox, BSTR remotefile) = 0;
    virtual HRESULT STDMETHODCALLTYPE RenFile(BSTR mailbox, BSTR srcfile, BSTR destfile) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Uptime(BSTR* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Serial(BSTR* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Version(BSTR* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_VLoad(BSTR* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_VerType(BSTR* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE KeepAlive() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetVValue(BSTR msgid, BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetVXValue(BSTR msgid, BSTR v_value, BSTR x_value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttr(BSTR name, BSTR* pVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompileGrammar(BSTR infile, BSTR outfile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVersion(LONG* dll, LONG* server) = 0;
    virtual HRESULT STDMETHODCALLTYPE GenDirAssistBnf(BSTR outfile, BSTR dep, BSTR opmode, LONG style) = 0;
};

struct IQ5FaxServer : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SendFax(LONG* JobID) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFaxStatus(BSTR mailbox, LONG JobID, LONG* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelFax(BSTR mailbox, LONG job) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumFaxJobs(BSTR mailbox, int* jobs, int* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE RetryFax(BSTR mailbox, LONG job) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFaxAttr(BSTR mailbox, LONG job, BSTR attr, BSTR* pVal) = 0;
};

/// @cond Q5COM_INTERNAL
template <>
struct InterfaceId<ISupportEvents> {
    static constexpr const IID& value = IID_ISupportEvents;
};
template <>
struct InterfaceId<IQ5Connect> {
    static constexpr const IID& value = IID_IQ5Connect;
};
template <>
struct InterfaceId<IQ5Table> {
    static constexpr const IID& value = IID_IQ5Table;
};
template <>
struct InterfaceId<IQ5Admin> {
    static constexpr const IID& value = IID_IQ5Admin;
};
template <>
struct InterfaceId<IQ5Util> {
    static constexpr const IID& value = IID_IQ5Util;
};
template <>
struct InterfaceId<IQ5FaxServer> {
    static constexpr const IID& value = IID_IQ5FaxServer;
};
/// @endcond

// The most Q5 events a log without a sink keeps for GetQ5Event. When the
// server sends faster than the caller polls, the oldest queued events are
// dropped beyond this many, so the queue's memory stays bounded (about
// 13 MiB when full, handed back to the system once it is drained) and a
// poll always finds the newest part of the stream.
inline constexpr long kQ5EventQueueLimit = 100000;

// The event object's logs.
// - BeginStatusLog / BeginQ5Log: S_OK when the log was started; S_FALSE,
//   without connecting and without an error record, when that log's worker
//   is still running (nothing to do); E_FAIL with an error record when the
//   connection, the login or the event command failed. A log whose worker
//   ended by itself (its connection was lost) starts again on a new
//   connection.
// - GetQ5Event: S_OK; takes the oldest queued event, or reports event
//   number 0 when there is none (see kQ5EventQueueLimit).
struct ICoEvents : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE BeginStatusLog(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                                     ISupportEvents* p) = 0;
    virtual HRESULT STDMETHODCALLTYPE BeginQ5Log(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                                 ISupportEvents* p) = 0;
    virtual HRESULT STDMETHODCALLTYPE EndStatusLog() = 0;
    virtual HRESULT STDMETHODCALLTYPE EndQ5Log() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetQ5Event(LONG* id, BSTR* data1, BSTR* data2, BSTR* data3) = 0;
};

/// @cond Q5COM_INTERNAL
template <>
struct InterfaceId<ICoEvents> {
    static constexpr const IID& value = IID_ICoEvents;
};
/// @endcond
