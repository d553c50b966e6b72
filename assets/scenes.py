"""The scenes of the asset pictures: the icon's pixel art, the sample photo,
the title banner, the settings dialog's photo and the demo collection.
Each make_* function draws one picture and writes it to out, with its
intermediate files in work.
"""

import math
import os

from canvas import Canvas, fmt, font, hgrad, lgrad, rgrad, run_convert, shade, text_width, vgrad
from cars import SILVER, TYRE_R, WHEEL_Y, WHEELS, Xf, body_outline, draw_car_front, draw_car_side
from encoders import jpeg_args, write_ico, write_rle8_bmp

# ---------------------------------------------------------------- scenery ---

def terrain(x1, x2, base, amp, seed, step=6):
    """A hill or mountain skyline: a few summed sines, the same every run."""
    out = []
    x = x1
    while x <= x2:
        y = base
        for k, (f, ph) in enumerate(((0.011, 0.7), (0.023, 1.9), (0.057, 4.1), (0.131, 2.3))):
            y -= amp * math.sin(x * f * (1 + 0.07 * seed) + ph + seed) / (k + 1.2)
        out.append((x, y))
        x += step
    return out


class Lcg:
    """A tiny fixed random source so that scattered details never move."""

    def __init__(self, seed):
        self.v = seed & 0x7FFFFFFF

    def __call__(self):
        self.v = (self.v * 1103515245 + 12345) & 0x7FFFFFFF
        return self.v / float(0x7FFFFFFF)


# ------------------------------------------------------------------- icon ---

# The icon is pixel art: at 32 × 32 a hand-placed outline reads far better
# than a scaled-down drawing. Left half only; the right half is its mirror.
ICON_LEFT = """
................
................
................
................
..........KKKKKK
.........KhHHHHH
........KrRRRRRR
........KRKKKKKK
.......KRKBBBBBB
.......KRKBBBBBB
.......KRKBBBBBB
..KKKK.KRKBBBBBB
.KRHHRKKRKBBBBBB
.KrRRrKRRKBBBBBB
..KKKKRRKKKKKKKK
.KHHHHHHHHHHHHHH
KHRRRRRRRRRRRRRR
KRKKKKKRRRRKKKKK
KKyYYyKRRRKSSSSS
KKYWWYKRRRKSGgGg
KKYWYYKRRRKSGgGg
KKyYYyKRRRKSGgGg
KRKKKKRRRRKSSSSS
KROOORRRRRRKKKKK
KSSSSSSSSSSSSSSS
KsssssssssssssSs
KTtTTTKrrrrKLLLL
KTtTTTKDDDDKLlLl
KTtTTTKDDDDKLLLL
.KTTTKDDDDDDDDDD
................
................
"""

ICON_COLOURS = {
    "K": (28, 12, 12), "R": (196, 18, 24), "r": (120, 8, 12), "H": (236, 76, 72), "h": (255, 160, 150),
    "B": (44, 62, 92), "b": (96, 128, 164), "w": (210, 226, 244), "Y": (255, 236, 150),
    "W": (255, 255, 250), "y": (190, 170, 90), "S": (224, 224, 230), "s": (128, 128, 140),
    "G": (30, 30, 34), "g": (96, 96, 104), "O": (255, 144, 16), "T": (18, 18, 20), "t": (64, 64, 70),
    "L": (240, 240, 228), "l": (50, 50, 60), "D": (48, 34, 34),
}


def icon_pixels():
    """The 32 × 32 grid of colour letters, '.' for transparent."""
    rows = [r + r[::-1] for r in ICON_LEFT.strip("\n").split("\n")]
    grid = [list(r) for r in rows]
    for y in range(32):
        for x in range(32):
            c = grid[y][x]
            if c == "B":
                # Glint across the windscreen, slanting one way only so the
                # light seems to come from the upper left.
                grid[y][x] = "w" if x + y in (21, 22) else "b" if x + y in (20, 23, 27) else "B"
            elif x >= 27 and c in "RH":
                grid[y][x] = "r" if c == "R" else "R"  # the far flank in shade
    return grid


def make_icon(out, work=None):
    write_ico(out, icon_pixels(), ICON_COLOURS)


# ------------------------------------------------------------------ scenes ---

def make_dialog_photo(out, work):
    """Product shot: a silver coupe in profile on a white studio sweep."""
    w, h = 350, 146
    ss = 2  # drawn at twice the size and scaled down for smooth edges
    cv = Canvas(w * ss, h * ss, work, "dialog", bg="#ffffff")
    cv.rect(0, 0, w * ss, h * ss, vgrad(0, h * ss, (0, "#ffffff"), (0.62, "#ffffff"), (0.8, "#f1f2f3"),
                                        (1, "#ffffff")))
    s = 0.8 * ss
    x0 = (w * ss - 400 * s) / 2
    y0 = h * ss / 2.0 - 58 * s  # centre the car and its shadow
    draw_car_side(cv, x0, y0, s, SILVER, ground="#5a5f66")
    cv.save(out, "-resize", "%dx%d!" % (w, h), *jpeg_args(96))


def oil_paint(src, w, h, seed, strength, radius, fine_box, fine_radius=1.5):
    """convert arguments that turn a drawn scene into an oil painting.

    Grey noise smeared along one stroke direction is laid over the scene to
    give the brush something to pick up, then the oil-paint filter runs; the
    area in fine_box (the car) gets a finer brush so its details survive.
    """
    x1, y1, x2, y2 = fine_box
    return [src, "(", "-size", "%dx%d" % (w, h), "xc:gray50", "-seed", str(seed), "-attenuate", fmt(strength),
            "+noise", "Gaussian", "-colorspace", "gray", "-motion-blur", "0x6+35", ")",
            "-compose", "overlay", "-composite", "-write", "mpr:textured", "+delete",
            "mpr:textured", "-paint", fmt(radius),
            "(", "mpr:textured", "-paint", fmt(fine_radius), ")",
            "(", "-size", "%dx%d" % (w, h), "xc:black", "-fill", "white", "-draw",
            "roundrectangle %d,%d %d,%d 20,20" % (x1, y1, x2, y2), "-blur", "0x4", ")",
            "-compose", "over", "-composite"]


def make_sample_photo(out, work):
    """A car on a country road at the end of the afternoon, as an oil painting."""
    w, h = 613, 366
    hz = 196  # horizon
    cv = Canvas(w, h, work, "sample", bg=vgrad(0, hz, (0, "#2a4f8e"), (0.5, "#6d97c7"), (0.82, "#d9cfb4"),
                                               (1, "#f3c98e")))
    cv.circle(470, 118, 95, "#fff0c0", opacity=0.55, blur=38)
    cv.circle(470, 118, 20, "#fffbe6", blur=1.5)
    rnd = Lcg(7)
    for cx, cy, n, size in ((110, 60, 7, 26), (260, 38, 5, 20), (560, 52, 6, 22), (380, 80, 4, 15)):
        for _ in range(n):
            cv.ellipse(cx + (rnd() - 0.5) * size * 3.2, cy + (rnd() - 0.5) * size * 0.7,
                       size * (0.6 + rnd() * 0.6), size * (0.35 + rnd() * 0.25), "#fbf4ea",
                       opacity=0.75, blur=4)
    far = terrain(-10, w + 10, hz - 18, 16, 1) + [(w + 10, hz + 5), (-10, hz + 5)]
    cv.poly(far, vgrad(hz - 45, hz, (0, "#7f8fb3"), (1, "#a9b0bf")))
    mid = terrain(-10, w + 10, hz - 4, 9, 3) + [(w + 10, hz + 10), (-10, hz + 10)]
    cv.poly(mid, vgrad(hz - 20, hz + 5, (0, "#5d7e6a"), (1, "#76926e")))
    cv.rect(0, hz, w, h, vgrad(hz, h, (0, "#8fae5c"), (0.4, "#5f8d37"), (1, "#355e1f")))
    # Hedgerows and trees on the slopes.
    for i in range(34):
        x = rnd() * w
        y = hz + 2 + rnd() * 18
        r = 4 + rnd() * 7 * (1 + (y - hz) / 20.0)
        cv.ellipse(x, y - r * 0.6, r, r * 0.8, shade("#2f5223", 0.8 + rnd() * 0.4))
    # Field furrows towards the sides.
    for i in range(12):
        y = hz + 14 + i * i * 1.3
        cv.line(0, y, w, y + 6, "#4b7a2a", width=1 + i * 0.25, opacity=0.5)
    vx = 300
    road = [(vx - 2, hz), (vx + 4, hz), (w + 110, h), (-95, h)]
    cv.poly(road, vgrad(hz, h, (0, "#a19d96"), (0.35, "#7c7a78"), (1, "#4a4a4e")))
    for x_end in (-70, w + 85):
        cv.line(vx + (1 if x_end > 0 else 0), hz + 1, x_end, h, "#f2efe6", width=4, opacity=0.85)
    # Centre dashes, spaced the way a flat road recedes.
    for k in range(1, 16):
        z1, z2 = 0.9 + k * 0.9, 0.9 + k * 0.9 + 0.45
        y1, y2 = hz + 170 / z2, hz + 170 / z1
        hw1, hw2 = 3.5 / z2, 3.5 / z1
        x1 = vx + 1 + (170 / z2) * 0.05
        x2 = vx + 1 + (170 / z1) * 0.05
        cv.poly([(x1 - hw1, y1), (x1 + hw1, y1), (x2 + hw2, y2), (x2 - hw2, y2)], "#f0d77a")
    # Poplars along both verges, shrinking towards the horizon.
    for k in range(9, -1, -1):
        z = 1.0 + k * 0.75
        for side in (-1, 1):
            bx = vx + side * (380 / z) + (rnd() - 0.5) * 6
            by = hz + 150 / z
            tall, wide = 150 / z, 20 / z
            cv.line(bx, by, bx, by - tall * 0.25, "#3b2c22", width=max(1, 3 / z))
            cv.ellipse(bx, by - tall * 0.55, wide, tall * 0.45,
                       lgrad(bx - wide, by - tall, bx + wide, by, (0, "#6f9a3f"), (0.5, "#3c6a26"),
                             (1, "#1f3d16")))
    # A split-rail fence along the left verge.
    posts = []
    for k in range(14):
        z = 1.0 + k * 0.55
        posts.append((vx - 300 / z, hz + 170 / z, 34 / z, max(1.0, 5 / z)))
    for rail in (0.45, 0.8):
        cv.line(posts[0][0], posts[0][1] - posts[0][2] * rail, posts[-1][0], posts[-1][1] - posts[-1][2] * rail,
                "#6b4a2e", width=2.2)
    for x, y, tall, wid in posts:
        cv.line(x, y, x, y - tall, "#4a3220", width=wid)
    # Wild flowers in the foreground grass.
    for i in range(420):
        y = hz + 12 + rnd() * (h - hz - 12)
        x = rnd() * w
        t = (y - hz) / float(h - hz)
        if vx - 2 - t * (vx + 103) < x < vx + 4 + t * (w + 116 - vx):
            continue  # on the tarmac
        cv.circle(x, y, 0.5 + 2.2 * t, ("#f4e04d", "#ffffff", "#e8624a", "#c98de0")[int(rnd() * 4)])
    draw_car_front(cv, 452, 322, 0.86)
    clean = os.path.join(work, "sample-clean.miff")
    cv.save(clean)
    raw = os.path.join(work, "sample-256.ppm")
    run_convert(oil_paint(clean, w, h, 2002, 2.5, 3, (350, 205, 555, 330)) +
                ["-dither", "FloydSteinberg", "-colors", "256", raw])
    write_rle8_bmp(raw, out)


def make_banner(out, work):
    """The title under the caption strip: silver lettering on black."""
    w, h = 563, 67
    ss = 2
    W, H = w * ss, h * ss
    cv = Canvas(W, H, work, "banner", bg="#000000")
    title, size, face = "The Salvanto Anthology", 38 * ss, "serif"
    # A warm halo first, then the letters with a cream-to-silver sheen.
    cv.text(0, 2 * ss, title, face, size, "#c9a55a", gravity="Center", opacity=0.55, blur=5 * ss, kerning=ss)
    cv.text(0, 2 * ss, title, face, size,
            vgrad(H / 2 - 16 * ss, H / 2 + 14 * ss, (0, "#fff8e6"), (0.45, "#efe6d2"), (0.55, "#bfc1c4"),
                  (1, "#8e9194")), gravity="Center", kerning=ss)
    # Hairlines either side of the title, fading out well before the edges.
    for side in (-1, 1):
        x_in, x_out = W / 2 + side * 226 * ss, W / 2 + side * 266 * ss
        cv.line(x_in, H / 2 + 3 * ss, x_out, H / 2 + 3 * ss, hgrad(min(x_in, x_out), max(x_in, x_out),
                                                                       *(((0, "#000000"), (1, "#b79b62"))
                                                                         if side < 0 else
                                                                         ((0, "#b79b62"), (1, "#000000")))),
                width=1.2 * ss)
    cv.save(out, "-resize", "%dx%d!" % (w, h), *jpeg_args(90, "1x1,1x1,1x1"))


def photo_label(cv, caption, code):
    """The small catalogue tag in the bottom-left corner of a demo photo."""
    size = 17
    wc = text_width("sans-bold", size, caption)
    tw = wc + 12 + text_width("sans", size - 3, code)
    x, y = 22, cv.h - 50
    cv.rrect(x, y, x + tw + 26, y + 30, 6, "#000000", opacity=0.55)
    cv.text(x + 13, y + 5, caption, "sans-bold", size, "#f4f1ea")
    cv.text(x + 13 + wc + 12, y + 8, code, "sans", size - 3, "#c9c3b5")


def finish_photo(cv, grain=0.8, vignette=0.25, seed=1):
    """Film grain and a soft vignette, so the demo photos look shot, not drawn."""
    w, h = cv.w, cv.h
    cv.op("(", "-size", "%dx%d" % (w, h), "xc:gray50", "-seed", str(seed), "-attenuate", fmt(grain), "+noise",
          "Gaussian", "-colorspace", "gray", "-blur", "0x0.6", ")", "-compose", "overlay", "-composite")
    if vignette:
        cv.op("(", "-size", "%dx%d" % (w, h), "radial-gradient:white-black", "+level",
              "%d%%,100%%" % int(round(100 - vignette * 100)), ")", "-compose", "multiply", "-composite")
    cv.op("-compose", "over")


RACE_RED = {"top": "#c01c20", "shoulder": "#ff8a78", "flank": "#c8141c", "lower": "#d92a2a",
            "sill": "#4a0609", "glass": ("#a8bccf", "#141a24")}


def make_race_cars(out, work):
    w, h = 1024, 768
    # The grandstand is painted first and smeared sideways, as if panned.
    # It is drawn wider than the photo so the blur has real pixels at the edges.
    m = 100
    back = Canvas(w + 2 * m, 460, work, "race-back", bg=vgrad(0, 160, (0, "#5b86c2"), (1, "#c8dbee")))
    rnd = Lcg(14)
    w = w + 2 * m
    back.poly([(0, 120), (w, 95), (w, 130), (0, 160)], "#3b3f46")
    back.rect(0, 150, w, 400, vgrad(150, 400, (0, "#2b2e34"), (1, "#4a4f57")))
    for i in range(2600):
        x, y = rnd() * w, 160 + rnd() * 230
        back.circle(x, y, 2.5 + rnd() * 2.5, ("#e8c39e", "#c78b62", "#f2f2f2", "#d6332f", "#2c5fa8",
                                              "#f0c93a", "#1f1f22", "#8f6a4d")[int(rnd() * 8)])
    back.rect(0, 392, w, 420, "#e9e9e9")
    for i in range(0, w, 64):
        back.rect(i, 398, i + 34, 414, "#c8102e")
    back.rect(0, 420, w, 460, "#6a9a3c")
    back_file = os.path.join(work, "race-back.miff")
    back.save(back_file, "-motion-blur", "0x28+0", "-crop", "%dx460+%d+0" % (w - 2 * m, m), "+repage")
    w -= 2 * m
    cv = Canvas(w, h, work, "race", bg="#000000")
    cv.image(back_file, 0, 0)
    cv.rect(0, 440, w, h, vgrad(440, h, (0, "#6c6d70"), (1, "#2f3033")))
    for i in range(-1, 18):
        x = i * 64 - 20
        cv.poly([(x, 440), (x + 40, 440), (x + 34, 458), (x - 6, 458)],
                "#c8102e" if i % 2 else "#f4f4f4", blur=1.5)
    # Rubber lines on the racing line, and speed streaks behind the car.
    for i in range(14):
        y = 560 + rnd() * 160
        cv.line(0, y, w, y + (rnd() - 0.5) * 8, "#1c1c1e", width=1 + rnd() * 3, opacity=0.35, blur=1)
    s = 2.2
    x0, y0 = 80, 705 - 100 * s
    for i in range(9):
        y = y0 + 40 * s + rnd() * 45 * s
        cv.line(0, y, x0 + 380 * s * rnd(), y, "#ffffff", width=1 + rnd() * 2, opacity=0.25, blur=2)
    draw_car_side(cv, x0, y0, s, RACE_RED, flip=True, ground="#000000")
    # Livery: a white band along the flank, the roundel and the number.
    t = Xf(x0, y0, s, flip=True)
    for a, b in ((9, 50), (106, 290), (346, 393)):  # stopping at the wheel arches
        cv.path(t.d([("M", a, 66 + a / 200.0), ("L", b, 66 + b / 200.0), ("L", b, 71 + b / 200.0),
                     ("L", a, 71 + a / 200.0), ("Z",)]), "#f7f7f2", opacity=0.95)
    rx, ry = t(205, 62)
    cv.circle(rx, ry, 15 * s, "#f7f7f2", stroke="#1a1a1a", width=2)
    cv.text(rx - w / 2, ry - h / 2 + 2, "14", "sans-condensed-bold", 22 * s, "#111111", gravity="Center")
    cv.text(t(120, 0)[0] - 40 * s, t(0, 54)[1], "SALVANTO", "serif-bold-italic", 9 * s, "#ffffff")
    photo_label(cv, "Race Cars", "DR 014")
    finish_photo(cv, seed=14)
    cv.save(out, *jpeg_args(80))


ROADSTER_BLUE = {"top": "#8fb4d6", "shoulder": "#e8f1fa", "flank": "#4f7fae", "lower": "#6f9dc8",
                 "sill": "#1d3550", "glass": ("#d9e6f2", "#5a6f86"), "leather": "#7a3b22"}


def make_roadster(out, work):
    """The open two-seater on a cliff road above the sea at sunset."""
    w, h = 1024, 768
    hz = 360
    cv = Canvas(w, h, work, "roadster", bg=vgrad(0, hz, (0, "#1f3a6b"), (0.45, "#6c6f9a"), (0.8, "#e98a5c"),
                                                 (1, "#ffd08a")))
    cv.circle(760, hz - 28, 170, "#ffd9a0", opacity=0.5, blur=60)
    cv.circle(760, hz - 28, 34, "#fff4d6", blur=2)
    rnd = Lcg(7007)
    for i in range(7):  # long evening clouds
        y = 80 + i * 34 + rnd() * 20
        x = rnd() * w
        cv.ellipse(x, y, 160 + rnd() * 160, 7 + rnd() * 6, shade("#f6b28a", 0.8 + rnd() * 0.3),
                   opacity=0.55, blur=4)
    cv.rect(0, hz, w, h, vgrad(hz, 600, (0, "#f0a070"), (0.08, "#5a6e96"), (1, "#1b3358")))
    for i in range(160):  # sun glitter on the water
        y = hz + 4 + rnd() ** 1.6 * 210
        spread = 30 + (y - hz) * 1.1
        x = 760 + (rnd() - 0.5) * spread * 2
        cv.line(x, y, x + 6 + (y - hz) * 0.15, y, "#ffe2b0", width=1 + (y - hz) / 120.0, opacity=0.7)
    # A headland to the left, the cliff and the road cut into it.
    cv.path("M 0,%d C 120,%d 240,%d 330,%d C 380,%d 420,%d 470,%d L 470,%d L 0,%d Z"
            % (hz - 60, hz - 90, hz - 70, hz - 20, hz - 6, hz + 2, hz + 4, hz + 10, hz + 10),
            vgrad(hz - 90, hz + 10, (0, "#4a4660"), (1, "#2c2e40")))
    cv.path("M 0,480 C 300,470 700,455 1024,450 L 1024,768 L 0,768 Z",
            vgrad(450, 768, (0, "#6b5a4a"), (0.4, "#4b3e33"), (1, "#2a231d")))
    cv.path("M 0,560 C 300,548 700,535 1024,530 L 1024,650 C 700,655 300,668 0,680 Z",
            vgrad(530, 680, (0, "#5d5d62"), (1, "#3a3a40")))
    cv.path("M 0,618 C 300,606 700,594 1024,590", "none", stroke="#e8d9a0", width=3)
    # Guard rail on the seaward side.
    cv.path("M 0,540 C 300,529 700,517 1024,512", "none", stroke="#c9ccd0", width=5)
    for i in range(12):
        x = i * 92 + 20
        y = 540 - x * 0.028
        cv.line(x, y - 2, x, y + 24, "#8d9096", width=4)
    s = 1.75
    draw_car_side(cv, 130, 642 - 100 * s, s, ROADSTER_BLUE, roadster=True, ground="#0c0c10")
    # The low sun rims the car's upper edges with warm light.
    t = Xf(130, 642 - 100 * s, s)
    cv.path(t.d([("M", 30, 50), ("L", 128, 45), ("L", 300, 43.5), ("C", 340, 43.5, 382, 46, 392, 50)]), "none",
            stroke="#ffcf9a", width=2, opacity=0.6)
    photo_label(cv, "GTR Roadster", "GT 007")
    finish_photo(cv, seed=7)
    cv.save(out, *jpeg_args(82))


def ring_text(cv, cx, cy, r, text, fontname, size, fill, start, end, **kw):
    """Letters spaced along an arc (degrees clockwise from 12 o'clock).

    An arc running anticlockwise (end < start) reads along the bottom of a
    circle, so those letters are turned the other way up.
    """
    n = len(text)
    bottom = end < start
    for i, ch in enumerate(text):
        if ch == " ":
            continue
        a = start + (end - start) * (i / float(n - 1) if n > 1 else 0.5)
        x = cx + r * math.sin(math.radians(a)) - cv.w / 2.0
        y = cy - r * math.cos(math.radians(a)) - cv.h / 2.0
        cv.text(x, y, ch, fontname, size, fill, gravity="Center", angle=a + 180 if bottom else a, **kw)


def leaf(x, y, length, width, angle):
    """A pointed leaf from (x, y), length along angle (radians, y down)."""
    dx, dy = math.cos(angle), math.sin(angle)
    tx, ty = x + dx * length, y + dy * length
    mx, my = x + dx * length * 0.5, y + dy * length * 0.5
    px, py = -dy * width, dx * width
    return "M %s,%s Q %s,%s %s,%s Q %s,%s %s,%s Z" % tuple(map(fmt, (
        x, y, mx + px * 1.4, my + py * 1.4, tx, ty, mx - px * 1.4, my - py * 1.4, x, y)))


CHROME = ((0, "#ffffff"), (0.3, "#b9c0c8"), (0.5, "#6d747d"), (0.62, "#dfe4ea"), (1, "#8c939c"))
GOLD = ((0, "#fff2c0"), (0.25, "#e0b54e"), (0.5, "#8c5f17"), (0.7, "#f3d27a"), (1, "#a8761f"))


def make_emblem(out, work):
    """A winged bonnet badge, photographed close up on dark leather."""
    w, h = 1024, 768
    cx, cy = 512, 372
    cv = Canvas(w, h, work, "emblem", bg=rgrad(cx, cy - 40, 720, 620, (0, "#27324a"), (0.6, "#111724"),
                                                 (1, "#06080c")))
    # Leather grain: fine mottling from blurred noise, laid in softly.
    cv.op("(", "-size", "%dx%d" % (w, h), "xc:gray50", "-seed", "303", "-attenuate", "2", "+noise", "Gaussian",
          "-colorspace", "gray", "-blur", "0x1.6", "-emboss", "1", "+level", "25%,75%", ")",
          "-compose", "soft-light", "-composite",
          "-compose", "over")
    cv.circle(cx + 14, cy + 22, 214, "#000000", opacity=0.75, blur=22)
    # Wings: stacked feathers, longest at the top.
    for side in (-1, 1):
        for k in range(6):
            root_y = cy - 70 + k * 30
            length = 300 - k * 38
            tip_x = cx + side * (150 + length)
            tip_y = root_y - 46 + k * 12
            x_root = cx + side * 150
            d = "M %s,%s C %s,%s %s,%s %s,%s C %s,%s %s,%s %s,%s Z" % tuple(map(fmt, (
                x_root, root_y - 13, x_root + side * length * 0.5, root_y - 30, tip_x - side * 40, tip_y - 4,
                tip_x, tip_y, tip_x - side * 60, tip_y + 26, x_root + side * length * 0.4, root_y + 20,
                x_root, root_y + 15)))
            cv.path(d, "#000000", opacity=0.5, blur=6)
            cv.path(d, vgrad(root_y - 30, root_y + 22, *CHROME), stroke="#3d434b", width=1.2)
    cv.circle(cx, cy, 200, lgrad(cx - 200, cy - 200, cx + 200, cy + 200, *CHROME))
    cv.circle(cx, cy, 186, "#23272d")
    cv.circle(cx, cy, 184, rgrad(cx, cy - 60, 240, 240, (0, "#1d3c7a"), (1, "#0a1833")))
    ring_text(cv, cx, cy, 153, "SALVANTO", "serif-bold", 44, vgrad(cy - 190, cy - 110, *CHROME),
              start=-62, end=62)
    ring_text(cv, cx, cy, 160, "MOTOR WORKS", "serif-bold", 26, "#d7dde4", start=242, end=118)
    for a in (-90, 90):
        x, y = cx + 158 * math.sin(math.radians(a)), cy - 158 * math.cos(math.radians(a))
        cv.circle(x, y, 7, "#d7dde4")
    cv.circle(cx, cy, 126, lgrad(cx - 126, cy - 126, cx + 126, cy + 126, *CHROME))
    cv.circle(cx, cy, 114, rgrad(cx - 30, cy - 46, 170, 170, (0, "#e8333a"), (0.6, "#a5121c"), (1, "#5c070c")))
    cv.text(6, 12, "S", "serif-bold", 190, "#000000", gravity="Center", opacity=0.55, blur=5)
    cv.text(0, 4, "S", "serif-bold", 190, vgrad(cy - 90, cy + 90, *GOLD), gravity="Center",
            stroke="#5a3a08", width=2)
    # The gloss of the enamel dome.
    cv.ellipse(cx - 10, cy - 62, 88, 42, "#ffffff", opacity=0.16, blur=6)
    photo_label(cv, "Salvanto Emblems", "EM 003")
    finish_photo(cv, seed=3)
    cv.save(out, *jpeg_args(78))


def make_coin(out, work):
    """A gold commemorative piece and its silver sister on velvet."""
    w, h = 1024, 768
    cv = Canvas(w, h, work, "coin", bg=rgrad(470, 400, 760, 640, (0, "#6a1226"), (0.55, "#3a0814"),
                                               (1, "#12020a")))
    cv.op("(", "-size", "%dx%d" % (w, h), "xc:gray50", "-seed", "1010", "-attenuate", "3", "+noise", "Gaussian",
          "-colorspace", "gray", "-blur", "0x0.8", ")", "-compose", "soft-light", "-composite", "-compose", "over")
    # The silver piece behind, showing its value side.
    sx, sy, sr = 800, 205, 165
    cv.circle(sx + 12, sy + 18, sr, "#000000", opacity=0.7, blur=18)
    cv.circle(sx, sy, sr, lgrad(sx - sr, sy - sr, sx + sr, sy + sr, *CHROME))
    cv.circle(sx, sy, sr - 16, rgrad(sx - 40, sy - 50, 230, 230, (0, "#f4f6f8"), (1, "#9aa1a9")))
    for side in (-1, 1):  # a laurel wreath around the value
        for k in range(9):
            a = math.radians(side * (160 - k * 15))
            for rr, tilt in ((100, -0.5), (122, 0.5)):
                bx, by = sx + rr * math.sin(a), sy - rr * math.cos(a)
                ang = a + side * (math.pi / 2 + tilt)
                cv.path(leaf(bx, by, 22, 7, ang), "#8e959e", stroke="#6b727b", width=1)
    cv.text(sx - w / 2 + 3, sy - h / 2 + 3, "10", "serif-bold", 120, "#6b727b", gravity="Center")
    cv.text(sx - w / 2, sy - h / 2, "10", "serif-bold", 120, vgrad(sy - 60, sy + 60, *CHROME), gravity="Center")
    # The gold piece.
    gx, gy, r = 450, 420, 262
    cv.circle(gx + 16, gy + 24, r, "#000000", opacity=0.8, blur=24)
    cv.circle(gx, gy, r, lgrad(gx - r, gy - r, gx + r, gy + r, *GOLD))
    for k in range(180):  # the reeded edge
        a = math.radians(k * 2.0)
        cv.line(gx + (r - 5) * math.cos(a), gy + (r - 5) * math.sin(a), gx + r * math.cos(a),
                gy + r * math.sin(a), "#7a5214", width=1)
    cv.circle(gx, gy, r - 22, "#7a5214")
    cv.circle(gx, gy, r - 25, rgrad(gx - 60, gy - 80, 330, 330, (0, "#f8dc8c"), (0.7, "#d1a23f"),
                                    (1, "#a7771f")))
    for k in range(72):  # bead border
        a = math.radians(k * 5.0)
        cv.circle(gx + (r - 40) * math.cos(a), gy + (r - 40) * math.sin(a), 3.2, "#f7dc8e",
                  stroke="#9a6c1c", width=1)
    ring_text(cv, gx, gy, r - 78, "SALVANTO", "serif-bold", 40, "#8a5e16", start=-58, end=58)
    ring_text(cv, gx, gy, r - 80, "1902  2002", "serif-bold", 30, "#8a5e16", start=222, end=138)
    # The car in relief: a dark edge below and right, a bright one above and left.
    s = 0.95
    x0, y0 = gx - 200 * s, gy - 58 * s
    for dx, dy, col, op in ((3, 3, "#6b470f", 0.9), (-2, -2, "#fff3c6", 0.9)):
        t = Xf(x0 + dx, y0 + dy, s)
        cv.path(t.d(body_outline()), col, opacity=op)
        for wcx in WHEELS:
            wx, wy = t(wcx, WHEEL_Y)
            cv.circle(wx, wy, TYRE_R * s, col, opacity=op)
    t = Xf(x0, y0, s)
    cv.path(t.d(body_outline()), vgrad(y0 + 13 * s, y0 + 90 * s, (0, "#f2cf72"), (1, "#c18f2f")))
    for wcx in WHEELS:
        wx, wy = t(wcx, WHEEL_Y)
        cv.circle(wx, wy, TYRE_R * s, rgrad(wx - 6, wy - 6, 26, 26, (0, "#f6d98a"), (1, "#b58428")))
        cv.circle(wx, wy, 12 * s, "none", stroke="#9a6c1c", width=1.5)
    cv.path(t.d([("M", 148, 43.5), ("C", 164, 33, 176, 25, 190, 21), ("C", 206, 17, 236, 16.5, 258, 18.5),
                 ("C", 282, 22, 306, 31, 324, 41.5), ("L", 148, 43.5), ("Z",)]), "none", stroke="#9a6c1c",
            width=1.5)
    ground_y = t(0, 100)[1] + 6
    cv.line(gx - 170, ground_y, gx + 170, ground_y, "#9a6c1c", width=2)
    # Light catching the upper rim.
    cv.draw("ellipse %d,%d %d,%d 200,250" % (gx, gy, r - 6, r - 6), "none", stroke="#fffbe6", width=5,
            opacity=0.55, blur=3)
    photo_label(cv, "Salvanto Coin", "ZY 010")
    finish_photo(cv, seed=10)
    cv.save(out, *jpeg_args(84))



def make_trophy(out, work):
    """The 2002 centenary cup under the stage lights."""
    w, h = 1024, 768
    cx = 512
    cv = Canvas(w, h, work, "trophy", bg=vgrad(0, h, (0, "#050b1f"), (0.6, "#142b5c"), (1, "#0b1733")))
    rnd = Lcg(2002)
    for x_top, x_bot in ((180, 380), (512, 512), (844, 644)):  # spotlight beams
        cv.poly([(x_top - 30, -10), (x_top + 30, -10), (x_bot + 170, h), (x_bot - 170, h)], "#bcd4ff",
                opacity=0.13, blur=18)
    cv.ellipse(cx, 560, 330, 60, "#9fbfff", opacity=0.25, blur=30)
    for i in range(230):  # confetti in the air
        x, y = rnd() * w, rnd() * 560
        a = rnd() * math.pi
        ln, wd = 5 + rnd() * 6, 2 + rnd() * 2
        dx, dy = math.cos(a) * ln, math.sin(a) * ln
        ex, ey = -math.sin(a) * wd, math.cos(a) * wd
        colour = ("#f5d36b", "#e8ecf2", "#d8343a", "#3f7be0", "#f5d36b")[int(rnd() * 5)]
        cv.poly([(x - dx - ex, y - dy - ey), (x + dx - ex, y + dy - ey), (x + dx + ex, y + dy + ey),
                 (x - dx + ex, y - dy + ey)], colour, opacity=0.55 + 0.45 * rnd())
    # The podium.
    cv.poly([(270, 600), (754, 600), (800, 640), (224, 640)], vgrad(600, 640, (0, "#2c3f6e"), (1, "#1a2747")))
    cv.rect(224, 640, 800, h, vgrad(640, h, (0, "#1b2a50"), (1, "#070c1a")))
    cv.line(224, 640, 800, 640, "#d9b85a", width=3)
    cv.text(3, 320 + 3, "2002", "serif-bold", 84, "#000000", gravity="Center", opacity=0.6)
    cv.text(0, 320, "2002", "serif-bold", 84, vgrad(665, 750, *GOLD), gravity="Center")
    gold = hgrad(cx - 130, cx + 130, (0, "#6b4a12"), (0.2, "#f7dc86"), (0.32, "#fff8d8"), (0.48, "#d9a93f"),
                 (0.78, "#8a5e16"), (1, "#c99a3a"))
    # Plinth.
    cv.ellipse(cx, 612, 140, 18, "#000000", opacity=0.6, blur=8)
    cv.rect(cx - 115, 540, cx + 115, 610, hgrad(cx - 115, cx + 115, (0, "#050505"), (0.3, "#3a3a3e"),
                                                  (0.5, "#111114"), (1, "#000000")))
    cv.rect(cx - 130, 600, cx + 130, 612, gold)
    cv.rrect(cx - 62, 560, cx + 62, 592, 3, vgrad(560, 592, *GOLD))
    cv.text(0, 576 - h / 2, "CENTENARY CUP", "serif-bold", 13, "#4a3008", gravity="Center")
    # Stem and foot.
    cv.path("M %d,540 C %d,515 %d,505 %d,470 L %d,470 C %d,505 %d,515 %d,540 Z"
            % (cx - 80, cx - 70, cx - 24, cx - 18, cx + 18, cx + 24, cx + 70, cx + 80),
            hgrad(cx - 80, cx + 80, *((0, "#6b4a12"), (0.25, "#f7dc86"), (0.35, "#fff8d8"), (0.5, "#d9a93f"),
                                      (0.8, "#8a5e16"), (1, "#c99a3a"))))
    cv.ellipse(cx, 468, 36, 10, gold)
    cv.ellipse(cx, 430, 20, 40, gold)
    cv.ellipse(cx, 392, 44, 12, gold)
    # Handles: gold loops either side of the bowl.
    for side in (-1, 1):
        d = "M %d,210 C %d,200 %d,250 %d,300 C %d,340 %d,360 %d,370" % (
            cx + side * 120, cx + side * 220, cx + side * 215, cx + side * 180, cx + side * 150, cx + side * 110,
            cx + side * 80)
        cv.path(d, "none", stroke="#5a3c0c", width=22)
        cv.path(d, "none", stroke=vgrad(200, 370, *GOLD), width=16)
    # The bowl, its rim and the dark inside.
    cv.path("M %d,200 C %d,300 %d,380 %d,392 C %d,380 %d,300 %d,200 Z"
            % (cx - 135, cx - 130, cx - 60, cx, cx + 60, cx + 130, cx + 135), gold)
    cv.ellipse(cx, 200, 135, 22, vgrad(178, 222, (0, "#fff6cf"), (1, "#b0842c")))
    cv.ellipse(cx, 202, 122, 16, vgrad(186, 218, (0, "#3b2708"), (1, "#8a6220")))
    cv.text(0, 290 - h / 2, "S", "serif-bold", 70, "#8a5e16", gravity="Center", opacity=0.85)
    cv.path("M %d,215 C %d,280 %d,340 %d,370" % (cx - 88, cx - 90, cx - 60, cx - 30), "none", stroke="#ffffff",
            width=7, opacity=0.45, blur=3)
    for i in range(6):  # sparkles on the metal
        sx, sy = (cx - 90, 240, cx + 40, 380, cx - 60, 470, cx + 160, 230, cx - 190, 280, cx + 20, 205)[
            2 * i:2 * i + 2]
        cv.line(sx - 14, sy, sx + 14, sy, "#ffffff", width=2, opacity=0.9, blur=1)
        cv.line(sx, sy - 14, sx, sy + 14, "#ffffff", width=2, opacity=0.9, blur=1)
        cv.circle(sx, sy, 4, "#ffffff", blur=1.5)
    photo_label(cv, "2002", "02 CUP")
    finish_photo(cv, seed=2)
    cv.save(out, *jpeg_args(82))



TWO_TONE = {"top": "#efe6cf", "shoulder": "#fff9ea", "flank": "#3aa99f", "lower": "#5cc2b6",
            "sill": "#1b5f59", "glass": ("#c9dbe4", "#2b3a40"), "trim": "#f4f4f0"}


def make_vintage_print(out, work):
    """A 1957 snapshot: the two-tone coupe outside a roadside diner, as an old
    colour print lying on a wooden table."""
    w, h = 1024, 768
    pw, ph = 720, 500  # the picture area of the print
    pic = Canvas(pw, ph, work, "vintage-pic", bg=vgrad(0, 300, (0, "#7fb1d9"), (1, "#d8e6ea")))
    rnd = Lcg(57)
    for i in range(5):
        pic.ellipse(rnd() * pw, 40 + rnd() * 120, 70 + rnd() * 60, 18 + rnd() * 10, "#ffffff", opacity=0.7, blur=8)
    # The diner: a long low building with a band of windows and a roof sign.
    pic.rect(0, 300, pw, ph, vgrad(300, ph, (0, "#a9a59b"), (1, "#6d6a63")))
    pic.rect(60, 150, 690, 318, vgrad(150, 318, (0, "#f3efe2"), (1, "#cfc8b4")))
    pic.rect(60, 138, 690, 156, "#c8342f")
    for i in range(3):
        pic.line(60, 170 + i * 8, 690, 170 + i * 8, "#b8bcc0", width=3)
    pic.rect(90, 200, 660, 275, vgrad(200, 275, (0, "#3c4f5c"), (1, "#1d262d")))
    for i in range(1, 12):
        pic.line(90 + i * 47.5, 200, 90 + i * 47.5, 275, "#e8e4d8", width=4)
    for i in range(6):  # people at the counter, a hint only
        pic.ellipse(130 + i * 90 + rnd() * 20, 252, 10, 14, "#6a4a3a", opacity=0.6, blur=1.5)
    pic.rect(380, 60, 386, 138, "#5a5a5a")
    pic.rrect(250, 40, 516, 100, 10, "#c8342f", stroke="#f4efe0", width=4)
    pic.text(383 - pw / 2, 70 - ph / 2, "DINER", "gothic", 46, "#fff6d8", gravity="Center", kerning=6)
    pic.rect(0, 318, pw, 330, "#8c887e")
    s = 1.38
    draw_car_side(pic, 90, 470 - 100 * s, s, TWO_TONE, whitewall=True, ground="#2a2826")
    pic_file = os.path.join(work, "vintage-pic.miff")
    # Faded dyes: less saturation, a warm cast, lifted blacks, soft focus.
    pic.save(pic_file, "-modulate", "100,72,100", "-fill", "#e0b060", "-colorize", "14", "+level", "8%,96%",
             "-blur", "0x0.7")
    # The print: a cream border, a date in ink, a slight turn on the table.
    print_file = os.path.join(work, "vintage-print.miff")
    run_convert([pic_file, "-bordercolor", "#f1ead8", "-border", "26x26", "-gravity", "South", "-background",
                 "#f1ead8", "-splice", "0x44", "-gravity", "SouthWest", "-font", font("script"), "-pointsize",
                 "34", "-fill", "#2c3a6a", "-annotate", "+40+14", "Summer '57", "-gravity", "NorthWest",
                 "(", "+clone", "-fill", "none", "-stroke", "#d6ccb4", "-strokewidth", "2", "-draw",
                 "rectangle 1,1 %d,%d" % (pw + 50, ph + 50 + 44), ")", "-compose", "over", "-composite",
                 "-background", "none", "-rotate", "-3.5",
                 "(", "+clone", "-background", "black", "-shadow", "65x12+14+18", ")", "+swap", "-background",
                 "none", "-layers", "merge", "+repage", print_file])
    cv = Canvas(w, h, work, "vintage", bg=hgrad(0, w, (0, "#4a2c18"), (0.5, "#6b4226"), (1, "#3e2414")))
    for i in range(70):  # wood grain
        y = rnd() * h
        amp = 4 + rnd() * 10
        d = "M -10,%s C 300,%s 700,%s 1034,%s" % tuple(map(fmt, (y, y - amp, y + amp, y + (rnd() - 0.5) * 10)))
        cv.path(d, "none", stroke=("#2e1a0c", "#7a4e2e")[int(rnd() * 2)], width=1 + rnd() * 2.5,
                opacity=0.25 + rnd() * 0.3)
    for i in range(1, 4):
        cv.line(0, i * 192 + 2, w, i * 192 - 2, "#1e1008", width=2, opacity=0.8)
    cv.image(print_file, 100, 68)
    photo_label(cv, "1957", "57 BEL")
    finish_photo(cv, seed=57)
    cv.save(out, *jpeg_args(80))



BRITISH_GREEN = {"top": "#1f5a3c", "shoulder": "#8fc7a0", "flank": "#1d5236", "lower": "#2f7150",
                 "sill": "#0b2418", "glass": ("#e8d8b8", "#3a3328")}


def make_painting(out, work):
    """A canvas from the painter's portfolio, framed on a gallery wall."""
    w, h = 1024, 768
    pw, ph = 600, 400
    hz = 210
    pic = Canvas(pw, ph, work, "painting", bg=vgrad(0, hz, (0, "#e9b36a"), (0.6, "#f6d49a"), (1, "#fbe8c0")))
    pic.circle(440, 150, 60, "#fff3d0", opacity=0.6, blur=20)
    rnd = Lcg(1)
    far = terrain(-10, pw + 10, hz - 10, 22, 5) + [(pw + 10, ph), (-10, ph)]
    pic.poly(far, vgrad(hz - 50, hz + 10, (0, "#b58c6a"), (1, "#c9a27a")))
    near = terrain(-10, pw + 10, hz + 30, 26, 2) + [(pw + 10, ph), (-10, ph)]
    pic.poly(near, vgrad(hz, ph, (0, "#b7a24a"), (0.5, "#8a8a34"), (1, "#5a6a26")))
    for i in range(9):  # ploughed rows sweeping over the hill
        y = hz + 60 + i * 16
        pic.path("M -10,%d C 150,%d 400,%d 610,%d" % (y, y - 30, y + 10, y - 12), "none", stroke="#6f6a2c",
                 width=2 + i * 0.4, opacity=0.5)
    for i in range(11):  # a line of cypresses along the ridge
        x = 40 + i * 52 + rnd() * 20
        base = hz + 22 + rnd() * 10
        tall = 70 + rnd() * 40
        pic.path("M %s,%s C %s,%s %s,%s %s,%s C %s,%s %s,%s %s,%s Z" % tuple(map(fmt, (
            x - 9, base, x - 12, base - tall * 0.5, x - 3, base - tall * 0.9, x, base - tall,
            x + 3, base - tall * 0.9, x + 12, base - tall * 0.5, x + 9, base))),
            hgrad(x - 12, x + 12, (0, "#1f3a1c"), (0.6, "#3b5a2a"), (1, "#17291a")))
    pic.path("M -10,%d C 200,%d 400,%d 610,%d L 610,%d C 400,%d 200,%d -10,%d Z"
             % (ph - 80, ph - 92, ph - 96, ph - 104, ph - 84, ph - 76, ph - 72, ph - 58), "#c9b48a")
    draw_car_side(pic, 110, ph - 72 - 100 * 0.95, 0.95, BRITISH_GREEN, ground="#3a3020")
    pic_clean = os.path.join(work, "painting-clean.miff")
    pic.save(pic_clean)
    pic_file = os.path.join(work, "painting.miff")
    run_convert(oil_paint(pic_clean, pw, ph, 11, 2.5, 3.5, (100, ph - 175, 500, ph - 60)) + [pic_file])
    cv = Canvas(w, h, work, "gallery", bg=vgrad(0, h, (0, "#3a0f12"), (0.8, "#5e1b1f"), (1, "#2a0a0c")))
    cv.ellipse(w / 2, 40, 420, 380, "#ffcf9a", opacity=0.22, blur=80)  # the picture light
    cv.rect(0, 700, w, h, vgrad(700, h, (0, "#3b2314"), (1, "#1d110a")))
    cv.rect(0, 694, w, 702, "#e8dcc4")
    fx, fy, fw = (w - pw) / 2, 96, 46  # frame origin and moulding width
    x1, y1, x2, y2 = fx - fw, fy - fw, fx + pw + fw, fy + ph + fw
    cv.rect(x1 + 10, y1 + 16, x2 + 10, y2 + 16, "#000000", opacity=0.6, blur=14)
    sides = (((x1, y1), (x2, y1), (x2 - fw, y1 + fw), (x1 + fw, y1 + fw)),
             ((x2, y1), (x2, y2), (x2 - fw, y2 - fw), (x2 - fw, y1 + fw)),
             ((x2, y2), (x1, y2), (x1 + fw, y2 - fw), (x2 - fw, y2 - fw)),
             ((x1, y2), (x1, y1), (x1 + fw, y1 + fw), (x1 + fw, y2 - fw)))
    for (a, b, c, d), tone in zip(sides, (1.0, 0.7, 0.55, 0.85)):
        xs, ys = [p[0] for p in (a, b, c, d)], [p[1] for p in (a, b, c, d)]
        vertical = max(xs) - min(xs) < max(ys) - min(ys)
        if vertical:
            fill = hgrad(min(xs), max(xs), (0, shade("#c99a3a", tone)), (0.35, shade("#fff0b8", tone)),
                         (0.6, shade("#a9771f", tone)), (1, shade("#6b4a12", tone)))
        else:
            fill = vgrad(min(ys), max(ys), (0, shade("#c99a3a", tone)), (0.35, shade("#fff0b8", tone)),
                         (0.6, shade("#a9771f", tone)), (1, shade("#6b4a12", tone)))
        cv.poly([a, b, c, d], fill)
    cv.rect(fx - 6, fy - 6, fx + pw + 6, fy + ph + 6, "#3a2a10")
    cv.image(pic_file, fx, fy)
    cv.rect(fx, fy, fx + pw, fy + ph, "none", stroke="#000000", width=6, opacity=0.35, blur=4)
    # The brass plate under the picture.
    cv.rrect(w / 2 - 110, y2 + 34, w / 2 + 110, y2 + 84, 4, vgrad(y2 + 34, y2 + 84, *GOLD), stroke="#5a3a08")
    cv.text(0, y2 + 40, "Evening on the Hill Road", "serif-italic", 17, "#3a2606", gravity="North")
    cv.text(0, y2 + 62, "oil on canvas", "serif", 12, "#3a2606", gravity="North")
    photo_label(cv, "Painter Portfolio", "JA 001")
    finish_photo(cv, seed=1)
    cv.save(out, *jpeg_args(82))



def make_museum_poster(out, work):
    """A travel-style poster for the museum: sunburst, portico and the car."""
    w, h = 1024, 768
    navy, cream, orange, red = "#1d2b4f", "#f1e4c6", "#e5893a", "#b8382c"
    cv = Canvas(w, h, work, "poster", bg=cream)
    cx, cy = 512, 470
    cv.rect(28, 28, w - 28, h - 28, orange)
    for k in range(36):  # the sunburst
        a1, a2 = math.radians(k * 10), math.radians(k * 10 + 5)
        if k % 2 == 0:
            cv.poly([(cx, cy), (cx + 1400 * math.cos(a1), cy + 1400 * math.sin(a1)),
                     (cx + 1400 * math.cos(a2), cy + 1400 * math.sin(a2))], "#f0a554")
    cv.circle(cx, cy, 150, "#f6c66e")
    # The poster's own border, which also trims the rays.
    cv.draw("path 'M 0,0 L %d,0 L %d,%d L 0,%d Z M 28,28 L 28,%d L %d,%d L %d,28 Z'"
            % (w, w, h, h, h - 28, w - 28, h - 28, w - 28), cream)
    cv.rect(40, 40, w - 40, h - 40, "none", stroke=navy, width=4)
    # Title block.
    cv.rect(40, 40, w - 40, 196, navy)
    cv.text(0, 56, "THE  NATIONAL", "gothic", 30, cream, gravity="North", kerning=10)
    cv.text(0, 92, "SALVANTO MUSEUM", "gothic", 78, "#f6c66e", gravity="North", kerning=4)
    # The portico: steps, columns, pediment.
    base_y = 600
    cv.poly([(262, 330), (762, 330), (512, 232)], red, stroke=navy, width=4)
    cv.poly([(312, 318), (712, 318), (512, 250)], "#d9574a")
    cv.rect(262, 330, 762, 352, navy)
    for i in range(6):
        x = 292 + i * 88
        cv.rect(x, 352, x + 36, base_y - 40, hgrad(x, x + 36, (0, "#e9dcc0"), (0.4, "#fffaf0"), (1, "#c9b894")))
        cv.rect(x - 6, 352, x + 42, 362, cream)
        cv.rect(x - 6, base_y - 50, x + 42, base_y - 40, cream)
    cv.rect(240, base_y - 40, 784, base_y - 26, navy)
    cv.rect(220, base_y - 26, 804, base_y - 13, "#2c3d66")
    cv.rect(200, base_y - 13, 824, base_y, "#3a4e7c")
    cv.rect(40, base_y, w - 40, h - 40, navy)
    # The car in front, in flat poster colours.
    poster_car = {"top": red, "shoulder": "#e4685a", "flank": red, "lower": red, "sill": "#7a1f18",
                  "glass": ("#f6c66e", "#e5893a"), "trim": cream}
    draw_car_side(cv, 250, 676 - 100 * 1.3, 1.3, poster_car, ground="#0a1020")
    cv.text(0, 60, "OPEN DAILY  -  TEN TILL SIX  -  ONE HUNDRED YEARS OF MOTORING", "gothic", 20, cream,
            gravity="South", kerning=3)
    photo_label(cv, "The National Salvanto Museum", "MN 002")
    finish_photo(cv, grain=0.7, vignette=0.12, seed=2)
    cv.save(out, *jpeg_args(84))

