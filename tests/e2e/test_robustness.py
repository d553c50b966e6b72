"""A hostile collection, end to end: empty, truncated, mislabelled, damaged
and absurdly large pictures, a photo deleted after the listing began,
entries that must never be listed (a folder named like a photo, hidden and
system files, a dot file), names outside ASCII and names of 200 characters,
among good photos of five formats. Over two full passes the program never
ends or hangs, each bad file brings exactly the failure box, each good photo
is shown with its caption, and a failure leaves the previous photo up."""

import os
from pathlib import Path

import harness
import photos
from harness import SlideshowWatch, raw_clock
from photos import BAD, BLUE, CYAN, GREEN, MAGENTA, ORANGE, RED, WHITE, YELLOW, Photo

INTERVAL = 1.0


def make_collection(folder: Path) -> tuple[dict[str, Photo], list[str], dict[str, str]]:
    """Fills folder and returns the good photos (name: photo), the bad files
    (names), and the entries that must never be listed, each with the
    attribute that keeps it out ("+h", "+s"; "" for a folder or a dot file,
    which need none)."""
    good = {
        "SALVAS_JA_red.JPG": (Photo("Painter Portfolio ", RED), ""),
        "SALVAS_ZY_green.PNG": (Photo("Salvanto Coin ", GREEN), "PNG24:"),
        "SALVAS_57_blue.BMP": (Photo("  1957 Salvanto   ", BLUE), "BMP3:"),
        "SALVAS_C5_été à Noël.GIF": (Photo("Fifth Series Emblem ", YELLOW), ""),
        "SALVAS_GT_日本の写真.TIF": (Photo("GTR Roadster ", MAGENTA), ""),
        photos.long_name(folder, "SALVAS_TF_", "end.JPG"): (Photo("Die-cast Models ", CYAN), ""),
        "SALVAS_TX_deleted.JPG": (Photo("Salvanto Holiday Cards ", WHITE), ""),
    }
    for name, (photo, kind) in good.items():
        photos.solid(folder / name, photo.colour, kind=kind)
    bad = {
        "SALVAS_QQ_empty.JPG": photos.empty_file,
        "SALVAS_DP_truncated.JPG": photos.truncated_jpeg,
        "SALVAS_MS_text.JPG": photos.text_file,
        "SALVAS_EM_rle8.BMP": photos.rle8_corrupt,
        "SALVAS_99_60000x60000.JPG": lambda p: photos.jpeg_claiming(p, 60000, 60000),
        "SALVAS_AZ_100000x1.PNG": lambda p: photos.png_claiming(p, 100000, 1, right_crc=True),
        "SALVAS_BC_100000x1_bad_crc.PNG": lambda p: photos.png_claiming(p, 100000, 1, right_crc=False),
    }
    for name, make in bad.items():
        make(folder / name)
    # Never listed: ordinary files only. Orange, so that one shown would stand out.
    (folder / "SALVAS_CA_folder.jpg").mkdir()
    photos.solid(folder / "SALVAS_CA_folder.jpg" / "SALVAS_CA_inside.JPG", ORANGE)
    for name in ["SALVAS_CC_hidden.JPG", "SALVAS_CV_system.JPG", ".SALVAS_DR_dot_file.JPG"]:
        photos.solid(folder / name, ORANGE)
    return ({name: photo for name, (photo, _) in good.items()}, list(bad),
            {"SALVAS_CC_hidden.JPG": "+h", "SALVAS_CV_system.JPG": "+s", "SALVAS_CA_folder.jpg": "",
             ".SALVAS_DR_dot_file.JPG": ""})


class HostileCollection(harness.SessionTestCase):
    def test_two_passes_over_bad_files_among_good_photos(self):
        folder = photos.private_folder(self)
        good, bad, unlisted = make_collection(folder)
        photo_dir = photos.wine_dir(folder)
        deleted = "SALVAS_TX_deleted.JPG"

        with self.session(settings={"Interval": "1", "SalvantosDir": photo_dir}) as s:
            for name, flag in unlisted.items():
                if flag:
                    s.run_wine("attrib", flag, s.wine_path(folder / name))
                    self.assertTrue(os.getxattr(folder / name, "user.DOSATTRIB"), f"attrib {flag} {name}: no effect")
            # The damaged bitmap is the platform decoder's to judge: a decoder
            # that reads what it can of the runs makes a picture of it.
            bare = s.run_wine(str(s.build / "photo_probe.exe"), "decodes", s.wine_path(folder / "SALVAS_EM_rle8.BMP"))
            rle = Photo("Salvanto Emblems ", None) if bare.returncode == 0 else BAD
            harness.log(f"damaged RLE8 bitmap: the platform decoder {'reads' if rle.caption else 'refuses'} it")

            verdict = dict(good)
            verdict.update({name: BAD for name in bad})
            verdict["SALVAS_EM_rle8.BMP"] = rle
            order = photos.listing_order(s, photo_dir)
            harness.log(f"listing order: {order}")
            self.assertEqual(sorted(order), sorted(verdict), "exactly the ordinary files are listed")
            self.assertIsNotNone(verdict[order[0]].caption,
                                 "the corpus's names are meant to put a good photo first in the listing")
            self.assertGreaterEqual(order.index(deleted), 3, "the photo to delete comes late in the listing")

            # The deleted photo is still in the first pass's listing (it was
            # read before the file went), so its turn fails; the second pass
            # no longer lists it. A third pass begins, to close the second.
            first_pass = [(n, BAD if n == deleted else verdict[n]) for n in order]
            second_pass = [(n, verdict[n]) for n in order if n != deleted]
            ticks = len(first_pass) + 2 + len(second_pass) + 2 + 1
            outcomes = photos.tick_outcomes([first_pass, second_pass], ticks)
            expected = photos.expected_events(outcomes)

            watch = SlideshowWatch(s, 120)
            scr = s.start_scr("/s")
            watch.wait_for(lambda st: st["form"], 20, "Form1 on screen", process=scr)
            left, top, right, bottom = s.wait_until(lambda: s.find_windows(name="Image1"), 10, "Image1")[0]["rect"]
            corner = (left + 12, top + 12)  # clear of the box, which stands in the middle
            state = {"deleted_at": None, "shots": set()}

            def delete_after_third_tick(sample, pixels):
                events = photos.Timeline(watch.states()).events()
                # The first photo's caption comes on tick 1; tick 3 starts the
                # listing for the last time in this pass.
                if state["deleted_at"] is None and events and raw_clock() >= events[0][0] + 2.5 * INTERVAL:
                    (folder / deleted).unlink()
                    state["deleted_at"] = raw_clock()
                    harness.log(f"deleted {deleted}")

            def shoot(index, event):
                label = "box" if event[1] == "box" else event[2].strip()
                if label not in state["shots"] and label in {"box", "GTR Roadster", "Fifth Series Emblem",
                                                             "Die-cast Models", "Salvanto Emblems"}:
                    state["shots"].add(label)
                    s.screenshot(f"{index:02d}-{label}")

            course = photos.follow_show(s, scr, watch, expected, corner, INTERVAL, dismiss="click",
                                        on_event=shoot, on_sample=delete_after_third_tick)
            self.assertIsNotNone(state["deleted_at"])
            self.assertTrue(scr.running, f"ended with {scr.exit_code}")
            boxes = sum(1 for kind, _ in expected if kind == "box")
            harness.log(f"{ticks} ticks followed: {len(expected)} changes, {boxes} failure boxes, "
                        f"{len(course.samples)} looks at Image1")
            self.assertEqual(course.boxes_dismissed, boxes)
            self.assertEqual(course.timeline.most_boxes_at_once(), 1)

            colour_of = {photo.caption: photo.colour for photo in verdict.values() if photo.caption}
            palette = [RED, GREEN, BLUE, YELLOW, MAGENTA, CYAN, WHITE, ORANGE]
            self.assertEqual(photos.colour_mismatches(course.samples, course.timeline, colour_of, palette), [])
            # While each box is up, the photo and caption from before it stay.
            spans = course.timeline.box_open_spans()
            during = [x for x in course.samples if any(a <= x.t0 and x.t1 <= b for a, b in spans)]
            self.assertGreaterEqual(len(during), boxes // 2, "too few looks at Image1 while a box was up")
            for a, b in spans:
                self.assertEqual(course.timeline.captions_between(a, b),
                                 course.timeline.captions_between(a - 0.05, a - 0.05))


if __name__ == "__main__":
    harness.main()
