"""The component runtime as seen through ctypes.

Loads ``libq5com``, declares the GUIDs, the result codes and the interfaces
of ``q5client/q5client.h`` as vtable structures in their exact slot order,
and converts between Python text and BSTRs (UTF-16 on this platform).

Thread rule: the objects created here are apartment-threaded, as the
library's are: use each from the thread that created it.
"""

import ctypes
import ctypes.util
import os
import uuid
from ctypes import (CFUNCTYPE, POINTER, Structure, byref, c_int, c_int32, c_ubyte,
                    c_uint, c_uint16, c_uint32, c_void_p)

HRESULT = c_int32
LONG = c_int32
ULONG = c_uint32
DWORD = c_uint32
BSTR = c_void_p          # OLECHAR* (char16_t*): UTF-16 code units

S_OK = 0
S_FALSE = 1
E_NOTIMPL = 0x80004001
E_NOINTERFACE = 0x80004002
E_POINTER = 0x80004003
E_FAIL = 0x80004005
E_UNEXPECTED = 0x8000FFFF
E_OUTOFMEMORY = 0x8007000E
E_INVALIDARG = 0x80070057
REGDB_E_CLASSNOTREG = 0x80040154
E_FILE_OPEN = 0x80040001
E_CONNECTION_LOST = 0x80040010

CLSCTX_INPROC_SERVER = 0x1


class GUID(Structure):
    _fields_ = [("Data1", c_uint32), ("Data2", c_uint16), ("Data3", c_uint16),
                ("Data4", c_ubyte * 8)]

    @classmethod
    def parse(cls, text):
        u = uuid.UUID(text)
        g = cls()
        g.Data1, g.Data2, g.Data3 = u.fields[0], u.fields[1], u.fields[2]
        g.Data4[:] = list(u.bytes[8:])
        return g

    def __eq__(self, other):
        return isinstance(other, GUID) and bytes(self) == bytes(other)

    def __hash__(self):
        return hash(bytes(self))


IID_IUnknown = GUID.parse("00000000-0000-0000-C000-000000000046")
IID_IErrorInfo = GUID.parse("1CF2B120-547D-101B-8E65-08002B2BD119")
CLSID_CoQ5Client = GUID.parse("434F6442-422E-4164-B26A-0B966CB80181")
CLSID_CoEvents = GUID.parse("6388416A-C875-4BDC-8595-BC9FFC0AF51D")
IID_IQ5Connect = GUID.parse("21BA292F-D606-43E0-A43A-7B9A9FE36B16")
IID_IQ5Table = GUID.parse("D2940487-E0C4-4125-AB4D-40009DFC6C84")
IID_IQ5Admin = GUID.parse("6FC6D09F-CA80-45A4-82E7-A6D3436658CA")
IID_IQ5Util = GUID.parse("5041FD37-999B-4B98-A0E7-8BE2523DA8ED")
IID_IQ5FaxServer = GUID.parse("882CBE3A-D238-45EE-A09C-94FD591CB226")
IID_IQ5CallCancel = GUID.parse("EA1E8BA3-7465-49F2-B1CE-DBE874C6BCA6")
IID_ICoEvents = GUID.parse("F8D096BC-D241-434E-B68A-94C9D30147AC")
IID_ISupportEvents = GUID.parse("9FFE8E3A-B1C7-4624-9326-DD437652F2C3")

REFIID = POINTER(GUID)

# ---- Interfaces ------------------------------------------------------------
# Every interface derives from IUnknown only (no IDispatch): its vtable is
# QueryInterface, AddRef, Release and then its own methods in declaration
# order. Each method takes the interface pointer first.

_UNKNOWN_METHODS = [
    ("QueryInterface", HRESULT, [REFIID, POINTER(c_void_p)]),
    ("AddRef", ULONG, []),
    ("Release", ULONG, []),
]


def _interface(name, methods, base=_UNKNOWN_METHODS):
    slots = list(base) + list(methods)
    vtbl = type(name + "Vtbl", (Structure,), {
        "_fields_": [(m, CFUNCTYPE(res, c_void_p, *args)) for m, res, args in slots],
    })
    iface = type(name, (Structure,), {"_fields_": [("lpVtbl", POINTER(vtbl))]})
    iface.Vtbl = vtbl
    iface.methods = slots
    return iface


IUnknown = _interface("IUnknown", [])

IErrorInfo = _interface("IErrorInfo", [
    ("GetGUID", HRESULT, [POINTER(GUID)]),
    ("GetSource", HRESULT, [POINTER(BSTR)]),
    ("GetDescription", HRESULT, [POINTER(BSTR)]),
    ("GetHelpFile", HRESULT, [POINTER(BSTR)]),
    ("GetHelpContext", HRESULT, [POINTER(DWORD)]),
])

ISupportEvents = _interface("ISupportEvents", [
    ("GetStatus", HRESULT, [LONG, BSTR, BSTR, BSTR]),
    ("GetQ5Event", HRESULT, [LONG, BSTR, BSTR, BSTR]),
    ("GetProgress", HRESULT, [LONG, LONG]),
])

IQ5Connect = _interface("IQ5Connect", [
    ("Connect", HRESULT, [BSTR, LONG, LONG]),
    ("Close", HRESULT, []),
    ("Login", HRESULT, [BSTR, BSTR]),
    ("SuLogin", HRESULT, [BSTR, BSTR]),
    ("Quit", HRESULT, []),
])

IQ5Table = _interface("IQ5Table", [
    ("GetRecord", HRESULT, []),
    ("PutRecord", HRESULT, []),
    ("AddRecord", HRESULT, []),
    ("SuLogin", HRESULT, [BSTR, BSTR]),
    ("OpenTable", HRESULT, [BSTR]),
    ("CloseTable", HRESULT, []),
    ("NextRecord", HRESULT, []),
    ("PrevRecord", HRESULT, []),
    ("FirstRecord", HRESULT, []),
    ("LastRecord", HRESULT, []),
    ("DeleteRecord", HRESULT, []),
    ("SetField", HRESULT, [BSTR, BSTR]),
    ("get_GetField", HRESULT, [BSTR, POINTER(BSTR)]),
    ("put_GetField", HRESULT, [BSTR, BSTR]),
    ("get_IsEof", HRESULT, [POINTER(LONG)]),
    ("get_IsBof", HRESULT, [POINTER(LONG)]),
    ("SetTable", HRESULT, [BSTR]),
])

IQ5Admin = _interface("IQ5Admin", [
    ("DeleteMailbox", HRESULT, [BSTR]),
    ("AddMailbox", HRESULT, [BSTR]),
    ("LightMWI", HRESULT, [BSTR, BSTR]),
    ("ResetMWI", HRESULT, []),
    ("SendRingEvent", HRESULT, [LONG]),
    ("SendHangupEvent", HRESULT, [LONG]),
    ("LoadConf", HRESULT, [LONG]),
])

IQ5Util = _interface("IQ5Util", [
    ("GetFile", HRESULT, [BSTR, BSTR, BSTR]),
    ("GetFile2", HRESULT, [BSTR, BSTR, BSTR, c_void_p]),
    ("PutFile", HRESULT, [BSTR, BSTR, BSTR]),
    ("PutFile2", HRESULT, [BSTR, BSTR, BSTR, c_void_p]),
    ("ConvertV2W", HRESULT, [BSTR, BSTR]),
    ("ConvertW2V", HRESULT, [BSTR, BSTR]),
    ("DelFile", HRESULT, [BSTR, BSTR]),
    ("RenFile", HRESULT, [BSTR, BSTR, BSTR]),
    ("get_Uptime", HRESULT, [POINTER(BSTR)]),
    ("get_Serial", HRESULT, [POINTER(BSTR)]),
    ("get_Version", HRESULT, [POINTER(BSTR)]),
    ("get_VLoad", HRESULT, [POINTER(BSTR)]),
    ("get_VerType", HRESULT, [POINTER(BSTR)]),
    ("KeepAlive", HRESULT, []),
    ("SetVValue", HRESULT, [BSTR, BSTR]),
    ("SetVXValue", HRESULT, [BSTR, BSTR, BSTR]),
    ("GetAttr", HRESULT, [BSTR, POINTER(BSTR)]),
    ("CompileGrammar", HRESULT, [BSTR, BSTR]),
    ("GetVersion", HRESULT, [POINTER(LONG), POINTER(LONG)]),
    ("GenDirAssistBnf", HRESULT, [BSTR, BSTR, BSTR, LONG]),
])

IQ5FaxServer = _interface("IQ5FaxServer", [
    ("SendFax", HRESULT, [POINTER(LONG)]),
    ("GetFaxStatus", HRESULT, [BSTR, LONG, POINTER(LONG)]),
    ("CancelFax", HRESULT, [BSTR, LONG]),
    ("EnumFaxJobs", HRESULT, [BSTR, POINTER(c_int), POINTER(c_int)]),
    ("RetryFax", HRESULT, [BSTR, LONG]),
    ("GetFaxAttr", HRESULT, [BSTR, LONG, BSTR, POINTER(BSTR)]),
])

IQ5CallCancel = _interface("IQ5CallCancel", [
    ("Cancel", HRESULT, [ULONG]),
    ("TestCancel", HRESULT, []),
])

ICoEvents = _interface("ICoEvents", [
    ("BeginStatusLog", HRESULT, [BSTR, LONG, LONG, BSTR, BSTR, c_void_p]),
    ("BeginQ5Log", HRESULT, [BSTR, LONG, LONG, BSTR, BSTR, c_void_p]),
    ("EndStatusLog", HRESULT, []),
    ("EndQ5Log", HRESULT, []),
    ("GetQ5Event", HRESULT, [POINTER(LONG), POINTER(BSTR), POINTER(BSTR), POINTER(BSTR)]),
])


# ---- The runtime -------------------------------------------------------------

def find_runtime(path=None):
    """Returns the path or name of libq5com to load: `path`, else
    $Q5COM_LIBRARY, else what the system's library search finds, else the
    usual sonames."""
    for candidate in (path, os.environ.get("Q5COM_LIBRARY"), ctypes.util.find_library("q5com")):
        if candidate:
            return candidate
    return None


class Runtime:
    """libq5com loaded, with the functions the module calls declared."""

    def __init__(self, path=None):
        chosen = find_runtime(path)
        names = [chosen] if chosen else ["libq5com.so.1", "libq5com.so"]
        errors = []
        self.dll = None
        for name in names:
            try:
                self.dll = ctypes.CDLL(name)
                self.path = name
                break
            except OSError as error:
                errors.append(str(error))
        if self.dll is None:
            raise OSError("cannot load the component runtime libq5com: " + "; ".join(errors))
        d = self.dll
        d.SysAllocStringLen.restype = BSTR
        d.SysAllocStringLen.argtypes = [c_void_p, c_uint]
        d.SysFreeString.restype = None
        d.SysFreeString.argtypes = [BSTR]
        d.SysStringLen.restype = c_uint
        d.SysStringLen.argtypes = [BSTR]
        d.GetErrorInfo.restype = HRESULT
        d.GetErrorInfo.argtypes = [ULONG, POINTER(c_void_p)]
        d.SetErrorInfo.restype = HRESULT
        d.SetErrorInfo.argtypes = [ULONG, c_void_p]
        d.CoCreateInstance.restype = HRESULT
        d.CoCreateInstance.argtypes = [REFIID, c_void_p, DWORD, REFIID, POINTER(c_void_p)]

    # Text ------------------------------------------------------------------

    def alloc(self, text):
        """A new BSTR holding `text` (None for None); the caller frees it."""
        if text is None:
            return None
        data = str(text).encode("utf-16-le", "surrogatepass")
        units = len(data) // 2
        buffer = (c_uint16 * max(units, 1)).from_buffer_copy(data or b"\0\0")
        b = self.dll.SysAllocStringLen(buffer, units)
        if not b:
            raise MemoryError("SysAllocStringLen")
        return b

    def text(self, b):
        """The text of a BSTR (a null BSTR is the empty text)."""
        if not b:
            return ""
        units = self.dll.SysStringLen(b)
        return ctypes.string_at(b, units * 2).decode("utf-16-le", "replace")

    def free(self, b):
        if b:
            self.dll.SysFreeString(b)

    def take(self, b):
        """The text of a BSTR handed over by a callee, freeing it."""
        try:
            return self.text(b)
        finally:
            self.free(b)

    # Error records ---------------------------------------------------------

    def clear_error(self):
        self.dll.SetErrorInfo(0, None)

    def error_text(self):
        """The description of the calling thread's error record, taking it;
        None when there is none."""
        record = c_void_p()
        if self.dll.GetErrorInfo(0, byref(record)) != S_OK or not record:
            return None
        info = Interface(self, record.value, IErrorInfo, owned=True)
        try:
            out = BSTR()
            if info.call("GetDescription", byref(out)) < 0:
                return None
            return self.take(out.value)
        finally:
            info.release()

    # Creation --------------------------------------------------------------

    def create(self, clsid, iface, iid):
        """A new object of class `clsid` through interface `iface`; raises
        Q5Error on failure."""
        self.clear_error()
        out = c_void_p()
        hr = self.dll.CoCreateInstance(byref(clsid), None, CLSCTX_INPROC_SERVER, byref(iid), byref(out))
        if hr < 0 or not out:
            from q5client import _raise
            _raise(self, hr, "CoCreateInstance")
        return Interface(self, out.value, iface, owned=True)


_loaded = {}


def runtime(path=None):
    """The Runtime for `path` (see find_runtime), loaded once."""
    key = find_runtime(path)
    if key not in _loaded:
        _loaded[key] = Runtime(path)
    return _loaded[key]


class Interface:
    """One reference to an interface pointer, with its methods callable by
    name; release() (or garbage collection) gives the reference back."""

    def __init__(self, runtime, pointer, iface, owned=False):
        self.runtime = runtime
        self.pointer = pointer
        self.iface = iface
        self._vtbl = ctypes.cast(pointer, POINTER(iface)).contents.lpVtbl.contents
        if not owned:
            self.call("AddRef")

    def call(self, name, *args):
        """Calls method `name` and returns its raw result."""
        if not self.pointer:
            raise ValueError("the interface was released")
        return getattr(self._vtbl, name)(self.pointer, *args)

    def query(self, iface, iid):
        """The object's `iface` interface (a new reference)."""
        out = c_void_p()
        hr = self.call("QueryInterface", byref(iid), byref(out))
        if hr < 0 or not out:
            from q5client import _raise
            _raise(self.runtime, hr, "QueryInterface")
        return Interface(self.runtime, out.value, iface, owned=True)

    def release(self):
        if self.pointer:
            self.call("Release")
            self.pointer = None

    def __del__(self):
        try:
            self.release()
        except Exception:
            pass


class EventSink:
    """An ISupportEvents object implemented in Python. The library holds it
    by reference count; this Python object must outlive the library's
    references (the module keeps it while a call that was given it runs)."""

    class _Object(Structure):
        _fields_ = [("lpVtbl", POINTER(ISupportEvents.Vtbl))]

    def __init__(self, on_progress=None, on_event=None, on_status=None):
        self.refs = 1
        self.failure = None
        self._on_progress = on_progress
        self._on_event = on_event
        self._on_status = on_status
        self._runtime = None
        types = dict((f[0], f[1]) for f in ISupportEvents.Vtbl._fields_)
        self._vtbl = ISupportEvents.Vtbl(
            types["QueryInterface"](self._query),
            types["AddRef"](self._add_ref),
            types["Release"](self._release),
            types["GetStatus"](self._status),
            types["GetQ5Event"](self._event),
            types["GetProgress"](self._progress),
        )
        self._object = EventSink._Object(ctypes.pointer(self._vtbl))

    @property
    def pointer(self):
        return ctypes.addressof(self._object)

    def _query(self, this, iid, out):
        if not out:
            return E_POINTER - (1 << 32)
        if iid.contents == IID_IUnknown or iid.contents == IID_ISupportEvents:
            out[0] = this
            self.refs += 1
            return S_OK
        out[0] = None
        return E_NOINTERFACE - (1 << 32)

    def _add_ref(self, this):
        self.refs += 1
        return self.refs

    def _release(self, this):
        self.refs -= 1
        return self.refs

    def _guard(self, function, *args):
        # An exception must not cross into the library: the first one is
        # kept and raised by the module once the library call returns.
        if function is None or self.failure is not None:
            return S_OK
        try:
            function(*args)
        except BaseException as error:  # noqa: B902 - handed back to the caller
            self.failure = error
        return S_OK

    def _status(self, this, chan, mode, status, box):
        return self._guard(self._on_status, chan, self._text(mode), self._text(status), self._text(box))

    def _event(self, this, msgid, d1, d2, d3):
        return self._guard(self._on_event, msgid, self._text(d1), self._text(d2), self._text(d3))

    def _progress(self, this, done, total):
        return self._guard(self._on_progress, done, total)

    def _text(self, b):
        return self._runtime.text(b) if self._runtime else ""
