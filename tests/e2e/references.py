"""Reference pictures of what the controls draw (tests/e2e/references/): a
box of the screen must match its picture pixel for pixel, so that a bevel's
frame left out or an arrow's tip a pixel off fails. Inside the boxes a test
names as text, where another build of the fonts may smooth differently, a
channel may differ by up to TEXT_TOLERANCE. Blank boxes (a photo, whose
pixels are the resampler's and would cost a megabyte) are left out, black
in the picture. After an intended change, remake them and look at them:

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
    data, pos, idat = path.read_bytes(), 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IHDR":
            width, height = struct.unpack(">II", data[pos + 8:pos + 16])
        elif kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    raw, stride = zlib.decompress(idat), width * 3 + 1
    return Pixels(width, height, b"".join(raw[y * stride + 1:(y + 1) * stride] for y in range(height)))


def compare(pixels: Pixels, box, name: str, texts=(), blank=(), out_dir: Path | None = None) -> None:
    """Asserts that box (left, top, right, bottom) of the screen is the
    picture name (texts and blank: boxes of the screen); with
    SALVANTO_UPDATE_REFERENCES set, writes the picture instead."""
    left, top, right, bottom = box
    width, height = right - left, bottom - top
    rgb = bytearray(b"".join(pixels.rgb[(y * pixels.width + left) * 3:(y * pixels.width + right) * 3]
                             for y in range(top, bottom)))
    for l, t, r, b in blank:
        for y in range(max(t, top) - top, min(b, bottom) - top):
            start, end = max(l, left) - left, min(r, right) - left
            rgb[(y * width + start) * 3:(y * width + end) * 3] = bytes(3 * max(0, end - start))
    shown, path = Pixels(width, height, bytes(rgb)), FOLDER / f"{name}.png"
    if os.environ.get("SALVANTO_UPDATE_REFERENCES"):
        FOLDER.mkdir(exist_ok=True)
        shown.save_png(path)
        log(f"reference written: {path}")
        return
    reference = read_png(path)
    assert (reference.width, reference.height) == (width, height), f"{name} is {width}x{height}, {path} not"
    loose = [(l - left, t - top, r - left, b - top) for l, t, r, b in texts]
    differing = [(x, y) for y in range(height) if rgb[y * width * 3:(y + 1) * width * 3] !=
                 reference.rgb[y * width * 3:(y + 1) * width * 3]
                 for x in range(width) if not matches(shown.at(x, y), reference.at(x, y), x, y, loose)]
    if differing and out_dir is not None:
        shown.save_png(out_dir / f"{name}-actual.png")
    assert not differing, (f"{len(differing)} pixels of {name} differ from {path}, the first at {differing[0]} "
                           f"of the box {box}")


def matches(got, want, x, y, loose) -> bool:
    if got == want:
        return True
    in_text = any(l <= x < r and t <= y < b for l, t, r, b in loose)
    return in_text and max(abs(a - b) for a, b in zip(got, want)) <= TEXT_TOLERANCE
