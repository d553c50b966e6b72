#!/usr/bin/env python3
"""Draws the screen saver's design-time pictures: the icon, the sample photo,
the title banner, the settings dialog's photo and the demo collection.

Everything is drawn from code so the pictures can be rebuilt byte for byte:
ImageMagick does the anti-aliased shapes, text, blurs and JPEG encoding.
canvas.py is the drawing library (colours, computed gradient fills, the
Canvas that builds one convert command per scene), cars.py draws the cars,
scenes.py lays out each picture, and encoders.py writes the two formats
ImageMagick cannot be trusted with (an 8-bit icon with a real AND mask and an
RLE8 bitmap that uses both encoded and absolute runs).

Usage: make_assets.py OUT_DIR WORK_DIR [OUTPUT_NAME...]
"""

import os
import sys

from scenes import (make_banner, make_coin, make_dialog_photo, make_emblem, make_icon, make_museum_poster,
                    make_painting, make_race_cars, make_roadster, make_sample_photo, make_trophy,
                    make_vintage_print)

BUILDS = [
    ("Salvanto2002.ico", make_icon),
    ("sample_photo.bmp", make_sample_photo),
    ("banner.jpg", make_banner),
    ("dialog_photo.jpg", make_dialog_photo),
    ("demo_collection/SALVAS_DR014.JPG", make_race_cars),
    ("demo_collection/SALVAS_GT007.JPG", make_roadster),
    ("demo_collection/SALVAS_EM003.JPG", make_emblem),
    ("demo_collection/SALVAS_ZY010.JPG", make_coin),
    ("demo_collection/SALVAS_02CUP.JPG", make_trophy),
    ("demo_collection/SALVAS_JA001.JPG", make_painting),
    ("demo_collection/SALVAS_MN002.JPG", make_museum_poster),
    ("demo_collection/SALVAS_57BEL.JPG", make_vintage_print),
]


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    out_dir, work = sys.argv[1], sys.argv[2]
    only = set(sys.argv[3:])  # build just these outputs while working on them
    os.makedirs(work, exist_ok=True)
    os.makedirs(os.path.join(out_dir, "demo_collection"), exist_ok=True)
    for name, build in BUILDS:
        if not only or name in only:
            build(os.path.join(out_dir, name), work)


if __name__ == "__main__":
    main()
