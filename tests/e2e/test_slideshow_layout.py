"""The slideshow window as laid out at start-up and again when the screen
changes its size while the show runs: its controls where the core's layout
puts them, and what the screen shows (colours at known places, not just
"something was drawn"). One screen with the frame lowered and one with it at
the top, at 120 DPI, where every control is 1.25 times as many pixels as at
96 DPI, the bevel and the banner included; the layout's unit test holds the
rule on the other screens. Interval "0", so nothing changes under the
screenshots."""

import unittest

import harness
import two_monitors
from slideshow_view import STILL, Screen, ScreenshotChecks, SlideshowLayout
from config import FORM1


class Layout(SlideshowLayout):
    def test_frame_lowered_on_1024x768(self):
        self.check_screen(Screen(1024, 768, 96))

    def test_frame_at_the_top_on_1000x750_at_120_dpi(self):
        # The size test compares twips: 1000 x 750 at 120 DPI is 800 x 600 at 96.
        self.check_screen(Screen(1000, 750, 120))

    @unittest.skipIf(two_monitors.missing_tools(), f"needs {two_monitors.missing_tools()}")
    def test_laid_out_again_when_the_screen_changes_its_size(self):
        # Wine tells a running program of no such change: the show finds it
        # by itself. Smaller first (the frame goes to the top), then larger
        # than at the start; each time Form1 covers the new screen, laid out
        # as at load for it, with no pixel of the (teal) desktop showing.
        with two_monitors.ResizableScreenSession(".".join(self.id().split(".")[-2:]), settings=STILL) as s:
            scr, form = self.start_slideshow(s)
            for width, height in [(800, 600), (1280, 1024)]:
                with self.subTest(screen=f"{width}x{height}"):
                    s.set_mode(width, height)
                    screen = Screen(width, height, 96)
                    form = s.wait_until(lambda: [w for w in s.find_windows(cls=FORM1)
                                                 if w["rect"] == [0, 0, width, height]], 10,
                                        f"Form1 over the {width} x {height} screen", scr)[0]
                    rects = self.check_layout(s, screen, form)

                    def covered_and_painted():
                        pixels = s.pixels()
                        self.assertEqual((pixels.width, pixels.height), (width, height))
                        self.assertEqual(pixels.count(two_monitors.TwoMonitorSession.DESKTOP), 0,
                                         "the desktop shows")
                        ScreenshotChecks(self, pixels, rects, screen).all()
                    s.eventually(covered_and_painted, 10, "the new screen covered and painted", scr)
                    s.screenshot(f"slideshow-after-xrandr-{screen.label}")
            self.assertTrue(scr.running, f"ended with {scr.exit_code}: {scr.output()[-1000:]}")


if __name__ == "__main__":
    harness.main()
