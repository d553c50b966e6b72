"""The slideshow on a desk with two monitors: the second goes black under a
cover, with the pointer still in sight, input there counts as input on the slideshow's own surface, and the
cover goes with the show or with its monitor. Activation that moves between
Form1 and the cover is no loss of the foreground; another program's taking
it from either ends the show."""

import time
import unittest

import harness
import two_monitors
from two_monitors import PRIMARY, SECOND
from config import COVER, FORM1

ON_SECOND = [(1200, 100), (1500, 300), (1300, 500), (1700, 200)]
ON_SURFACE = [(20, 20), (60, 30)]  # Form1's black surface, above the frame


@unittest.skipIf(two_monitors.missing_tools(), f"needs {two_monitors.missing_tools()}")
class TwoMonitors(harness.SessionTestCase):
    def covers(self, s):
        found = [w for w in s.find_windows(cls=COVER) if w["visible"]]
        return found

    def desktop_pixels(self, pixels, area) -> int:
        left, top, right, bottom = area
        return sum(pixels.count(two_monitors.TwoMonitorSession.DESKTOP, (x, top, x + 1, bottom))
                   for x in range(left, right, 7))

    def start_show(self, s):
        scr = s.start_scr("/s")
        form = s.wait_for_window(FORM1, process=scr)
        self.assertEqual(form["rect"], list(PRIMARY))
        cover = s.wait_until(lambda: self.covers(s), 20, "a cover on the second monitor", process=scr)
        self.assertEqual([c["rect"] for c in cover], [list(SECOND)])
        self.assertTrue(s.sync(form["hwnd"]))
        return scr, form

    def test_second_monitor_covered_and_its_input_counts(self):
        with two_monitors.TwoMonitorSession(".".join(self.id().split(".")[-2:]),
                                            settings={"Interval": "0", "SalvantosDir": None}) as s:
            before = s.pixels()
            self.assertGreater(self.desktop_pixels(before, SECOND), 1000, "the desktop is coloured")

            # Covered and black while the show runs; a click there ends it,
            # and the cover goes with it.
            scr, form = self.start_show(s)

            def covered():
                # The cover is painted, and reaches the display, after it shows.
                shown = s.pixels()
                self.assertEqual(self.desktop_pixels(shown, SECOND), 0, "desktop showing on the second monitor")
                self.assertEqual(shown.at(1400, 300), (0, 0, 0))
            s.eventually(covered, 10, "the second monitor black", scr)
            s.screenshot("second-monitor-covered")
            cover = self.covers(s)[0]
            self.assertNotEqual(cover["exstyle"] & 0x8, 0, "the cover is topmost")
            s.click(*ON_SECOND[0])
            self.assertEqual(scr.wait(10), 0)
            s.wait_until(lambda: not s.find_windows(exe=harness.SCR_NAME), 10, "every window of the show gone")
            s.eventually(lambda: self.assertGreater(self.desktop_pixels(s.pixels(), SECOND), 1000,
                                                    "a cover left behind"), 10, "the desktop back")

            # A key with the pointer on the second monitor.
            scr, form = self.start_show(s)
            s.mouse_move(*ON_SECOND[1])
            self.assertTrue(s.sync(form["hwnd"]))
            s.key("a")
            self.assertEqual(scr.wait(10), 0)
            s.wait_until(lambda: not s.find_windows(exe=harness.SCR_NAME), 10, "every window of the show gone")

            # Moves count on one tally across both monitors: three are
            # tolerated, the fourth ends the show.
            # The pointer stays in sight on both: over the cover it is the
            # arrow that Form1 shows.
            scr, form = self.start_show(s)
            arrow = None
            for point in (ON_SURFACE[0], ON_SECOND[2], ON_SURFACE[1]):
                s.mouse_move(*point)
                self.assertTrue(s.sync(form["hwnd"]), f"ended on a move to {point}")
                self.assertTrue(scr.running)
                pointer = s.wait_until(lambda: (c := s.inspect("cursor"))["handle"] and c["showing"] and c, 5,
                                       f"a pointer in sight at {point}", scr)
                arrow = arrow or pointer["handle"]
                self.assertEqual(pointer["handle"], arrow, f"another pointer at {point}")
            s.mouse_move(*ON_SECOND[3])
            self.assertEqual(scr.wait(10), 0)
            s.wait_until(lambda: not s.find_windows(exe=harness.SCR_NAME), 10, "every window of the show gone")

    def test_monitor_removed_while_the_show_runs(self):
        with two_monitors.TwoMonitorSession(".".join(self.id().split(".")[-2:]),
                                            settings={"Interval": "0", "SalvantosDir": None}) as s:
            scr, form = self.start_show(s)
            s.remove_second_monitor()
            s.wait_until(lambda: not self.covers(s), 20, "the cover gone with its monitor", process=scr)
            self.assertTrue(s.sync(form["hwnd"]))
            self.assertTrue(scr.running, "the show goes on")
            self.assertEqual(s.find_windows(cls=FORM1)[0]["rect"], list(PRIMARY))
            s.key("a")
            self.assertEqual(scr.wait(10), 0)


    def test_activation_between_its_own_windows_goes_on_and_another_program_ends_it(self):
        with two_monitors.TwoMonitorSession(".".join(self.id().split(".")[-2:]),
                                            settings={"Interval": "0", "SalvantosDir": None}) as s:
            scr, form = self.start_show(s)
            cover = self.covers(s)[0]
            for window, what in [(cover, "the cover"), (form, "Form1"), (cover, "the cover")]:
                s.inspect("activate", str(window["hwnd"]))
                s.wait_until(lambda: s.inspect("focus", str(form["hwnd"]))["active"]["hwnd"] == window["hwnd"], 5,
                             f"{what} active", scr)
                self.assertTrue(s.sync(form["hwnd"]), f"no answer after {what} was activated")
                self.assertTrue(scr.running, f"ended ({scr.exit_code}) when {what} was activated")
            started = time.monotonic()
            notepad = s.start_exe("notepad")
            try:
                code = scr.wait(10)
                harness.log(f"ended {time.monotonic() - started:.3f} s after Notepad was started")
                self.assertEqual(code, 0, "another program took the foreground from the cover")
            finally:
                notepad.kill()


if __name__ == "__main__":
    harness.main()
