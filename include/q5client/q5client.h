/// @file
/// @brief The Q5Client type library (Q5CLIENTLib 1.0) as C++: the identities
/// of the library, its two classes and eight interfaces, and the interfaces
/// with their methods in fixed slot order.
///
/// Callers depend on the slot order; never reorder, insert or remove a
/// method. Property slots carry the get_/put_ prefixes of the interface
/// compiler. Create the objects with CoCreateInstance (com.h):
/// CLSID_CoQ5Client gives IQ5Connect, IQ5Table, IQ5Admin, IQ5Util,
/// IQ5FaxServer, IQ5CallCancel and ISupportErrorInfo on one object (one
/// connection);
/// CLSID_CoEvents gives ICoEvents, IQ5CallCancel (ending a log's start) and
/// ISupportErrorInfo. C callers include q5client_c.h instead.
///
/// Strings: every BSTR argument is borrowed (the caller allocates it with
/// SysAllocString and frees it after the call; a null BSTR is empty text);
/// every BSTR* result is allocated by the library and freed by the caller
/// with SysFreeString. Timeouts are in seconds.
///
/// Thread rule: CoQ5Client and CoEvents objects are apartment-threaded: call
/// each object only from the thread that created it; the one exception is
/// IQ5CallCancel, which any thread may call. ISupportEvents sinks
/// given to the event logs are called from the library's worker threads.
/// The error record a failed call leaves belongs to the calling thread.
#pragma once

#include "q5client/com.h"

/// @name Library-specific result codes
///@{
/// A local file could not be opened, or a transfer could not start.
inline constexpr HRESULT E_FILE_OPEN = static_cast<HRESULT>(0x80040001u);
/// The connection is not open, or was lost during the call.
inline constexpr HRESULT E_CONNECTION_LOST = static_cast<HRESULT>(0x80040010u);
///@}

/// @name Identities
/// Fixed forever: the library and the desktop program share them.
///@{
/// The type library, {A5189176-63C4-41CA-ABA2-0DB8E1F74C23}.
inline constexpr GUID LIBID_Q5CLIENTLib{
    0xA5189176, 0x63C4, 0x41CA, {0xAB, 0xA2, 0x0D, 0xB8, 0xE1, 0xF7, 0x4C, 0x23}};
/// The session class, {434F6442-422E-4164-B26A-0B966CB80181}.
inline constexpr GUID CLSID_CoQ5Client{
    0x434F6442, 0x422E, 0x4164, {0xB2, 0x6A, 0x0B, 0x96, 0x6C, 0xB8, 0x01, 0x81}};
/// The event class, {6388416A-C875-4BDC-8595-BC9FFC0AF51D}.
inline constexpr GUID CLSID_CoEvents{
    0x6388416A, 0xC875, 0x4BDC, {0x85, 0x95, 0xBC, 0x9F, 0xFC, 0x0A, 0xF5, 0x1D}};
/// IQ5Connect, {21BA292F-D606-43E0-A43A-7B9A9FE36B16}.
inline constexpr GUID IID_IQ5Connect{
    0x21BA292F, 0xD606, 0x43E0, {0xA4, 0x3A, 0x7B, 0x9A, 0x9F, 0xE3, 0x6B, 0x16}};
/// IQ5Table, {D2940487-E0C4-4125-AB4D-40009DFC6C84}.
inline constexpr GUID IID_IQ5Table{
    0xD2940487, 0xE0C4, 0x4125, {0xAB, 0x4D, 0x40, 0x00, 0x9D, 0xFC, 0x6C, 0x84}};
/// IQ5Admin, {6FC6D09F-CA80-45A4-82E7-A6D3436658CA}.
inline constexpr GUID IID_IQ5Admin{
    0x6FC6D09F, 0xCA80, 0x45A4, {0x82, 0xE7, 0xA6, 0xD3, 0x43, 0x66, 0x58, 0xCA}};
/// IQ5Util, {5041FD37-999B-4B98-A0E7-8BE2523DA8ED}.
inline constexpr GUID IID_IQ5Util{
    0x5041FD37, 0x999B, 0x4B98, {0xA0, 0xE7, 0x8B, 0xE2, 0x52, 0x3D, 0xA8, 0xED}};
/// IQ5FaxServer, {882CBE3A-D238-45EE-A09C-94FD591CB226}.
inline constexpr GUID IID_IQ5FaxServer{
    0x882CBE3A, 0xD238, 0x45EE, {0xA0, 0x9C, 0x94, 0xFD, 0x59, 0x1C, 0xB2, 0x26}};
/// IQ5CallCancel, {EA1E8BA3-7465-49F2-B1CE-DBE874C6BCA6}.
inline constexpr GUID IID_IQ5CallCancel{
    0xEA1E8BA3, 0x7465, 0x49F2, {0xB1, 0xCE, 0xDB, 0xE8, 0x74, 0xC6, 0xBC, 0xA6}};
/// ICoEvents, {F8D096BC-D241-434E-B68A-94C9D30147AC}.
inline constexpr GUID IID_ICoEvents{
    0xF8D096BC, 0xD241, 0x434E, {0xB6, 0x8A, 0x94, 0xC9, 0xD3, 0x01, 0x47, 0xAC}};
/// ISupportEvents, {9FFE8E3A-B1C7-4624-9326-DD437652F2C3}.
inline constexpr GUID IID_ISupportEvents{
    0x9FFE8E3A, 0xB1C7, 0x4624, {0x93, 0x26, 0xDD, 0x43, 0x76, 0x52, 0xF2, 0xC3}};
///@}

/// @name Programmatic identifiers, as registered (for CLSIDFromProgID)
///@{
/// The session class.
inline constexpr const char16_t* kProgIdCoQ5Client = u"Q5Client.CoQ5Client.1";
/// The event class.
inline constexpr const char16_t* kProgIdCoEvents = u"Q5Client.CoEvents.1";
///@}

/// @brief Callback interface that the caller implements and hands to the
/// library: progress of file transfers and the records of the event logs.
///
/// The library does not examine the results of these calls. The BSTR
/// arguments are borrowed: valid only during the call, freed by the library.
/// Thread rule: the event logs call it from their worker threads; file
/// transfers call it on the thread that called GetFile2 or PutFile2.
struct ISupportEvents : IUnknown {
    /// @brief A channel's status record from the status log
    /// (ICoEvents::BeginStatusLog).
    ///
    /// The first call after the log starts reports the number of channels:
    /// @p chan is the count, @p mode empty, @p status "NUM", @p box empty.
    /// @param chan Channel number, counted from 0.
    /// @param mode The channel's mode as the server sends it.
    /// @param status The channel's status as the server sends it.
    /// @param box The mailbox the channel serves, empty when none.
    /// @return Ignored by the library.
    virtual HRESULT STDMETHODCALLTYPE GetStatus(LONG chan, BSTR mode, BSTR status, BSTR box) = 0;
    /// @brief One Q5 event from the Q5 log (ICoEvents::BeginQ5Log with a sink).
    /// @param msgid The event's number.
    /// @param data1 First data text of the event.
    /// @param data2 Second data text of the event.
    /// @param data3 Third data text of the event.
    /// @return Ignored by the library.
    virtual HRESULT STDMETHODCALLTYPE GetQ5Event(LONG msgid, BSTR data1, BSTR data2, BSTR data3) = 0;
    /// @brief Progress of IQ5Util::GetFile2 or IQ5Util::PutFile2: called
    /// before the bytes past each 4095-byte boundary move; not before the
    /// first boundary and not at the end.
    /// @param bytes Bytes moved so far.
    /// @param total Size of the file in bytes.
    /// @return Ignored by the library.
    virtual HRESULT STDMETHODCALLTYPE GetProgress(LONG bytes, LONG total) = 0;
};

/// @brief The session of a CoQ5Client object: connecting and logging in.
///
/// Every CoQ5Client method runs on one connection, which Connect opens. A
/// method that needs the server and fails gives E_FAIL while the connection
/// is still open (the server refused) and E_CONNECTION_LOST once it is not
/// (never opened, closed, or lost during the call). Any method may also give
/// E_OUTOFMEMORY, and E_UNEXPECTED for an internal fault. Failures of
/// IQ5Connect, IQ5Table, IQ5Admin and IQ5Util set the calling thread's error
/// record (GetErrorInfo; source "Q5Client.CoQ5Client.1"), whose description
/// is the message given below or the server's own text. BSTR arguments are
/// borrowed (the caller keeps and frees them); a null BSTR counts as empty
/// text. Text goes to the server in its 8-bit code page (CP1252 unless
/// Q5CLIENT_CODEPAGE names another); characters it cannot hold become '?'.
/// An argument holding a line break or a NUL byte, or a command line longer
/// than the server takes, is refused before anything is sent: E_INVALIDARG
/// with a description starting "Invalid argument:".
///
/// Thread rule: call only from the thread that created the object.
struct IQ5Connect : IUnknown {
    /// @brief Opens the connection to the server and reads its greeting. A
    /// connection still open is closed first.
    /// @param host Host name or address; must not be empty.
    /// @param port TCP port, 1 to 65535.
    /// @param timeout Connect timeout in seconds (0 or less: wait as the
    ///        system does). Later replies are awaited for this many seconds,
    ///        but at least 30.
    /// @retval S_OK Connected.
    /// @retval E_CONNECTION_LOST "Connect Failed": empty host, port out of
    ///         range, name not resolved, refused, timed out or no greeting.
    ///         (E_FAIL when an empty host or a bad port leaves an earlier
    ///         connection open.)
    virtual HRESULT STDMETHODCALLTYPE Connect(BSTR host, LONG port, LONG timeout) = 0;
    /// @brief Drops the connection without a word to the server.
    /// @retval S_OK Always, also when not connected.
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    /// @brief Logs in as a mailbox (USER, then PASS). Tables then carry
    /// their mailbox form (see the tables reference).
    /// @param username The mailbox number.
    /// @param password The mailbox's password.
    /// @retval S_OK Logged in.
    /// @retval E_FAIL "Unknown username or password": the server refused.
    /// @retval E_CONNECTION_LOST Not connected, or the connection was lost.
    /// @retval E_INVALIDARG An argument cannot be sent (see above).
    virtual HRESULT STDMETHODCALLTYPE Login(BSTR username, BSTR password) = 0;
    /// @brief Logs in as superuser (SU, then PASS). From then on, for the
    /// rest of the connection, tables carry their superuser form.
    /// @param user The superuser's name.
    /// @param password The superuser's password.
    /// @retval S_OK Logged in as superuser.
    /// @retval E_FAIL "Unknown username or password": the server refused.
    /// @retval E_CONNECTION_LOST Not connected, or the connection was lost.
    /// @retval E_INVALIDARG An argument cannot be sent (see above).
    virtual HRESULT STDMETHODCALLTYPE SuLogin(BSTR user, BSTR password) = 0;
    /// @brief Ends the session with QUIT; the server's reply is not examined.
    /// Call Close afterwards to drop the connection.
    /// @retval S_OK Always.
    virtual HRESULT STDMETHODCALLTYPE Quit() = 0;
};

/// @brief Table access of a CoQ5Client object: the client's copy of one row
/// of the current table, moved to and from the server.
///
/// SetTable chooses the table; the twenty table names and their fields are
/// listed in the tables reference (docs/tables.md). Each table name has its
/// own record object for the life of the object; its values stay until a
/// fetch or SetField replaces them. Result codes and the error record follow
/// IQ5Connect's rules. A record transfer that fails after the server
/// accepted the command leaves the connection out of step and closes it
/// (E_CONNECTION_LOST).
///
/// Thread rule: call only from the thread that created the object.
struct IQ5Table : IUnknown {
    /// @brief Fetches the current row of the current table into its record
    /// object (GET). A failed fetch leaves the record's fields as they were.
    /// @retval S_OK Fetched.
    /// @retval E_FAIL The server refused; the description is its reply line.
    /// @retval E_CONNECTION_LOST Not connected, lost, or the record stream
    ///         failed or does not name a known table (connection closed).
    /// @retval E_INVALIDARG The table name cannot be sent.
    virtual HRESULT STDMETHODCALLTYPE GetRecord() = 0;
    /// @brief Writes the record object back as the current row (PUT).
    /// @retval S_OK The server took the record.
    /// @retval E_FAIL The server refused; the description is its reply line.
    /// @retval E_CONNECTION_LOST Not connected or lost.
    /// @retval E_INVALIDARG The table name cannot be sent, or a value is
    ///         longer than a record may carry (1 MiB); nothing was sent.
    virtual HRESULT STDMETHODCALLTYPE PutRecord() = 0;
    /// @brief Inserts the record object as a new row (ADD).
    /// @retval S_OK The server added the record.
    /// @retval E_FAIL The server refused; the description is its reply line.
    /// @retval E_CONNECTION_LOST Not connected or lost.
    /// @retval E_INVALIDARG As for PutRecord.
    virtual HRESULT STDMETHODCALLTYPE AddRecord() = 0;
    /// @brief The same as IQ5Connect::SuLogin.
    /// @param user The superuser's name.
    /// @param password The superuser's password.
    /// @return As IQ5Connect::SuLogin.
    virtual HRESULT STDMETHODCALLTYPE SuLogin(BSTR user, BSTR password) = 0;
    /// @brief Opens the current table at a key (OPEN), for walking its rows.
    /// @param key The key of the row or rows to open, as the table defines it
    ///        (for a mailbox table, the mailbox number).
    /// @retval S_OK Opened.
    /// @retval E_FAIL "Could not open table.": the server refused.
    /// @retval E_CONNECTION_LOST Not connected or lost.
    /// @retval E_INVALIDARG The table name or the key cannot be sent.
    virtual HRESULT STDMETHODCALLTYPE OpenTable(BSTR key) = 0;
    /// @brief Closes the current table on the server (CLOSE).
    /// @retval S_OK Closed.
    /// @retval E_FAIL "CloseTable failed": the server refused.
    /// @retval E_CONNECTION_LOST Not connected or lost.
    /// @retval E_INVALIDARG The table name cannot be sent.
    virtual HRESULT STDMETHODCALLTYPE CloseTable() = 0;
    /// @brief Moves to the next row. Stepping past the last row is no error:
    /// it sets the end flag (get_IsEof), as does any refusal or lost
    /// connection; success clears it.
    /// @retval S_OK Moved, or the end flag was set.
    /// @retval E_INVALIDARG The table name cannot be sent (end flag set).
    virtual HRESULT STDMETHODCALLTYPE NextRecord() = 0;
    /// @brief Moves to the previous row; like NextRecord with the beginning
    /// flag (get_IsBof).
    /// @retval S_OK Moved, or the beginning flag was set.
    /// @retval E_INVALIDARG The table name cannot be sent (beginning flag set).
    virtual HRESULT STDMETHODCALLTYPE PrevRecord() = 0;
    /// @brief Moves to the first row.
    /// @retval S_OK Moved.
    /// @retval E_FAIL "No such record": the server refused.
    /// @retval E_CONNECTION_LOST Not connected or lost.
    /// @retval E_INVALIDARG The table name cannot be sent.
    virtual HRESULT STDMETHODCALLTYPE FirstRecord() = 0;
    /// @brief Moves to the last row.
    /// @retval S_OK Moved.
    /// @retval E_FAIL "No such record": the server refused.
    /// @retval E_CONNECTION_LOST Not connected or lost.
    /// @retval E_INVALIDARG The table name cannot be sent.
    virtual HRESULT STDMETHODCALLTYPE LastRecord() = 0;
    /// @brief Deletes the current row on the server.
    /// @retval S_OK Deleted.
    /// @retval E_FAIL "Delete failed": the server refused.
    /// @retval E_CONNECTION_LOST Not connected or lost.
    /// @retval E_INVALIDARG The table name cannot be sent.
    virtual HRESULT STDMETHODCALLTYPE DeleteRecord() = 0;
    /// @brief Sets a field of the current table's record object; nothing is
    /// sent until PutRecord or AddRecord. An empty value is stored as a
    /// single blank. A name the table does not know changes nothing.
    /// @param Field The field's name, ASCII case ignored (docs/tables.md).
    /// @param value The new value.
    /// @retval S_OK Set, or the name is unknown.
    /// @retval E_FAIL / E_CONNECTION_LOST "Field: NAME not found": the current
    ///         table name is none of the twenty (code by the connection state).
    virtual HRESULT STDMETHODCALLTYPE SetField(BSTR Field, BSTR value) = 0;
    /// @brief Reads a field of the current table's record object, as the last
    /// fetch or SetField left it; nothing is sent.
    /// @param Field The field's name, ASCII case ignored (docs/tables.md); a
    ///        name the table does not know reads as empty text.
    /// @param[out] pVal Receives a new BSTR that the caller frees with
    ///        SysFreeString; set to null first. May be null (nothing written).
    /// @retval S_OK Read.
    /// @retval E_FAIL / E_CONNECTION_LOST "Field: NAME not found": the current
    ///         table name is none of the twenty (code by the connection state).
    virtual HRESULT STDMETHODCALLTYPE get_GetField(BSTR Field, BSTR* pVal) = 0;
    /// @brief The GetField property is read-only: always fails.
    /// @param Field Ignored.
    /// @param value Ignored.
    /// @retval E_FAIL / E_CONNECTION_LOST "Invalid use of property" (code by
    ///         the connection state).
    virtual HRESULT STDMETHODCALLTYPE put_GetField(BSTR Field, BSTR value) = 0;
    /// @brief The end flag that NextRecord sets.
    /// @param[out] pVal 1 after a step past the end, else 0.
    /// @retval S_OK Written.
    /// @retval E_POINTER @p pVal is null.
    virtual HRESULT STDMETHODCALLTYPE get_IsEof(LONG* pVal) = 0;
    /// @brief The beginning flag that PrevRecord sets.
    /// @param[out] pVal 1 after a step before the beginning, else 0.
    /// @retval S_OK Written.
    /// @retval E_POINTER @p pVal is null.
    virtual HRESULT STDMETHODCALLTYPE get_IsBof(LONG* pVal) = 0;
    /// @brief Chooses the current table; nothing is sent and any name is
    /// taken (compared byte for byte later: "box" is not "BOX").
    /// @param table One of the twenty table names (docs/tables.md).
    /// @retval S_OK Always, unless out of memory.
    virtual HRESULT STDMETHODCALLTYPE SetTable(BSTR table) = 0;
};

/// @brief Administration of a CoQ5Client object; most commands need a
/// superuser login (IQ5Connect::SuLogin).
///
/// Result codes and the error record follow IQ5Connect's rules: S_OK, E_FAIL
/// with the message given when the server refused, E_CONNECTION_LOST when
/// not connected or lost, E_INVALIDARG when an argument cannot be sent.
///
/// Thread rule: call only from the thread that created the object.
struct IQ5Admin : IUnknown {
    /// @brief Deletes a mailbox and its data on the server.
    /// @param mailbox The mailbox number.
    /// @return S_OK; E_FAIL "Failed to delete mailbox"; E_CONNECTION_LOST;
    ///         E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE DeleteMailbox(BSTR mailbox) = 0;
    /// @brief Creates a mailbox.
    /// @param mailbox The new mailbox number.
    /// @return S_OK; E_FAIL "Failed to Add mailbox"; E_CONNECTION_LOST;
    ///         E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE AddMailbox(BSTR mailbox) = 0;
    /// @brief Sets a mailbox's message-waiting indicator.
    /// @param mailbox The mailbox number.
    /// @param mode The indicator mode; only its first character is sent.
    /// @return S_OK; E_FAIL "light_mwi failed"; E_CONNECTION_LOST;
    ///         E_INVALIDARG also for an empty @p mode.
    virtual HRESULT STDMETHODCALLTYPE LightMWI(BSTR mailbox, BSTR mode) = 0;
    /// @brief Resets the message-waiting indicators of all mailboxes.
    /// @return S_OK; E_FAIL "reset_mwi failed"; E_CONNECTION_LOST.
    virtual HRESULT STDMETHODCALLTYPE ResetMWI() = 0;
    /// @brief Makes the server signal a ring on a channel.
    /// @param chan The channel number.
    /// @return S_OK; E_FAIL "Ring failed on channel N"; E_CONNECTION_LOST.
    virtual HRESULT STDMETHODCALLTYPE SendRingEvent(LONG chan) = 0;
    /// @brief Makes the server hang up a channel.
    /// @param chan The channel number.
    /// @return S_OK; E_FAIL "Failed to hangup channel N"; E_CONNECTION_LOST.
    virtual HRESULT STDMETHODCALLTYPE SendHangupEvent(LONG chan) = 0;
    /// @brief Tells the server to load a configuration; its answer is not
    /// reported.
    /// @param k The configuration number.
    /// @retval S_OK Always, unless out of memory.
    virtual HRESULT STDMETHODCALLTYPE LoadConf(LONG k) = 0;
};

/// @brief Files, server facts and utilities of a CoQ5Client object.
///
/// Result codes and the error record follow IQ5Connect's rules. Remote
/// files are named by mailbox and file name on the server; local file names
/// are paths of this system (converted to UTF-8).
///
/// Thread rule: call only from the thread that created the object.
struct IQ5Util : IUnknown {
    /// @brief Downloads a file of a mailbox (GETFILE). The local file is
    /// created or truncated only once the server has agreed; a download that
    /// never starts leaves it as it was.
    /// @param mailbox The mailbox that holds the file.
    /// @param remotefile The file's name on the server.
    /// @param localfile The local path to write.
    /// @retval S_OK The whole file arrived.
    /// @retval E_FILE_OPEN "Failed to open file": not connected, the server
    ///         refused, the local file cannot be created, or the server gave
    ///         an unusable size (the connection is then closed).
    /// @retval E_CONNECTION_LOST "Connection Lost": the connection or the
    ///         local file failed midway; the connection is closed.
    /// @retval E_INVALIDARG An argument cannot be sent; nothing touched.
    virtual HRESULT STDMETHODCALLTYPE GetFile(BSTR mailbox, BSTR remotefile, BSTR localfile) = 0;
    /// @brief GetFile with progress reports to @p p (ISupportEvents::GetProgress).
    /// @param mailbox The mailbox that holds the file.
    /// @param remotefile The file's name on the server.
    /// @param localfile The local path to write.
    /// @param p Progress sink, called on this thread; may be null.
    /// @return As GetFile.
    virtual HRESULT STDMETHODCALLTYPE GetFile2(BSTR mailbox, BSTR remotefile, BSTR localfile,
                                               ISupportEvents* p) = 0;
    /// @brief Uploads a local file into a mailbox (PUTFILE).
    /// @param mailbox The mailbox to receive the file.
    /// @param remotefile The file's name on the server.
    /// @param localfile The local path to read.
    /// @retval S_OK The server confirmed the whole file.
    /// @retval E_FILE_OPEN "Failed to open file": not connected, the local
    ///         file cannot be opened, or the server refused at the start.
    /// @retval E_CONNECTION_LOST "Connection Lost": the connection or the
    ///         local file failed midway, or the server did not confirm; the
    ///         connection is closed.
    /// @retval E_INVALIDARG An argument cannot be sent; nothing touched.
    virtual HRESULT STDMETHODCALLTYPE PutFile(BSTR mailbox, BSTR remotefile, BSTR localfile) = 0;
    /// @brief PutFile with progress reports to @p p (ISupportEvents::GetProgress).
    /// @param mailbox The mailbox to receive the file.
    /// @param remotefile The file's name on the server.
    /// @param localfile The local path to read.
    /// @param p Progress sink, called on this thread; may be null.
    /// @return As PutFile.
    virtual HRESULT STDMETHODCALLTYPE PutFile2(BSTR mailbox, BSTR remotefile, BSTR localfile,
                                               ISupportEvents* p) = 0;
    /// @brief Converts a mailbox's voice file to a wave file on the server.
    /// @param mailbox The mailbox that holds the file.
    /// @param remotefile The file's name on the server.
    /// @return S_OK; E_FAIL "convert_v2w failed"; E_CONNECTION_LOST; E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE ConvertV2W(BSTR mailbox, BSTR remotefile) = 0;
    /// @brief Converts a mailbox's wave file to a voice file on the server.
    /// @param mailbox The mailbox that holds the file.
    /// @param remotefile The file's name on the server.
    /// @return S_OK; E_FAIL "convert_w2v failed"; E_CONNECTION_LOST; E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE ConvertW2V(BSTR mailbox, BSTR remotefile) = 0;
    /// @brief Deletes a file of a mailbox on the server.
    /// @param mailbox The mailbox that holds the file.
    /// @param remotefile The file's name on the server.
    /// @return S_OK; E_FAIL "DelFile failed"; E_CONNECTION_LOST; E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE DelFile(BSTR mailbox, BSTR remotefile) = 0;
    /// @brief Renames a file of a mailbox on the server.
    /// @param mailbox The mailbox that holds the file.
    /// @param srcfile The file's present name.
    /// @param destfile Its new name.
    /// @return S_OK; E_FAIL "RenFile failed"; E_CONNECTION_LOST; E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE RenFile(BSTR mailbox, BSTR srcfile, BSTR destfile) = 0;
    /// @brief The server's uptime text, at most 255 characters.
    ///
    /// Like every value property here it never fails for the server's sake:
    /// a refused command or a lost connection gives empty text.
    /// @param[out] pVal Receives a new BSTR that the caller frees with
    ///        SysFreeString; may be null (the command still runs).
    /// @retval S_OK Written (possibly empty).
    /// @retval E_OUTOFMEMORY No memory for the text.
    virtual HRESULT STDMETHODCALLTYPE get_Uptime(BSTR* pVal) = 0;
    /// @brief The server's serial number text, at most 2047 characters; as get_Uptime.
    /// @param[out] pVal Receives a new BSTR that the caller frees; may be null.
    /// @return As get_Uptime.
    virtual HRESULT STDMETHODCALLTYPE get_Serial(BSTR* pVal) = 0;
    /// @brief The server's version text, at most 2047 characters; as get_Uptime.
    /// @param[out] pVal Receives a new BSTR that the caller frees; may be null.
    /// @return As get_Uptime.
    virtual HRESULT STDMETHODCALLTYPE get_Version(BSTR* pVal) = 0;
    /// @brief The server's load text, at most 255 characters; as get_Uptime.
    /// @param[out] pVal Receives a new BSTR that the caller frees; may be null.
    /// @return As get_Uptime.
    virtual HRESULT STDMETHODCALLTYPE get_VLoad(BSTR* pVal) = 0;
    /// @brief The server's version type text, at most 255 characters; as get_Uptime.
    /// @param[out] pVal Receives a new BSTR that the caller frees; may be null.
    /// @return As get_Uptime.
    virtual HRESULT STDMETHODCALLTYPE get_VerType(BSTR* pVal) = 0;
    /// @brief Sends a no-operation so that the server keeps the session.
    /// @return S_OK when any reply arrives; E_CONNECTION_LOST "Keepalive failed".
    virtual HRESULT STDMETHODCALLTYPE KeepAlive() = 0;
    /// @brief Sends a Q5 event with a V value (the X value a blank).
    /// @param msgid The event's number, as text.
    /// @param value The V value.
    /// @return S_OK; E_FAIL "Failed to set V value"; E_CONNECTION_LOST; E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE SetVValue(BSTR msgid, BSTR value) = 0;
    /// @brief Sends a Q5 event with a V and an X value.
    /// @param msgid The event's number, as text.
    /// @param v_value The V value.
    /// @param x_value The X value.
    /// @return S_OK; E_FAIL "Failed to set V-X value"; E_CONNECTION_LOST; E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE SetVXValue(BSTR msgid, BSTR v_value, BSTR x_value) = 0;
    /// @brief A named attribute of the server, at most 255 characters; a
    /// refused command or a lost connection gives empty text.
    /// @param name The attribute's name.
    /// @param[out] pVal Receives a new BSTR that the caller frees; may be null.
    /// @retval S_OK Written (possibly empty).
    /// @retval E_OUTOFMEMORY No memory for the text.
    virtual HRESULT STDMETHODCALLTYPE GetAttr(BSTR name, BSTR* pVal) = 0;
    /// @brief Compiles a speech grammar file on the server.
    /// @param infile The grammar source on the server.
    /// @param outfile The compiled file to write on the server.
    /// @retval S_OK Compiled.
    /// @retval E_FAIL The server refused (no error record).
    /// @retval E_CONNECTION_LOST Not connected or lost (no error record).
    /// @retval E_INVALIDARG An argument cannot be sent (with an error record).
    virtual HRESULT STDMETHODCALLTYPE CompileGrammar(BSTR infile, BSTR outfile) = 0;
    /// @brief The versions of this library and of the server.
    /// @param[out] dll The library's version number (104).
    /// @param[out] server The server's version from its greeting; 0 before
    ///        the first connection.
    /// @retval S_OK Written.
    /// @retval E_POINTER Either pointer is null.
    virtual HRESULT STDMETHODCALLTYPE GetVersion(LONG* dll, LONG* server) = 0;
    /// @brief Generates the directory-assistance grammar on the server; the
    /// server's answer is not reported.
    /// @param outfile The file to write on the server.
    /// @param dep The department; only its first character is sent.
    /// @param opmode The operating mode; only its first character is sent.
    /// @param style The grammar style number.
    /// @retval S_OK Sent, or the connection is not open.
    /// @retval E_INVALIDARG @p dep or @p opmode is empty, or an argument
    ///         cannot be sent.
    virtual HRESULT STDMETHODCALLTYPE GenDirAssistBnf(BSTR outfile, BSTR dep, BSTR opmode, LONG style) = 0;
};

/// @brief Fax jobs of a CoQ5Client object.
///
/// This interface reports by result code only and never sets the error
/// record: S_OK; E_FAIL when the server refused; E_CONNECTION_LOST when not
/// connected or lost; E_INVALIDARG when an argument cannot be sent.
///
/// Thread rule: call only from the thread that created the object.
struct IQ5FaxServer : IUnknown {
    /// @brief Submits a fax job.
    /// @param[in,out] JobID Receives the server's job number; left unchanged
    ///        when the server gave none.
    /// @retval S_OK Always when @p JobID is given, whatever the server said.
    /// @retval E_POINTER @p JobID is null.
    virtual HRESULT STDMETHODCALLTYPE SendFax(LONG* JobID) = 0;
    /// @brief The status of a fax job.
    /// @param mailbox The mailbox of the job.
    /// @param JobID The job number.
    /// @param[out] status Receives the server's status number on success.
    /// @return S_OK; E_FAIL; E_CONNECTION_LOST; E_INVALIDARG; E_POINTER when
    ///         @p status is null.
    virtual HRESULT STDMETHODCALLTYPE GetFaxStatus(BSTR mailbox, LONG JobID, LONG* status) = 0;
    /// @brief Cancels a fax job.
    /// @param mailbox The mailbox of the job.
    /// @param job The job number.
    /// @return S_OK; E_FAIL; E_CONNECTION_LOST; E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE CancelFax(BSTR mailbox, LONG job) = 0;
    /// @brief Lists the fax jobs of a mailbox.
    /// @param mailbox The mailbox.
    /// @param[out] jobs Array that receives the job numbers (and the number
    ///        on the closing line), as many as @p size allows.
    /// @param[in,out] size On entry the capacity of @p jobs; on return the
    ///        count stored, also when the closing line refuses; unchanged when
    ///        a read fails.
    /// @return S_OK; E_FAIL when the closing line refuses; E_CONNECTION_LOST;
    ///         E_INVALIDARG; E_POINTER when @p jobs or @p size is null.
    virtual HRESULT STDMETHODCALLTYPE EnumFaxJobs(BSTR mailbox, int* jobs, int* size) = 0;
    /// @brief Retries a fax job.
    /// @param mailbox The mailbox of the job.
    /// @param job The job number.
    /// @return S_OK; E_FAIL; E_CONNECTION_LOST; E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE RetryFax(BSTR mailbox, LONG job) = 0;
    /// @brief An attribute of a fax job.
    /// @param mailbox The mailbox of the job.
    /// @param job The job number.
    /// @param attr The attribute's name.
    /// @param[out] pVal Receives a new BSTR (white space trimmed) that the
    ///        caller frees with SysFreeString; set to null first; may be null.
    /// @return S_OK; E_FAIL; E_CONNECTION_LOST; E_INVALIDARG; E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE GetFaxAttr(BSTR mailbox, LONG job, BSTR attr, BSTR* pVal) = 0;
};

/// @brief Ends a waiting call of a CoQ5Client object from another thread.
///
/// Obtained from the session object with QueryInterface. The other
/// interfaces of the object and their slot orders are untouched. The event
/// object (CLSID_CoEvents) answers it too: there the one "call" is a
/// BeginStatusLog or BeginQ5Log in progress (connect, greeting, login, the
/// event command), which fails as E_CONNECTION_LOST with its usual message
/// and starts no worker, even when the cancel took effect after its last
/// wait; a running log is ended with EndStatusLog or EndQ5Log. A "call" is
/// any method of the object that may wait for the server (Connect with its
/// name lookup and TCP connect, Login, every table, file, utility,
/// administration and fax method that talks to the server); methods that
/// only touch local state (Close, SetTable, SetField, GetField, IsEof,
/// IsBof, GetVersion) are not calls and are never cancelled.
///
/// What a cancel guarantees:
/// - Cancel finds either no call (S_FALSE, and it has no effect at all: a
///   cancel that comes while a call is ending never reaches the next one) or
///   exactly the call in progress, which it ends.
/// - The ended call gives up its wait within one poll step (a second) and
///   returns as when the connection is lost during it: for most methods
///   E_CONNECTION_LOST with the method's usual error record; methods that
///   report a lost connection otherwise (the value properties with empty
///   text, NextRecord and PrevRecord with the end flag) do so here too.
/// - Once the cancel took effect the connection is closed when the call
///   returns: later calls give E_CONNECTION_LOST until Connect opens a new
///   connection. A call that had already received all it waited for when
///   the cancel took effect keeps its own result, but the connection is
///   closed all the same.
///
/// Thread rule: the one interface of the library that may be called from
/// any thread, also while the object's own thread is inside a call (and from
/// within a progress sink of that call). The caller holds a reference to the
/// object for as long as it may call Cancel.
struct IQ5CallCancel : IUnknown {
    /// @brief Ends the session's current wait (connecting and the name
    /// lookup included) within one poll step, at once or after @p ulSeconds.
    /// The waiting call then fails as a lost connection and the connection
    /// is closed. Without a call in progress nothing happens. Returns at
    /// once in every case.
    /// @param ulSeconds Seconds to let the call go on before it is ended
    ///        (0: at once). A call that ends before is not touched, and the
    ///        request ends with it. An earlier, sooner request stays.
    /// @retval S_OK A call was in progress and is being ended.
    /// @retval S_FALSE No call was in progress.
    virtual HRESULT STDMETHODCALLTYPE Cancel(ULONG ulSeconds) = 0;
    /// @brief Whether the call in progress has been asked to end (its delay
    /// may still be running).
    /// @retval S_OK A call is in progress and was cancelled.
    /// @retval S_FALSE Otherwise.
    virtual HRESULT STDMETHODCALLTYPE TestCancel() = 0;
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
template <>
struct InterfaceId<IQ5CallCancel> {
    static constexpr const IID& value = IID_IQ5CallCancel;
};
/// @endcond

/// The most Q5 events a log without a sink keeps for ICoEvents::GetQ5Event.
/// When the server sends faster than the caller polls, the oldest queued
/// events are dropped beyond this many, so the queue's memory stays bounded
/// (about 13 MiB when full, handed back to the system once it is drained)
/// and a poll always finds the newest part of the stream.
inline constexpr long kQ5EventQueueLimit = 100000;

/// @brief The event object's two logs: each runs on a connection of its own
/// with a worker thread that reads the server's event stream.
///
/// Failures set the calling thread's error record (source
/// "Q5Client.CoEvents.1"). Releasing the object ends both logs.
///
/// Thread rule: call only from the thread that created the object; the
/// sinks are called from the logs' worker threads. A sink may call
/// EndStatusLog or EndQ5Log from within its own call.
struct ICoEvents : IUnknown {
    /// @brief Starts the status log: connects, logs in as superuser and asks
    /// for channel status records, which go to @p p (ISupportEvents::GetStatus),
    /// one every 50 ms at most.
    /// @param host Host name or address.
    /// @param port TCP port, 1 to 65535.
    /// @param timeout Connect timeout in seconds; the stream itself may stay
    ///        silent for any time.
    /// @param user The superuser's name.
    /// @param pass The superuser's password.
    /// @param p The sink; required. The log holds a reference until it ends.
    /// @retval S_OK The log started.
    /// @retval S_FALSE The status log is already running: nothing sent, no
    ///         error record. (A log whose connection was lost starts anew.)
    /// @retval E_INVALIDARG @p p is null, or an argument cannot be sent.
    /// @retval E_CONNECTION_LOST "Connect failed": the server could not be
    ///         reached (empty host, bad port, name not resolved, refused,
    ///         timed out or no greeting).
    /// @retval E_FAIL "Login failed", or "Server dose not support command"
    ///         (the server refused the event command).
    virtual HRESULT STDMETHODCALLTYPE BeginStatusLog(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                                     ISupportEvents* p) = 0;
    /// @brief Starts the Q5 log: connects, logs in as a mailbox and asks for
    /// Q5 events. With a sink, each event goes to ISupportEvents::GetQ5Event
    /// (with a pause of 2 seconds after each); without one, events queue
    /// for GetQ5Event (see kQ5EventQueueLimit).
    /// @param host Host name or address.
    /// @param port TCP port, 1 to 65535.
    /// @param timeout Connect timeout in seconds.
    /// @param user The mailbox number.
    /// @param pass The mailbox's password.
    /// @param p The sink, or null to queue the events.
    /// @retval S_OK The log started.
    /// @retval S_FALSE The Q5 log is already running: nothing sent, no error
    ///         record.
    /// @retval E_INVALIDARG An argument cannot be sent.
    /// @retval E_CONNECTION_LOST "Connect failed", as for BeginStatusLog.
    /// @retval E_FAIL "Login failed", or "Server dose not support command".
    virtual HRESULT STDMETHODCALLTYPE BeginQ5Log(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                                 ISupportEvents* p) = 0;
    /// @brief Stops the status log and waits for its worker (unless called
    /// from the sink on that worker).
    /// @retval S_OK Always, also when the log is not running.
    virtual HRESULT STDMETHODCALLTYPE EndStatusLog() = 0;
    /// @brief Stops the Q5 log as EndStatusLog does; queued events stay.
    /// @retval S_OK Always, also when the log is not running.
    virtual HRESULT STDMETHODCALLTYPE EndQ5Log() = 0;
    /// @brief Takes the oldest queued Q5 event.
    /// @param[out] id Receives the event number, 0 when none is queued.
    /// @param[out] data1 Receives a new BSTR with the first data text, which
    ///        the caller frees with SysFreeString; untouched when no event
    ///        is queued; may be null.
    /// @param[out] data2 Likewise, the second data text.
    /// @param[out] data3 Likewise, the third data text.
    /// @retval S_OK An event was taken, or none is queued (@p id 0).
    /// @retval E_POINTER @p id is null.
    /// @retval E_OUTOFMEMORY No memory for the texts; the event stays queued.
    virtual HRESULT STDMETHODCALLTYPE GetQ5Event(LONG* id, BSTR* data1, BSTR* data2, BSTR* data3) = 0;
};

/// @cond Q5COM_INTERNAL
template <>
struct InterfaceId<ICoEvents> {
    static constexpr const IID& value = IID_ICoEvents;
};
/// @endcond
