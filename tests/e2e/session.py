"""The session: one test's world (its display, its prefix, its wineserver)
and what a test does in it: start the program, look at it through the
inspector, wait for a state, give it input through xdotool, read the
screen; the test case that names its sessions; watching the slideshow over
time."""

from __future__ import annotations

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path, PureWindowsPath
from typing import Any, Callable, Iterable

from config import INSPECTOR_NAME, SCR_NAME, SETTINGS_KEY, check_tools, log, out_root, sessions_dir, template_dir, \
    win_build_dir
from inspector_client import Inspector, InspectorGone
from processes import Process, kill_group, popen_in_group, run_wine
from wine_prefix import TEMPLATE_MARK, make_session_prefix, make_template, wine_env
from x_display import Pixels, XDisplay, start_x_server, x_windows


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
        self._inspector: Inspector | None = None

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
        make_session_prefix(template, self.prefix, self.dpi, self.initial_settings, self.initial_registry)
        self._start_display()
        self._start_server()

    def _display_command(self, fd: int) -> tuple[list[str], str]:
        """The X server of the session, told to write its display number to
        fd, and the name of its log."""
        w, h = self.size
        return (["Xvfb", "-displayfd", str(fd), "-screen", "0", f"{w}x{h}x{self.depth}", "-nolisten", "tcp",
                 "-noreset"], "xvfb.log")

    def _start_display(self) -> None:
        self._xvfb, self.display = start_x_server(self._display_command, self.out_dir)

    def _start_server(self) -> None:
        # Persistent and in the foreground, so that its id is ours to end and
        # every program of the session starts warm.
        with open(self.out_dir / "wineserver.log", "wb") as server_log:
            self._server = popen_in_group(
                ["wineserver", "-f", "-p"],
                env=self.env(),
                stdout=subprocess.DEVNULL,
                stderr=server_log,
            )
        self._inspector = Inspector(self.inspector_path, self.env(), self.out_dir)
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
            kill_group(self._server)
            self._server = None
        if self._xvfb is not None:
            kill_group(self._xvfb)
            self._xvfb = None
        if self.root is not None:
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None

    # ---- environment ---------------------------------------------------------

    def env(self) -> dict[str, str]:
        assert self.prefix is not None, "session not started"
        return wine_env(self.prefix, self.display, self.lang)

    def wine_path(self, path: Path | str) -> str:
        """The Windows path of a Linux path (drive Z: is the root)."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def _spawn(self, argv: list[str], name: str, trace: str | None = None, cwd: Path | None = None) -> Process:
        log_path = self.out_dir / f"{name}-{len(self._processes)}.log"
        env = self.env()
        if trace:
            env["WINEDEBUG"] = f"{env['WINEDEBUG']},{trace}"
        with open(log_path, "wb") as output:
            popen = popen_in_group(argv, env=env, stdin=subprocess.DEVNULL, stdout=output,
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

    def start_exe(self, path: Path | str, *args: str, trace: str | None = None) -> Process:
        # Named by its file alone, whether path is this machine's or Windows' (C:\...).
        return self._spawn(["wine", str(path), *args], PureWindowsPath(str(path)).stem, trace)

    def run_wine(self, *argv: str, timeout: float = 30) -> subprocess.CompletedProcess:
        """Runs a Wine program to its end and returns its output (through
        files: see processes.run_wine)."""
        return run_wine(self.env(), *argv, timeout=timeout)

    # ---- the inspector ---------------------------------------------------------

    def inspect(self, *args: str, timeout: float = 30, check: bool = True, served: bool = True) -> Any:
        """Runs one inspector verb with args and returns its JSON: through
        the session's served inspector, or with served=False in a process
        of its own (Inspector.run)."""
        assert self._inspector is not None, "session not started"
        return self._inspector.run(*args, timeout=timeout, check=check, served=served)

    def windows(self, exe: str | None = SCR_NAME) -> list[dict]:
        """Top-level windows with their descendants (of the screen saver by default)."""
        return self.inspect("windows", *(["--exe", exe] if exe else []))

    def hold(self, proc: Process, seen: list[dict] | None = None) -> None:
        """Has the served inspector hold proc, a copy of the screen saver,
        so that its exit code can be read even if Wine's server kills it on
        its way out (Process.wait). The copy's Windows process id is the one
        its windows show, so it is held only while it is the one running
        copy not held yet and the screen saver's windows not held belong to
        one process; otherwise (no window yet, another program, a copy held
        or ended) nothing happens. seen: the screen saver's windows if just
        read (windows()), else they are read here. The waits that follow a
        process take this step: wait_for_window at each look, the others
        once they are met."""
        if proc.name != "scr" or proc.held_pid is not None or not proc.running:
            return
        unheld = [p for p in self._processes if p.name == "scr" and p.held_pid is None and p.running]
        if unheld != [proc]:
            return
        held = {p.held_pid for p in self._processes}
        try:
            pids = {w["pid"] for w in (self.windows(SCR_NAME) if seen is None else seen)} - held
            if len(pids) != 1:
                return
            pid = pids.pop()
            self.inspect("hold", str(pid))
        except (RuntimeError, TimeoutError, InspectorGone) as problem:
            log(f"could not hold {proc}: {problem}")
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
        return matching_windows(self.windows(exe), cls=cls, text=text, name=name, visible=visible)

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
        exe = match.pop("exe", SCR_NAME)

        def probe():
            seen = self.windows(exe)
            if process is not None and exe == SCR_NAME:
                # Held at the first look that lists the copy's windows: as
                # early in its life as it can be.
                self.hold(process, seen)
            for window in matching_windows(seen, cls=cls, visible=visible if visible else None, **match):
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
        the last AssertionError is raised, naming what was awaited; with
        process, it fails at once when that process has ended, and holds
        the process once the check passes (hold)."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                passed = check()
            except AssertionError as failure:
                if process is not None and not process.running:
                    raise AssertionError(f"{process.name} ended with exit code {process.exit_code} while waiting "
                                         f"for {what}; last failure: {failure}") from None
                if time.monotonic() >= deadline:
                    raise AssertionError(f"still failing after {timeout:.1f} s of waiting for {what}: "
                                         f"{failure}") from None
            else:
                if process is not None:
                    self.hold(process)
                return passed
            time.sleep(interval)

    def wait_until(self, predicate: Callable[[], Any], timeout: float = 20, what: str = "the condition",
                   process: "Process | None" = None, interval: float = 0.05) -> Any:
        """Polls predicate until it returns something truthy, which is returned.
        Raises TimeoutError naming what was awaited and the last value seen;
        with process, fails at once when that process has ended instead, and
        holds the process once the predicate is met (hold)."""
        deadline = time.monotonic() + timeout
        last: Any = None
        while True:
            last = predicate()
            if last:
                if process is not None:
                    self.hold(process)
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
        """The X windows that Wine made for a program's windows, with the
        icons it publishes for them (x_display.x_windows)."""
        assert self.display is not None, "session not started"
        return x_windows(self.display, self.env(), proc.pid)

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


def matching_windows(windows: list[dict], cls: str | None = None, text: str | None = None, name: str | None = None,
                     visible: bool | None = None) -> list[dict]:
    """Every window of a tree list (at any depth) that matches all the given fields."""
    found = []
    for w in walk(windows):
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



def raw_clock() -> float:
    """Linux's CLOCK_MONOTONIC_RAW in seconds: the clock Wine's performance
    counter reads, so times taken here and the "t" of `inspector watch` are
    on one scale."""
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


class SlideshowWatch:
    """`inspector watch` beside the program: it polls every 15 ms
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
