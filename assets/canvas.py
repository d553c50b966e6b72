"""The drawing library of the asset pictures: colours, gradient fills and a
Canvas that collects one long ImageMagick command painting a scene layer by
layer. Fonts come from Debian packages, so that every machine draws the same
letters.
"""

import math
import os
import subprocess
import sys

CONVERT = os.environ.get("CONVERT", "convert")

# Fonts shipped by Debian packages (fonts-urw-base35, fonts-dejavu-core).
FONT_DIRS = ("/usr/share/fonts/opentype/urw-base35", "/usr/share/fonts/truetype/dejavu")
FONT_FILES = {
    "serif": "P052-Roman.otf",
    "serif-bold": "P052-Bold.otf",
    "serif-italic": "P052-Italic.otf",
    "serif-bold-italic": "P052-BoldItalic.otf",
    "book": "C059-Roman.otf",
    "book-bold": "C059-Bold.otf",
    "sans": "DejaVuSans.ttf",
    "sans-bold": "DejaVuSans-Bold.ttf",
    "sans-condensed-bold": "DejaVuSansCondensed-Bold.ttf",
    "gothic": "URWGothic-Demi.otf",
    "script": "Z003-MediumItalic.otf",
}


def font(name):
    for d in FONT_DIRS:
        p = os.path.join(d, FONT_FILES[name])
        if os.path.exists(p):
            return p
    sys.exit("make_assets: font %s (%s) is missing; install fonts-urw-base35 and fonts-dejavu-core"
             % (name, FONT_FILES[name]))


def run_convert(args):
    # One thread: ImageMagick's parallel loops may sum in a different order
    # from run to run, which would change the output bytes.
    cmd = [CONVERT, "-limit", "thread", "1"] + [str(a) for a in args]
    res = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if res.returncode != 0:
        sys.stderr.write(res.stderr.decode("utf-8", "replace"))
        sys.exit("make_assets: convert failed (%d)" % res.returncode)
    return res.stdout

# ---------------------------------------------------------------- colours ---

def rgb(c):
    """'#rrggbb' or an (r, g, b) tuple to a tuple."""
    if isinstance(c, str):
        c = c.lstrip("#")
        return tuple(int(c[i:i + 2], 16) for i in (0, 2, 4))
    return tuple(c)


def hexc(c):
    return "#%02x%02x%02x" % tuple(max(0, min(255, int(round(v)))) for v in c)


def mix(a, b, t):
    a, b = rgb(a), rgb(b)
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def shade(c, f):
    """Darker (f < 1) or lighter towards white (f > 1)."""
    c = rgb(c)
    if f <= 1:
        return hexc(tuple(v * f for v in c))
    return hexc(mix(c, (255, 255, 255), min(1.0, f - 1)))


def ramp(stops, t):
    """Colour at t along [(offset, colour), ...] stops."""
    if t <= stops[0][0]:
        return rgb(stops[0][1])
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, 0 if t1 == t0 else (t - t0) / (t1 - t0))
    return rgb(stops[-1][1])

# -------------------------------------------------------------- gradients ---

class Gradient:
    """A fill computed here and written as a PPM the size of the canvas.

    ImageMagick 6's own gradient paints ignore stop offsets, so the fills are
    made here; linear and radial ones are computed at a quarter of the size
    and scaled up, which keeps big scenes fast and smooth.
    """

    def __init__(self, kind, geom, stops):
        self.kind, self.geom, self.stops = kind, geom, stops

    def write(self, path, w, h):
        kind, g, stops = self.kind, self.geom, self.stops
        if kind == "v":
            y1, y2 = g
            rows = [bytes(int(round(v)) for v in ramp(stops, (y - y1) / float(y2 - y1))) * w
                    for y in range(h)]
            data, sw, sh = b"".join(rows), w, h
        elif kind == "h":
            x1, x2 = g
            row = b"".join(bytes(int(round(v)) for v in ramp(stops, (x - x1) / float(x2 - x1)))
                           for x in range(w))
            data, sw, sh = row * h, w, h
        else:
            f = 4
            sw, sh = (w + f - 1) // f, (h + f - 1) // f
            lut = [bytes(int(round(v)) for v in ramp(stops, i / 1023.0)) for i in range(1024)]
            out = bytearray()
            if kind == "l":
                x1, y1, x2, y2 = g
                dx, dy = x2 - x1, y2 - y1
                dd = float(dx * dx + dy * dy)
                for j in range(sh):
                    y = j * f + f / 2.0
                    for i in range(sw):
                        x = i * f + f / 2.0
                        t = ((x - x1) * dx + (y - y1) * dy) / dd
                        out += lut[max(0, min(1023, int(t * 1023)))]
            else:  # radial: centre, radii
                cx, cy, rx, ry = g
                for j in range(sh):
                    y = (j * f + f / 2.0 - cy) / ry
                    for i in range(sw):
                        x = (i * f + f / 2.0 - cx) / rx
                        t = math.sqrt(x * x + y * y)
                        out += lut[max(0, min(1023, int(t * 1023)))]
            data = bytes(out)
        with open(path, "wb") as fh:
            fh.write(b"P6 %d %d 255\n" % (sw, sh) + data)
        return sw != w or sh != h


def vgrad(y1, y2, *stops):
    return Gradient("v", (y1, y2), list(stops))


def hgrad(x1, x2, *stops):
    return Gradient("h", (x1, x2), list(stops))


def lgrad(x1, y1, x2, y2, *stops):
    return Gradient("l", (x1, y1, x2, y2), list(stops))


def rgrad(cx, cy, rx, ry, *stops):
    return Gradient("r", (cx, cy, rx, ry), list(stops))

# ----------------------------------------------------------------- canvas ---

def fmt(v):
    s = "%.2f" % v
    return s.rstrip("0").rstrip(".") if "." in s else s


def pts(points):
    return " ".join("%s,%s" % (fmt(x), fmt(y)) for x, y in points)


class Canvas:
    """Collects one long convert command that paints a scene layer by layer."""

    def __init__(self, w, h, work, name, bg="#000000"):
        self.w, self.h, self.work, self.name = w, h, work, name
        self.n = 0
        self.args = []
        if isinstance(bg, Gradient):
            self.args += [self._fill_image(bg)]
        elif os.path.isabs(bg):  # a picture made earlier, e.g. a blurred backdrop
            self.args += [bg]
        else:
            self.args += ["-size", "%dx%d" % (w, h), "xc:" + bg]

    def _fill_image(self, grad):
        self.n += 1
        path = os.path.join(self.work, "%s-fill%03d.ppm" % (self.name, self.n))
        scaled = grad.write(path, self.w, self.h)
        if scaled:
            return ["(", path, "-resize", "%dx%d!" % (self.w, self.h), ")"]
        return [path]

    def _flat(self, items):
        out = []
        for a in items:
            if isinstance(a, list):
                out += self._flat(a)
            else:
                out.append(a)
        return out

    def draw(self, prim, fill, stroke=None, width=1.0, opacity=1.0, blur=0.0):
        """Paints an MVG primitive with a colour or a Gradient fill.

        A solid, sharp, opaque shape is drawn straight onto the scene; the
        rest go through a mask so they can fade, blur or take a gradient.
        """
        if not isinstance(fill, Gradient) and not isinstance(stroke, Gradient) and opacity >= 1 and blur == 0:
            self.args += ["-fill", fill or "none", "-stroke", stroke or "none", "-strokewidth", fmt(width),
                          "-draw", prim]
            return
        has_fill = isinstance(fill, Gradient) or fill not in (None, "none")
        if has_fill and isinstance(stroke, str) and stroke != "none" and opacity >= 1 and blur == 0:
            # A gradient shape with a plain outline: fill through the mask,
            # then stroke straight on top.
            self.draw(prim, fill, opacity=opacity, blur=blur)
            self.draw(prim, "none", stroke=stroke, width=width)
            return
        paint = fill if has_fill else stroke
        if isinstance(paint, Gradient):
            src = self._fill_image(paint)
        else:
            src = ["-size", "%dx%d" % (self.w, self.h), "xc:" + paint]
        grey = int(round(255 * opacity))
        mask = ["-size", "%dx%d" % (self.w, self.h), "xc:black",
                "-fill", "rgb(%d,%d,%d)" % (grey, grey, grey) if has_fill else "none",
                "-stroke", "none" if stroke in (None, "none") else "rgb(%d,%d,%d)" % (grey, grey, grey),
                "-strokewidth", fmt(width), "-draw", prim]
        if blur:
            mask += ["-blur", "0x%s" % fmt(blur)]
        self.args += ["("] + self._flat([src]) + [")", "("] + mask + [")", "-composite"]

    # Shorthands for the primitives used most.
    def poly(self, points, fill, **kw):
        self.draw("polygon " + pts(points), fill, **kw)

    def path(self, d, fill, **kw):
        self.draw("path '%s'" % d, fill, **kw)

    def ellipse(self, cx, cy, rx, ry, fill, **kw):
        self.draw("ellipse %s,%s %s,%s 0,360" % tuple(map(fmt, (cx, cy, rx, ry))), fill, **kw)

    def circle(self, cx, cy, r, fill, **kw):
        self.ellipse(cx, cy, r, r, fill, **kw)

    def rect(self, x1, y1, x2, y2, fill, **kw):
        self.draw("rectangle %s,%s %s,%s" % tuple(map(fmt, (x1, y1, x2, y2))), fill, **kw)

    def rrect(self, x1, y1, x2, y2, r, fill, **kw):
        self.draw("roundrectangle %s,%s %s,%s %s,%s" % tuple(map(fmt, (x1, y1, x2, y2, r, r))), fill, **kw)

    def line(self, x1, y1, x2, y2, colour, width=1.0, opacity=1.0, blur=0.0):
        self.draw("line %s,%s %s,%s" % tuple(map(fmt, (x1, y1, x2, y2))), "none", stroke=colour,
                  width=width, opacity=opacity, blur=blur)

    def text(self, x, y, s, fontname, size, fill, gravity="NorthWest", opacity=1.0, blur=0.0,
             stroke=None, width=0.0, kerning=0.0, angle=0.0):
        """Text at an offset from the gravity corner, optionally soft, faded or turned."""
        common = ["-gravity", gravity, "-font", font(fontname), "-pointsize", fmt(size),
                  "-kerning", fmt(kerning), "-stroke", "none" if stroke is None else stroke,
                  "-strokewidth", fmt(width)]
        geo = "%+d%+d" % (int(round(x)), int(round(y)))
        if angle:
            geo = "%sx%s" % (fmt(angle), fmt(angle)) + geo
        if not isinstance(fill, Gradient) and opacity >= 1 and blur == 0:
            self.args += common + ["-fill", fill, "-annotate", geo, s, "-gravity", "NorthWest"]
            return
        src = self._fill_image(fill) if isinstance(fill, Gradient) else \
            ["-size", "%dx%d" % (self.w, self.h), "xc:" + fill]
        grey = int(round(255 * opacity))
        mask = ["-size", "%dx%d" % (self.w, self.h), "xc:black"] + common + \
            ["-fill", "rgb(%d,%d,%d)" % (grey, grey, grey), "-annotate", geo, s, "-gravity", "NorthWest"]
        if stroke is not None:
            mask[mask.index("-stroke") + 1] = "rgb(%d,%d,%d)" % (grey, grey, grey)
        if blur:
            mask += ["-blur", "0x%s" % fmt(blur)]
        self.args += ["("] + self._flat([src]) + [")", "("] + mask + [")", "-composite"]

    def image(self, path, x, y):
        """Lays a finished picture (with or without alpha) onto the scene."""
        self.args += ["(", path, ")", "-geometry", "%+d%+d" % (int(round(x)), int(round(y))), "-compose", "over",
                      "-composite", "-geometry", "+0+0"]  # later layers are not offset

    def op(self, *args):
        self.args += [str(a) for a in args]

    def save(self, out, *final):
        run_convert(self._flat(self.args) + [str(a) for a in final] + [out])


def text_width(fontname, size, s):
    out = run_convert(["-font", font(fontname), "-pointsize", fmt(size), "label:" + s, "-format", "%w", "info:"])
    return int(out.decode().strip())
