"""The slideshow window as laid out at start-up, 96 DPI screens: where its
controls land for each screen size (worked out from the design in twips),
and what the screen shows (colours at known places, not just "something was
drawn"). Interval "0", so nothing changes under the screenshots."""

import harness
from slideshow_view import Screen, SlideshowLayout


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


if __name__ == "__main__":
    harness.main()
