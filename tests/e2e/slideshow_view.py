"""Where the slideshow window's controls stand on a few screens, and checks
of a screenshot of it. Shared by the layout tests."""

from __future__ import annotations

import unittest
from dataclasses import dataclass

import harness
from config import FORM1

CONTROLS = ("SSPanel1", "Image1", "panYear", "Image2")
BEVEL_PX_AT_96 = 8

# No tick at all: a period of 0 stops the timer, so the sample photograph
# and "Morvane Software" stay, and no "photographs not found" box comes
# (test_startup_interval.py watches that no tick comes).
STILL = {"Interval": "0"}

# Where the core's layout puts the controls, in screen pixels (left, top,
# right, bottom), on the screens these tests use. The rule, on more screens,
# is the layout's unit test; what only the running program can show is that
# its windows stand there. On every screen the caption strip touches the
# frame's bottom and the banner the strip's.
PLACES = {
    # The frame at the top (the screen is 12000 x 9000 twips).
    (800, 600, 96): {"SSPanel1": [4, 0, 797, 489], "Image1": [12, 8, 789, 481],
                     "panYear": [274, 489, 527, 513], "Image2": [119, 513, 682, 580]},
    (1000, 750, 120): {"SSPanel1": [4, 0, 995, 611], "Image1": [14, 10, 985, 601],
                       "panYear": [342, 611, 658, 641], "Image2": [148, 641, 852, 725]},
    # The frame lowered by 1400 twips.
    (1024, 768, 96): {"SSPanel1": [116, 93, 909, 582], "Image1": [124, 101, 901, 574],
                      "panYear": [386, 582, 639, 606], "Image2": [231, 606, 794, 673]},
    (1280, 1024, 96): {"SSPanel1": [244, 93, 1037, 582], "Image1": [252, 101, 1029, 574],
                       "panYear": [514, 582, 767, 606], "Image2": [359, 606, 922, 673]},
}


@dataclass(frozen=True)
class Screen:
    width: int
    height: int
    dpi: int

    @property
    def label(self) -> str:
        return f"{self.width}x{self.height}@{self.dpi}dpi"

    def places(self) -> dict[str, list[int]]:
        return PLACES[(self.width, self.height, self.dpi)]

    @property
    def bevel_px(self) -> int:
        return round(BEVEL_PX_AT_96 * self.dpi / 96)


def controls_by_name(session: harness.Session) -> dict[str, dict]:
    found: dict[str, dict] = {}
    for window in harness.walk(session.windows()):
        if window["name"] in CONTROLS:
            found[window["name"]] = window
    return found


# ---- colours ------------------------------------------------------------------

Colour = tuple[int, int, int]


def is_caption_red(c: Colour) -> bool:
    return c[0] > 200 and c[1] < 60 and c[2] < 60


def is_dark(c: Colour) -> bool:
    return max(c) < 24


def is_neutral(c: Colour) -> bool:
    return max(c) - min(c) <= 8


def brightness(c: Colour) -> float:
    return sum(c) / 3


def clip(box: tuple[int, int, int, int], width: int, height: int) -> tuple[int, int, int, int]:
    left, top, right, bottom = box
    return max(left, 0), max(top, 0), min(right, width), min(bottom, height)


# ---- checks of one screenshot ---------------------------------------------------


class ScreenshotChecks:
    """Assertions about one screenshot of the running slideshow; rects are
    the inspector's [left, top, right, bottom] of the four controls."""

    def __init__(self, test: unittest.TestCase, pixels: harness.Pixels, rects: dict[str, list[int]], screen: Screen):
        self.t, self.p, self.rects, self.screen = test, pixels, rects, screen

    def visible(self, name: str) -> tuple[int, int, int, int]:
        left, top, right, bottom = self.rects[name]
        return clip((left, top, right, bottom), self.p.width, self.p.height)

    def all(self) -> None:
        self.black_outside_controls()
        self.inset_bevel()
        self.photo_fills_image1()
        self.banner()
        self.red_bold_centred_caption()

    def black_outside_controls(self) -> None:
        """Every pixel outside the four controls is pure black."""
        boxes = [self.visible(n) for n in CONTROLS]
        wrong: list[tuple[int, int, Colour]] = []
        rgb, width = self.p.rgb, self.p.width
        for y in range(self.p.height):
            # The stretches of this row that no control covers.
            covered = sorted((l, r) for l, t, r, b in boxes if t <= y < b and l < r)
            x = 0
            spans = []
            for l, r in covered:
                if l > x:
                    spans.append((x, l))
                x = max(x, r)
            if x < width:
                spans.append((x, width))
            for a, b in spans:
                row = rgb[(y * width + a) * 3 : (y * width + b) * 3]
                if row.count(0) != len(row):
                    first = next(i for i in range(0, len(row), 3) if row[i : i + 3] != b"\0\0\0")
                    wrong.append((a + first // 3, y, self.p.at(a + first // 3, y)))
                    break
        self.t.assertEqual(wrong[:5], [], f"{len(wrong)} rows have non-black pixels outside the controls "
                                          f"(first non-black pixel of each shown)")

    def inset_bevel(self) -> None:
        """SSPanel1's edge: a band of shadow grey on top and left, a lighter
        band on bottom and right, as wide as the bevel, right up to Image1."""
        pl, pt, pr, pb = self.rects["SSPanel1"]
        il, it, ir, ib = self.rects["Image1"]
        band = self.screen.bevel_px
        self.t.assertEqual((il - pl, it - pt, pr - ir, pb - ib), (band,) * 4,
                           "Image1 sits inside the bevel on all four sides")
        w, h = self.p.width, self.p.height
        # Sample positions along each edge, away from the mitred corners.
        xs = [il + (ir - il) * k // 8 for k in range(1, 8)]
        ys = [it + (ib - it) * k // 8 for k in range(1, 8)]
        edges = {
            "top": [(x, pt + d) for x in xs for d in range(band)],
            "left": [(pl + d, y) for y in ys for d in range(band)],
            "bottom": [(x, pb - 1 - d) for x in xs for d in range(band)],
            "right": [(pr - 1 - d, y) for y in ys for d in range(band)],
        }
        colours = {side: {self.p.at(x, y) for x, y in points if 0 <= x < w and 0 <= y < h}
                   for side, points in edges.items()}
        seen = {side: c for side, c in colours.items() if c}
        self.t.assertIn("top", seen, "the frame's top edge is on the screen")
        self.t.assertIn("bottom", seen, "the frame's bottom edge is on the screen")
        for side, found in seen.items():
            self.t.assertTrue(all(is_neutral(c) for c in found), f"{side} bevel is grey: {sorted(found)}")
        dark = set().union(*(seen[s] for s in ("top", "left") if s in seen))
        light = set().union(*(seen[s] for s in ("bottom", "right") if s in seen))
        self.t.assertTrue(all(64 <= brightness(c) <= 200 for c in dark), f"shadow grey on top and left: {dark}")
        self.t.assertTrue(all(brightness(c) >= 220 for c in light), f"light on bottom and right: {light}")

    def photo_fills_image1(self) -> None:
        """The sample photograph covers Image1 edge to edge: a sky on top
        (blue dominant), many colours, no black or grey frame inside."""
        l, t, r, b = self.visible("Image1")
        self.t.assertTrue(r - l > 100 and b - t > 100, f"Image1 on the screen: {(l, t, r, b)}")
        # The outermost rows and columns of the control.
        edge_points = ([(x, t) for x in range(l, r)] + [(x, b - 1) for x in range(l, r)] +
                       [(l, y) for y in range(t, b)] + [(r - 1, y) for y in range(t, b)])
        dark = sum(1 for x, y in edge_points if is_dark(self.p.at(x, y)))
        self.t.assertLess(dark, len(edge_points) * 0.05, "black along Image1's edges: the photo does not fill it")
        sky = [self.p.at(x, y) for y in range(t, t + (b - t) // 6, 3) for x in range(l, r, 3)]
        mean = [sum(c[i] for c in sky) / len(sky) for i in range(3)]
        self.t.assertTrue(mean[2] > mean[0] + 20 and mean[2] > mean[1], f"a blue sky over the photo: mean {mean}")
        sample = {self.p.at(x, y) for y in range(t, b, 4) for x in range(l, r, 4)}
        self.t.assertGreater(len(sample), 500, "a photograph has many colours")
        # The lower half is road and grass, not sky.
        ground = [self.p.at(x, y) for y in range(t + (b - t) * 3 // 4, b, 3) for x in range(l, r, 3)]
        ground_mean = [sum(c[i] for c in ground) / len(ground) for i in range(3)]
        self.t.assertLess(ground_mean[2], mean[2] - 30, f"the ground is less blue than the sky: {ground_mean}")

    def banner(self) -> None:
        """Image2: light lettering on black, the corners black."""
        l, t, r, b = self.rects["Image2"]
        self.t.assertTrue(0 <= l and r <= self.p.width and b <= self.p.height, "the banner is on the screen")
        light = sum(1 for y in range(t, b) for x in range(l, r) if min(self.p.at(x, y)) > 150)
        self.t.assertGreater(light, 500, "light lettering in the banner")
        self.t.assertLess(light, (r - l) * (b - t) // 3, "the banner is mostly black")
        corners = [self.p.at(x, y) for x, y in ((l, t), (r - 1, t), (l, b - 1), (r - 1, b - 1))]
        self.t.assertTrue(all(is_dark(c) for c in corners), f"the banner's corners are black: {corners}")

    def red_bold_centred_caption(self) -> None:
        """panYear: red bold text, centred both ways, on black."""
        l, t, r, b = self.rects["panYear"]
        reds = [(x, y) for y in range(t, b) for x in range(l, r) if is_caption_red(self.p.at(x, y))]
        self.t.assertGreater(len(reds), 150, "red caption text in panYear")
        self.t.assertLess(len(reds), (r - l) * (b - t) // 4, "panYear is a black strip with red text")
        others = {self.p.at(x, y) for y in range(t, b) for x in range(l, r)} - {self.p.at(x, y) for x, y in reds}
        self.t.assertTrue(all(is_dark(c) or c[0] > 2 * max(c[1], c[2]) for c in others),
                          f"only black and red in panYear: {sorted(others)[:10]}")
        xs = [x for x, _ in reds]
        ys = [y for _, y in reds]
        centre_x, centre_y = (l + r) / 2, (t + b) / 2
        self.t.assertTrue(min(xs) < centre_x < max(xs), "red on both sides of the centre line")
        self.t.assertLessEqual(abs((min(xs) + max(xs)) / 2 - centre_x), 3, "the caption is centred across")
        self.t.assertLessEqual(abs((min(ys) + max(ys)) / 2 - centre_y), 3, "the caption is centred down")
        # Bold: the strokes of a bold face are at least two pixels wide.
        red = set(reds)
        runs = []
        for y in range(t, b):
            run = 0
            for x in range(l, r + 1):
                if (x, y) in red:
                    run += 1
                elif run:
                    runs.append(run)
                    run = 0
        thin = sum(1 for n in runs if n == 1)
        self.t.assertLess(thin, len(runs) * 0.1, f"bold strokes: {thin} of {len(runs)} runs are one pixel wide")


class SlideshowLayout(harness.SessionTestCase):
    """Start-up layout and looks of one screen per session."""

    def start_slideshow(self, s: harness.Session) -> tuple[harness.Process, dict]:
        scr = s.start_scr("/s")
        form = s.wait_for_window(FORM1, process=scr)
        s.wait_until(lambda: s.find_windows(name="panYear", visible=True), 10, "panYear visible", scr)
        return scr, form

    def check_layout(self, s: harness.Session, screen: Screen, form: dict) -> dict[str, list[int]]:
        self.assertEqual(form["rect"], [0, 0, screen.width, screen.height], "Form1 covers the screen")
        self.assertEqual(form["client"], [0, 0, screen.width, screen.height], "no border or caption")
        controls = controls_by_name(s)
        self.assertEqual({name: w["rect"] for name, w in controls.items()}, screen.places())
        for name, control in controls.items():
            self.assertTrue(control["visible"], f"{name} is visible")
        self.assertEqual(controls["panYear"]["text"], "Morvane Software")
        # Image1 lives in the frame and moves with it; the others lie on the window.
        self.assertEqual(controls["Image1"]["parent"], controls["SSPanel1"]["hwnd"])
        for name in ("SSPanel1", "panYear", "Image2"):
            self.assertEqual(controls[name]["parent"], form["hwnd"], f"{name} is a child of Form1")
        return {name: w["rect"] for name, w in controls.items()}

    def check_screen(self, screen: Screen) -> None:
        with self.session(size=(screen.width, screen.height), dpi=screen.dpi, settings=STILL) as s:
            info = s.screen_info()
            self.assertEqual((info["width"], info["height"], info["dpi_y"]), (screen.width, screen.height, screen.dpi))
            scr, form = self.start_slideshow(s)
            self.assertEqual(form["timer1_interval"], 0)
            rects = self.check_layout(s, screen, form)
            # The window paints after it shows, and the pixels reach the
            # display a moment later.
            s.eventually(lambda: ScreenshotChecks(self, s.pixels(), rects, screen).all(), 10,
                         "the slideshow painted", scr)
            s.screenshot(f"slideshow-{screen.label}")
            self.assertTrue(scr.running, f"ended with {scr.exit_code}: {scr.output()[-1000:]}")
