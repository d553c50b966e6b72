"""The stored Interval as the running program takes it: the timer period it
becomes, read with the user's decimal separator, or the message box that
ends the program before any slideshow window shows. (The conversion rules
themselves are unit-tested.)

The slideshow's timer runs at its design period (one second) from the
window's creation until the stored period replaces it, so it is due while a
fatal box from the load is open; no tick may run under that box
(FatalBoxAlone). Each copy also runs in a folder with one good photo, so
that a tick that did run would be seen, not mistaken for a failure."""

from pathlib import Path

import harness
import photos
from harness import APP_TITLE, SlideshowWatch
from config import FORM1

WS_EX_TOPMOST = 0x00000008

COMMA = {(r"Control Panel\International", "sDecimal"): ","}


def expect_period(test: harness.SessionTestCase, s: harness.Session, stored: str | None, period: int) -> None:
    """The stored text becomes the timer's period, and the show runs."""
    s.set_setting("Interval", stored)
    scr = s.start_scr("/s")
    try:
        form = s.wait_for_window(FORM1, process=scr)
        test.assertEqual(form["timer1_interval"], period)
        if period == 0:
            # No tick at all: the design-time timer (one second) would have
            # ticked by now, and a tick changes the caption or brings a box.
            watch = SlideshowWatch(s, 2.5)
            watch.process.wait(20)
            test.assertEqual({(st["caption"], len(st["boxes"])) for st in watch.states() if st["year_visible"]},
                             {(photos.DESIGN_CAPTION, 0)})
        # A fatal box would have come before the window showed.
        test.assertEqual([b for b in s.message_boxes() if b["title"] == APP_TITLE], [], "an error box at start-up")
        test.assertTrue(scr.running, f"ended with {scr.exit_code}")
    finally:
        s.stop_scr(scr)


def expect_fatal_box(test: harness.SessionTestCase, s: harness.Session, stored: str, reason: str, code: int,
                     quiet_ticks_in: Path | None = None, screenshot: bool = False) -> None:
    """The stored text ends the program at load with a box that names the
    setting, its text (a long one cut to its first 40 characters and an
    ellipsis) and the reason (lower case), and lies within the screen; OK
    ends the program with code (the run-time error's number, as Linux keeps
    it: 8 bits). quiet_ticks_in: a folder with a good photo to run the copy
    in (see the module's notes)."""
    s.set_setting("Interval", stored)
    scr = s.start_scr("/s", cwd=quiet_ticks_in)
    try:
        box = s.wait_for_message_box(process=scr, title=APP_TITLE)
        text = box["text"]
        test.assertIn("Interval", text, "the box names the setting")
        # A quoted text stands in a directional isolate, inside the quotes.
        shown = stored if len(stored) <= 40 else f'"\u2068{stored[:40]}\u2026\u2069"'
        test.assertIn(f'"{shown}"' if stored == "" else shown, text, "the box shows the stored text")
        left, top, right, bottom = box["rect"]
        width, height = s.size
        test.assertTrue(0 <= left < right <= width and 0 <= top < bottom <= height,
                        f"the box at {box['rect']} on a {width} x {height} screen")
        test.assertIn(reason, text.lower())
        test.assertEqual([b["text"] for b in box["buttons"] if b["visible"]], ["OK"])
        test.assertTrue(box["exstyle"] & WS_EX_TOPMOST, "the box stands above the show's topmost windows")
        test.assertEqual(s.find_windows(cls=FORM1, visible=True), [], "the slideshow window shows behind the error")
        if screenshot:
            # The box is listed once its controls exist; its text may be
            # painted a moment later. Inside its frame, below the title, only
            # the text is black.
            def text_painted():
                inside = (left + 10, top + 30, right - 10, bottom - 10)
                test.assertGreater(s.pixels().count((0, 0, 0), inside), 50, "no text painted in the box yet")
            s.eventually(text_painted, 5, "the box's text painted", scr)
            s.screenshot("fatal-interval")
        s.press(box["hwnd"], "OK")
        try:
            exit_code = scr.wait(10)
        except TimeoutError:
            test.fail(f"still running 10 s after the fatal box's OK; boxes: {s.message_boxes()}")
        test.assertEqual(exit_code, code, f"exit code; output: {scr.output()[-1000:]!r}")
    finally:
        s.stop_scr(scr)
    test.assertEqual(s.setting("Interval"), stored, "the stored text is left as it was")


def folder_with_a_photo(test: harness.SessionTestCase) -> Path:
    folder = photos.private_folder(test)
    photos.solid(folder / "SALVAS_JA1.JPG", photos.RED, size=(64, 48))
    return folder


class IntervalAtStartup(harness.SessionTestCase):
    def setUp(self):
        self.folder = folder_with_a_photo(self)
        # Ticks of the accepted periods find the photo.
        self.collection = {"SalvantosDir": photos.wine_dir(self.folder)}

    def test_accepted_interval_becomes_the_timer_period(self):
        # One case of each way through the load; the conversion's table is
        # unit-tested.
        cases = [
            (None, 2000),  # nothing stored: the default "2"
            (" 10 ", 10000),  # a stored number sets the timer
            ("0", 0),  # the timer stays off
        ]
        with self.session(settings=self.collection) as s:
            for stored, period in cases:
                with self.subTest(interval=stored):
                    expect_period(self, s, stored, period)

    def test_unusable_interval_ends_the_program_with_a_message_box(self):
        # Each kind of error the load can raise, with the exit code it ends
        # with: the run-time error's number as Linux keeps it (8 bits). Which
        # texts raise which error is unit-tested.
        cases = [
            ("", "type mismatch", 13),  # stored but empty: not the default
            ("-1", "invalid property value", 380 & 0xFF),  # a period the timer refuses
            ("9" * 5000, "overflow", 6),  # a text far wider than the screen
        ]
        with self.session(settings=self.collection) as s:
            for stored, reason, code in cases:
                with self.subTest(interval=stored[:40]):
                    expect_fatal_box(self, s, stored, reason, code, quiet_ticks_in=self.folder,
                                     screenshot=len(stored) > 40)

    def test_decimal_separator_is_the_users(self):
        # The user's locale writes decimals with a comma, so "2,5" is a
        # number (with a point as the separator it would be none).
        with self.session(settings=self.collection, registry=COMMA) as s:
            expect_period(self, s, "2,5", 2000)


class FatalBoxAlone(harness.SessionTestCase):
    def test_fatal_box_at_load_stays_alone_and_ends_the_program(self):
        # Load fails before it sets the stored period, so Timer1 is still
        # due at its design period of one second under the fatal box. A tick
        # there would open the photo cycle's failure box (no collection
        # here) over the fatal one, and the fatal box's OK could not end the
        # program from inside that box's loop.
        empty = photos.private_folder(self)  # the current directory, where the tick looks
        with self.session(settings={"Interval": "abc", "SalvantosDir": None}) as s:
            watch = SlideshowWatch(s, 10)
            scr = s.start_scr("/s", cwd=empty)
            box = s.wait_for_message_box(process=scr, title=APP_TITLE)
            # Nothing is to happen while the box is open, so there is no state
            # to wait for: it is watched for three design periods, time enough
            # for a tick to show itself.
            until = harness.raw_clock() + 3.0
            try:
                s.wait_until(lambda: harness.raw_clock() >= until or len(watch.last()["boxes"]) > 1, 10,
                             "three seconds of the fatal box")
            finally:
                s.press(box["hwnd"], "OK")
            others = {b["title"] for st in watch.states() for b in st["boxes"]} - {APP_TITLE}
            self.assertEqual(others, set(), "another box opened over the fatal one")
            try:
                self.assertEqual(scr.wait(5), 13)
            except TimeoutError:
                self.fail(f"the program still runs after the fatal box's OK; boxes: {s.message_boxes()}")


if __name__ == "__main__":
    harness.main()
