"""The processes a session starts: each in a process group of its own that
dies with the test process and is ended by its id; a program's Windows exit
code; Wine programs run to their end; and what Linux's /proc tells of the
program's Wine processes (which are left, their processor time, the files
they hold open)."""

from __future__ import annotations

import ctypes
import os
import signal
import subprocess
import tempfile
from pathlib import Path
from typing import TYPE_CHECKING, Any, Callable

from config import SCR_NAME, log

if TYPE_CHECKING:
    from session import Session

_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1
_ADDR_NO_RANDOMIZE = 0x0040000


def _prepare_child() -> None:
    """Runs in each child before exec.

    If the test process is killed outright (a CTest timeout), the kernel
    ends the child too, so no display or wineserver outlives its test. A
    wineserver's end takes its Wine processes with it.

    The child and what it starts get the same address layout every time:
    in about one start in a thousand, a randomised layout had something
    where Wine maps its shared user data, and Wine ended the program before
    its first instruction ("failed to map the shared user data: c0000018",
    exit code 1)."""
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)
    _libc.personality(_libc.personality(0xFFFFFFFF) | _ADDR_NO_RANDOMIZE)


def popen_in_group(argv: list[str], **kwargs: Any) -> subprocess.Popen:
    """Popen in a session of its own (so the group can be ended by id) that
    dies with the test process."""
    return subprocess.Popen(argv, start_new_session=True, preexec_fn=_prepare_child, **kwargs)


def kill_group(proc: subprocess.Popen, grace: float = 2.0) -> None:
    """Ends a process that runs in a session of its own, with its group, by
    id: SIGTERM, then SIGKILL after grace seconds. One that has already been
    reaped is left alone, since its id may belong to another process now."""
    if proc.poll() is not None:
        return
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            return
        try:
            proc.wait(timeout=grace)
            return
        except subprocess.TimeoutExpired:
            continue


class Process:
    """A program the session started: its exit code is the Windows one (its
    low byte, as Wine hands it to Linux)."""

    def __init__(self, popen: subprocess.Popen, name: str, log_path: Path):
        self.popen = popen
        self.name = name
        self.log_path = log_path
        self.killed = False
        # The Windows process id, once the served inspector holds the process
        # (Session.hold), and how to ask it for the exit code.
        self.held_pid: int | None = None
        self.held_exit_code: Callable[[], int | None] | None = None
        self._code: int | None = None

    @property
    def pid(self) -> int:
        return self.popen.pid

    @property
    def running(self) -> bool:
        return self.popen.poll() is None

    @property
    def exit_code(self) -> int | None:
        code = self.popen.poll()
        return None if code is None else self._windows_code(code)

    def wait(self, timeout: float) -> int:
        """The exit code; raises TimeoutError when still running at the deadline."""
        try:
            return self._windows_code(self.popen.wait(timeout=timeout))
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"{self.name} (pid {self.pid}) still running after {timeout:.1f} s") from None

    def _windows_code(self, code: int) -> int:
        """Wine's server gives a program that has ended a moment to leave
        Linux; on a loaded machine the moment may run out, and the server
        then kills the Linux process, which Linux reports as -9 for a
        program that ended well. The exit code is then the one the held
        Windows process ended with. Nothing else sends a test's program
        SIGKILL but kill() (marked), and a program cannot end that way by a
        fault of its own; Wine would give such a killed process exit code 0."""
        if code != -signal.SIGKILL or self.killed or self.held_exit_code is None:
            return code
        if self._code is None:
            held = self.held_exit_code()
            if held is None:
                return code
            self._code = held & 0xFF
            log(f"{self.name} (pid {self.pid}) ended with exit code {held}, then Wine's server killed it")
        return self._code

    def kill(self) -> None:
        self.killed = True
        kill_group(self.popen, grace=0.5)

    def output(self) -> str:
        try:
            return self.log_path.read_text(errors="replace")
        except OSError:
            return ""

    def __repr__(self) -> str:
        return f"<Process {self.name} pid={self.pid} exit={self.exit_code}>"



def run_wine(env: dict[str, str], *argv: str, timeout: float = 30) -> subprocess.CompletedProcess:
    """Runs a Wine program to its end and returns its output. Output goes
    through files, not pipes: Wine's helper processes (explorer, services)
    inherit the descriptors and would hold a pipe open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        proc = popen_in_group(["wine", *argv], env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        try:
            code = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            kill_group(proc, grace=0.5)
            raise TimeoutError(f"wine {' '.join(argv)} still running after {timeout:.0f} s") from None
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(argv, code, out.read(), err.read())


def wine_processes(session: Session, image: str = SCR_NAME) -> list[int]:
    """Linux process ids of the Wine processes of this session's prefix whose
    command line names image: what is left of a program after it ended."""
    assert session.prefix is not None, "session not started"
    wanted_env = b"WINEPREFIX=" + str(session.prefix).encode()
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            cmdline = (entry / "cmdline").read_bytes()
            environ = (entry / "environ").read_bytes()
        except OSError:  # ended meanwhile, or not ours to read
            continue
        if image.lower().encode() in cmdline.lower() and wanted_env in environ.split(b"\0"):
            found.append(int(entry.name))
    return found


def cpu_seconds(session: Session, image: str = SCR_NAME) -> float:
    """The processor time (user and system) that the Wine processes of this
    session's program have used so far, as Linux counts it."""
    total = 0
    for pid in wine_processes(session, image):
        try:
            fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        except OSError:  # ended meanwhile
            continue
        total += int(fields[11]) + int(fields[12])  # utime, stime
    return total / os.sysconf("SC_CLK_TCK")


def files_held_open(session: Session, folder: Path, image: str = SCR_NAME) -> list[str]:
    """The files inside folder (not the folder itself, which a running
    listing holds) that the Wine processes of this session's program have
    open, as Linux sees them: a photo being read, from the first byte to
    the end of its decode."""
    inside = str(Path(folder).resolve()) + "/"
    found = []
    for pid in wine_processes(session, image):
        try:
            descriptors = os.listdir(f"/proc/{pid}/fd")
        except OSError:  # ended meanwhile
            continue
        for fd in descriptors:
            try:
                target = os.readlink(f"/proc/{pid}/fd/{fd}")
            except OSError:
                continue
            if target.startswith(inside):
                found.append(target)
    return found
