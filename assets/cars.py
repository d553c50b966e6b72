"""The cars of the asset pictures: a GT coupe (or its roadster sister) in
profile and a coupe seen head-on, drawn on a Canvas.
"""

import math

from canvas import fmt, hgrad, lgrad, rgrad, shade, vgrad

# ------------------------------------------------------------ car drawing ---

def arc_points(cx, cy, r, a0, a1, n=18):
    """Points on a circle from angle a0 to a1 (degrees, y down)."""
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


class Xf:
    """Maps the car's drawing units (nose at x=0, ground at y=100) to pixels."""

    def __init__(self, x0, y0, s, flip=False):
        self.x0, self.y0, self.s, self.flip = x0, y0, s, flip

    def __call__(self, x, y):
        if self.flip:
            x = 400 - x
        return (self.x0 + x * self.s, self.y0 + y * self.s)

    def d(self, cmds):
        """An SVG path from [('M', x, y), ('C', x1, y1, x2, y2, x, y), ...]."""
        out = []
        for c in cmds:
            op, nums = c[0], c[1:]
            xy = []
            for i in range(0, len(nums), 2):
                xy.append("%s,%s" % tuple(map(fmt, self(nums[i], nums[i + 1]))))
            out.append(op + " " + " ".join(xy) if xy else op)
        return " ".join(out)

    def pl(self, points):
        return [self(x, y) for x, y in points]


WHEELS = (78.0, 318.0)
WHEEL_Y = 76.0
TYRE_R = 24.0
ARCH_R = 28.5
SILL_Y = 86.0


def body_outline(roadster=False):
    """The car's side silhouette as path commands, wheel arches cut out."""
    cmds = [("M", 14, 84), ("C", 5, 82, 2, 72, 3, 64), ("C", 4, 57, 10, 52, 30, 50), ("L", 128, 45)]
    if roadster:
        # No roof: the rear deck runs straight back from the cockpit.
        cmds += [("L", 300, 43.5), ("C", 340, 43.5, 382, 46, 392, 50), ("C", 396, 52, 397, 54, 397, 57)]
    else:
        cmds += [("C", 150, 43, 166, 30, 186, 21), ("C", 202, 14, 240, 13, 262, 16),
                 ("C", 292, 20, 330, 36, 360, 44), ("C", 380, 47, 392, 50, 396, 56)]
    cmds.append(("C", 398, 64, 398, 76, 394, 84))
    for cx in (WHEELS[1], WHEELS[0]):
        dx = math.sqrt(ARCH_R ** 2 - (SILL_Y - WHEEL_Y) ** 2)
        a = math.degrees(math.atan2(SILL_Y - WHEEL_Y, dx))
        cmds.append(("L", cx + dx, SILL_Y))
        for x, y in arc_points(cx, WHEEL_Y, ARCH_R, a, 180 - a - 360, 20)[1:]:
            cmds.append(("L", x, y))
    cmds += [("L", 14, 84), ("Z",)]
    return cmds


def draw_wheel(cv, cx, cy, s, rim_light="#e8ebee", rim_dark="#8a9097", spokes=12, whitewall=False):
    """Tyre, polished rim and spokes at pixel centre (cx, cy), s px per unit."""
    cv.circle(cx, cy, TYRE_R * s, rgrad(cx - 4 * s, cy - 6 * s, TYRE_R * s * 1.1, TYRE_R * s * 1.1,
                                        (0, "#3a3b3e"), (0.75, "#1c1d20"), (1, "#08080a")))
    if whitewall:
        cv.circle(cx, cy, 20.5 * s, "#f1eee6")
        cv.circle(cx, cy, 17.5 * s, "#2a2b2e")
    else:
        cv.circle(cx, cy, 16.5 * s, "#2a2b2e")
    cv.circle(cx, cy, 15 * s, lgrad(cx - 15 * s, cy - 15 * s, cx + 15 * s, cy + 15 * s,
                                    (0, rim_light), (0.5, rim_dark), (1, rim_light)))
    cv.circle(cx, cy, 12.5 * s, shade(rim_dark, 0.8))
    for i in range(spokes):
        a = math.radians(i * 360.0 / spokes + 8)
        cv.line(cx + math.cos(a) * 2.5 * s, cy + math.sin(a) * 2.5 * s,
                cx + math.cos(a) * 12.5 * s, cy + math.sin(a) * 12.5 * s, rim_light, width=max(1.0, 1.3 * s))
    cv.circle(cx, cy, 4 * s, rgrad(cx - s, cy - s, 4 * s, 4 * s, (0, "#ffffff"), (1, rim_dark)))
    cv.circle(cx, cy, 1.4 * s, "#3a3d42")


def draw_greenhouse(cv, t, s, paint, yy):
    """Side glass, pillars and chrome surround of the coupe."""
    # The glass reflects a bright sky at the top, fading to the dark cabin.
    glass = [("M", 148, 43.5), ("C", 164, 33, 176, 25, 190, 21), ("C", 206, 17, 236, 16.5, 258, 18.5),
             ("C", 282, 22, 306, 31, 324, 41.5), ("L", 148, 43.5), ("Z",)]
    cv.path(t.d(glass), vgrad(yy(0.05), yy(0.42), (0, paint["glass"][0]), (1, paint["glass"][1])))
    streak = [("M", 175, 42), ("L", 200, 19), ("L", 214, 18), ("L", 190, 42), ("Z",)]
    cv.path(t.d(streak), "#ffffff", opacity=0.18)
    streak2 = [("M", 276, 42), ("L", 290, 24), ("L", 296, 26), ("L", 284, 42), ("Z",)]
    cv.path(t.d(streak2), "#ffffff", opacity=0.14)
    cv.poly(t.pl([(250, 17.5), (258, 18.2), (258, 43), (250, 43)]), shade(paint["top"], 0.82))
    cv.path(t.d(glass), "none", stroke=paint.get("trim", "#d9dde2"), width=max(1.0, 1.1 * s))


def draw_cockpit(cv, t, s, paint, yy):
    """The open car's raked windscreen, steering wheel and headrests."""
    leather = paint.get("leather", "#5a3422")
    cv.path(t.d([("M", 150, 44.5), ("C", 190, 41, 270, 41, 292, 44), ("Z",)]), shade(leather, 0.6))
    for hx in (214, 262):
        cv.path(t.d([("M", hx - 9, 44), ("C", hx - 9, 34, hx - 6, 31, hx, 31), ("C", hx + 6, 31, hx + 9, 34,
                                                                                  hx + 9, 44), ("Z",)]),
                vgrad(yy(0.22), yy(0.42), (0, shade(leather, 1.25)), (1, leather)))
    cv.path(t.d([("M", 182, 43), ("L", 192, 33)]), "none", stroke="#1b1b1d", width=max(1.0, 2.4 * s))
    screen = [("M", 140, 44.5), ("L", 160, 25), ("L", 165, 25), ("L", 150, 44.5), ("Z",)]
    cv.path(t.d(screen), vgrad(yy(0.15), yy(0.43), (0, paint["glass"][0]), (1, shade(paint["glass"][0], 0.7))),
            opacity=0.8)
    cv.path(t.d(screen), "none", stroke=paint.get("trim", "#d9dde2"), width=max(1.0, 1.2 * s))


def draw_car_side(cv, x0, y0, s, paint, flip=False, shadow=True, ground="#000000", roadster=False,
                  whitewall=False):
    """A long-bonneted GT coupe (or its open roadster sister) in profile.

    paint: dict with body stops 'top', 'shoulder', 'flank', 'lower', 'sill' and
    'glass'. (x0, y0) is where the car's unit box starts; it spans 400 × 100
    units, s pixels each, ground line at y0 + 100 s.
    """
    t = Xf(x0, y0, s, flip)
    if shadow:
        gx, gy = t(200, 100)
        cv.ellipse(gx, gy, 215 * s, 9 * s, ground, opacity=0.55, blur=6 * s)
        for cx in WHEELS:
            wx, wy = t(cx, 100)
            cv.ellipse(wx, wy, 26 * s, 3.5 * s, ground, opacity=0.7, blur=2.5 * s)
    # Wheel wells, then the tyres, then the body over them.
    for cx in WHEELS:
        dx = math.sqrt(ARCH_R ** 2 - (SILL_Y - WHEEL_Y) ** 2)
        a = math.degrees(math.atan2(SILL_Y - WHEEL_Y, dx))
        well = arc_points(cx, WHEEL_Y, ARCH_R, a, 180 - a - 360, 20)
        cv.poly(t.pl(well), "#0b0b0c")
    for cx in WHEELS:
        wx, wy = t(cx, WHEEL_Y)
        draw_wheel(cv, wx, wy, s, whitewall=whitewall)
    _, ytop = t(0, 13)
    _, ybot = t(0, 86)

    def yy(u):
        return ytop + (ybot - ytop) * u

    cv.path(t.d(body_outline(roadster)), vgrad(ytop, ybot, (0, paint["top"]), (0.36, paint["shoulder"]),
                                       (0.43, paint["flank"]), (0.72, paint["lower"]), (1, paint["sill"])))
    if roadster:
        draw_cockpit(cv, t, s, paint, yy)
    else:
        draw_greenhouse(cv, t, s, paint, yy)
    # Door shut lines and handle.
    cv.path(t.d([("M", 160, 46), ("C", 156, 60, 156, 74, 160, 85)]), "none",
            stroke=shade(paint["flank"], 0.55), width=max(1.0, 0.9 * s))
    cv.path(t.d([("M", 254, 44), ("C", 257, 60, 257, 74, 254, 85)]), "none",
            stroke=shade(paint["flank"], 0.55), width=max(1.0, 0.9 * s))
    hx, hy = t(232, 50)
    cv.rrect(hx, hy, hx + 13 * s, hy + 2.6 * s, 1.2 * s,
             vgrad(hy, hy + 2.6 * s, (0, "#ffffff"), (1, "#7d838a")))
    # Shoulder highlight, a crisp reflection line along the body side.
    cv.path(t.d([("M", 22, 51.5), ("L", 128, 46.5), ("L", 360, 46), ("C", 376, 48, 388, 51, 393, 57)]),
            "none", stroke="#ffffff", width=max(1.0, 1.2 * s), opacity=0.55)
    # Chrome sill strip between the arches.
    a, b = t(108, 82), t(288, 82)
    cv.line(a[0], a[1], b[0], b[1], "#f2f4f6", width=max(1.0, 1.6 * s))
    # Bumpers, lamps.
    cv.path(t.d([("M", 4, 70), ("C", 5, 76, 8, 80, 16, 81), ("L", 36, 81), ("L", 36, 78), ("L", 16, 78),
                 ("C", 10, 77, 7, 74, 6, 70), ("Z",)]), vgrad(t(0, 70)[1], t(0, 81)[1], (0, "#ffffff"),
                                                             (1, "#70767d")))
    cv.path(t.d([("M", 396, 72), ("C", 396, 78, 392, 81, 384, 81.5), ("L", 362, 81.5), ("L", 362, 78.5),
                 ("L", 384, 78.5), ("C", 390, 78, 393, 76, 394, 72), ("Z",)]),
            vgrad(t(0, 72)[1], t(0, 81.5)[1], (0, "#ffffff"), (1, "#70767d")))
    lx, ly = t(9, 60)
    cv.ellipse(lx, ly, 5.5 * s, 4.2 * s, rgrad(lx - 1.5 * s, ly - 1.5 * s, 6 * s, 5 * s,
                                               (0, "#ffffff"), (0.6, "#f3efd8"), (1, "#9a9686")))
    cv.ellipse(lx + 3 * s, ly + 8 * s, 3 * s, 1.6 * s, "#f2a33a")
    rx, ry = t(394, 60)
    cv.ellipse(rx, ry, 2.6 * s, 4.6 * s, rgrad(rx, ry - s, 3 * s, 5 * s, (0, "#ff6a55"), (1, "#a0110c")))
    # Mirror on the door.
    cv.path(t.d([("M", 160, 44), ("L", 164, 38.5), ("C", 166, 36.5, 172, 36.5, 173, 38.5), ("L", 171, 44),
                 ("Z",)]), vgrad(t(0, 37)[1], t(0, 44)[1], (0, paint["shoulder"]), (1, paint["flank"])))


SILVER = {"top": "#c9ced3", "shoulder": "#f6f7f8", "flank": "#9ba2aa", "lower": "#d4d8dc",
          "sill": "#5c6268", "glass": ("#8d9fb2", "#1d2530")}


def draw_car_front(cv, cx, gy, s, body=("#f0625a", "#c8161c", "#7e0b10"), glass=("#9fb6cf", "#1c2636"),
                   shadow="#000000"):
    """A coupe seen head-on; units: 200 wide, ground at 0, roof at -124."""
    def P(x, y):
        return (cx + x * s, gy + y * s)

    def d(cmds):
        out = []
        for c in cmds:
            xy = ["%s,%s" % tuple(map(fmt, P(c[i], c[i + 1]))) for i in range(1, len(c), 2)]
            out.append(c[0] + " " + " ".join(xy) if xy else c[0])
        return " ".join(out)

    light, mid, dark = body
    sx, sy = P(0, 0)
    cv.ellipse(sx, sy, 118 * s, 9 * s, shadow, opacity=0.6, blur=5 * s)
    # Tyres show below the body.
    for side in (-1, 1):
        x1, y1 = P(side * 66 - 16, -40)
        x2, y2 = P(side * 66 + 16, 0)
        cv.rrect(min(x1, x2), y1, max(x1, x2), y2, 5 * s, hgrad(min(x1, x2), max(x1, x2), (0, "#121214"),
                                                             (0.45, "#3a3b40"), (1, "#0d0d0f")))
    # Greenhouse: roof and pillars in body colour, windscreen inside.
    cv.path(d([("M", -74, -68), ("L", -56, -116), ("C", -52, -124, -40, -125, 0, -125),
               ("C", 40, -125, 52, -124, 56, -116), ("L", 74, -68), ("Z",)]),
            vgrad(P(0, -125)[1], P(0, -68)[1], (0, light), (0.3, mid), (1, dark)))
    cv.path(d([("M", -64, -70), ("L", -49, -112), ("C", -46, -116, -36, -117, 0, -117),
               ("C", 36, -117, 46, -116, 49, -112), ("L", 64, -70), ("Z",)]),
            vgrad(P(0, -117)[1], P(0, -70)[1], (0, glass[0]), (0.55, glass[1]), (1, shade(glass[1], 0.8))))
    cv.path(d([("M", -30, -70), ("L", -6, -116), ("L", 8, -116), ("L", -16, -70), ("Z",)]), "#ffffff",
            opacity=0.22)
    cv.path(d([("M", -6, -70), ("L", 14, -116), ("L", 19, -116), ("L", -1, -70), ("Z",)]), "#ffffff",
            opacity=0.15)
    # Mirrors.
    for side in (-1, 1):
        cv.path(d([("M", side * 74, -74), ("L", side * 86, -80), ("C", side * 96, -82, side * 99, -76, side * 97,
                                                                      -71),
                   ("L", side * 76, -69), ("Z",)]), vgrad(P(0, -82)[1], P(0, -69)[1], (0, light), (1, dark)))
    # Main body: fenders, bonnet and the front face.
    cv.path(d([("M", -92, -14), ("C", -99, -15, -101, -20, -101, -28), ("L", -100, -58),
               ("C", -99, -66, -94, -70, -84, -71), ("L", 84, -71), ("C", 94, -70, 99, -66, 100, -58),
               ("L", 101, -28), ("C", 101, -20, 99, -15, 92, -14), ("Z",)]),
            vgrad(P(0, -71)[1], P(0, -14)[1], (0, light), (0.18, mid), (0.7, mid), (1, dark)))
    cv.path(d([("M", -96, -62), ("C", -60, -69, 60, -69, 96, -62)]), "none", stroke=shade(light, 1.35),
            width=max(1, 1.6 * s), opacity=0.8)
    # Headlights in chrome bezels.
    for side in (-1, 1):
        hx, hy = P(side * 74, -47)
        cv.circle(hx, hy, 14 * s, lgrad(hx - 14 * s, hy - 14 * s, hx + 14 * s, hy + 14 * s,
                                        (0, "#ffffff"), (0.5, "#8e949b"), (1, "#e9ecef")))
        cv.circle(hx, hy, 11 * s, rgrad(hx - 3 * s, hy - 4 * s, 12 * s, 12 * s, (0, "#ffffff"),
                                        (0.45, "#fff3c4"), (1, "#b9a969")))
        cv.circle(hx - 3.5 * s, hy - 4 * s, 3 * s, "#ffffff")
        tx, ty = P(side * 74, -29)
        cv.rrect(tx - 9 * s, ty - 3 * s, tx + 9 * s, ty + 3 * s, 2 * s, "#ff9a1f")
    # Grille: chrome surround, dark slots.
    gx1, gy1 = P(-36, -60)
    gx2, gy2 = P(36, -32)
    cv.rrect(gx1, gy1, gx2, gy2, 6 * s, vgrad(gy1, gy2, (0, "#ffffff"), (0.5, "#9aa0a7"), (1, "#e3e6e9")))
    cv.rrect(gx1 + 3 * s, gy1 + 3 * s, gx2 - 3 * s, gy2 - 3 * s, 4 * s, "#17181b")
    for i in range(1, 5):
        yb = gy1 + 3 * s + i * (gy2 - gy1 - 6 * s) / 5.0
        cv.line(gx1 + 4 * s, yb, gx2 - 4 * s, yb, "#8d939a", width=max(1, 1.4 * s))
    bx, by = P(0, -66)
    cv.ellipse(bx, by, 6 * s, 3.5 * s, vgrad(by - 3.5 * s, by + 3.5 * s, (0, "#fff4c0"), (1, "#b08a2c")))
    # Bumper and number plate.
    b1 = P(-100, -24)
    b2 = P(100, -16)
    cv.rrect(b1[0], b1[1], b2[0], b2[1], 4 * s, vgrad(b1[1], b2[1], (0, "#ffffff"), (0.55, "#a4aab1"),
                                                      (1, "#5d6369")))
    p1, p2 = P(-22, -20), P(22, -8)
    cv.rect(p1[0], p1[1], p2[0], p2[1], "#f4f1e6", stroke="#303030", width=max(1, 0.8 * s))
    for i in range(5):
        x = P(-16 + i * 8, 0)[0]
        cv.rect(x, p1[1] + 3 * s, x + 4 * s, p2[1] - 3 * s, "#2b2b33")

