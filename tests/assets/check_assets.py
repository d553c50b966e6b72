#!/usr/bin/env python3
"""Checks the committed design-time pictures by reading their bytes.

The screen saver loads these files with its own small readers (and Windows'
icon loader), so what matters is the exact container format: an 8-bit icon,
an RLE8 bitmap, baseline three-component JPEGs. Standard library only.

Usage: check_assets.py [--bmp-reference PPM] [ASSETS_DIR]

ASSETS_DIR defaults to <repo>/assets. --bmp-reference compares the decoded
sample bitmap pixel for pixel with the 256-colour PPM it was encoded from
(make_assets.sh passes it while building).
"""

import os
import struct
import sys

# The PPM reader is the asset maker's own: the reference picture is read
# exactly as the bitmap writer read it.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets"))
from encoders import read_ppm  # noqa: E402

SAMPLE_W, SAMPLE_H = 613, 366

# The slideshow turns "SALVAS?XY..." into a caption: XY is one of these
# codes, or else two digits of a year.
CAPTION_CODES = {"JA", "DR", "EM", "GT", "TW", "ZY", "C5", "MN"}


class Bad(Exception):
    pass


def need(cond, msg):
    if not cond:
        raise Bad(msg)


# ------------------------------------------------------------------- icon ---

def check_ico(data):
    need(len(data) >= 22, "too short for an icon directory")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    need(reserved == 0 and kind == 1, "not an icon (reserved %d, type %d)" % (reserved, kind))
    need(count == 1, "%d images; the screen saver ships exactly one" % count)
    w, h, colours, res, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    need((w, h) == (32, 32), "directory says %dx%d, expected 32x32" % (w or 256, h or 256))
    # A 256-colour entry stores its colour count as 0 (the field is a byte).
    need(bpp == 8 and colours == 0, "directory says %d bpp, %d colours" % (bpp, colours))
    need(offset + size == len(data), "image at %d + %d bytes does not end at the file's end (%d)"
         % (offset, size, len(data)))
    (hsize, bw, bh, bplanes, bbpp, comp, image_size, _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", data,
                                                                                         offset)
    need(hsize == 40, "bitmap header is %d bytes, expected BITMAPINFOHEADER (40)" % hsize)
    # The height covers the colour bitmap and the AND mask stacked together.
    need((bw, bh) == (32, 64), "bitmap header says %dx%d, expected 32x64" % (bw, bh))
    need(bplanes == 1 and bbpp == 8 and comp == 0, "bitmap is %d planes, %d bpp, compression %d"
         % (bplanes, bbpp, comp))
    need(used in (0, 256), "palette of %d colours, expected 256" % used)
    xor_size, and_size = 32 * 32, 32 * 4
    need(size == 40 + 256 * 4 + xor_size + and_size, "image is %d bytes, expected %d"
         % (size, 40 + 256 * 4 + xor_size + and_size))
    need(image_size in (0, xor_size + and_size), "biSizeImage %d, expected %d" % (image_size, xor_size + and_size))
    palette = data[offset + 40:offset + 40 + 1024]
    xor = data[offset + 40 + 1024:offset + 40 + 1024 + xor_size]
    mask = data[offset + 40 + 1024 + xor_size:offset + size]
    # Bottom-up rows: the first mask row is the icon's bottom line.
    clear = [[(mask[(31 - y) * 4 + x // 8] >> (7 - x % 8)) & 1 for x in range(32)] for y in range(32)]
    need(clear[0][0] and clear[0][31] and clear[31][0] and clear[31][31],
         "the corners are opaque: the AND mask is missing or inverted")
    need(not clear[16][16], "the centre is transparent: the AND mask is inverted")
    for y in range(32):
        for x in range(32):
            if clear[y][x]:
                # Transparent pixels must be black in the colour bitmap, or
                # Windows XORs their colour onto the desktop.
                i = xor[(31 - y) * 32 + x]
                need(palette[4 * i:4 * i + 3] == b"\0\0\0", "transparent pixel (%d,%d) is not black" % (x, y))
    used_colours = len(set(xor))
    return "32x32, 8 bpp, 256-colour palette, AND mask, %d colours used" % used_colours


# ----------------------------------------------------------------- bitmap ---

def decode_rle8(stream, w, h):
    """Decodes an RLE8 stream into h rows (bottom row first) of w indices.

    Strict: a run past the row's end, a row past the last, a missing
    end-of-bitmap or bytes after it are errors; every pixel must be written.
    """
    rows = [bytearray(w) for _ in range(h)]
    written = [0] * h
    x = y = i = 0
    n = len(stream)
    while True:
        need(i + 2 <= n, "stream ends without an end-of-bitmap")
        count, value = stream[i], stream[i + 1]
        i += 2
        if count:
            need(y < h, "encoded run after the last row")
            need(x + count <= w, "encoded run of %d at x=%d runs off row %d" % (count, x, y))
            rows[y][x:x + count] = bytes((value,)) * count
            written[y] += count
            x += count
        elif value == 0:  # end of line
            need(y < h, "end-of-line after the last row")
            y, x = y + 1, 0
        elif value == 1:  # end of bitmap
            break
        elif value == 2:  # delta: skips pixels, which this bitmap must not do
            raise Bad("delta escape at row %d: pixels left unwritten" % y)
        else:  # absolute run, padded to 16 bits
            need(y < h, "absolute run after the last row")
            need(x + value <= w, "absolute run of %d at x=%d runs off row %d" % (value, x, y))
            need(i + value <= n, "absolute run cut short by the end of the stream")
            rows[y][x:x + value] = stream[i:i + value]
            written[y] += value
            x += value
            i += value + (value & 1)
    need(i == n, "%d bytes after the end-of-bitmap" % (n - i))
    short = [r for r in range(h) if written[r] != w]
    need(not short, "%d rows not exactly %d pixels wide (first: row %d, %d pixels)"
         % (len(short), w, short[0] if short else 0, written[short[0]] if short else 0))
    return rows


def check_bmp(data, reference=None):
    need(data[:2] == b"BM", "no BM signature")
    file_size, _, _, off = struct.unpack_from("<IHHI", data, 2)
    need(file_size == len(data), "header says %d bytes, file has %d" % (file_size, len(data)))
    (hsize, w, h, planes, bpp, comp, image_size, _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    need(hsize == 40, "header is %d bytes, expected BITMAPINFOHEADER (40)" % hsize)
    need((w, h) == (SAMPLE_W, SAMPLE_H), "%dx%d, expected %dx%d (bottom-up)" % (w, h, SAMPLE_W, SAMPLE_H))
    need(planes == 1 and bpp == 8, "%d planes, %d bpp, expected 1 plane of 8 bpp" % (planes, bpp))
    need(comp == 1, "compression %d, expected 1 (RLE8)" % comp)
    colours = used or 256
    need(colours == 256, "palette of %d colours, expected 256" % colours)
    need(off == 14 + 40 + 4 * colours, "pixel data at %d, expected right after the palette (%d)"
         % (off, 14 + 40 + 4 * colours))
    need(image_size == len(data) - off, "biSizeImage %d, but %d bytes follow the palette"
         % (image_size, len(data) - off))
    need(200000 <= len(data) <= 290000, "%d bytes, expected 200,000 to 290,000" % len(data))
    rows = decode_rle8(data[off:], w, h)
    if reference:
        rw, rh, px = read_ppm(reference)
        need((rw, rh) == (w, h), "reference is %dx%d" % (rw, rh))
        pal = data[54:54 + 1024]
        for y in range(h):
            row = rows[h - 1 - y]
            got = b"".join(bytes((pal[4 * i + 2], pal[4 * i + 1], pal[4 * i])) for i in row)
            need(got == px[y * w * 3:(y + 1) * w * 3], "row %d differs from the reference picture" % y)
    return "%dx%d, 8 bpp, RLE8, %d bytes, stream decodes cleanly%s" % (
        w, h, len(data), ", matches the reference" if reference else "")


# ------------------------------------------------------------------- JPEG ---

def check_jpeg(data, size=None, byte_range=None, min_size=None):
    need(data[:2] == b"\xff\xd8", "no JPEG SOI marker")
    need(data.rstrip(b"\0")[-2:] == b"\xff\xd9", "no EOI marker at the end")
    i, frame = 2, None
    while i < len(data):
        need(data[i] == 0xFF, "marker expected at byte %d" % i)
        while data[i] == 0xFF:
            i += 1
        marker = data[i]
        i += 1
        if marker in (0xD8, 0x01) or 0xD0 <= marker <= 0xD7:
            continue
        seg_len = struct.unpack_from(">H", data, i)[0]
        if marker in (0xC2, 0xC6, 0xCA, 0xCE):
            raise Bad("progressive frame (SOF%d); the screen saver reads baseline only" % (marker - 0xC0))
        if 0xC1 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            raise Bad("SOF%d frame; the screen saver reads baseline (SOF0) only" % (marker - 0xC0))
        if marker == 0xC0:
            need(frame is None, "two frames")
            precision, fh, fw, ncomp = struct.unpack_from(">BHHB", data, i + 2)
            need(precision == 8, "%d-bit samples" % precision)
            need(ncomp == 3, "%d components, expected 3 (YCbCr)" % ncomp)
            frame = (fw, fh)
        if marker == 0xDA:  # start of scan: entropy-coded data follows
            break
        i += seg_len
    need(frame is not None, "no baseline SOF0 frame before the scan")
    if size:
        need(frame == size, "%dx%d, expected %dx%d" % (frame + size))
    if min_size:
        need(frame[0] >= min_size[0] and frame[1] >= min_size[1], "%dx%d, smaller than %dx%d"
             % (frame + min_size))
    if byte_range:
        need(byte_range[0] <= len(data) <= byte_range[1], "%d bytes, expected %d to %d"
             % ((len(data),) + byte_range))
    return "%dx%d baseline, 3 components, %d bytes" % (frame + (len(data),))


def check_demo_name(name):
    base = os.path.basename(name)
    at = base.find("SALVAS")
    need(at >= 0, "name lacks the SALVAS marker")
    need(base == base.upper() and " " not in base, "name must be upper case without blanks")
    code = base[at + 7:at + 9]
    need(len(code) == 2 and (code in CAPTION_CODES or code.isdigit()),
         "'%s' after the marker is neither a caption code nor a year" % code)


# ------------------------------------------------------------------- main ---

def main(argv):
    reference = None
    args = list(argv)
    if args[:1] == ["--bmp-reference"]:
        reference = args[1]
        args = args[2:]
    assets = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets")
    assets = os.path.normpath(assets)
    checks = [
        ("Salvanto2002.ico", check_ico),
        ("sample_photo.bmp", lambda d: check_bmp(d, reference)),
        ("banner.jpg", lambda d: check_jpeg(d, (563, 67), (7000, 11000))),
        ("dialog_photo.jpg", lambda d: check_jpeg(d, (350, 146), (8000, 12000))),
    ]
    demo_dir = os.path.join(assets, "demo_collection")
    demo = sorted(os.listdir(demo_dir)) if os.path.isdir(demo_dir) else []
    for name in demo:
        checks.append((os.path.join("demo_collection", name),
                       lambda d, n=name: (check_demo_name(n), check_jpeg(d, None, (40000, 150000), (640, 480)))[1]))
    failed = 0
    for name, check in checks:
        path = os.path.join(assets, name)
        try:
            need(os.path.isfile(path), "missing")
            with open(path, "rb") as fh:
                print("ok    %-36s %s" % (name, check(fh.read())))
        except (Bad, struct.error, IndexError, ValueError) as e:
            failed += 1
            print("FAIL  %-36s %s" % (name, e))
    if len(demo) < 6:
        failed += 1
        print("FAIL  %-36s %d photos, expected at least 6" % ("demo_collection/", len(demo)))
    print("%d passed, %d failed" % (len(checks) + 1 - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
