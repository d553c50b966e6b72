"""The settings dialog's window and controls where the design in twips puts
them, at 96 and at 120 DPI, and what the screen shows there: the white
panel, the red headings, the navy prompt and display, the photograph, the
grey buttons and the spin button with its tooltip."""

from __future__ import annotations

from collections import Counter

import harness
from dialog_view import DIALOG_TITLE, OPENING_CAPTION, Dialog

# The design, in twips, relative to the dialog's client area: left, top,
# width, height.
DESIGN = {
    "pnlSSaver": (0, 0, 6255, 4455),
    "Label7": (1800, 240, 3495, 375),
    "Label8": (1800, 600, 2895, 375),
    "Image2": (480, 840, 5250, 2190),
    "Label9": (600, 3240, 2415, 375),
    "SpinInterval": (3120, 3240, 975, 255),
    "panInterval": (4080, 3240, 1410, 255),
    "SSCommand4": (360, 3720, 1815, 375),
    "SSCommand6": (2160, 3720, 1815, 375),
    "SSCommand5": (3960, 3720, 1815, 375),
}
CLIENT_TWIPS = (6225, 4440)
# Points of the panel's own white face, in twips: clear of every control and
# of the bevel round the edge.
PANEL_POINTS = [(400, 300), (5900, 3350), (3000, 4300), (300, 2000)]

WHITE = (255, 255, 255)
SPIN_FACE = (192, 192, 192)


def is_red(rgb):
    r, g, b = rgb
    return r > 200 and g < 60 and b < 60


def is_navy(rgb):
    r, g, b = rgb
    return r < 50 and g < 50 and 90 < b < 170


def is_dark(rgb):
    return max(rgb) < 60


def is_blue(rgb):
    r, g, b = rgb
    return r < 50 and g < 50 and b > 200


def count(pixels: harness.Pixels, box, predicate) -> int:
    left, top, right, bottom = box
    return sum(1 for y in range(top, bottom) for x in range(left, right) if predicate(pixels.at(x, y)))


def most_common(pixels: harness.Pixels, box):
    left, top, right, bottom = box
    return Counter(pixels.at(x, y) for y in range(top, bottom) for x in range(left, right)).most_common(1)[0][0]


def area(box):
    return (box[2] - box[0]) * (box[3] - box[1])


def is_shadow(rgb):
    """The grey of a bevel's dark side."""
    return rgb[0] == rgb[1] == rgb[2] and 64 <= rgb[0] <= 200


def inside(box, margin=1):
    """A screen rectangle shrunk by margin pixels on each side."""
    left, top, right, bottom = box
    return left + margin, top + margin, right - margin, bottom - margin


class DialogLayout(harness.SessionTestCase):
    def check_dialog(self, s: harness.Session, dpi: int) -> Dialog:
        """Opens the dialog and checks its geometry and colours."""
        size = s.size
        screen = s.screen_info()
        self.assertEqual((screen["width"], screen["height"], screen["dpi_y"]), (*size, dpi))
        tpp = 1440 / dpi
        dialog = Dialog.open(s)
        window = dialog.window
        self.assertEqual(window["text"], DIALOG_TITLE)
        self.assertEqual(dialog.caption(), OPENING_CAPTION)

        # The client area, and the window centred on the screen.
        cl, ct, cr, cb = window["client"]
        self.assertAlmostEqual(cr - cl, CLIENT_TWIPS[0] / tpp, delta=1)
        self.assertAlmostEqual(cb - ct, CLIENT_TWIPS[1] / tpp, delta=1)
        wl, wt, wr, wb = window["rect"]
        self.assertAlmostEqual((wl + wr) / 2, size[0] / 2, delta=1.5, msg=f"not centred: {window['rect']}")
        self.assertAlmostEqual((wt + wb) / 2, size[1] / 2, delta=1.5, msg=f"not centred: {window['rect']}")

        # Every control at its twips divided by the twips per pixel,
        # each edge within a pixel.
        misplaced = {}
        for name, (left, top, width, height) in DESIGN.items():
            want = [left / tpp, top / tpp, (left + width) / tpp, (top + height) / tpp]
            got = [edge - origin for edge, origin in zip(dialog.rect(name), (cl, ct, cl, ct))]
            if any(abs(g - w) > 1 for g, w in zip(got, want)):
                misplaced[name] = (got, [round(w, 2) for w in want])
        self.assertEqual(misplaced, {}, "(client-relative pixels, design) of misplaced controls")
        panel = dialog.controls["pnlSSaver"]
        self.assertEqual(panel["parent"], dialog.hwnd)
        for name in DESIGN:
            if name != "pnlSSaver":
                self.assertEqual(dialog.controls[name]["parent"], panel["hwnd"], f"{name} not in pnlSSaver")

        # The controls paint themselves after the dialog shows, and their
        # pixels reach the display a moment later.
        s.eventually(lambda: self.check_colours(s.pixels(), dialog, (cl, ct), tpp), 10, "the dialog painted",
                     dialog.scr)
        s.screenshot(f"settings-dialog-{dpi}dpi")
        return dialog

    def check_colours(self, pixels, dialog, origin, tpp):
        for x, y in PANEL_POINTS:
            point = (origin[0] + round(x / tpp), origin[1] + round(y / tpp))
            self.assertEqual(pixels.at(*point), WHITE, f"the panel at {point}")

        # The bevels' dark sides: the raised panel's at its bottom (inside the
        # client area, which the panel overhangs), the sunken display's at its top.
        left, _, right, bottom = dialog.rect("pnlSSaver")
        point = ((left + right) // 2, bottom - 3)
        self.assertTrue(is_shadow(pixels.at(*point)), f"pnlSSaver's bottom bevel at {point}: {pixels.at(*point)}")
        left, top, right, _ = dialog.rect("panInterval")
        point = ((left + right) // 2, top + 1)
        self.assertTrue(is_shadow(pixels.at(*point)), f"panInterval's top bevel at {point}: {pixels.at(*point)}")

        def in_control(name, predicate, at_least, what):
            box = inside(dialog.rect(name))
            found = count(pixels, box, predicate)
            self.assertGreaterEqual(found, at_least, f"{what} in {name} {box}")

        for heading in ("Label7", "Label8"):
            in_control(heading, is_red, 150, "red text pixels")
            in_control(heading, lambda rgb: rgb == WHITE, 0.5 * area(dialog.rect(heading)), "white pixels")
        in_control("Label9", is_navy, 100, "navy text pixels")
        in_control("panInterval", is_navy, 40, "navy text pixels")
        for button in ("SSCommand4", "SSCommand6", "SSCommand5"):
            # The face has the system's button colour: grey, never the panel's white.
            face = most_common(pixels, inside(dialog.rect(button)))
            self.assertTrue(face[0] == face[1] == face[2] and 128 <= face[0] < 255, f"{button}'s face is {face}")
            in_control(button, is_dark, 40, "caption and outline pixels")
        in_control("SpinInterval", lambda rgb: rgb == SPIN_FACE, 0.3 * area(dialog.rect("SpinInterval")),
                   "light grey")
        in_control("SpinInterval", is_blue, 10, "blue arrow pixels")

        # The photograph: a silver car on white, so neither blank nor flat.
        box = inside(dialog.rect("Image2"), 0)
        colours = {pixels.at(x, y) for y in range(box[1], box[3]) for x in range(box[0], box[2])}
        self.assertGreater(len(colours), 200, "the photograph has hardly any colours")
        near_white = count(pixels, box, lambda rgb: min(rgb) > 235)
        self.assertGreater(near_white, 0.3 * area(box), "the photograph's white ground")
        self.assertLess(near_white, 0.9 * area(box), "the photograph is nearly blank")

    def test_at_96_dpi_with_the_spin_buttons_tooltip(self):
        with self.session(size=(800, 600), dpi=96) as s:
            dialog = self.check_dialog(s, 96)
            # Resting the pointer on the spin button brings up its tooltip. The
            # tip is asked of the tooltip window itself, which has it once it
            # shows it.
            left, top, right, bottom = dialog.rect("SpinInterval")
            s.mouse_move((left + right) // 2, (top + bottom) // 2)

            def shown_tip():
                for window in s.windows():
                    if window["class"] == "tooltips_class32" and window["visible"]:
                        text = s.inspect("text", str(window["hwnd"]))["text"]
                        if text:
                            return window, text
                return None
            tip, text = s.wait_until(shown_tip, 5, "the spin button's tooltip with its text", dialog.scr)
            self.assertEqual(text, "Set Slide Show Delay")
            self.assertEqual(tip["owner"], dialog.hwnd)
            self.assertLess(abs(tip["rect"][1] - bottom), 40, f"the tooltip far from the spin button: {tip['rect']}")
            s.screenshot("spin-tooltip")

    def test_at_120_dpi(self):
        with self.session(size=(1024, 768), dpi=120) as s:
            self.check_dialog(s, 120)


if __name__ == "__main__":
    harness.main()
