"""The screen saver without user input never ends by itself, however many
ticks pass: the move Wine reports when the window appears, or when a photo
changes under a still pointer, is no user's. (Closes from outside are
test_shutdown.py's.)"""

from __future__ import annotations

import harness
import photos
from harness import SlideshowWatch
from config import FORM1

TICKS = 10


class Unattended(harness.SessionTestCase):
    def test_survives_ten_ticks_without_input(self):
        folder = photos.private_folder(self)
        # One real photograph, so that every tick succeeds (no message box).
        photos.noisy_jpeg(folder / "SALVAS_JA001.JPG", (320, 200))
        with self.session(size=(1024, 768), settings={"Interval": "1", "SalvantosDir": photos.wine_dir(folder)}) as s:
            watch = SlideshowWatch(s, TICKS + 5)
            scr = s.start_scr("/s")
            index, shown = watch.wait_for(lambda st: st["form"] and st["year_visible"], 20, "Form1 on screen",
                                          process=scr)
            form = s.find_windows(cls=FORM1)[0]
            self.assertEqual(form["timer1_interval"], 1000)
            # The pointer stands still over the photo, where each tick replaces
            # the picture. The first tick brings the photo's caption; the same
            # photo comes back on every later one, so the caption stays.
            watch.wait_for(lambda st: st["caption"] != photos.DESIGN_CAPTION, 5, "the first tick", index, scr)
            s.wait_until(lambda: harness.raw_clock() >= shown["t"] + TICKS + 0.5 or not scr.running,
                         TICKS + 10, f"{TICKS} ticks")
            self.assertTrue(scr.running, f"ended by itself ({scr.exit_code}): {scr.output()[-1000:]}")
            self.assertTrue(s.sync(form["hwnd"]), f"Form1 answers after {TICKS} ticks")
            states = watch.states()[index:]
            self.assertTrue(all(st["form"] and st["alive"] for st in states), "Form1 went away meanwhile")
            self.assertEqual([st for st in states if st["boxes"]], [], "a tick failed")
            s.screenshot("after-ten-ticks")


if __name__ == "__main__":
    harness.main()
