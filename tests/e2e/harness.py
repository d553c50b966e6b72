"""End-to-end harness: Salvanto2002.scr under Wine on a private X display.

One Session per test: its own Xvfb display, its own Wine prefix (a cheap copy
of a template made once per run) and its own persistent wineserver. The test
starts the screen saver with a command line, looks at it from outside with
inspector.exe (JSON), drives it with xdotool and photographs it with
ImageMagick. Every wait polls a condition against a deadline. Closing the
session ends every process it started, by process group, then its
wineserver and its display, and removes the prefix copy; it does so also
when the test failed.

The tests import this module; the work is done by one module per job:
  config.py            the program's names, where things are, the log line
  wine_prefix.py       the template prefix, its copies, user.reg, Wine's environment
  x_display.py         the X server, its pixels, the X windows of a program
  processes.py         process groups, exit codes, the program's processes in /proc
  inspector_client.py  inspector.exe, served and in processes of its own
  session.py           Session, SessionTestCase, main, SlideshowWatch

Environment (set by CTest, see tests.cmake):
  SALVANTO_WIN_BUILD     folder with Salvanto2002.scr and inspector.exe
  SALVANTO_E2E_TEMPLATE  the template prefix (made by `harness.py template`)
  SALVANTO_E2E_OUT       where screenshots and logs go, one folder per test
"""

from __future__ import annotations

import sys

from config import (APP_TITLE, HERE, INSPECTOR_NAME, SCR_NAME, SETTINGS_KEY, SOURCE_DIR, TOOLS, check_tools,  # noqa: F401
                    log, out_root, sessions_dir, template_dir, win_build_dir)
from inspector_client import Inspector, InspectorGone, InspectorServer  # noqa: F401
from processes import Process, cpu_seconds, files_held_open, run_wine, wine_processes  # noqa: F401
from session import (Session, SessionTestCase, SlideshowWatch, click_button, is_whole_box, main,  # noqa: F401
                     raw_clock, show_cursor_calls, walk)
from wine_prefix import (TEMPLATE_MARK, TEMPLATE_VERSION, RegFile, copy_prefix, make_template,  # noqa: F401
                         remove_abandoned_sessions)
from x_display import Pixels, XDisplay  # noqa: F401

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
