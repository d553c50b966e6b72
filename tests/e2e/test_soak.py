"""Soak: 3,000 ticks of the real photo show (the Win32 listing, the WIC
loader with our resampler, Image1 and panYear painted in a window on the
session's display) over a mixed collection of good photos in six formats
and bad files, driven by `photo_probe soak-figures` as fast as it goes.
The working set, private bytes, kernel handles and GDI objects are sampled
every 500 ticks; after the first thousand (the warm-up: DLLs, decoders,
caches) none of them may keep growing. The figures are printed for the
record. The benchmark's soak (bench/run.sh) runs 10,000 ticks."""

import json
import os
import shutil
import time

import harness
import photos
from photos import BLUE, CYAN, GREEN, MAGENTA, RED, YELLOW

# SOAK_TICKS and SOAK_EVERY change a run by hand; the test command uses the defaults.
TICKS = int(os.environ.get("SOAK_TICKS", 3_000))
EVERY = int(os.environ.get("SOAK_EVERY", 500))
WARM_UP = 1_000
MB = 1024 * 1024
# What may come and go between samples without being a leak: allocator and
# working-set noise. A leak of one bitmap of Image1's size (777 x 473 x 4
# bytes, 1.4 MB) per photo would add gigabytes over the 2,000 ticks after the
# warm-up; one GDI object or handle per tick would add thousands.
LIMITS = {"working_set": 8 * MB, "private_bytes": 8 * MB, "handles": 8, "fds": 8, "gdi": 4}
# The soak runs as fast as the machine lets it: about 40 s beside other
# tests on two cores, several times that when the cores are shared further.
# So the wait is not for a total time but for progress: a run that has
# printed no sample for this long is hung, whatever the machine's load.
STALL_S = 120


def make_soak_collection(folder) -> dict[str, str]:
    """Good photos of several formats and sizes, bad files, and entries
    that are never listed; returns name: what it is."""
    made = {
        "SALVAS_JA_small.JPG": photos.solid(folder / "SALVAS_JA_small.JPG", RED, (320, 240)),
        "SALVAS_57_photo.JPG": photos.noisy_jpeg(folder / "SALVAS_57_photo.JPG", (1024, 768), seed=3),
        "SALVAS_ZY_green.PNG": photos.solid(folder / "SALVAS_ZY_green.PNG", GREEN, (640, 480), "PNG24:"),
        "SALVAS_C5_yellow.GIF": photos.solid(folder / "SALVAS_C5_yellow.GIF", YELLOW, (320, 240)),
        "SALVAS_GT_magenta.TIF": photos.solid(folder / "SALVAS_GT_magenta.TIF", MAGENTA, (320, 240)),
        "SALVAS_TF_blue.BMP": photos.solid(folder / "SALVAS_TF_blue.BMP", BLUE, (640, 480), "BMP3:"),
        "SALVAS_02_été_日本.JPG": photos.solid(folder / "SALVAS_02_été_日本.JPG", CYAN, (200, 150)),
    }
    shutil.copy(harness.SOURCE_DIR / "assets" / "sample_photo.bmp", folder / "SALVAS_MS_rle8.BMP")
    made["SALVAS_MS_rle8.BMP"] = folder / "SALVAS_MS_rle8.BMP"
    bad = {
        "SALVAS_QQ_empty.JPG": photos.empty_file,
        "SALVAS_DP_truncated.JPG": photos.truncated_jpeg,
        "SALVAS_TX_text.JPG": photos.text_file,
        "SALVAS_EM_damaged.BMP": photos.rle8_corrupt,
        "SALVAS_99_huge.JPG": lambda p: photos.jpeg_claiming(p, 60000, 60000),
        "SALVAS_AZ_wide.PNG": lambda p: photos.png_claiming(p, 100000, 1, right_crc=True),
    }
    for name, make in bad.items():
        make(folder / name)
    (folder / "SALVAS_CA_folder.jpg").mkdir()
    photos.solid(folder / ".SALVAS_CC_dot.JPG", RED, (64, 48))
    return {**{name: "good" for name in made}, **{name: "bad" for name in bad}}


def samples(probe: harness.Process) -> list[dict]:
    """The sample lines printed so far (a line still being written is left for later)."""
    text = probe.output()
    return [json.loads(line) for line in text[: text.rfind("\n") + 1].splitlines() if line.startswith("{")]


def wait_while_progressing(probe: harness.Process) -> int:
    """The probe's exit code, waiting as long as a new sample comes at least
    every STALL_S seconds."""
    seen, last_progress = 0, time.monotonic()
    while True:
        try:
            return probe.wait(1.0)
        except TimeoutError:
            count = len(samples(probe))
            if count > seen:
                seen, last_progress = count, time.monotonic()
            elif time.monotonic() - last_progress > STALL_S:
                raise TimeoutError(f"photo_probe printed no sample for {STALL_S} s after {seen} of "
                                   f"{TICKS // EVERY + 1}: hung") from None


class Soak(harness.SessionTestCase):
    def test_three_thousand_ticks_leave_memory_handles_and_gdi_objects_flat(self):
        folder = photos.private_folder(self)
        collection = make_soak_collection(folder)
        with self.session() as s:
            listed = photos.listing_order(s, photos.wine_dir(folder))
            self.assertEqual(sorted(listed), sorted(collection))
            # The damaged bitmap is the platform decoder's to judge.
            bare = s.run_wine(str(s.build / "photo_probe.exe"), "decodes", s.wine_path(folder / "SALVAS_EM_damaged.BMP"))
            collection["SALVAS_EM_damaged.BMP"] = "good" if bare.returncode == 0 else "bad"
            probe = s.start_exe(s.build / "photo_probe.exe", "soak-figures", photos.wine_dir(folder),
                                str(TICKS), str(EVERY))
            code = wait_while_progressing(probe)
            lines = samples(probe)
            self.assertEqual(code, 0, probe.output()[-2000:])
            self.assertEqual([line["ticks"] for line in lines], list(range(0, TICKS + 1, EVERY)), lines[-1:])

            harness.log(f"soak over {len(listed)} listed entries ({sum(v == 'good' for v in collection.values())} "
                        f"good, {sum(v == 'bad' for v in collection.values())} bad); private bytes from "
                        f"{lines[0]['private_source']}, handles by {lines[0]['handles_source']}, GDI objects from "
                        f"{lines[0]['gdi_source']}")
            harness.log(f"{'ticks':>6} {'seconds':>8} {'ws MB':>8} {'priv MB':>8} {'handles':>8} {'fds':>5} "
                        f"{'gdi':>5} {'user':>5} {'boxes':>6}")
            for line in lines:
                harness.log(f"{line['ticks']:>6} {line['seconds']:>8.1f} {line['working_set'] / MB:>8.2f} "
                            f"{line['private_bytes'] / MB:>8.2f} {line['handles']:>8} {line['fds']:>5} "
                            f"{line['gdi']:>5} {line['user']:>5} {line['boxes']:>6}")
            harness.log(f"caption at the end: {lines[-1]['caption']!r}")

            # Each pass over the listing shows every bad file once and the
            # first file three times.
            per_pass = len(listed) + 2
            bad_first = collection[listed[0]] == "bad"
            bad_per_pass = sum(collection[n] == "bad" for n in listed) + (2 if bad_first else 0)
            self.assertAlmostEqual(lines[-1]["boxes"], TICKS / per_pass * bad_per_pass, delta=bad_per_pass + 3,
                                   msg="the failing ticks are as many as the bad files' turns")
            for figure in LIMITS:
                self.assertNotEqual(lines[-1][figure], 0, f"{figure} could not be counted")
            warm = next(line for line in lines if line["ticks"] >= WARM_UP)
            for figure, limit in LIMITS.items():
                values = [line[figure] for line in lines if line["ticks"] >= WARM_UP]
                with self.subTest(figure=figure):
                    self.assertLessEqual(max(values) - warm[figure], limit,
                                         f"{figure} grew after the warm-up: {values}")
                    self.assertLessEqual(values[-1] - warm[figure], limit, f"{figure}: {values}")


if __name__ == "__main__":
    harness.main()
