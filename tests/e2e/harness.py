"""End-to-end harness: Salvanto2002.scr under Wine on a private X display.

One Session per test: its own Xvfb display, its own Wine prefix (a cheap copy
of a template made once per run) and its own persistent wineserver. The test
starts the screen saver with a command line, looks at it from outside with
inspector.exe (JSON), drives it with xdotool and photographs it with
ImageMagick. Every wait polls a condition against a deadline. Closing the
session ends every process it started, by process group, then its
wineserver and its display, and removes the prefix copy; it does so also
when the test failed.

Environment (set by CTest, see tests.cmake):
  SALVANTO_WIN_BUILD     folder with Salvanto2002.scr and inspector.exe
  SALVANTO_E2E_TEMPLATE  the template prefix (made by `harness.py template`)
  SALVANTO_E2E_OUT       where screenshots and logs go, one folder per test
"""

from __future__ import annotations

import ctypes
import json
import os
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib
from pathlib import Path
from typing import Any, Callable, Iterable

HERE = Path(__file__).resolve().parent
SOURCE_DIR = HERE.parent.parent

APP_TITLE = "SCRNSAVE: The Salvanto Anthology 2002"
SETTINGS_KEY = r"Software\VB and VBA Program Settings" + "\\" + APP_TITLE + r"\Settings"
SCR_NAME = "Salvanto2002.scr"
INSPECTOR_NAME = "inspector.exe"

# Bump when the template's contents change, so that an old one is rebuilt.
TEMPLATE_VERSION = "salvanto-e2e-template 1"
TEMPLATE_MARK = ".salvanto-template"


def win_build_dir() -> Path:
    return Path(os.environ.get("SALVANTO_WIN_BUILD", SOURCE_DIR / "build" / "windows"))


def template_dir() -> Path:
    return Path(os.environ.get("SALVANTO_E2E_TEMPLATE", SOURCE_DIR / "build" / "native" / "e2e-prefix-template"))


def sessions_dir() -> Path:
    """Where sessions put their prefix copies: beside the template, so that
    hard links work."""
    return template_dir().parent / "e2e-sessions"


def out_root() -> Path:
    return Path(os.environ.get("SALVANTO_E2E_OUT", SOURCE_DIR / "build" / "native" / "e2e-screenshots"))


def log(message: str) -> None:
    print(f"[e2e {time.strftime('%H:%M:%S')}] {message}", file=sys.stderr, flush=True)


# --------------------------------------------------------------------------
# The registry files of a prefix, edited while no wineserver runs
# --------------------------------------------------------------------------


def _reg_escape(text: str) -> str:
    out = []
    for ch in text:
        code = ord(ch)
        if ch == "\\":
            out.append("\\\\")
        elif ch == '"':
            out.append('\\"')
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        elif code < 0x20 or code > 0x7E:
            # Always four digits: the reader takes up to four.
            if code > 0xFFFF:
                code -= 0x10000
                out.append("\\x%04x\\x%04x" % (0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF)))
            else:
                out.append("\\x%04x" % code)
        else:
            out.append(ch)
    return "".join(out)


def _reg_unescape(text: str) -> str:
    out, i = [], 0
    simple = {"n": "\n", "r": "\r", "t": "\t", "0": "\0", "\\": "\\", '"': '"'}
    while i < len(text):
        ch = text[i]
        if ch == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            if nxt == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2 :])
                if m:
                    out.append(chr(int(m.group(0), 16)))
                    i += 2 + len(m.group(0))
                    continue
            out.append(simple.get(nxt, nxt))
            i += 2
            continue
        out.append(ch)
        i += 1
    return "".join(out).encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace")


class RegFile:
    """A Wine registry file (user.reg): keys relative to the hive, REG_SZ and
    REG_DWORD values. Edit it only while the prefix's wineserver is down."""

    def __init__(self, path: Path):
        self.path = Path(path)
        self.lines = self.path.read_text(encoding="utf-8", errors="surrogateescape").split("\n")

    @staticmethod
    def _header(key: str) -> str:
        return "[" + _reg_escape(key) + "]"

    def _find_key(self, key: str) -> int | None:
        wanted = self._header(key).lower()
        for i, line in enumerate(self.lines):
            lowered = line.lower()
            if lowered == wanted or lowered.startswith(wanted + " "):
                return i
        return None

    def _key_end(self, start: int) -> int:
        i = start + 1
        while i < len(self.lines) and not self.lines[i].startswith("["):
            i += 1
        return i

    def _value_span(self, start: int, name: str) -> tuple[int, int] | None:
        prefix = ("@=" if name == "" else '"' + _reg_escape(name) + '"=').lower()
        end = self._key_end(start)
        i = start + 1
        while i < end:
            j = i
            while j < end - 1 and self.lines[j].endswith("\\") and not self.lines[j].endswith("\\\\"):
                j += 1
            if self.lines[i].lower().startswith(prefix):
                return i, j + 1
            i = j + 1
        return None

    @staticmethod
    def _format(name: str, value: str | int) -> str:
        left = "@" if name == "" else '"' + _reg_escape(name) + '"'
        if isinstance(value, bool) or not isinstance(value, (str, int)):
            raise TypeError("registry values here are str (REG_SZ) or int (REG_DWORD)")
        if isinstance(value, int):
            return f"{left}=dword:{value & 0xFFFFFFFF:08x}"
        return f'{left}="{_reg_escape(value)}"'

    def set(self, key: str, name: str, value: str | int) -> None:
        start = self._find_key(key)
        if start is None:
            # Wine creates the parent keys of a listed key when it loads.
            while self.lines and self.lines[-1] == "":
                self.lines.pop()
            self.lines += ["", f"{self._header(key)} {int(time.time())}", "#time=0", self._format(name, value), ""]
            return
        span = self._value_span(start, name)
        if span:
            self.lines[span[0] : span[1]] = [self._format(name, value)]
        else:
            end = self._key_end(start)
            while end > start + 1 and self.lines[end - 1] == "":
                end -= 1
            self.lines.insert(end, self._format(name, value))

    def delete(self, key: str, name: str | None = None) -> None:
        """Removes one value, or with name None the whole key (not its subkeys)."""
        start = self._find_key(key)
        if start is None:
            return
        if name is None:
            del self.lines[start : self._key_end(start)]
            return
        span = self._value_span(start, name)
        if span:
            del self.lines[span[0] : span[1]]

    def get(self, key: str, name: str) -> str | int | None:
        start = self._find_key(key)
        if start is None:
            return None
        span = self._value_span(start, name)
        if not span:
            return None
        text = "".join(line.rstrip("\\") for line in self.lines[span[0] : span[1]])
        value = text.split("=", 1)[1] if name == "" else text[len(_reg_escape(name)) + 3 :]
        if value.startswith("dword:"):
            return int(value[6:], 16)
        m = re.match(r'^(?:str\(2\):)?"(.*)"$', value)
        if m:
            return _reg_unescape(m.group(1))
        return value  # another type, returned as Wine wrote it

    def save(self) -> None:
        self.path.write_text("\n".join(self.lines), encoding="utf-8", errors="surrogateescape")


# --------------------------------------------------------------------------
# Processes
# --------------------------------------------------------------------------


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


def _popen(argv: list[str], **kwargs: Any) -> subprocess.Popen:
    """Popen in a session of its own (so the group can be ended by id) that
    dies with the test process."""
    return subprocess.Popen(argv, start_new_session=True, preexec_fn=_prepare_child, **kwargs)


def _kill_group(proc: subprocess.Popen, grace: float = 2.0) -> None:
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
        # (Session.windows), and how to ask it for the exit code.
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
        _kill_group(self.popen, grace=0.5)

    def output(self) -> str:
        try:
            return self.log_path.read_text(errors="replace")
        except OSError:
            return ""

    def __repr__(self) -> str:
        return f"<Process {self.name} pid={self.pid} exit={self.exit_code}>"


# --------------------------------------------------------------------------
# The template prefix, made once per run
# --------------------------------------------------------------------------


def _wine_env(prefix: Path, display: str | None = None, lang: str = "C.UTF-8") -> dict[str, str]:
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
    # Wine takes the Windows user locale (decimal separator included) and the
    # code page of command-line arguments from the Unix locale: pin it.
    env["LANG"] = lang
    env["WINEPREFIX"] = str(prefix)
    # Wine's own errors only: they are what tells why a program ended that
    # printed nothing itself.
    env["WINEDEBUG"] = os.environ.get("SALVANTO_WINEDEBUG", "-all,err+all")
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="  # no Mono or Gecko prompts
    env.pop("WINESERVER", None)
    env.pop("WINEARCH", None)
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


TOOLS = {"wine": "wine", "wineboot": "wine", "wineserver": "wine", "Xvfb": "xvfb", "xdotool": "xdotool",
         "convert": "imagemagick"}


def check_tools() -> None:
    """Fails with the Debian packages to install when a tool is missing."""
    missing = sorted({package for tool, package in TOOLS.items() if shutil.which(tool) is None})
    if not Path("/usr/share/wine/fonts").is_dir():
        missing.append("fonts-wine")
    if missing:
        raise RuntimeError("the end-to-end tests need: apt-get install " + " ".join(missing))


def _template_stamp() -> str:
    """What the template was made with: a new Wine gets a new template."""
    try:
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True, timeout=30,
                              env={**os.environ, "WINEDEBUG": "-all"}).stdout.strip()
    except (OSError, subprocess.TimeoutExpired):
        wine = "wine ?"
    return f"{TEMPLATE_VERSION}; {wine}"


def make_template(path: Path | None = None, force: bool = False) -> Path:
    """Makes the template prefix unless a current one is there: wineboot,
    Managed=N (no 2 s stall per hidden window without a window manager),
    Debian's fonts-wine faces ("MS Sans Serif", "System"), 96 DPI, no crash
    dialog. Safe to call from several processes: the finished template is
    put in place by one rename."""
    check_tools()
    path = Path(path or template_dir())
    mark = path / TEMPLATE_MARK
    stamp = _template_stamp()
    if not force and mark.exists() and mark.read_text().strip() == stamp:
        log(f"template prefix is current: {path}")
        return path
    started = time.monotonic()
    path.parent.mkdir(parents=True, exist_ok=True)
    work = Path(tempfile.mkdtemp(prefix=path.name + ".new-", dir=path.parent))
    prefix = work / "prefix"
    env = _wine_env(prefix)
    try:
        # Output to a file: the services wineboot starts inherit it.
        with open(work / "wineboot.log", "w+b") as boot_log:
            code = subprocess.run(["wineboot", "-i"], env=env, stdin=subprocess.DEVNULL, stdout=boot_log,
                                  stderr=subprocess.STDOUT, timeout=300).returncode
            if code != 0:
                boot_log.seek(0)
                raise RuntimeError(f"wineboot -i failed ({code}):\n{boot_log.read().decode(errors='replace')}")
        subprocess.run(["wineserver", "-w"], env=env, timeout=120, check=False)
        fonts = Path("/usr/share/wine/fonts")
        target = prefix / "drive_c" / "windows" / "Fonts"
        target.mkdir(parents=True, exist_ok=True)
        for font in fonts.iterdir():
            shutil.copy2(font, target / font.name)
        reg = RegFile(prefix / "user.reg")
        reg.set(r"Software\Wine\X11 Driver", "Managed", "N")
        reg.set(r"Control Panel\Desktop", "LogPixels", 96)
        reg.set(r"Software\Wine\WineDbg", "ShowCrashDialog", 0)
        reg.save()
        (prefix / TEMPLATE_MARK).write_text(stamp + "\n")
        old = None
        if path.exists():
            old = path.with_name(path.name + f".old-{os.getpid()}")
            path.rename(old)
        prefix.rename(path)
        if old:
            shutil.rmtree(old, ignore_errors=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    log(f"template prefix made in {time.monotonic() - started:.1f} s: {path}")
    return path


def copy_prefix(template: Path, target: Path) -> None:
    """A private prefix in a few milliseconds: the large, never-written parts
    (drive_c/windows, Program Files) are hard links; the registry and
    everything a program might write in place are real copies."""
    target.mkdir(parents=True)
    linked = {("drive_c", "windows"), ("drive_c", "Program Files"), ("drive_c", "Program Files (x86)")}
    for entry in template.iterdir():
        if entry.name == "drive_c":
            (target / "drive_c").mkdir()
            for sub in entry.iterdir():
                dest = target / "drive_c" / sub.name
                if ("drive_c", sub.name) in linked:
                    linking = subprocess.run(["cp", "-al", str(sub), str(dest)], capture_output=True)
                    if linking.returncode != 0:  # another file system: copy (about 1 s)
                        shutil.rmtree(dest, ignore_errors=True)
                        subprocess.run(["cp", "-a", str(sub), str(dest)], check=True)
                else:
                    subprocess.run(["cp", "-a", str(sub), str(dest)], check=True)
        else:
            subprocess.run(["cp", "-a", str(entry), str(target / entry.name)], check=True)
    # Wine writes ini files in place; give the copy its own.
    for ini in (target / "drive_c" / "windows").glob("*.ini"):
        data = ini.read_bytes()
        ini.unlink()
        ini.write_bytes(data)


# --------------------------------------------------------------------------
# The served inspector
# --------------------------------------------------------------------------


class InspectorGone(Exception):
    """The served inspector ended or closed its output before it answered."""


class InspectorServer:
    """`inspector serve`: one Wine process that answers verb after verb, one
    per line, where starting inspector.exe for each look costs a few hundred
    milliseconds of a loaded machine. It talks through pipes, which is safe
    because it starts no process that could inherit them and is read a line
    at a time, never to the end."""

    def __init__(self, session: "Session", log_path: Path):
        with open(log_path, "wb") as wine_log:
            self.popen = _popen(["wine", str(session.inspector_path), "serve"], env=session.env(),
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=wine_log)
        self.log_path = log_path
        self._buffer = b""

    def ask(self, args: Iterable[str], timeout: float) -> tuple[int, str]:
        """The exit code and the output of one verb. Raises TimeoutError when
        the verb has not answered by the deadline, InspectorGone when the
        inspector ended first."""
        assert self.popen.stdin is not None and self.popen.stdout is not None
        try:
            self.popen.stdin.write(("\t".join(args) + "\n").encode("utf-8"))
            self.popen.stdin.flush()
        except (BrokenPipeError, OSError) as problem:
            raise InspectorGone(f"could not send the verb: {problem}") from None
        deadline = time.monotonic() + timeout
        output: list[str] = []
        while True:
            while b"\n" not in self._buffer:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError(f"inspector {' '.join(args)} gave no answer in {timeout:.0f} s")
                ready, _, _ = select.select([self.popen.stdout], [], [], left)
                if ready:
                    chunk = os.read(self.popen.stdout.fileno(), 65536)
                    if not chunk:
                        raise InspectorGone(f"it ended with {self.popen.poll()}; see {self.log_path}")
                    self._buffer += chunk
            line, _, self._buffer = self._buffer.partition(b"\n")
            text = line.decode("utf-8", "replace")
            if text.startswith("#exit "):
                return int(text[len("#exit "):]), "\n".join(output)
            output.append(text)

    def close(self) -> None:
        for stream in (self.popen.stdin, self.popen.stdout):
            try:
                if stream is not None:
                    stream.close()
            except OSError:
                pass
        _kill_group(self.popen, grace=0.5)


# --------------------------------------------------------------------------
# The session
# --------------------------------------------------------------------------


class Session:
    """One test's world: display, prefix, wineserver.

        with Session("modes", size=(800, 600), dpi=96, settings={"Interval": "10"}) as s:
            scr = s.start_scr("/s")
            form = s.wait_for_window("Salvanto.Form1")
            s.screenshot("slideshow")

    settings: values for the product's settings key (str = REG_SZ, None =
    absent). registry: other HKCU values as {(key, name): value}. lang: the
    Unix locale Wine runs under, which sets the Windows user locale.
    """

    def __init__(
        self,
        name: str,
        size: tuple[int, int] = (800, 600),
        depth: int = 24,
        dpi: int = 96,
        settings: dict[str, str | None] | None = None,
        registry: dict[tuple[str, str], str | int] | None = None,
        lang: str = "C.UTF-8",
    ):
        self.lang = lang
        self.name = re.sub(r"[^A-Za-z0-9_.-]+", "_", name)
        self.size = size
        self.depth = depth
        self.dpi = dpi
        self.initial_settings = dict(settings or {})
        self.initial_registry = dict(registry or {})
        self.build = win_build_dir()
        self.scr_path = self.build / SCR_NAME
        self.inspector_path = self.build / INSPECTOR_NAME
        self.out_dir = out_root() / self.name
        self.root: Path | None = None
        self.prefix: Path | None = None
        self.display: str | None = None
        self._xvfb: subprocess.Popen | None = None
        self._server: subprocess.Popen | None = None
        self._processes: list[Process] = []
        self._shots = 0
        self._x: XDisplay | None = None
        self._inspector: InspectorServer | None = None
        self._inspectors_started = 0

    # ---- lifetime ----------------------------------------------------------

    def __enter__(self) -> "Session":
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, exc_type: Any, exc: Any, tb: Any) -> None:
        if exc_type is not None:
            self.record_failure()
        self.close()

    def record_failure(self) -> None:
        """A screenshot and the window list, for a person to see what the test saw."""
        if self._xvfb is None or self._server is None:
            return
        try:
            self.screenshot("failure")
            (self.out_dir / "failure-windows.json").write_text(
                json.dumps(self.windows(exe=None), indent=1), encoding="utf-8")
            log(f"failure state saved under {self.out_dir}")
        except Exception as problem:  # the test's own error matters more
            log(f"could not save the failure state: {problem}")

    def start(self) -> None:
        check_tools()
        for needed in (self.scr_path, self.inspector_path):
            if not needed.is_file():
                raise FileNotFoundError(f"{needed} is missing: build the windows preset first")
        template = template_dir()
        if not (template / TEMPLATE_MARK).exists():
            make_template(template)
        shutil.rmtree(self.out_dir, ignore_errors=True)  # pictures of an earlier run
        self.out_dir.mkdir(parents=True, exist_ok=True)
        sessions_dir().mkdir(parents=True, exist_ok=True)
        self.root = Path(tempfile.mkdtemp(prefix=f"{self.name}-", dir=sessions_dir()))
        (self.root / "owner.pid").write_text(str(os.getpid()))
        self.prefix = self.root / "prefix"
        copy_prefix(template, self.prefix)
        reg = RegFile(self.prefix / "user.reg")
        reg.set(r"Control Panel\Desktop", "LogPixels", int(self.dpi))
        for value_name, value in self.initial_settings.items():
            if value is None:
                reg.delete(SETTINGS_KEY, value_name)
            else:
                reg.set(SETTINGS_KEY, value_name, value)
        for (key, value_name), value in self.initial_registry.items():
            reg.set(key, value_name, value)
        reg.save()
        self._start_display()
        self._start_server()

    def _display_command(self, fd: int) -> tuple[list[str], str]:
        """The X server of the session, told to write its display number to
        fd, and the name of its log."""
        w, h = self.size
        return (["Xvfb", "-displayfd", str(fd), "-screen", "0", f"{w}x{h}x{self.depth}", "-nolisten", "tcp",
                 "-noreset"], "xvfb.log")

    def _start_display(self) -> None:
        read_end, write_end = os.pipe()
        argv, log_name = self._display_command(write_end)
        server = argv[0]
        log_path = self.out_dir / log_name
        try:
            with open(log_path, "wb") as server_log:
                self._xvfb = _popen(argv, pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=server_log)
            os.close(write_end)
            write_end = -1
            number = b""
            deadline = time.monotonic() + 30
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or self._xvfb.poll() is not None:
                    raise RuntimeError(f"{server} gave no display number; see {log_path}")
                ready, _, _ = select.select([read_end], [], [], left)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        raise RuntimeError(f"{server} closed its display pipe; see {log_path}")
                    number += chunk
            self.display = ":" + number.decode().strip()
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)

    def _start_server(self) -> None:
        # Persistent and in the foreground, so that its id is ours to end and
        # every program of the session starts warm.
        with open(self.out_dir / "wineserver.log", "wb") as server_log:
            self._server = _popen(
                ["wineserver", "-f", "-p"],
                env=self.env(),
                stdout=subprocess.DEVNULL,
                stderr=server_log,
            )
        # The first program pays for the cold start (explorer, services), in
        # a process of its own: those helpers inherit its descriptors.
        self.inspect("screen", timeout=60, served=False)

    def close(self) -> None:
        """Ends everything the session started; safe to call twice."""
        if self._x is not None:
            self._x.close()
            self._x = None
        if self._inspector is not None:
            self._inspector.close()
            self._inspector = None
        for proc in reversed(self._processes):
            if proc.running:
                proc.kill()
        if self._server is not None:
            if self._server.poll() is None and self.prefix is not None:
                try:
                    subprocess.run(["wineserver", "-k"], env=self.env(), timeout=15,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                except subprocess.TimeoutExpired:
                    pass
            _kill_group(self._server)
            self._server = None
        if self._xvfb is not None:
            _kill_group(self._xvfb)
            self._xvfb = None
        if self.root is not None:
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None

    # ---- environment ---------------------------------------------------------

    def env(self) -> dict[str, str]:
        assert self.prefix is not None, "session not started"
        return _wine_env(self.prefix, self.display, self.lang)

    def wine_path(self, path: Path | str) -> str:
        """The Windows path of a Linux path (drive Z: is the root)."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def _spawn(self, argv: list[str], name: str, trace: str | None = None, cwd: Path | None = None) -> Process:
        log_path = self.out_dir / f"{name}-{len(self._processes)}.log"
        env = self.env()
        if trace:
            env["WINEDEBUG"] = f"{env['WINEDEBUG']},{trace}"
        with open(log_path, "wb") as output:
            popen = _popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=output,
                           stderr=subprocess.STDOUT, cwd=cwd)
        proc = Process(popen, name, log_path)
        self._processes.append(proc)
        return proc

    # ---- the program under test ------------------------------------------------

    def start_scr(self, args: str | Iterable[str] = "", trace: str | None = None,
                  cwd: Path | None = None) -> Process:
        """Starts Salvanto2002.scr. args as a string is split on blanks (Wine
        joins argv with one blank; an empty string means no arguments); a
        list is passed as it is (an argument with a blank gets quotes).
        trace: Wine debug channels for this copy alone (WINEDEBUG, e.g.
        "+cursor"), written to its output; see show_cursor_calls. cwd: its
        current directory (by default the test's)."""
        argv = args.split() if isinstance(args, str) else list(args)
        log(f"start {SCR_NAME} {' '.join(argv)!r}" + (f" with WINEDEBUG={trace}" if trace else ""))
        return self._spawn(["wine", str(self.scr_path), *argv], "scr", trace, cwd)

    def stop_scr(self, proc: Process, timeout: float = 10) -> None:
        """Kills a copy of the screen saver (if it still runs) and waits until
        Wine has taken down its windows, and with them its single-instance
        mutex, so that the next copy does not take it for a running one. For
        one copy at a time."""
        proc.kill()
        self.wait_until(lambda: not self.find_windows(exe=SCR_NAME), timeout, f"the windows of {proc} gone")

    def start_exe(self, path: Path | str, *args: str) -> Process:
        return self._spawn(["wine", str(path), *args], Path(path).stem)

    def run_wine(self, *argv: str, timeout: float = 30) -> subprocess.CompletedProcess:
        """Runs a Wine program to its end and returns its output. Output goes
        through files, not pipes: Wine's helper processes (explorer, services)
        inherit the descriptors and would hold a pipe open."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = _popen(["wine", *argv], env=self.env(), stdin=subprocess.DEVNULL, stdout=out, stderr=err)
            try:
                code = proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                _kill_group(proc, grace=0.5)
                raise TimeoutError(f"wine {' '.join(argv)} still running after {timeout:.0f} s") from None
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(argv, code, out.read(), err.read())

    # ---- the inspector ---------------------------------------------------------

    # Verbs that only look (or, for sync, send a WM_NULL): running one twice
    # changes nothing.
    _INSPECT_READ_ONLY = {"windows", "msgbox", "sync", "version", "reg", "screen", "icon", "focus", "text"}

    # Verbs that run for a while, each in a process of its own (start_exe).
    _INSPECT_NOT_SERVED = {"probe", "watch", "pulse", "serve"}

    def inspect(self, *args: str, timeout: float = 30, check: bool = True, served: bool = True) -> Any:
        """Runs one inspector verb with args; returns its JSON.

        Every verb prints one line of JSON, its errors included. It goes to
        the session's served inspector (InspectorServer), started at the
        first look; served=False runs it in a process of its own. When the
        served inspector ends before it answers, the next look starts
        another, and a looking verb is run at once in a process of its own.
        Rarely, on a loaded machine, Wine ends such a process with exit code
        1 before it prints anything; a looking verb is then run once more,
        and what Wine said is logged."""
        read_only = bool(args) and args[0] in self._INSPECT_READ_ONLY
        answer = self._ask_served(args, timeout, read_only) if served else None
        if answer is not None:
            code, text = answer
            wine_said = ""
        else:
            attempts = 2 if read_only else 1
            for attempt in range(1, attempts + 1):
                result = self.run_wine(str(self.inspector_path), *args, timeout=timeout)
                code = result.returncode
                text = result.stdout.decode("utf-8", "replace")
                wine_said = result.stderr.decode(errors="replace").strip()
                if text.strip() or code == 0:
                    break
                log(f"inspector {' '.join(args)}: exit code {code}, nothing printed"
                    f" (attempt {attempt} of {attempts}); Wine said: {wine_said[-1500:]!r}")
        text = text.strip()
        try:
            data = json.loads(text.splitlines()[-1]) if text else None
        except json.JSONDecodeError:
            raise RuntimeError(f"inspector {' '.join(args)} printed no JSON: {text!r} {wine_said!r}") from None
        if check and code != 0:
            raise RuntimeError(f"inspector {' '.join(args)} failed ({code}): {text} {wine_said[-1500:]!r}")
        return data

    def _ask_served(self, args: tuple[str, ...], timeout: float, read_only: bool) -> tuple[int, str] | None:
        """(exit code, output) from the served inspector; None when the verb
        is not one it serves, or it ended before answering a looking verb."""
        if not args or args[0] in self._INSPECT_NOT_SERVED or any("\t" in a or "\n" in a for a in args):
            return None
        if self._inspector is None:
            self._inspectors_started += 1
            self._inspector = InspectorServer(self, self.out_dir / f"inspector-serve-{self._inspectors_started}.log")
        try:
            return self._inspector.ask(args, timeout)
        except (TimeoutError, InspectorGone) as problem:
            self._inspector.close()
            self._inspector = None
            if isinstance(problem, TimeoutError):
                raise
            if not read_only:
                raise RuntimeError(f"inspector {' '.join(args)}: the served inspector ended before it "
                                   f"answered ({problem})") from None
            log(f"the served inspector ended before {' '.join(args)} was answered ({problem}); "
                "that look runs in a process of its own")
            return None

    def windows(self, exe: str | None = SCR_NAME) -> list[dict]:
        """Top-level windows with their descendants (of the screen saver by default)."""
        found = self.inspect("windows", *(["--exe", exe] if exe else []))
        if exe == SCR_NAME:
            self._hold_scr(found)
        return found

    def _hold_scr(self, windows: list[dict]) -> None:
        """Has the served inspector hold the one running copy of the screen
        saver that it does not hold yet, once that copy's windows are the
        only ones of a process not held, so that its exit code can be read
        even if Wine's server kills it on its way out (Process.wait)."""
        unheld = [p for p in self._processes if p.name == "scr" and p.held_pid is None and p.running]
        held = {p.held_pid for p in self._processes}
        pids = {w["pid"] for w in windows} - held
        if len(unheld) != 1 or len(pids) != 1:
            return
        proc, pid = unheld[0], pids.pop()
        try:
            self.inspect("hold", str(pid))
        except (RuntimeError, TimeoutError, InspectorGone) as problem:
            log(f"could not hold {SCR_NAME} {pid}: {problem}")
            return
        proc.held_pid = pid

        def exit_code() -> int | None:
            try:
                return self.inspect("exitcode", str(pid))["exit_code"]
            except (RuntimeError, TimeoutError, InspectorGone) as problem:
                log(f"no exit code for {SCR_NAME} {pid}: {problem}")
                return None

        proc.held_exit_code = exit_code

    def find_windows(self, cls: str | None = None, text: str | None = None, name: str | None = None,
                     exe: str | None = SCR_NAME, visible: bool | None = None) -> list[dict]:
        """Every window (at any depth) that matches all the given fields."""
        found = []
        for w in walk(self.windows(exe)):
            if cls is not None and w["class"] != cls:
                continue
            if text is not None and w["text"] != text:
                continue
            if name is not None and w["name"] != name:
                continue
            if visible is not None and w["visible"] != visible:
                continue
            found.append(w)
        return found

    def visible_summary(self, exe: str | None = SCR_NAME) -> list[tuple[str, str, list[int]]]:
        """(class, text, rect) of every visible window: for failure messages."""
        return [(w["class"], w["text"], w["rect"]) for w in walk(self.windows(exe)) if w["visible"]]

    def wait_for_window(self, cls: str, timeout: float = 20, visible: bool = True,
                        process: "Process | None" = None, children: Iterable[str] = (), **match: Any) -> dict:
        """The first window of class cls (visible, unless visible=False) that
        matches the other fields (text=, name=, exe=) and holds the named
        controls in children (at any depth): a window is listed as soon as
        it exists, and may not have its controls yet."""
        wanted = set(children)

        def probe():
            for window in self.find_windows(cls=cls, visible=visible if visible else None, **match):
                if wanted <= {w["name"] for w in walk([window])}:
                    return window
            return None
        try:
            return self.wait_until(probe, timeout, f"a window of class {cls} {match or ''}".strip(), process)
        except TimeoutError as e:
            raise TimeoutError(f"{e}; visible windows: {self.visible_summary(None)}") from None

    def message_boxes(self, exe: str | None = SCR_NAME) -> list[dict]:
        """Visible dialog boxes (#32770) with title, text and buttons."""
        boxes = self.inspect("msgbox")
        return [b for b in boxes if b["visible"] and (exe is None or b["exe"].lower() == exe.lower())]

    def wait_for_message_box(self, timeout: float = 20, exe: str | None = SCR_NAME,
                             process: "Process | None" = None, title: str | None = None) -> dict:
        """The first visible message box (with that title, when given) once
        it is whole: its text and a visible button with its caption. A box
        is listed from the moment it exists, before its controls are made
        or filled in, so a box read at once may have neither."""
        what = "a whole message box" + (f" titled {title!r}" if title is not None else "")

        def probe():
            for box in self.message_boxes(exe):
                if (title is None or box["title"] == title) and is_whole_box(box):
                    return box
            return None
        try:
            return self.wait_until(probe, timeout, what, process)
        except TimeoutError as e:
            raise TimeoutError(f"{e}; message boxes: {self.message_boxes(None)}; "
                               f"visible windows: {self.visible_summary(None)}") from None

    def press(self, hwnd: int, button: str = "OK") -> None:
        self.inspect("press", str(hwnd), button)

    def close_window(self, hwnd: int) -> None:
        self.inspect("close", str(hwnd))

    def sync(self, hwnd: int, timeout_ms: int = 5000) -> bool:
        """A WM_NULL round trip to the window: True when its thread answered
        within timeout_ms, that is, it is back in its message loop and took
        the input queued before this call. False when the window is gone."""
        reply = self.inspect("sync", str(hwnd), str(timeout_ms), check=False)
        return bool(reply and reply.get("answered"))

    def end_session(self, hwnd: int, timeout_ms: int = 5000) -> dict:
        """Log-off as Windows does it: WM_QUERYENDSESSION, then WM_ENDSESSION
        with the answer. {"query_answered", "query_result", "query_ms",
        "end_sent", "end_answered", "end_ms"}."""
        return self.inspect("endsession", str(hwnd), str(timeout_ms))

    def version_info(self, path: Path | str | None = None) -> dict:
        return self.inspect("version", self.wine_path(path or self.scr_path))

    def screen_info(self) -> dict:
        return self.inspect("screen")

    # ---- waiting -----------------------------------------------------------

    def eventually(self, check: Callable[[], Any], timeout: float = 10, what: str = "the check",
                   process: "Process | None" = None, interval: float = 0.05) -> Any:
        """Runs check, a function that asserts, until it passes, and returns
        what it returned: for what the screen shows, which lags behind the
        state the inspector reads (a window is painted, and its pixels
        reach the display, after it is shown or changed). At the deadline
        the last AssertionError is raised, naming what was awaited."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                return check()
            except AssertionError as failure:
                if process is not None and not process.running:
                    raise AssertionError(f"{process.name} ended with exit code {process.exit_code} while waiting "
                                         f"for {what}; last failure: {failure}") from None
                if time.monotonic() >= deadline:
                    raise AssertionError(f"still failing after {timeout:.1f} s of waiting for {what}: "
                                         f"{failure}") from None
            time.sleep(interval)

    def wait_until(self, predicate: Callable[[], Any], timeout: float = 20, what: str = "the condition",
                   process: "Process | None" = None, interval: float = 0.05) -> Any:
        """Polls predicate until it returns something truthy, which is returned.
        Raises TimeoutError naming what was awaited and the last value seen;
        with process, fails at once when that process has ended instead."""
        deadline = time.monotonic() + timeout
        last: Any = None
        while True:
            last = predicate()
            if last:
                return last
            if process is not None and not process.running:
                raise AssertionError(f"{process.name} ended with exit code {process.exit_code} while waiting "
                                     f"for {what}; its output: {process.output()[-2000:]!r}")
            if time.monotonic() >= deadline:
                raise TimeoutError(f"waited {timeout:.1f} s for {what}; last seen: {last!r}")
            time.sleep(interval)

    # ---- input and pictures ----------------------------------------------------

    def xdotool(self, *args: str) -> None:
        subprocess.run(["xdotool", *args], env=self.env(), check=True, timeout=15,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def key(self, *keys: str) -> None:
        """X key names, e.g. key("a"), key("Escape"), key("ctrl+c")."""
        self.xdotool("key", *keys)

    def type_text(self, text: str) -> None:
        self.xdotool("type", text)

    def mouse_move(self, x: int, y: int) -> None:
        self.xdotool("mousemove", str(x), str(y))

    def click(self, x: int, y: int, button: int = 1) -> None:
        self.xdotool("mousemove", str(x), str(y), "click", str(button))

    def x_windows(self, proc: Process) -> list[dict]:
        """The X windows that Wine made for a program's windows (found by the
        _NET_WM_PID Wine gives them, the Linux id of the `wine` process):
        {"id", "name", "rect" ([left, top, right, bottom]), "mapped",
        "icons" ([(width, height, [ARGB, ...]), ...])}. The icons are the
        ones Wine publishes for a window manager (_NET_WM_ICON), made from
        the window's own icon: the pixels a task bar or title bar shows,
        which is how a window's icon is seen from outside (another process
        cannot ask a window for its icon under Wine)."""
        found = subprocess.run(["xdotool", "search", "--pid", str(proc.pid)], env=self.env(), timeout=15,
                               capture_output=True, text=True)
        windows = []
        for wid in found.stdout.split():
            props = subprocess.run(["xprop", "-display", self.display, "-id", wid, "-notype",
                                    "-f", "_NET_WM_ICON", "32c", "=$0+\n", "_NET_WM_ICON", "_NET_WM_NAME"],
                                   timeout=15, capture_output=True, text=True).stdout
            info = subprocess.run(["xwininfo", "-display", self.display, "-id", wid], timeout=15,
                                  capture_output=True, text=True).stdout
            if not info:
                continue  # gone meanwhile
            fields = dict(re.findall(r"^\s*([A-Za-z -]+):\s*(\S+)", info, re.M))
            left, top = int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])
            icons: list[tuple[int, int, list[int]]] = []
            data = re.search(r"^_NET_WM_ICON=(.*)$", props, re.M)
            values = [int(v) for v in data.group(1).split(",")] if data else []
            while len(values) >= 2 and len(values) >= 2 + values[0] * values[1]:
                width, height = values[0], values[1]
                icons.append((width, height, values[2 : 2 + width * height]))
                values = values[2 + width * height :]
            name = re.search(r'^_NET_WM_NAME = "(.*)"$', props, re.M)
            windows.append({"id": int(wid), "name": name.group(1) if name else None,
                            "rect": [left, top, left + int(fields["Width"]), top + int(fields["Height"])],
                            "mapped": fields.get("Map State") == "IsViewable", "icons": icons})
        return windows

    def screenshot(self, name: str) -> Path:
        """A PNG of the whole display under the session's output folder."""
        self._shots += 1
        path = self.out_dir / f"{self._shots:02d}-{re.sub(r'[^A-Za-z0-9_.-]+', '_', name)}.png"
        self.pixels().save_png(path)
        log(f"screenshot {path}")
        return path

    def pixels(self) -> "Pixels":
        """The display's pixels, for checks by colour. Read straight from the
        X server (a few milliseconds), so that a test that looks again and
        again at a show that changes every second sees every second of it
        also on a loaded machine, where starting ImageMagick for each look
        takes most of a second."""
        if self._x is None:
            assert self.display is not None, "session not started"
            self._x = XDisplay(self.display)
        return self._x.root_pixels()

    # ---- registry ------------------------------------------------------------

    def set_setting(self, name: str, value: str | None) -> None:
        """Writes (None: deletes) one of the product's settings, now."""
        if value is None:
            self.run_wine("reg", "delete", "HKCU\\" + SETTINGS_KEY, "/v", name, "/f")
        else:
            result = self.run_wine("reg", "add", "HKCU\\" + SETTINGS_KEY, "/v", name, "/t", "REG_SZ",
                                   "/d", value, "/f")
            if result.returncode != 0:
                raise RuntimeError(f"reg add {name}={value!r} failed: {result.stdout!r} {result.stderr!r}")

    def setting(self, name: str) -> str | None:
        """The stored text of one of the product's settings, or None when absent."""
        value = self.reg_value(SETTINGS_KEY, name)
        return None if value is None else value["data"]

    def reg_value(self, key: str, name: str) -> dict | None:
        """One HKCU value as {"name", "type", "data"} (REG_SZ data is text,
        REG_DWORD a number), or None when absent. Read by the inspector, so
        text comes back exactly, whatever Wine's console code page."""
        found = self.inspect("reg", key, name)
        return found["values"][0] if found["values"] else None


def is_whole_box(box: dict) -> bool:
    """A message box (from `inspector msgbox` or a watch state) with its
    title, its text and a visible button that has its caption."""
    buttons = [b for b in box["buttons"] if b.get("visible", True)]
    return bool(box["title"] and box["text"] and buttons and all(b["text"] for b in buttons))


# One line of Wine's "+cursor" trace for each ShowCursor call, with the
# display count it leaves (Wine 8: "0108:trace:cursor:NtUserShowCursor 1, count=2";
# before the move to win32u the function was user32's ShowCursor).
_SHOW_CURSOR = re.compile(r"^[0-9a-f]+:trace:cursor:(?:NtUser)?ShowCursor (-?\d+), count=(-?\d+)\s*$", re.M)


def show_cursor_calls(proc: "Process") -> list[tuple[bool, int]]:
    """Every ShowCursor call of a program started with trace="+cursor", in
    order: (shown, the display count after the call). The count lives in the
    program's own input queue and cannot be read from outside, so the trace
    is how it is seen. Read it once the program has ended, so that every
    call is in."""
    return [(int(show) != 0, int(count)) for show, count in _SHOW_CURSOR.findall(proc.output())]


def walk(windows: list[dict]) -> Iterable[dict]:
    """Every window of a tree list, parents before children."""
    for w in windows:
        yield w
        yield from walk(w.get("children", []))


class XDisplay:
    """A connection to an X display speaking just enough of the core X11
    protocol to read the root window's pixels (GetImage), over the
    display's local socket. The sessions' Xvfb displays take local
    connections without authorisation."""

    def __init__(self, display: str):
        number = display.lstrip(":").split(".")[0]
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(30)
        self.sock.connect(f"/tmp/.X11-unix/X{number}")
        # Byte order "l" (least significant first), protocol 11.0, no authorisation.
        self.sock.sendall(struct.pack("<cxHHHH2x", b"l", 11, 0, 0, 0))
        head = self._read(8)
        setup = self._read(struct.unpack_from("<H", head, 6)[0] * 4)
        if head[0] != 1:
            raise RuntimeError(f"{display} refused the connection: {setup[: head[1]]!r}")
        vendor_length, = struct.unpack_from("<H", setup, 16)
        formats, image_order = setup[21], setup[22]
        offset = 32 + (vendor_length + 3) // 4 * 4
        bits_per_pixel = {}
        for _ in range(formats):
            depth, bpp = setup[offset], setup[offset + 1]
            bits_per_pixel[depth] = bpp
            offset += 8
        # The first screen: its root window, size and depth.
        self.root, = struct.unpack_from("<I", setup, offset)
        self.width, self.height = struct.unpack_from("<HH", setup, offset + 20)
        depth = setup[offset + 38]
        if bits_per_pixel.get(depth) != 32 or image_order != 0 or depth < 24:
            raise RuntimeError(f"{display}: only 24-bit colour in 32-bit pixels, least significant byte first, "
                               f"is read here (depth {depth}, {bits_per_pixel.get(depth)} bits per pixel)")

    def _read(self, size: int) -> bytes:
        data = bytearray()
        while len(data) < size:
            chunk = self.sock.recv(size - len(data))
            if not chunk:
                raise RuntimeError("the X server closed the connection")
            data += chunk
        return bytes(data)

    def root_pixels(self) -> "Pixels":
        # GetImage (73) of the whole root window as a ZPixmap (2), all planes.
        self.sock.sendall(struct.pack("<BBHIhhHHI", 73, 2, 5, self.root, 0, 0, self.width, self.height, 0xFFFFFFFF))
        while True:
            packet = self._read(32)
            if packet[0] == 0:
                raise RuntimeError(f"GetImage failed with X error {packet[1]}")
            if packet[0] == 1:
                break
            # An event the server sends every client (MappingNotify): not ours.
        data = self._read(struct.unpack_from("<I", packet, 4)[0] * 4)
        rgb = bytearray(self.width * self.height * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
        return Pixels(self.width, self.height, bytes(rgb))

    def close(self) -> None:
        self.sock.close()


class Pixels:
    def __init__(self, width: int, height: int, rgb: bytes):
        self.width, self.height, self.rgb = width, height, rgb

    def at(self, x: int, y: int) -> tuple[int, int, int]:
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def count(self, colour: tuple[int, int, int], box: tuple[int, int, int, int] | None = None) -> int:
        """How many pixels of box (left, top, right, bottom) have exactly colour."""
        left, top, right, bottom = box or (0, 0, self.width, self.height)
        wanted = bytes(colour)
        n = 0
        for y in range(top, bottom):
            row = self.rgb[(y * self.width + left) * 3 : (y * self.width + right) * 3]
            n += sum(1 for i in range(0, len(row), 3) if row[i : i + 3] == wanted)
        return n

    def save_png(self, path: Path, box: tuple[int, int, int, int] | None = None) -> None:
        """Writes box (left, top, right, bottom; None: the whole screen) as a PNG."""
        left, top, right, bottom = box or (0, 0, self.width, self.height)
        # Each row starts with filter type 0 (none).
        rows = b"".join(b"\0" + self.rgb[(y * self.width + left) * 3 : (y * self.width + right) * 3]
                        for y in range(top, bottom))

        def chunk(kind: bytes, body: bytes) -> bytes:
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        header = struct.pack(">IIBBBBB", right - left, bottom - top, 8, 2, 0, 0, 0)
        path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 6))
                         + chunk(b"IEND", b""))


class SessionTestCase(unittest.TestCase):
    """A test case whose sessions are named after the test, so that its
    pictures land in <out>/<Class>.<test>/."""

    maxDiff = None

    def session(self, **kwargs: Any) -> Session:
        name = kwargs.pop("name", None) or ".".join(self.id().split(".")[-2:])
        return Session(name, **kwargs)


def main() -> None:
    """Runs a test module's cases verbosely; the exit code tells CTest. A
    SIGTERM unwinds like an error, so every open session still closes."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    unittest.main(module="__main__", verbosity=2)



# --------------------------------------------------------------------------
# Watching the slideshow over time (photo-cycle and robustness tests)
# --------------------------------------------------------------------------


def raw_clock() -> float:
    """Linux's CLOCK_MONOTONIC_RAW in seconds: the clock Wine's performance
    counter reads, so times taken here and the "t" of `inspector watch` are
    on one scale."""
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


class SlideshowWatch:
    """`inspector watch` beside the program: it polls every few milliseconds
    and writes a line each time what the slideshow shows changes, with the
    time on raw_clock's scale: {"t", "alive", "form", "caption",
    "year_visible", "boxes": [{"hwnd", "title", "text", "buttons": [{"hwnd",
    "text", "rect"}], "icon", "rect"}]}. Reading its states costs a file
    read, so a test can follow the show closely without slowing it."""

    def __init__(self, session: Session, seconds: float, exe: str = SCR_NAME):
        self.session = session
        self.process = session.start_exe(session.inspector_path, "watch", str(int(seconds * 1000)), exe)
        self._parsed: list[dict] = []
        self._consumed = 0
        session.wait_until(self.states, 30, "inspector watch running", self.process)

    def states(self) -> list[dict]:
        """Every state seen so far, oldest first (complete lines only). A
        box counts from the moment it is whole (see is_whole_box): the
        watcher may see it while the system still makes its controls; such
        sightings are kept in the state's "unfinished_boxes"."""
        text = self.process.output()
        end = text.rfind("\n")
        if end > self._consumed:
            for line in text[self._consumed : end].splitlines():
                line = line.strip()
                if line.startswith("{"):
                    state = json.loads(line)
                    state["unfinished_boxes"] = [b for b in state["boxes"] if not is_whole_box(b)]
                    state["boxes"] = [b for b in state["boxes"] if is_whole_box(b)]
                    self._parsed.append(state)
            self._consumed = end
        return self._parsed

    def last(self) -> dict:
        return self.states()[-1]

    def wait_for(self, predicate: Callable[[dict], Any], timeout: float, what: str, since: int = 0,
                 process: Process | None = None) -> tuple[int, dict]:
        """The first state from index since on that satisfies predicate, with its index."""
        def probe():
            states = self.states()
            for i in range(since, len(states)):
                if predicate(states[i]):
                    return i, states[i]
            return None
        try:
            return self.session.wait_until(probe, timeout, what, process, interval=0.01)
        except TimeoutError as e:
            raise TimeoutError(f"{e}; the last states seen: {self.states()[max(since, len(self.states()) - 3):]}") \
                from None

    def stop(self) -> None:
        self.process.kill()


def click_button(session: Session, button: dict) -> None:
    """A real mouse click in the middle of a button whose "rect" (screen
    pixels) is known, e.g. one of the buttons that SlideshowWatch reports."""
    left, top, right, bottom = button["rect"]
    session.click((left + right) // 2, (top + bottom) // 2)


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


def remove_abandoned_sessions() -> None:
    if not sessions_dir().is_dir():
        return
    for session in sessions_dir().iterdir():
        try:
            owner = int((session / "owner.pid").read_text())
            os.kill(owner, 0)
            continue  # its test still runs
        except (OSError, ValueError):
            shutil.rmtree(session, ignore_errors=True)


if __name__ == "__main__":
    # `harness.py template [--force]`: the CTest fixture that makes the template.
    if len(sys.argv) >= 2 and sys.argv[1] == "template":
        make_template(force="--force" in sys.argv[2:])
        # Prefix copies that a killed run left behind. Another run of the suite
        # may share this tree: keep the sessions whose test process lives.
        remove_abandoned_sessions()
        print("template ready")
    else:
        print(__doc__)
        sys.exit(2)
