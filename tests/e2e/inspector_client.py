"""inspector.exe, the session's eyes and hands inside Wine: one served
inspector that answers verb after verb, and a verb in a process of its own
where the served one cannot take it."""

from __future__ import annotations

import json
import os
import select
import subprocess
import time
from pathlib import Path
from typing import Any, Iterable

from config import log
from processes import kill_group, popen_in_group, run_wine


class InspectorGone(Exception):
    """The served inspector ended or closed its output before it answered."""


class InspectorServer:
    """`inspector serve`: one Wine process that answers verb after verb, one
    per line, where starting inspector.exe for each look costs a few hundred
    milliseconds of a loaded machine. It talks through pipes, which is safe
    because it starts no process that could inherit them and is read a line
    at a time, never to the end."""

    def __init__(self, path: Path, env: dict[str, str], log_path: Path):
        with open(log_path, "wb") as wine_log:
            self.popen = popen_in_group(["wine", str(path), "serve"], env=env,
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
        kill_group(self.popen, grace=0.5)



class Inspector:
    """inspector.exe in one session's prefix and display (env); the served
    inspectors' logs go to log_dir."""

    # Verbs that only look (or, for sync, send a WM_NULL): running one twice
    # changes nothing.
    READ_ONLY = {"windows", "msgbox", "sync", "version", "reg", "screen", "icon", "focus", "text"}

    # Verbs that run for a while, each in a process of its own (Session.start_exe).
    NOT_SERVED = {"probe", "watch", "pulse", "serve"}

    def __init__(self, path: Path, env: dict[str, str], log_dir: Path):
        self.path = path
        self.env = env
        self.log_dir = log_dir
        self._server: InspectorServer | None = None
        self._servers_started = 0

    def run(self, *args: str, timeout: float = 30, check: bool = True, served: bool = True) -> Any:
        """Runs one inspector verb with args; returns its JSON.

        Every verb prints one line of JSON, its errors included. It goes to
        the served inspector (InspectorServer), started at the first look;
        served=False runs it in a process of its own. When the served
        inspector ends before it answers, the next look starts another, and
        a looking verb is run at once in a process of its own. Rarely, on a
        loaded machine, Wine ends such a process with exit code 1 before it
        prints anything; a looking verb is then run once more, and what Wine
        said is logged."""
        read_only = bool(args) and args[0] in self.READ_ONLY
        answer = self._ask_served(args, timeout, read_only) if served else None
        if answer is not None:
            code, text = answer
            wine_said = ""
        else:
            attempts = 2 if read_only else 1
            for attempt in range(1, attempts + 1):
                result = run_wine(self.env, str(self.path), *args, timeout=timeout)
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
        if not args or args[0] in self.NOT_SERVED or any("\t" in a or "\n" in a for a in args):
            return None
        if self._server is None:
            self._servers_started += 1
            self._server = InspectorServer(self.path, self.env,
                                           self.log_dir / f"inspector-serve-{self._servers_started}.log")
        try:
            return self._server.ask(args, timeout)
        except (TimeoutError, InspectorGone) as problem:
            self._server.close()
            self._server = None
            if isinstance(problem, TimeoutError):
                raise
            if not read_only:
                raise RuntimeError(f"inspector {' '.join(args)}: the served inspector ended before it "
                                   f"answered ({problem})") from None
            log(f"the served inspector ended before {' '.join(args)} was answered ({problem}); "
                "that look runs in a process of its own")
            return None

    def close(self) -> None:
        """Ends the served inspector, if one runs."""
        if self._server is not None:
            self._server.close()
            self._server = None
