"""Broken photo directories, end to end (broken Interval texts are in
test_startup_interval): blank, missing, in lower case, without their final
separator, naming a file, or removed while the show runs, they give the
photo-cycle's behaviour: the photos when they can be found, the failure box
tick after tick when not, and never a crash. Both settings are read once, at
load: changed while the show runs, they change nothing."""

import shutil
from pathlib import Path

import harness
import photos
from harness import SlideshowWatch, click_button
from photos import BLUE, GREEN, RED
from config import FORM1

RED_PHOTO = "SALVAS_JA1.JPG"
RED_CAPTION = "Painter Portfolio "
# How far a tick may land from its place on the one-second grid under load.
TICK_SLACK = 0.35


class PhotoDirectorySettings(harness.SessionTestCase):
    def setUp(self):
        self.folder = photos.private_folder(self)
        photos.solid(self.folder / RED_PHOTO, RED)
        self.photo_dir = photos.wine_dir(self.folder)

    def start_and_watch(self, s: harness.Session, cwd: Path | None = None):
        watch = SlideshowWatch(s, 30)
        scr = s.start_scr("/s", cwd=cwd)
        shown, _ = watch.wait_for(lambda st: st["form"] and st["year_visible"], 20, "Form1 on screen", process=scr)
        return scr, watch, shown

    def expect_photo(self, s, scr, watch, since):
        """The red photo comes with its caption on the first tick."""
        _, state = watch.wait_for(lambda st: st["caption"] != photos.DESIGN_CAPTION or st["boxes"], 5,
                                  "the first tick", since, scr)
        self.assertEqual((state["caption"], state["boxes"]), (RED_CAPTION, []))
        rect = s.find_windows(name="Image1")[0]["rect"]

        def red_on_screen():
            # The caption changes once the photo is painted; the display gets
            # the pixels a moment later.
            rgb = s.pixels().at((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)
            self.assertEqual(photos.nearest_colour(rgb, [RED]), RED, f"Image1 shows {rgb}")
        s.eventually(red_on_screen, 5, "the red photo on the screen", scr)

    def expect_boxes(self, s, scr, watch, count=2, since=0):
        """Tick after tick the failure box, and the program runs on."""
        for n in range(count):
            index, state = watch.wait_for(lambda st: st["boxes"], 5, f"failure box {n + 1}", since, scr)
            box = state["boxes"][0]
            self.assertEqual(photos.box_problems(box), [], box)
            click_button(s, box["buttons"][0])
            since, _ = watch.wait_for(lambda st: not st["boxes"], 5, "the box gone", index, scr)
        self.assertTrue(scr.running, f"ended with {scr.exit_code}")
        self.assertEqual(photos.Timeline(watch.states()).most_boxes_at_once(), 1)

    def test_each_photo_directory_setting(self):
        file_path = self.photo_dir + RED_PHOTO
        # (label, stored SalvantosDir or None, photo shown?, current directory)
        cases = [
            ("absent", None, False, None),
            ("blank", " ", False, None),
            ("empty: the current directory", "", True, self.folder),
            ("lower case", self.photo_dir.lower(), True, None),
            ("without the final separator", self.photo_dir[:-1], False, None),
            ("naming a file", file_path, False, None),
            ("naming a file, with a separator", file_path + "\\", False, None),
        ]
        with self.session(settings={"Interval": "1"}) as s:
            for label, stored, shown, cwd in cases:
                with self.subTest(photo_dir=label):
                    s.set_setting("SalvantosDir", stored)
                    scr, watch, since = self.start_and_watch(s, cwd)
                    try:
                        if shown:
                            self.expect_photo(s, scr, watch, since)
                        else:
                            self.expect_boxes(s, scr, watch, since=since)
                    finally:
                        s.stop_scr(scr)
                        watch.stop()
                    self.assertEqual(s.setting("SalvantosDir"), stored)

    def test_settings_changed_and_collection_removed_while_the_show_runs(self):
        photos.solid(self.folder / "SALVAS_ZY2.JPG", GREEN)
        # Another collection, for the setting to name while the show runs.
        other = photos.private_folder(self)
        photos.solid(other / "SALVAS_57X.JPG", BLUE)
        other_caption = "  1957 Salvanto   "
        with self.session(settings={"Interval": "1", "SalvantosDir": self.photo_dir}) as s:
            order = photos.listing_order(s, self.photo_dir)
            caption = {"SALVAS_JA1.JPG": RED_CAPTION, "SALVAS_ZY2.JPG": "Salvanto Coin "}
            first, second = caption[order[0]], caption[order[1]]
            scr, watch, since = self.start_and_watch(s)
            watch.wait_for(lambda st: st["caption"] == first, 5, "the first photo", since, scr)
            # Read at load only: a longer period and another collection stored
            # now change nothing.
            s.set_setting("Interval", "4")
            s.set_setting("SalvantosDir", photos.wine_dir(other))
            changed = len(watch.states())
            # Each pass shows the first photo on three ticks, then the second:
            # the second photo's tick and the next are one stored interval apart.
            index, to_second = watch.wait_for(lambda st: st["caption"] == second, 10, "the second photo",
                                              changed, scr)
            index, to_first = watch.wait_for(lambda st: st["caption"] != second, 3, "the tick after it",
                                             index, scr)
            self.assertEqual(to_first["caption"], first)
            self.assertAlmostEqual(to_first["t"] - to_second["t"], 1.0, delta=TICK_SLACK,
                                   msg="the period changed with the stored Interval")
            self.assertEqual(s.find_windows(cls=FORM1)[0]["timer1_interval"], 1000)
            # With its collection gone the show keeps to it: a tick after
            # tick brings the failure box, never the other collection's photo.
            shutil.rmtree(self.folder)
            self.expect_boxes(s, scr, watch, count=4, since=index)
            s.screenshot("collection-gone")
            self.assertNotIn(other_caption, {st["caption"] for st in watch.states()})


if __name__ == "__main__":
    harness.main()
