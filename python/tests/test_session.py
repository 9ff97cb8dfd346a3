"""The q5client module against q5sim."""

import os
import re
import socket
import threading
import time

import pytest

import q5client
from q5client import _com

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "include", "q5client",
                      "q5client.h")
README = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "README.md")


def session(sim, user="101", password="1234", **options):
    return q5client.Session("127.0.0.1", user, password, port=sim.port, timeout=10, **options)


def test_get_reads_the_demo_value_and_set_round_trips_text_beyond_ascii(sim):
    with session(sim) as q5:
        assert q5.get("BOX", "SCREEN", "FIRST_N") == {"SCREEN": "V", "FIRST_N": "Dana"}
        q5.set("BOX", FIRST_N="Dané €5", LAST_N="Whitfield")
    # A new session reads what the server stored.
    with session(sim) as q5:
        assert q5.get("BOX", "FIRST_N")["FIRST_N"] == "Dané €5"


def test_put_file_then_get_file_round_trips_one_mib_with_progress(sim, tmp_path):
    data = os.urandom(1024 * 1024)
    (tmp_path / "up.bin").write_bytes(data)
    reports = []
    with session(sim) as q5:
        q5.put_file(tmp_path / "up.bin", "big.bin", progress=lambda done, total: reports.append((done, total)))
        assert sim.mailbox_file("101", "big.bin").read_bytes() == data
        q5.get_file("big.bin", tmp_path / "down.bin")
    assert (tmp_path / "down.bin").read_bytes() == data

    # An exception in the progress callback reaches the caller after the
    # transfer, and the session goes on.
    def fail(done, total):
        raise RuntimeError("stop at %d" % done)
    with session(sim) as q5:
        with pytest.raises(RuntimeError, match="stop at 4095"):
            q5.get_file("big.bin", tmp_path / "again.bin", progress=fail)
        assert q5.get("BOX", "SCREEN") == {"SCREEN": "V"}
    assert len(reports) > 200
    assert [done for done, _ in reports] == sorted(set(done for done, _ in reports))
    assert set(total for _, total in reports) == {len(data)}
    assert reports[-1] == (len(data), len(data))


def test_events_yields_a_simulated_call_in_order(sim, admin):
    with session(sim) as q5:
        events = q5.events(idle=60)
        reply = admin.command("SIM_CALL 101 2125550142 ROBERT KING")
        assert reply.startswith("+OK "), reply
        key = reply[4:]
        seen = []
        for event in events:
            seen.append(event)
            if event.id == 10:
                break
    # Closing the session ended the log the loop left: no wait for `idle`.
    started = time.monotonic()
    assert next(events, None) is None
    assert time.monotonic() - started < 10
    assert seen[0] == q5client.Event(1, key, "2125550142", "ROBERT KING")
    # Rings out unanswered into the mailbox (5), then ends (10).
    assert [event.id for event in seen] == [1, 5, 10]
    assert all(event.data1 == key for event in seen)


def test_refusals_lost_connections_and_missing_files_raise_their_exceptions(sim, tmp_path):
    with pytest.raises(q5client.Refused) as refused:
        session(sim, password="wrong").open()
    assert refused.value.code == q5client.E_FAIL == 0x80004005
    assert "unknown username or password" in refused.value.text.lower()

    with session(sim) as q5:
        with pytest.raises(q5client.Refused) as no_table:
            q5.get("NO_SUCH_TABLE", "X")
        assert no_table.value.text == "-ERR no such table"
        with pytest.raises(q5client.FileError) as missing:
            q5.get_file("missing.wav", tmp_path / "x")
        assert missing.value.code == q5client.E_FILE_OPEN
        sim.kill()
        with pytest.raises(q5client.ConnectionLost) as lost:
            q5.get("BOX", "SCREEN")
        assert lost.value.code == q5client.E_CONNECTION_LOST
        assert isinstance(lost.value, q5client.Q5Error)


def test_interfaces_follow_the_header_slot_order():
    header = open(HEADER, encoding="utf-8").read()
    declared = {}
    for name, body in re.findall(r"struct (\w+) : IUnknown \{(.*?)\n\};", header, re.S):
        declared[name] = re.findall(r"virtual \w+ STDMETHODCALLTYPE (\w+)\(", body)
    assert len(declared) == 8
    for name, methods in declared.items():
        iface = getattr(_com, name)
        assert [slot[0] for slot in iface.methods] == ["QueryInterface", "AddRef", "Release"] + methods, name


def test_runtime_is_found_by_argument_and_a_wrong_path_says_so(sim, monkeypatch):
    path = os.environ["Q5COM_LIBRARY"]
    monkeypatch.delenv("Q5COM_LIBRARY")
    monkeypatch.setattr(_com, "_loaded", {})
    with session(sim, library=path) as q5:
        assert q5.get("BOX", "SCREEN") == {"SCREEN": "V"}
    with pytest.raises(OSError, match="libq5com"):
        session(sim, library="/nonexistent/libq5com.so.1")


def test_readme_python_example_runs(sim, tmp_path, monkeypatch, capsys):
    text = open(README, encoding="utf-8").read()
    found = re.search(r"<!-- python-example -->\s*```python\n(.*?)```", text, re.S)
    assert found, "README has no marked Python example"
    code = found.group(1)
    assert len(code.strip().splitlines()) == 5
    monkeypatch.chdir(tmp_path)
    exec(compile(code.replace("port=1008", "port=%d" % sim.port), "README.md", "exec"), {})
    assert "'SCREEN': 'V'" in capsys.readouterr().out
    assert (tmp_path / "Name.vox").read_bytes() == sim.mailbox_file("101", "Name.vox").read_bytes()


def test_cancel_from_another_thread_ends_a_login_the_server_never_answers():
    # A server that greets and then says nothing more.
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    q5 = q5client.Session("127.0.0.1", "101", "1234", port=listener.getsockname()[1])
    assert not q5.cancel()  # nothing to cancel yet
    failure = []

    def opening():
        try:
            q5.open()
        except q5client.Q5Error as error:
            failure.append(error)

    thread = threading.Thread(target=opening)
    thread.start()
    conn, _ = listener.accept()
    conn.sendall(b"+OK 5 Q5Server ready\r\n")
    assert conn.recv(64) == b"USER 101\r\n"
    deadline = time.monotonic() + 10
    while not q5.cancel():  # until the call is seen
        assert time.monotonic() < deadline
        time.sleep(0.01)
    # Without the cancel the login would wait 30 s for its reply.
    thread.join(10)
    assert not thread.is_alive()
    assert isinstance(failure[0], q5client.ConnectionLost)
    assert conn.recv(64) == b""  # the library closed the connection
    assert q5.closed and not q5.cancel()
    conn.close()
    listener.close()
