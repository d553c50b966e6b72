"""Exit on user activity, with real input from xdotool on the virtual
screen: a key or a mouse button ends the screen saver at once, the cursor
made visible on the way out; mouse moves are counted per surface (Form1's
own, Image1) and the fourth on one surface ends it; input over the frame's
bevel, the caption strip and the banner never counts, and neither does the
wheel or the release of a key or button held since before the show.
Another program that takes the foreground ends it too, as the platform's
contract for screen savers has it (keys typed next would go to that program
unseen); the program's own failure box, which takes the activation from
Form1, does not.

Interval "60": no tick comes while a case runs, so an ending is the input's;
one case runs at "1" to show that moves with ticks between them add up.
Each move goes to a new position in an xdotool call of its own, and the
program answers a WM_NULL round trip before the next one, so moves are never
merged (see README: one xdotool mousemove is one WM_MOUSEMOVE)."""

from __future__ import annotations

import time

import harness
import photos

from config import FORM1
QUIET = {"Interval": "60"}
SIZE = (1024, 768)

# Ending at once: ExitProcess from the input handler. Far below the next
# tick (60 s), with room for a loaded machine.
PROMPT_END_S = 3.0

Box = tuple[int, int, int, int]
Point = tuple[int, int]


def spread(box: Box, n: int, margin: int = 2) -> list[Point]:
    """n distinct points inside box (left, top, right, bottom), spread over
    it, no two in a row at the same place."""
    left, top, right, bottom = box[0] + margin, box[1] + margin, box[2] - margin, box[3] - margin
    assert right > left and bottom > top, f"box too small: {box}"
    step = 7 if n % 7 else 5
    return [(left + (right - left - 1) * (i + 1) // (n + 1),
             top + (bottom - top - 1) * ((step * i) % n + 1) // (n + 1)) for i in range(n)]


class Slideshow:
    """One running copy: its window and the places to aim at, from the
    inspector's rectangles."""

    def __init__(self, test: "ActivityTest", s: harness.Session):
        self.test, self.s = test, s
        self.scr = s.start_scr("/s", trace="+cursor")
        self.form = s.wait_for_window(FORM1, process=self.scr)
        s.wait_until(lambda: s.find_windows(name="panYear", visible=True), 10, "panYear visible", self.scr)
        rects = {w["name"]: w["rect"] for w in harness.walk(s.windows()) if w["name"]}
        self.panel, self.image1 = rects["SSPanel1"], rects["Image1"]
        self.year, self.banner = rects["panYear"], rects["Image2"]
        # The black surface left of the frame, and the photo.
        self.surface_box: Box = (0, 0, self.panel[0], SIZE[1])
        self.photo_box: Box = tuple(self.image1)  # type: ignore[assignment]
        self.test.assertGreater(self.panel[0], 40, f"room for the pointer left of the frame: {rects}")
        self.expect_running("after start-up")

    # ---- places ---------------------------------------------------------

    def surface(self, n: int) -> list[Point]:
        return spread(self.surface_box, n, margin=8)

    def photo(self, n: int) -> list[Point]:
        return spread(self.photo_box, n, margin=8)

    def bevel(self, n: int) -> list[Point]:
        """Points on SSPanel1's band around Image1, all four sides in turn."""
        (pl, pt, pr, pb), (il, it, ir, ib) = self.panel, self.image1
        bands = [(il, pt, ir, it), (ir, it, pr, ib), (il, ib, ir, pb), (pl, it, il, ib)]
        per_band = [spread(band, (n + 3 - k) // 4, margin=1) for k, band in enumerate(bands)]
        return [per_band[i % 4][i // 4] for i in range(n)]

    # ---- input and what follows --------------------------------------------

    def move(self, point: Point) -> None:
        self.s.mouse_move(*point)

    def expect_running(self, after: str) -> None:
        """The program took everything queued so far and still runs."""
        answered = self.s.sync(self.form["hwnd"])
        self.test.assertTrue(self.scr.running, f"ended ({self.scr.exit_code}) {after}")
        self.test.assertTrue(answered, f"no answer from Form1 {after}")

    def expect_end(self, after: str) -> float:
        """Exit code 0 within PROMPT_END_S, the cursor's display count raised
        from 0 to visible on the way (one ShowCursor call); returns how long
        the end took."""
        started = time.monotonic()
        try:
            code = self.scr.wait(PROMPT_END_S)
        except TimeoutError:
            self.test.fail(f"still running {PROMPT_END_S} s {after}")
        took = time.monotonic() - started
        self.test.assertEqual(code, 0, f"exit code {after}: {self.scr.output()[-1000:]}")
        self.test.assertEqual(harness.show_cursor_calls(self.scr), [(True, 1)], f"ShowCursor calls {after}")
        return took


class ActivityTest(harness.SessionTestCase):
    def test_any_key_ends_at_once(self):
        with self.session(size=SIZE, settings=QUIET) as s:
            for key in ["a", "shift", "alt", "F10", "Escape", "space"]:
                with self.subTest(key=key):
                    show = Slideshow(self, s)
                    s.key(key)
                    took = show.expect_end(f"after the key {key}")
                    harness.log(f"key {key}: ended {took:.3f} s after xdotool returned")

    def test_any_button_over_the_surface_or_the_photo_ends_at_once(self):
        with self.session(size=SIZE, settings=QUIET) as s:
            for place in ["surface", "photo"]:
                for button, name in [(1, "left"), (3, "right"), (2, "middle"), (1, "left held")]:
                    with self.subTest(place=place, button=name):
                        show = Slideshow(self, s)
                        point = (show.surface if place == "surface" else show.photo)(1)[0]
                        # The click's own move (one, to a new place) is tolerated;
                        # the button ends it, as it goes down: a button held
                        # down and never released ends it too.
                        if name == "left held":
                            show.move(point)
                            s.xdotool("mousedown", str(button))
                            try:
                                show.expect_end(f"after the left button went down on the {place} at {point}")
                            finally:
                                s.xdotool("mouseup", str(button))
                        else:
                            s.click(*point, button=button)
                            show.expect_end(f"after a {name} click on the {place} at {point}")

    def test_fourth_move_on_the_surface_ends(self):
        with self.session(size=SIZE, settings=QUIET) as s:
            # The pointer rests on the black surface when the window appears:
            # the move Wine reports then is no user's and must not count.
            s.mouse_move(5, 5)
            show = Slideshow(self, s)
            points = show.surface(4)
            for i, point in enumerate(points[:3], 1):
                show.move(point)
                show.expect_running(f"after surface move {i} to {point}")
            show.move(points[3])
            show.expect_end(f"after the fourth surface move to {points[3]}")

            # Moves far apart still add up: at a one-second interval, three
            # moves with ticks between them (each waits for a new caption),
            # then the fourth ends the show.
            folder = photos.private_folder(self)
            for name, colour in (("SALVAS_JA1.JPG", photos.RED), ("SALVAS_ZY2.JPG", photos.BLUE)):
                photos.solid(folder / name, colour)
            s.set_setting("Interval", "1")
            s.set_setting("SalvantosDir", photos.wine_dir(folder))
            show = Slideshow(self, s)
            points = show.surface(4)

            def caption() -> str:
                return s.find_windows(name="panYear")[0]["text"]
            for i, point in enumerate(points[:3], 1):
                before = caption()
                s.wait_until(lambda: caption() != before, 5, f"a tick's new caption before move {i}", show.scr)
                show.move(point)
                show.expect_running(f"after surface move {i} to {point}, with ticks between the moves")
            show.move(points[3])
            show.expect_end(f"after the fourth surface move to {points[3]}, with ticks between the moves")

    def test_surface_and_photo_counted_apart(self):
        with self.session(size=SIZE, settings=QUIET) as s:
            s.mouse_move(5, 5)
            show = Slideshow(self, s)
            for i, point in enumerate(show.surface(3), 1):
                show.move(point)
                show.expect_running(f"after surface move {i} to {point}")
            photo = show.photo(4)
            for i, point in enumerate(photo[:3], 1):
                show.move(point)
                show.expect_running(f"after photo move {i} to {point}, three on the surface before")
            show.move(photo[3])
            show.expect_end(f"after the fourth photo move to {photo[3]}")

    def test_releases_wheel_and_input_over_bevel_caption_strip_and_banner_never_count(self):
        # What reaches a window for the releases and the wheel was measured
        # with `inspector probe` (README): the release of a key or button held
        # since before the window showed gives its WM_KEYUP / WM_xBUTTONUP
        # alone (a release of one not held gives nothing); modifier keys, since
        # they do not repeat while held. The wheel (buttons 4 to 7) gives
        # WM_MOUSEWHEEL / WM_MOUSEHWHEEL where the pointer is, without a move.
        wheel = [("4", "up"), ("5", "down"), ("6", "left"), ("7", "right")]
        with self.session(size=SIZE, settings=QUIET) as s:
            s.mouse_move(5, 5)
            s.xdotool("keydown", "shift")
            s.xdotool("keydown", "ctrl")
            for button in ("1", "3", "2"):
                s.xdotool("mousedown", button)
            show = Slideshow(self, s)
            for what, action in [("shift", ("keyup", "shift")), ("ctrl", ("keyup", "ctrl")),
                                 ("the left button", ("mouseup", "1")), ("the right button", ("mouseup", "3")),
                                 ("the middle button", ("mouseup", "2"))]:
                s.xdotool(*action)
                show.expect_running(f"after releasing {what}, held since before the show")
            for button, direction in wheel:
                s.xdotool("click", button)
                show.expect_running(f"after the wheel {direction} over the surface")
            targets = {
                "SSPanel1's bevel": show.bevel(13),
                "panYear": spread(tuple(show.year), 13),  # type: ignore[arg-type]
                "Image2": spread(tuple(show.banner), 13),  # type: ignore[arg-type]
            }
            for target, points in targets.items():
                with self.subTest(target=target):
                    for point in points[:10]:
                        show.move(point)
                    show.expect_running(f"after 10 moves over {target}")
                    for point, button in zip(points[10:], (1, 3, 2)):
                        s.click(*point, button=button)
                        show.expect_running(f"after a click (button {button}) over {target} at {point}")
            # Neither counter moved: three more on each surface are still tolerated.
            for i, point in enumerate(show.surface(3) + show.photo(3), 1):
                show.move(point)
                show.expect_running(f"after move {i} of three on the surface and three on the photo")
            for button, direction in wheel:
                s.xdotool("click", button)
                show.expect_running(f"after the wheel {direction} over the photo")
            last = show.surface(4)[3]
            show.move(last)
            show.expect_end(f"after the fourth surface move to {last}")


class ForegroundTest(harness.SessionTestCase):
    def another_program_takes_the_foreground(self, s: harness.Session, show: Slideshow) -> None:
        """Wine's Notepad, started from outside, shows its window and takes
        the foreground: the show ends at once, the cursor raised once."""
        started = time.monotonic()
        notepad = s.start_exe("notepad")
        try:
            s.wait_until(lambda: s.find_windows(cls="Notepad", exe=None, visible=True), 20, "Notepad's window",
                         notepad)
            show.expect_end("after Notepad took the foreground")
            harness.log(f"ended {time.monotonic() - started:.3f} s after Notepad was started")
        finally:
            notepad.kill()
            s.wait_until(lambda: not s.find_windows(cls="Notepad", exe=None), 10, "Notepad gone")

    def test_another_program_ends_the_show_and_its_own_failure_box_does_not(self):
        with self.session(size=SIZE, settings=QUIET) as s:
            with self.subTest(under="nothing"):
                show = Slideshow(self, s)
                self.another_program_takes_the_foreground(s, show)
            with self.subTest(under="the failure box"):
                # No collection: every tick brings the failure box, which
                # takes the activation from Form1. The show goes on under it,
                # tick after tick, until another program takes the foreground.
                s.set_setting("Interval", "1")
                s.set_setting("SalvantosDir", None)
                show = Slideshow(self, s)
                box = s.wait_for_message_box(process=show.scr)
                s.wait_until(lambda: s.inspect("focus", str(box["hwnd"]))["active"]["hwnd"] == box["hwnd"], 5,
                             "the failure box active", show.scr)
                shown = harness.raw_clock()
                s.wait_until(lambda: harness.raw_clock() >= shown + 2.5, 10, "two ticks under the box", show.scr)
                show.expect_running("with its own failure box active for two ticks")
                self.assertEqual([b["hwnd"] for b in s.message_boxes()], [box["hwnd"]], "one box all along")
                self.another_program_takes_the_foreground(s, show)


if __name__ == "__main__":
    harness.main()
