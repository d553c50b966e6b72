"""Reference pictures of what the controls draw: a screenshot's box compared
pixel by pixel with a picture kept in tests/e2e/references/, so that a
bevel's frame left out or an arrow's tip a pixel off fails a test. Another
build of the fonts may smooth text differently: inside the boxes a test
names as text, each channel may differ by up to TEXT_TOLERANCE; everywhere
else every pixel must be the same. A box a test blanks (a photo, whose
pixels are the resampler's and cost a megabyte a picture) is left out.

After an intended change of what the controls draw, remake the pictures
(the test then compares nothing) and look at them before committing:

    SALVANTO_UPDATE_REFERENCES=1 ctest --test-dir build/native -R e2e_test_text_density
"""

from __future__ import annotations

import os
import struct
import zlib
from pathlib import Path

from config import HERE, log
from x_display import Pixels

FOLDER = HERE / "references"
TEXT_TOLERANCE = 64


def read_png(path: Path) -> Pixels:
    """A PNG as Pixels.save_png writes it: 8-bit RGB, rows unfiltered."""
    data, pos, idat, size = path.read_bytes(), 8, b"", (0, 0)
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            assert body[8:10] == b"\x08\x02", f"{path} is not 8-bit RGB"
            size = struct.unpack(">II", body[:8])
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height = size
    raw, stride = zlib.decompress(idat), width * 3 + 1
    assert all(raw[y * stride] == 0 for y in range(height)), f"{path} has filtered rows"
    return Pixels(width, height, b"".join(raw[y * stride + 1:(y + 1) * stride] for y in range(height)))


def crop(pixels: Pixels, box, blank=()) -> Pixels:
    """Box (left, top, right, bottom) of the screen, with the blank boxes in it black."""
    left, top, right, bottom = box
    rgb = bytearray(b"".join(pixels.rgb[(y * pixels.width + left) * 3:(y * pixels.width + right) * 3]
                             for y in range(top, bottom)))
    width = right - left
    for l, t, r, b in blank:
        for y in range(max(t, top), min(b, bottom)):
            start, end = max(l, left) - left, min(r, right) - left
            rgb[((y - top) * width + start) * 3:((y - top) * width + end) * 3] = bytes(3 * max(0, end - start))
    return Pixels(width, bottom - top, bytes(rgb))


def compare(pixels: Pixels, box, name: str, text_boxes=(), blank=(), out_dir: Path | None = None) -> None:
    """Asserts that box (left, top, right, bottom) of the screen is the
    reference picture name. text_boxes are screen boxes of text; blank ones
    are left out (black in the picture). With SALVANTO_UPDATE_REFERENCES
    set, writes the picture instead."""
    shown = crop(pixels, box, blank)
    path = FOLDER / f"{name}.png"
    if os.environ.get("SALVANTO_UPDATE_REFERENCES"):
        FOLDER.mkdir(exist_ok=True)
        shown.save_png(path)
        log(f"reference written: {path}")
        return
    reference = read_png(path)
    assert (reference.width, reference.height) == (shown.width, shown.height), \
        f"{name}: {shown.width}x{shown.height} on the screen, {reference.width}x{reference.height} in {path}"
    left, top = box[0], box[1]
    texts = [(l - left, t - top, r - left, b - top) for l, t, r, b in text_boxes]
    differing, row_bytes = [], shown.width * 3
    for y in range(shown.height):
        got, want = shown.rgb[y * row_bytes:(y + 1) * row_bytes], reference.rgb[y * row_bytes:(y + 1) * row_bytes]
        if got == want:
            continue
        for x in range(shown.width):
            g, w = got[x * 3:x * 3 + 3], want[x * 3:x * 3 + 3]
            in_text = any(l <= x < r and t <= y < b for l, t, r, b in texts)
            if g != w and not (in_text and max(abs(a - b) for a, b in zip(g, w)) <= TEXT_TOLERANCE):
                differing.append((x, y))
    if differing and out_dir is not None:
        shown.save_png(out_dir / f"{name}-actual.png")
    xs, ys = [x for x, _ in differing], [y for _, y in differing]
    assert not differing, (f"{len(differing)} pixels of {name} differ from {path}, within "
                           f"{(min(xs), min(ys), max(xs) + 1, max(ys) + 1)} of the box {box}")
