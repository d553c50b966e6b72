"""The screen saver without user input: it never ends by itself, however
many ticks pass (the move Wine reports when the window appears, or when a
photo changes under a still pointer, is no user's); and a close from
outside - WM_CLOSE, or log-off's WM_QUERYENDSESSION and WM_ENDSESSION - is
answered at once and never refused."""

from __future__ import annotations

import subprocess
import tempfile
import time
from pathlib import Path

import harness

FORM1 = "Salvanto.Form1"
QUIET = {"Interval": "60"}


class Unattended(harness.SessionTestCase):
    def start(self, s: harness.Session) -> tuple[harness.Process, dict]:
        scr = s.start_scr("/s")
        form = s.wait_for_window(FORM1, process=scr)
        s.wait_until(lambda: s.find_windows(name="panYear", visible=True), 10, "panYear visible", scr)
        return scr, form

    def test_survives_ten_ticks_without_input(self):
        with tempfile.TemporaryDirectory(prefix="salvanto-photos-") as folder:
            # One real photograph, so that every tick succeeds (no message box).
            photo = Path(folder) / "SALVAS_JA001.JPG"
            subprocess.run(["convert", "-size", "320x200", "gradient:skyblue-darkgreen", "-quality", "85",
                            str(photo)], check=True, timeout=30)
            photo_dir = "Z:" + str(Path(folder).resolve()).replace("/", "\\") + "\\"
            with self.session(size=(1024, 768), settings={"Interval": "1", "SalvantosDir": photo_dir}) as s:
                scr, form = self.start(s)
                self.assertEqual(form["timer1_interval"], 1000)
                # The pointer stands still over the photo, where each tick
                # replaces the picture.
                started = time.monotonic()
                while time.monotonic() - started < 11.0:
                    self.assertTrue(scr.running, f"ended by itself ({scr.exit_code}) after "
                                                 f"{time.monotonic() - started:.1f} s: {scr.output()[-1000:]}")
                    self.assertEqual(s.message_boxes(), [], "a tick failed")
                    time.sleep(0.5)
                self.assertTrue(s.sync(form["hwnd"]), "Form1 answers after ten ticks")
                self.assertTrue(scr.running, f"ended by itself ({scr.exit_code})")
                # The ticks did run: the caption is no longer the start-up one.
                self.assertNotEqual(s.find_windows(name="panYear")[0]["text"], "Morvane Software")
                s.screenshot("after-ten-ticks")

    def test_close_from_outside_ends_with_exit_code_0(self):
        with self.session(settings=QUIET) as s:
            scr, form = self.start(s)
            s.close_window(form["hwnd"])
            self.assertEqual(scr.wait(5), 0, scr.output()[-1000:])
            self.assertTrue(s.inspect("cursor")["showing"], "the cursor is visible afterwards")

    def test_log_off_is_answered_and_not_refused(self):
        with self.session(settings=QUIET) as s:
            scr, form = self.start(s)
            reply = s.end_session(form["hwnd"], timeout_ms=5000)
            self.assertTrue(reply["query_answered"], f"WM_QUERYENDSESSION unanswered: {reply}")
            self.assertNotEqual(reply["query_result"], 0, "the log-off is refused")
            self.assertTrue(reply["end_sent"] and reply["end_answered"], f"WM_ENDSESSION unanswered: {reply}")
            self.assertLess(max(reply["query_ms"], reply["end_ms"]), 2000, f"slow answers: {reply}")
            # Windows ends the process itself after WM_ENDSESSION; until then
            # the program may go on or end, but cleanly.
            if scr.running and not s.sync(form["hwnd"]):
                # No answer: the window is gone and the process must be on its way out.
                try:
                    scr.wait(5)
                except TimeoutError:
                    self.fail("hung after WM_ENDSESSION")
            if not scr.running:
                self.assertEqual(scr.exit_code, 0)


if __name__ == "__main__":
    harness.main()
