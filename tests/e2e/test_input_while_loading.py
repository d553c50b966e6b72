"""The slideshow is never frozen by a photo that loads: while a 48-megapixel
JPEG is being read and decoded, or while a read never returns (a named pipe
in the collection, as a stalled drive would be), a key or a click ends the
program at once, a close from outside and a log-off end it cleanly, and no
process is left behind.

A load is in flight while the program holds a photo of the collection open
(Linux's /proc shows it): the tests wait for that state right before each
input. Interval "1": ticks keep coming while a load runs, and each is
skipped."""

from __future__ import annotations

import os
import random
import shutil
import tempfile
import time
from pathlib import Path

import harness
import photos
from harness import SETTINGS_KEY, files_held_open, wine_processes
from config import FORM1

# From the xdotool call to the end of the process: ExitProcess from the input
# handler takes a few hundredths of a second; a load that held the input up
# would take a whole decode (about a second for 48 MP under Wine).
PROMPT_END_S = 0.5
# A close or a log-off from outside, which goes through the inspector (a Wine
# program of its own, started for the purpose).
CLEAN_END_S = 5
# Every click at one place on Form1's black surface: after a program that a
# click ended, Wine loses the next program's first click at a new place (see
# README), never one in place.
CLICK_AT = (20, 20)
# How long into a load the input comes, at random.
INTO_LOAD_S = (0.0, 0.4)


class InputWhileLoading(harness.SessionTestCase):
    big: Path

    @classmethod
    def setUpClass(cls):
        # Made once for all the cases: a 48 MP JPEG under three names.
        parent = harness.sessions_dir().parent / "e2e-photos"
        parent.mkdir(parents=True, exist_ok=True)
        cls.big = Path(tempfile.mkdtemp(dir=parent))
        first = photos.big_jpeg(cls.big / "SALVAS_JA1.JPG", (8000, 6000), photos.RED)
        for name in ["SALVAS_ZY2.JPG", "SALVAS_57X.JPG"]:
            os.link(first, cls.big / name)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.big, ignore_errors=True)

    def setUp(self):
        self.rng = random.Random()
        seed = self.rng.randrange(1 << 30)
        self.rng.seed(seed)
        harness.log(f"random seed {seed}")

    def stalled_folder(self) -> Path:
        """A collection whose one photo is a named pipe that a writer (this
        test) holds open and never writes to: Wine lists it as an ordinary
        file, and reading it blocks for good. (With no writer at all, the
        read ends at once and the tick fails.)"""
        folder = photos.private_folder(self)
        pipe = folder / "SALVAS_JA1.JPG"
        os.mkfifo(pipe)
        writer = os.open(pipe, os.O_RDWR)
        self.addCleanup(os.close, writer)
        return folder

    def wait_for_read(self, s: harness.Session, scr: harness.Process, folder: Path) -> None:
        """Until a photo of folder is being read (at once while one is)."""
        s.wait_until(lambda: files_held_open(s, folder), 10, "a photo being read", scr, interval=0.01)

    def start_loading(self, s: harness.Session, folder: Path) -> tuple[harness.Process, dict, float]:
        """Starts the slideshow and waits until a photo of folder is being
        read; returns the program, Form1 and when the read was first seen."""
        scr = s.start_scr("/s")
        form = s.wait_for_window(FORM1, process=scr)
        self.wait_for_read(s, scr, folder)
        return scr, form, time.monotonic()

    def assert_gone(self, s: harness.Session, scr: harness.Process, code: int, how: str) -> None:
        self.assertEqual(code, 0, f"{how}: exit code {code}; output: {scr.output()[-1500:]!r}")
        s.wait_until(lambda: not wine_processes(s), 5, f"{how}: no Salvanto2002.scr process left")

    def end_by_input(self, s: harness.Session, scr: harness.Process, folder: Path, how: str) -> float:
        """A key or a click while the photo is still being read; the time
        from the input to the end of the process."""
        self.wait_for_read(s, scr, folder)
        started = time.monotonic()
        if how == "key":
            s.key(self.rng.choice(["a", "Escape", "space", "shift"]))
        else:
            s.click(*CLICK_AT, self.rng.choice([1, 2, 3]))
        try:
            code = scr.wait(10)
        except TimeoutError:
            self.fail(f"{how}: still running 10 s after the input, while a photo was being read")
        took = time.monotonic() - started
        self.assert_gone(s, scr, code, how)
        return took

    def end_from_outside(self, s: harness.Session, scr: harness.Process, form: dict, folder: Path,
                         how: str, stored: dict[str, str]) -> None:
        self.wait_for_read(s, scr, folder)
        if how == "close":
            s.close_window(form["hwnd"])
        else:
            reply = s.end_session(form["hwnd"], 3000)
            self.assertTrue(reply["query_answered"] and reply["query_result"] != 0, reply)
            self.assertTrue(reply["end_sent"] and reply["end_answered"], reply)
        try:
            code = scr.wait(CLEAN_END_S)
        except TimeoutError:
            self.fail(f"{how}: still running {CLEAN_END_S} s later; windows: {s.visible_summary()}")
        self.assert_gone(s, scr, code, how)
        self.assertEqual({name: s.setting(name) for name in stored}, stored, f"{how}: the settings changed")
        values = s.inspect("reg", SETTINGS_KEY)["values"]
        self.assertEqual(sorted(v["name"] for v in values), sorted(stored), f"{how}: settings added")

    def test_input_close_and_log_off_during_big_decodes(self):
        stored = {"Interval": "1", "SalvantosDir": photos.wine_dir(self.big)}
        with self.session(settings=stored) as s:
            times = []
            for how in self.rng.sample(["key", "key", "click", "click"], 4) + ["close", "log-off"]:
                with self.subTest(how=how):
                    scr, form, reading = self.start_loading(s, self.big)
                    if how in ("close", "log-off"):
                        self.end_from_outside(s, scr, form, self.big, how, stored)
                        continue
                    into = self.rng.uniform(*INTO_LOAD_S)
                    s.wait_until(lambda: time.monotonic() >= reading + into and files_held_open(s, self.big),
                                 10, f"the load running {into:.2f} s", scr, interval=0.01)
                    took = self.end_by_input(s, scr, self.big, how)
                    times.append(took)
                    harness.log(f"{how} {into:.2f} s into a 48 MP load: the program ended {took * 1000:.0f} ms "
                                f"after the input")
                    self.assertLess(took, PROMPT_END_S, f"{how} {into:.2f} s into a 48 MP load")
            harness.log(f"input to end: {', '.join(f'{t * 1000:.0f}' for t in sorted(times))} ms")

    def test_a_read_that_never_returns_holds_nothing_up(self):
        folder = self.stalled_folder()
        stored = {"Interval": "1", "SalvantosDir": photos.wine_dir(folder)}
        with self.session(settings=stored) as s:
            for how in ["key", "click", "close"]:
                with self.subTest(how=how):
                    scr, form, _ = self.start_loading(s, folder)
                    # The read does not return, and Form1 answers at once meanwhile.
                    reply = s.inspect("sync", str(form["hwnd"]), "5000")
                    self.assertTrue(reply["answered"], f"Form1 did not answer while the read was stuck: {reply}")
                    self.assertLess(reply["ms"], 1000, reply)
                    self.assertTrue(files_held_open(s, folder), "the read of the pipe returned")
                    self.assertEqual(s.message_boxes(), [], "a box while the read was stuck")
                    if how == "close":
                        self.end_from_outside(s, scr, form, folder, how, stored)
                        continue
                    took = self.end_by_input(s, scr, folder, how)
                    harness.log(f"{how} during a read that never returns: ended {took * 1000:.0f} ms later")
                    self.assertLess(took, PROMPT_END_S, how)


if __name__ == "__main__":
    harness.main()
