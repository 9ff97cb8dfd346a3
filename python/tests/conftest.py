"""Fixtures: the built q5sim on an ephemeral port of 127.0.0.1, and the built
libq5client.so registered in a registry of its own.

The paths come from the environment, as the test registration sets it:
Q5SIM, Q5REGSVR, Q5CLIENT_LIBRARY and Q5COM_LIBRARY.
"""

import os
import select
import signal
import socket
import subprocess
import sys
import time

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))


def _tool(name):
    path = os.environ.get(name)
    if not path:
        pytest.fail("%s is not set: run these tests through ctest" % name)
    return path


@pytest.fixture(scope="session", autouse=True)
def registry(tmp_path_factory):
    """Registers the built library in a registry file of its own."""
    path = tmp_path_factory.mktemp("registry") / "registry"
    os.environ["Q5COM_REGISTRY"] = str(path)
    _tool("Q5COM_LIBRARY")
    subprocess.run([_tool("Q5REGSVR"), _tool("Q5CLIENT_LIBRARY")], check=True, stdout=subprocess.DEVNULL)
    return path


class Sim:
    """A q5sim process with the demo mailboxes and the superuser admin."""

    def __init__(self, data, extra=()):
        self.data = data
        self.process = subprocess.Popen(
            [_tool("Q5SIM"), "--listen", "127.0.0.1:0", "--data", str(data), "--seed-demo", "--quiet",
             "--su", "admin:secret"] + list(extra),
            stdout=subprocess.PIPE)
        line = b""
        deadline = time.monotonic() + 15
        while not line.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([self.process.stdout], [], [], 0.2)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 256)
                if not chunk:
                    break
                line += chunk
        if not line.startswith(b"port "):
            self.process.kill()
            self.process.wait()
            pytest.fail("q5sim did not report its port: %r" % line)
        self.port = int(line.split()[1])

    def mailbox_file(self, box, name):
        return self.data / "mailboxes" / box / name

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.kill()
        self.process.stdout.close()
        return self.process.returncode


@pytest.fixture
def sim(tmp_path):
    server = Sim(tmp_path / "data", ["--call-linger", "1", "--ring-seconds", "1"])
    yield server
    server.stop()


class LineClient:
    """The server's line protocol spoken directly, for the emulator's own
    commands that the library has no method for."""

    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=10)
        self.file = self.sock.makefile("rb")
        self.file.readline()  # greeting

    def command(self, line):
        self.sock.sendall(line.encode("ascii") + b"\r\n")
        return self.file.readline().decode("ascii").rstrip("\r\n")

    def close(self):
        self.file.close()
        self.sock.close()


@pytest.fixture
def admin(sim):
    client = LineClient(sim.port)
    client.command("SU admin")
    assert client.command("PASS secret").startswith("+")
    yield client
    client.close()
