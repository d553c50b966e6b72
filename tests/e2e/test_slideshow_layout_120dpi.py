"""The slideshow window's start-up layout at 120 DPI (12 twips per pixel):
the size test compares twips, so 800 x 600 keeps the frame at the top like
640 x 480 does at 96 DPI, and 1000 x 750 like 800 x 600. Every control is
1.25 times as many pixels as at 96 DPI, the bevel included."""

import harness
from slideshow_view import Screen, SlideshowLayout


class Layout120Dpi(SlideshowLayout):
    def test_frame_at_the_top_on_800x600_strip_and_banner_below_the_screen(self):
        self.check_screen(Screen(800, 600, 120), look=False)

    def test_frame_at_the_top_on_1000x750(self):
        self.check_screen(Screen(1000, 750, 120), look=True)


if __name__ == "__main__":
    harness.main()
