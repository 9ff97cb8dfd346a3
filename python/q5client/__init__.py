"""Scripting access to a Q5 server through the Q5Client component library.

The module loads the component runtime ``libq5com`` with ctypes and creates
the library's objects the way any caller does, through the registry of
classes (so ``libq5client.so`` must be registered, e.g. with
``q5regsvr``). No compiled extension is involved.

    >>> import q5client
    >>> with q5client.Session("q5.example.com", "101", "1234") as q5:
    ...     q5.get("BOX", "SCREEN")
    {'SCREEN': 'V'}

The runtime is found by the ``library`` argument of Session, else the
``Q5COM_LIBRARY`` environment variable, else the system's library search
(``libq5com.so.1``, then ``libq5com.so``).

Errors are raised as Q5Error (or a subclass) carrying the library's result
code and the text of its error record, which holds the server's text where
the library has one.

Thread rule: a Session and the iterators it hands out belong to the thread
that created them; progress callbacks run on that thread too.
"""

import collections
import os
import time
from ctypes import byref, c_int32, c_void_p

from . import _com
from ._com import BSTR, E_CONNECTION_LOST, E_FAIL, E_FILE_OPEN, E_INVALIDARG

__all__ = ["Session", "Event", "Q5Error", "Refused", "ConnectionLost", "FileError", "InvalidArgument",
           "E_FAIL", "E_CONNECTION_LOST", "E_FILE_OPEN", "E_INVALIDARG"]

DEFAULT_PORT = 1008


# ---- Errors ------------------------------------------------------------------

class Q5Error(Exception):
    """A call of the library failed.

    Attributes:
        code: the result code as an unsigned 32-bit number, written the way
            the C++ header writes it (``0x80004005`` for E_FAIL), so it
            compares equal to the module's E_* constants.
        text: the description of the library's error record (the server's
            text where the library reports one), or "" when it left none.
        operation: the method that failed, e.g. "GetRecord".
    """

    def __init__(self, code, text, operation=""):
        self.code = code & 0xFFFFFFFF
        # The library passes the server's status line on with its line end.
        self.text = (text or "").rstrip("\r\n")
        self.operation = operation
        shown = self.text or _CODE_NAMES.get(self.code, "failed")
        super().__init__("%s: %s (0x%08X)" % (operation, shown, self.code) if operation
                         else "%s (0x%08X)" % (shown, self.code))


_CODE_NAMES = {E_FAIL: "refused", E_CONNECTION_LOST: "connection lost", E_FILE_OPEN: "file not opened",
               E_INVALIDARG: "invalid argument"}


class Refused(Q5Error):
    """The server refused the request (E_FAIL): a wrong password, a record
    or table it does not have, a command the user may not give."""


class ConnectionLost(Q5Error):
    """The connection could not be made or was lost (E_CONNECTION_LOST)."""


class FileError(Q5Error):
    """A local or remote file could not be opened (E_FILE_OPEN)."""


class InvalidArgument(Q5Error, ValueError):
    """An argument could not be sent, e.g. a line break in a value
    (E_INVALIDARG)."""


_BY_CODE = {E_FAIL: Refused, E_CONNECTION_LOST: ConnectionLost, E_FILE_OPEN: FileError,
            E_INVALIDARG: InvalidArgument}


def _raise(runtime, hr, operation):
    """Raises the exception for result `hr`, with the thread's error record."""
    code = hr & 0xFFFFFFFF
    text = runtime.error_text()
    raise _BY_CODE.get(code, Q5Error)(code, text, operation)


Event = collections.namedtuple("Event", "id data1 data2 data3")
Event.__doc__ = """One Q5 event: its number and its three texts (for a call:
the call's key, the caller's number and the caller's name)."""


# ---- Session -----------------------------------------------------------------

class Session:
    """A logged-in session with a Q5 server.

    Args:
        host: the server's name or address.
        user: the mailbox number (or the superuser's name when `su`).
        password: the password.
        port: the server's TCP port.
        timeout: seconds to wait for the connection and each reply; 0 takes
            the library's default.
        su: log in as superuser.
        library: path of libq5com to load (see the module's text).

    Use it as a context manager: entering connects and logs in, leaving
    says goodbye and closes the connection. open() and close() do the same
    by hand.
    """

    def __init__(self, host, user, password, port=DEFAULT_PORT, timeout=0, su=False, library=None):
        self.host = host
        self.user = user
        self.password = password
        self.port = int(port)
        self.timeout = int(timeout)
        self.su = bool(su)
        self._runtime = _com.runtime(library)
        self._connect = self._table = self._util = None
        self._cancel = None
        self._logs = []

    # Life ---------------------------------------------------------------------

    def open(self):
        """Connects and logs in; raises ConnectionLost or Refused."""
        if self._connect is not None:
            return self
        rt = self._runtime
        connect = rt.create(_com.CLSID_CoQ5Client, _com.IQ5Connect, _com.IID_IQ5Connect)
        # Taken first, so that cancel() can end the connect and the login too.
        self._cancel = connect.query(_com.IQ5CallCancel, _com.IID_IQ5CallCancel)
        try:
            self._call(connect, "Connect", self.host, self.port, self.timeout)
            self._call(connect, "SuLogin" if self.su else "Login", self.user, self.password)
            self._table = connect.query(_com.IQ5Table, _com.IID_IQ5Table)
            self._util = connect.query(_com.IQ5Util, _com.IID_IQ5Util)
        except BaseException:
            connect.call("Close")
            connect.release()
            self._cancel.release()
            self._table = self._util = self._cancel = None
            raise
        self._connect = connect
        return self

    def close(self):
        """Ends the event iterators, logs out and closes the connection.
        Closing a closed session does nothing."""
        for log in self._logs:
            log.end()
        self._logs = []
        if self._connect is None:
            return
        connect, self._connect = self._connect, None
        try:
            connect.call("Quit")
            connect.call("Close")
        finally:
            for held in (self._table, self._util, self._cancel, connect):
                if held is not None:
                    held.release()
            self._table = self._util = self._cancel = None

    def __enter__(self):
        return self.open()

    def __exit__(self, *exc):
        self.close()
        return False

    def cancel(self, seconds=0):
        """Ends the call that another thread is making on this session (open()
        included), at once or after `seconds`; that call then raises
        ConnectionLost and the session's connection is closed. The one method
        meant for another thread; call it while the session is open or
        opening. Returns True when a call was in progress, False (and changes
        nothing) otherwise."""
        cancel = self._cancel
        if cancel is None:
            return False
        return cancel.call("Cancel", int(seconds)) == 0

    @property
    def closed(self):
        """True before open() and after close()."""
        return self._connect is None

    # Calls --------------------------------------------------------------------

    def _call(self, iface, method, *args):
        """Calls `method` with BSTRs made from str arguments; raises on failure."""
        rt = self._runtime
        made = []
        try:
            converted = []
            for arg in args:
                if isinstance(arg, str):
                    b = rt.alloc(arg)
                    made.append(b)
                    converted.append(BSTR(b))
                else:
                    converted.append(arg)
            rt.clear_error()
            hr = iface.call(method, *converted)
            if hr < 0:
                _raise(rt, hr, method)
            return hr
        finally:
            for b in made:
                rt.free(b)

    def _need(self):
        if self._connect is None:
            raise ConnectionLost(E_CONNECTION_LOST, "The session is not open", "")

    # Records ------------------------------------------------------------------

    def _fetch(self, table):
        self._call(self._table, "SetTable", table)
        self._call(self._table, "GetRecord")

    def _field(self, name):
        out = BSTR()
        self._call(self._table, "get_GetField", name, byref(out))
        return self._runtime.take(out.value)

    def get(self, table, *fields):
        """Reads the session user's record of `table` and returns the named
        fields as a dict of str. The library cannot list a table's fields, so
        at least one must be named; a name the table does not know reads as
        "" (as the library reports it).

        Raises Refused when the server has no such record, ConnectionLost.
        """
        if not fields:
            raise TypeError("get() needs the names of the fields to read")
        self._need()
        self._fetch(table)
        return {name: self._field(name) for name in fields}

    def set(self, table, values=None, /, **fields):
        """Changes fields of the session user's record of `table`: reads the
        record, sets the fields and writes it back. Give the fields as
        keywords, or as a dict for names that are no Python identifiers.
        Values are converted with str().

        Raises Refused when the server refuses the record, InvalidArgument
        for a value that cannot be sent, ConnectionLost.
        """
        changes = dict(values or {})
        changes.update(fields)
        if not changes:
            raise TypeError("set() needs at least one field")
        self._need()
        self._fetch(table)
        for name, value in changes.items():
            self._call(self._table, "SetField", name, str(value))
        self._call(self._table, "PutRecord")

    # Files --------------------------------------------------------------------

    def _transfer(self, method, mailbox, remote, local, progress):
        self._need()
        local = os.fspath(local)
        sink = None
        if progress is not None:
            sink = _com.EventSink(on_progress=progress)
            sink._runtime = self._runtime
        box = self.user if mailbox is None else mailbox
        try:
            self._call(self._util, method, str(box), str(remote), local,
                       c_void_p(sink.pointer) if sink else None)
        finally:
            failure = sink.failure if sink else None
        if failure is not None:
            raise failure
        if progress is not None:
            size = os.path.getsize(local)
            progress(size, size)

    def get_file(self, remote, local, progress=None, mailbox=None):
        """Copies file `remote` of the mailbox (the session user's unless
        `mailbox` is given) to the local path `local`.

        progress(done, total), if given, is called with byte counts as the
        transfer goes (about every 4 KiB) and once more with the whole size
        when it is done. An exception it raises is raised after the
        transfer.

        Raises FileError when either file cannot be opened, ConnectionLost.
        """
        self._transfer("GetFile2", mailbox, remote, local, progress)

    def put_file(self, local, remote, progress=None, mailbox=None):
        """Copies the local file `local` to file `remote` of the mailbox
        (the session user's unless `mailbox` is given). progress as for
        get_file.

        Raises FileError when either file cannot be opened, ConnectionLost.
        """
        self._transfer("PutFile2", mailbox, remote, local, progress)

    # Events -------------------------------------------------------------------

    def events(self, idle=None, poll=0.05):
        """Iterates over the Q5 events the server sends for this user, as
        Event tuples, in the order they arrive.

        A separate connection carries the events; it is opened with the
        session's host, port, user and password and logs in as a mailbox
        user (the library's event log has no superuser login), so with
        su=True it raises Refused. The iterator runs until the
        loop leaves it (break), the session is closed, or, when `idle` is
        given, no event came for that many seconds. `poll` is the pause in
        seconds between looks at the queue.

        Raises Refused or ConnectionLost when the event connection cannot be
        started.
        """
        self._need()
        log = _EventLog(self)
        self._logs.append(log)
        return log.iterate(idle, poll)

    # Server facts -------------------------------------------------------------

    def info(self):
        """The server's uptime, serial, version, load and version type, as a
        dict of str (keys uptime, serial, version, load, vertype; a value may
        hold several lines)."""
        self._need()
        facts = {}
        for key, prop in (("uptime", "get_Uptime"), ("serial", "get_Serial"), ("version", "get_Version"),
                          ("load", "get_VLoad"), ("vertype", "get_VerType")):
            out = BSTR()
            self._call(self._util, prop, byref(out))
            facts[key] = self._runtime.take(out.value).rstrip("\r\n")
        return facts


class _EventLog:
    """One CoEvents object running a Q5 event log for a session."""

    def __init__(self, session):
        self._session = session
        self._events = session._runtime.create(_com.CLSID_CoEvents, _com.ICoEvents, _com.IID_ICoEvents)
        try:
            session._call(self._events, "BeginQ5Log", session.host, session.port, session.timeout,
                          session.user, session.password, None)
        except BaseException:
            self._events.release()
            raise

    def end(self):
        if self._events is not None:
            self._events.call("EndQ5Log")
            self._events.release()
            self._events = None

    def iterate(self, idle, poll):
        rt = self._session._runtime
        try:
            last = time.monotonic()
            while self._events is not None:
                number = c_int32()
                d1, d2, d3 = BSTR(), BSTR(), BSTR()
                self._session._call(self._events, "GetQ5Event", byref(number), byref(d1), byref(d2), byref(d3))
                if number.value:
                    yield Event(number.value, rt.take(d1.value), rt.take(d2.value), rt.take(d3.value))
                    last = time.monotonic()
                    continue
                if idle is not None and time.monotonic() - last >= idle:
                    return
                time.sleep(poll)
        finally:
            self.end()
            if self in self._session._logs:
                self._session._logs.remove(self)
