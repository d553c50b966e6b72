"""Wine prefixes: the template made once per build folder (wineboot, fonts,
the registry values every session needs), the private copy each session
makes of it in a few milliseconds, the registry file (user.reg) edited
before a prefix's wineserver starts, and the environment Wine programs run
with."""

from __future__ import annotations

import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

from config import SETTINGS_KEY, check_tools, log, sessions_dir, template_dir

# Bump when the template's contents change, so that an old one is rebuilt.
TEMPLATE_VERSION = "salvanto-e2e-template 1"
TEMPLATE_MARK = ".salvanto-template"


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


def wine_env(prefix: Path, display: str | None = None, lang: str = "C.UTF-8") -> dict[str, str]:
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
    # Wine takes the Windows user locale (decimal separator included) and the
    # code page of command-line arguments from the Unix locale: pin it.
    env["LANG"] = lang
    env["WINEPREFIX"] = str(prefix)
    # Wine's own errors only: they are what tells why a program ended that
    # printed nothing itself.
    env["WINEDEBUG"] = os.environ.get("SALVANTO_WINEDEBUG", "-all,err+all")
    # No Mono or Gecko prompts; and no menu entries made for the desktop at
    # each boot, a second of a session's start that nothing here uses.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
    env.pop("WINESERVER", None)
    env.pop("WINEARCH", None)
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


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
    env = wine_env(prefix)
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


def make_session_prefix(template: Path, target: Path, dpi: int, settings: dict[str, str | None],
                        registry: dict[tuple[str, str], str | int]) -> None:
    """A copy of the template at target with the session's registry values,
    written into user.reg before any wineserver reads it: the DPI, the
    product's settings (None: absent) and other HKCU values."""
    copy_prefix(template, target)
    reg = RegFile(target / "user.reg")
    reg.set(r"Control Panel\Desktop", "LogPixels", int(dpi))
    for value_name, value in settings.items():
        if value is None:
            reg.delete(SETTINGS_KEY, value_name)
        else:
            reg.set(SETTINGS_KEY, value_name, value)
    for (key, value_name), value in registry.items():
        reg.set(key, value_name, value)
    reg.save()


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
