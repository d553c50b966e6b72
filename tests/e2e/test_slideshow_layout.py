"""The slideshow window as laid out at start-up, 96 DPI screens: where its
controls land for each screen size (worked out from the design in twips),
and what the screen shows (colours at known places, not just "something was
drawn"); and laid out again the same way when the screen changes its size
while the show runs. Interval "0", so nothing changes under the
screenshots."""

import unittest

import harness
import two_monitors
from slideshow_view import STILL, Screen, ScreenshotChecks, SlideshowLayout


class Layout96Dpi(SlideshowLayout):
    def test_frame_at_the_top_on_800x600(self):
        self.check_screen(Screen(800, 600, 96), look=True)

    def test_frame_at_the_top_on_640x480_overhanging_the_sides(self):
        # The caption strip and the banner lie below the bottom edge here.
        self.check_screen(Screen(640, 480, 96), look=False)

    def test_frame_lowered_on_1024x768(self):
        self.check_screen(Screen(1024, 768, 96), look=True)

    def test_frame_lowered_on_1280x1024(self):
        self.check_screen(Screen(1280, 1024, 96), look=False)

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
                    form = s.wait_until(lambda: [w for w in s.find_windows(cls="Salvanto.Form1")
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
