"""Text at every display density: the headings, the delay display and the
caption strip keep the size in points the design asks for, so that their
height in a screenshot grows with the density, and they stay inside their
controls. At 96 and 144 DPI the dialog and the slideshow's frame, caption
and banner are also their reference pictures (references.py)."""

import dialog_view
import harness
import references
from config import FORM1

DENSITIES = (96, 120, 144)
REFERENCE_DENSITIES = (96, 144)


def text_box(pixels: harness.Pixels, rect: list[int], is_ink) -> tuple[int, int, int, int] | None:
    """The bounding box (left, top, right, bottom; exclusive) of the pixels
    inside rect that is_ink takes for the text's colour."""
    left, top, right, bottom = rect
    xs, ys = [], []
    for y in range(top, bottom):
        for x in range(left, right):
            if is_ink(pixels.at(x, y)):
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def red(p):
    return p[0] > 150 and p[1] < 110 and p[2] < 110


def navy(p):
    return p[2] > 70 and p[0] < 60 and p[1] < 60 and p[2] - p[0] > 50


class TextAtEveryDensity(harness.SessionTestCase):
    def measure(self, pixels, rect, is_ink, what, dpi):
        box = text_box(pixels, rect, is_ink)
        self.assertIsNotNone(box, f"no text of {what} at {dpi} DPI")
        right, bottom = rect[2], rect[3]
        # Text cut off by its control would reach the control's right or
        # bottom edge (a label's text starts at its left edge by design).
        self.assertTrue(box[2] < right and box[3] < bottom,
                        f"{what} at {dpi} DPI: text {box} reaches the edge of its control {rect}")
        return box[3] - box[1]

    def assert_scales(self, heights: dict, what: str):
        for dpi in DENSITIES[1:]:
            ratio = heights[dpi] / heights[96]
            wanted = dpi / 96
            self.assertLessEqual(abs(ratio - wanted) / wanted, 0.15,
                                 f"{what}: {heights[dpi]} px at {dpi} DPI against {heights[96]} px at 96 DPI")

    def test_dialog_text_grows_with_the_density(self):
        heights = {name: {} for name in ("Label7", "Label8", "Label9", "panInterval")}
        for dpi in DENSITIES:
            with self.session(size=(1024, 768), dpi=dpi) as s:
                dialog = dialog_view.Dialog.open(s)
                dialog.settle()

                def measured():
                    # The text reaches the display a moment after the dialog shows.
                    pixels = s.pixels()
                    return {name: self.measure(pixels, dialog.rect(name), ink, name, dpi)
                            for name, ink in (("Label7", red), ("Label8", red), ("Label9", navy),
                                              ("panInterval", navy))}
                for name, height in s.eventually(measured, 10, "the dialog's text on the display").items():
                    heights[name][dpi] = height
                s.screenshot(f"dialog-{dpi}dpi")
                if dpi in REFERENCE_DENSITIES:
                    # The captions inside the bevels, which stay exact.
                    b = (3 * dpi + 95) // 96
                    texts = [dialog.rect(name) for name in ("Label7", "Label8", "Label9")] + [
                        (l + b, t + b, r - b, bt - b) for l, t, r, bt in
                        (dialog.rect(name) for name in ("panInterval", "SSCommand4", "SSCommand6", "SSCommand5"))]
                    s.eventually(lambda: references.compare(s.pixels(), dialog.window["client"], f"dialog-{dpi}dpi",
                                                            texts, out_dir=s.out_dir),
                                 10, "the dialog as its reference picture", dialog.scr)
        for name, by_dpi in heights.items():
            self.assert_scales(by_dpi, name)

    def test_caption_strip_grows_with_the_density(self):
        heights = {}
        for dpi in DENSITIES:
            with self.session(size=(1280, 1024), dpi=dpi, settings={"Interval": "0"}) as s:
                scr = s.start_scr("/s")
                form = s.wait_for_window(FORM1, process=scr)
                strip = s.wait_until(
                    lambda: next((w for w in harness.walk(s.windows()) if w["name"] == "panYear" and w["visible"]),
                                 None), what="the caption strip shown")
                s.sync(form["hwnd"])
                heights[dpi] = s.eventually(lambda: self.measure(s.pixels(), strip["rect"], red, "panYear", dpi),
                                            10, "the caption on the display", scr)
                s.screenshot(f"slideshow-{dpi}dpi")
                if dpi in REFERENCE_DENSITIES:
                    shown = {w["name"]: w["rect"] for w in harness.walk(s.windows()) if w["name"]}
                    box = (*shown["SSPanel1"][:3], shown["Image2"][3])  # the frame is the widest
                    s.eventually(lambda: references.compare(s.pixels(), box, f"slideshow-{dpi}dpi", [strip["rect"]],
                                                            [shown["Image1"]], s.out_dir),
                                 10, "the slideshow as its reference picture", scr)
        self.assert_scales(heights, "panYear")


if __name__ == "__main__":
    harness.main()
