"""What the end-to-end tests run and where things are: the program's names,
window classes and settings key, the build, template and output folders (CTest sets them
in the environment, see tests.cmake), the tools the tests need, and the log
line every part of the harness writes."""

from __future__ import annotations

import os
import shutil
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE_DIR = HERE.parent.parent

APP_TITLE = "SCRNSAVE: The Salvanto Anthology 2002"
SETTINGS_KEY = r"Software\VB and VBA Program Settings" + "\\" + APP_TITLE + r"\Settings"
SCR_NAME = "Salvanto2002.scr"
INSPECTOR_NAME = "inspector.exe"

# The window classes the program registers (base/control_ids.h).
FORM1 = "Salvanto.Form1"
SETTINGS = "Salvanto.frmSSSettings"
COVER = "Salvanto.Cover"
COMMAND = "Salvanto.SSCommand"


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


TOOLS = {"wine": "wine", "wineboot": "wine", "wineserver": "wine", "Xvfb": "xvfb", "xdotool": "xdotool",
         "convert": "imagemagick"}


def check_tools() -> None:
    """Fails with the Debian packages to install when a tool is missing."""
    missing = sorted({package for tool, package in TOOLS.items() if shutil.which(tool) is None})
    if not Path("/usr/share/wine/fonts").is_dir():
        missing.append("fonts-wine")
    if missing:
        raise RuntimeError("the end-to-end tests need: apt-get install " + " ".join(missing))
