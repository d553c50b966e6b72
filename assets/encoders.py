"""The file writers that ImageMagick cannot be trusted with (an 8-bit icon
with a real AND mask, an RLE8 bitmap that uses both encoded and absolute
runs), the JPEG settings the screen saver's reader expects, and the PPM
reader that both the writers and the asset checks use. Standard library
only: the checks run without ImageMagick.
"""

import struct
import sys


# ------------------------------------------------------------------- icon ---

def write_ico(out, grid, colours):
    """Writes a 32 x 32 grid of colour letters ('.' transparent) as an 8-bit
    icon; colours maps each letter to its (r, g, b)."""
    # Index 0 is black: transparent pixels are black in the colour bitmap and
    # set in the AND mask, which is how Windows expects them.
    palette = [(0, 0, 0)]
    for key in sorted(colours):
        palette.append(colours[key])
    # Fill the rest with the usual colour cube and a grey ramp so that the
    # palette is a complete, sensible 256-colour table.
    for r in range(6):
        for g in range(6):
            for b in range(6):
                c = (r * 51, g * 51, b * 51)
                if c not in palette:
                    palette.append(c)
    v = 8
    while len(palette) < 256:
        if (v, v, v) not in palette:
            palette.append((v, v, v))
        v += 8
    palette = palette[:256]
    index = {c: i for i, c in enumerate(palette)}
    xor = bytearray()
    mask = bytearray()
    for y in range(31, -1, -1):  # bottom-up
        bits = 0
        for x in range(32):
            c = grid[y][x]
            if c == ".":
                xor.append(0)
                bits |= 1 << (31 - x)
            else:
                xor.append(index[colours[c]])
        mask += struct.pack(">I", bits)  # 32 bits: already a multiple of 4 bytes
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 8, 0, len(xor) + len(mask), 0, 0, 0, 0)
    pal = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + pal + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 8, len(image), 6 + 16)
    with open(out, "wb") as fh:
        fh.write(icondir + entry + image)


# ------------------------------------------------------------------ RLE8 ---

def rle8_encode(rows):
    """RLE8-compresses 8-bit rows (given bottom row first).

    Repeats of two or more become encoded runs; everything else goes out in
    absolute mode (three or more pixels, padded to a 16-bit boundary). One or
    two stray pixels cannot use absolute mode and go out as runs of one.
    Every row ends with an end-of-line escape, the bitmap with end-of-bitmap.
    """
    out = bytearray()
    for row in rows:
        lit = bytearray()

        def flush():
            while lit:
                chunk = bytes(lit[:255])
                del lit[:255]
                if len(chunk) >= 3:
                    out.extend(bytes((0, len(chunk))) + chunk + (b"\x00" if len(chunk) % 2 else b""))
                else:
                    for px in chunk:
                        out.extend(bytes((1, px)))

        i, n = 0, len(row)
        while i < n:
            j = i + 1
            while j < n and row[j] == row[i] and j - i < 255:
                j += 1
            if j - i >= 2:
                flush()
                out.extend(bytes((j - i, row[i])))
            else:
                lit.append(row[i])
            i = j
        flush()
        out.extend(b"\x00\x00")
    out.extend(b"\x00\x01")
    return bytes(out)


def read_ppm(path):
    """(width, height, RGB bytes) of a binary 8-bit PPM; ValueError if it is not one."""
    with open(path, "rb") as fh:
        data = fh.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while end < len(data) and not data[end:end + 1].isspace():
            end += 1
        if end == pos:
            raise ValueError("%s ends inside its PPM header" % path)
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("%s is not an 8-bit binary PPM" % path)
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos + 1:pos + 1 + w * h * 3]


def write_rle8_bmp(ppm, out):
    """Writes a PPM of at most 256 colours as an RLE8 Windows bitmap."""
    w, h, px = read_ppm(ppm)
    colours = sorted(set(px[i:i + 3] for i in range(0, len(px), 3)))
    if len(colours) > 256:
        sys.exit("make_assets: %s has %d colours, more than a palette holds" % (ppm, len(colours)))
    # Darkest first: a stable order that does not depend on set iteration.
    colours.sort(key=lambda c: (c[0] * 299 + c[1] * 587 + c[2] * 114, c))
    index = {c: i for i, c in enumerate(colours)}
    palette = colours + [b"\x00\x00\x00"] * (256 - len(colours))
    rows = []
    for y in range(h - 1, -1, -1):
        base = y * w * 3
        rows.append(bytes(index[px[base + 3 * x:base + 3 * x + 3]] for x in range(w)))
    data = rle8_encode(rows)
    pal = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    off = 14 + 40 + len(pal)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(data), 2835, 2835, 256, 0)
    head = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    with open(out, "wb") as fh:
        fh.write(head + info + pal + data)


def jpeg_args(quality, subsampling="2x2,1x1,1x1"):
    # Baseline, three-component YCbCr, no metadata: the screen saver's JPEG
    # reader expects exactly this, and no metadata means no build timestamps.
    return ["-strip", "-type", "TrueColor", "-colorspace", "sRGB", "-interlace", "none",
            "-sampling-factor", subsampling, "-quality", str(quality)]
