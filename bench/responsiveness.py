"""How the real program answers while photos load, under Wine on a private
virtual display (the end-to-end harness's sessions), for a collection of
48 MP JPEGs and one of 1 MP JPEGs, each shown with Interval 1:

  - key to exit: Salvanto2002.scr /s started afresh for each sample, a key
    at a random moment of its first two intervals, the time from the
    xdotool call to the end of the process (and how many keys came while
    a photo was being read);
  - UI stall per tick: WM_NULL round trips to Form1 every 10 ms for 8 s
    (`inspector pulse`), the longest in each second, i.e. in each tick;
  - tick to photo: the bench program's `ticks`, the real photo show in a
    window of its own, from the tick to its photo painted in Image1, and
    how much of that the user-interface thread spent.

Run by bench/run.sh:
  python3 bench/responsiveness.py --photo48 P48.jpg --photo1 P01.jpg --out build/bench
Options: --samples N (24), --scr PATH (another build's Salvanto2002.scr, for
a comparison; the inspector and the bench program stay this build's),
--baseline-scr PATH with --baseline-samples N (8): key to exit and UI stalls
also for an older build's Salvanto2002.scr, in columns of their own beside
this build's (fewer keys, to keep the run short).
"""

from __future__ import annotations

import argparse
import json
import os
import random
import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
PULSE_MS = 8000


def parse_args() -> argparse.Namespace:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--photo48", type=Path, required=True)
    parser.add_argument("--photo1", type=Path, required=True)
    parser.add_argument("--out", type=Path, default=ROOT / "build" / "bench")
    parser.add_argument("--samples", type=int, default=24)
    parser.add_argument("--ticks", type=int, default=8)
    parser.add_argument("--scr", type=Path)
    parser.add_argument("--baseline-scr", type=Path)
    parser.add_argument("--baseline-samples", type=int, default=8)
    parser.add_argument("--seed", type=int)
    return parser.parse_args()


ARGS = parse_args()
ARGS.out = ARGS.out.resolve()  # Wine wants an absolute WINEPREFIX
# The harness reads where things are from its environment: a template prefix
# and sessions of the benchmark's own, beside its photos.
os.environ.setdefault("SALVANTO_WIN_BUILD", str(ROOT / "build" / "windows"))
os.environ["SALVANTO_E2E_TEMPLATE"] = str(ARGS.out / "e2e-template")
os.environ["SALVANTO_E2E_OUT"] = str(ARGS.out / "e2e-out")
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import harness  # noqa: E402
import photos  # noqa: E402
from harness import files_held_open, wine_processes  # noqa: E402
from config import FORM1  # noqa: E402


def collection(photo: Path, name: str) -> Path:
    """The photo under three names, so that each tick loads it afresh."""
    folder = ARGS.out / "responsiveness" / name
    folder.mkdir(parents=True, exist_ok=True)
    for entry in ["SALVAS_JA1.JPG", "SALVAS_ZY2.JPG", "SALVAS_57X.JPG"]:
        target = folder / entry
        if not target.exists() or not target.samefile(photo):
            target.unlink(missing_ok=True)
            os.link(photo, target)
    return folder


def key_to_exit(s: harness.Session, folder: Path, rng: random.Random, samples: int) -> tuple[list[float], int]:
    """Seconds from each key to the end of the process; how many keys came
    while a photo was being read."""
    times, during_load = [], 0
    for _ in range(samples):
        scr = s.start_scr("/s")
        s.wait_for_window(FORM1, process=scr)
        time.sleep(rng.uniform(0.0, 2.0))  # the random moment: a benchmark, not a test
        during_load += bool(files_held_open(s, folder))
        start = time.monotonic()
        s.key("a")
        code = scr.wait(30)
        times.append(time.monotonic() - start)
        if code != 0:
            raise RuntimeError(f"exit code {code} after a key")
        s.wait_until(lambda: not wine_processes(s), 10, "the program gone")
    return times, during_load


def ui_stalls(s: harness.Session) -> list[float]:
    """The longest WM_NULL round trip to Form1 in each second (each tick) of
    PULSE_MS, in milliseconds."""
    scr = s.start_scr("/s")
    form = s.wait_for_window(FORM1, process=scr)
    pulse = s.start_exe(s.inspector_path, "pulse", str(form["hwnd"]), str(PULSE_MS), "10")
    pulse.wait(PULSE_MS / 1000 + 60)
    s.stop_scr(scr)
    samples = [json.loads(line) for line in pulse.output().splitlines() if line.startswith("{")]
    if not samples or not all(x["answered"] for x in samples):
        raise RuntimeError(f"Form1 did not answer every round trip: {samples[-3:]}")
    first = samples[0]["t"]
    per_second: dict[int, float] = {}
    for x in samples:
        second = int(x["t"] - first)
        per_second[second] = max(per_second.get(second, 0.0), x["ms"])
    return [per_second[k] for k in sorted(per_second)]


def tick_to_photo(s: harness.Session, folder: Path) -> tuple[list[float], list[float]]:
    result = s.run_wine(str(s.build / "salvanto_bench.exe"), "ticks", photos.wine_dir(folder), str(ARGS.ticks),
                        timeout=300)
    lines = [json.loads(line) for line in result.stdout.decode().splitlines() if line.startswith("{")]
    if result.returncode != 0 or len(lines) != ARGS.ticks or any(line.get("box") for line in lines):
        raise RuntimeError(f"salvanto_bench ticks failed ({result.returncode}): {lines}")
    return [line["to_photo_ms"] for line in lines], [line["ui_busy_ms"] for line in lines]


def measure(photo: Path, name: str, rng: random.Random, scr: Path | None = None, samples: int | None = None,
            ticks: bool = True) -> dict:
    """The figures for one collection; scr: another build's program (then
    no ticks: the bench program is this build's)."""
    folder = collection(photo, name)
    samples = ARGS.samples if samples is None else samples
    settings = {"Interval": "1", "SalvantosDir": photos.wine_dir(folder)}
    label = f"{name}{' (' + str(scr) + ')' if scr else ''}"
    with harness.Session(f"responsiveness-{name}", size=(1024, 768), settings=settings) as s:
        if scr:
            s.scr_path = scr
        print(f"  {label}: {samples} keys ...", flush=True)
        keys, during_load = key_to_exit(s, folder, rng, samples)
        print(f"  {label}: round trips to Form1 for {PULSE_MS / 1000:.0f} s ...", flush=True)
        stalls = ui_stalls(s)
        to_photo, busy = [], []
        if ticks and not scr:
            print(f"  {label}: {ARGS.ticks} ticks of the photo show ...", flush=True)
            to_photo, busy = tick_to_photo(s, folder)
    return {"keys": keys, "during_load": during_load, "stalls": stalls, "to_photo": to_photo, "busy": busy}


def ms(values: list[float], how, scale: float = 1.0) -> str:
    return f"{how(values) * scale:.0f}" if values else "-"


def main() -> int:
    seed = ARGS.seed if ARGS.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    for photo in (ARGS.photo1, ARGS.photo48):
        if not photo.is_file():
            raise SystemExit(f"{photo} is missing")
    results = {"1 MP": measure(ARGS.photo1, "1mp", rng, ARGS.scr),
               "48 MP": measure(ARGS.photo48, "48mp", rng, ARGS.scr)}
    small, big = results["1 MP"], results["48 MP"]
    columns = [("1 MP", small), ("48 MP", big)]
    if ARGS.baseline_scr:
        for label, photo, name in (("base 1 MP", ARGS.photo1, "1mp"), ("base 48 MP", ARGS.photo48, "48mp")):
            columns.append((label, measure(photo, name, rng, ARGS.baseline_scr, ARGS.baseline_samples)))

    rows = [
        ("key to exit, median (ms)", lambda r: ms(r["keys"], statistics.median, 1000), "48 MP <= 1 MP + 50"),
        ("key to exit, slowest (ms)", lambda r: ms(r["keys"], max, 1000), "48 MP <= 1 MP + 150"),
        ("keys while a photo was read", lambda r: f"{r['during_load']}/{len(r['keys'])}", ""),
        ("UI stall per tick, median (ms)", lambda r: ms(r["stalls"], statistics.median), ""),
        ("UI stall per tick, worst (ms)", lambda r: ms(r["stalls"], max), "< 30"),
        ("tick to photo, median (ms)", lambda r: ms(r["to_photo"], statistics.median), ""),
        ("tick to photo, slowest (ms)", lambda r: ms(r["to_photo"], max), ""),
        ("UI thread busy per tick, max (ms)", lambda r: ms(r["busy"], max), ""),
    ]
    print()
    print(f"Responsiveness under Wine 8, Interval 1, 1024 x 768, {ARGS.samples} keys per collection "
          f"(seed {seed}){'; program ' + str(ARGS.scr) if ARGS.scr else ''}")
    print(f"{'':36}" + "".join(f" {label:>10}" for label, _ in columns) + "   target")
    for label, cell, target in rows:
        print(f"{label:36}" + "".join(f" {cell(r):>10}" for _, r in columns) + f"   {target}")
    verdicts = {
        "key to exit, median": statistics.median(big["keys"]) <= statistics.median(small["keys"]) + 0.050,
        "key to exit, slowest": max(big["keys"]) <= max(small["keys"]) + 0.150,
        "UI stall per tick": max(big["stalls"] + small["stalls"]) < 30,
    }
    missed = [name for name, ok in verdicts.items() if not ok]
    print("All within their targets." if not missed else f"Outside a target: {', '.join(missed)}.")
    print("Key to exit: from the xdotool call (a process start, a few ms) to the end of the Wine process. UI stall:")
    print("the longest WM_NULL round trip to Form1 in each second of 8 s, sent every 10 ms by another process.")
    print("Tick to photo: salvanto_bench ticks, in process, from the tick to the photo painted in Image1 (800 x 600).")
    if ARGS.baseline_scr:
        print(f"base: {ARGS.baseline_scr}, {ARGS.baseline_samples} keys per collection; the targets are this build's.")
    return 0 if not missed else 1


if __name__ == "__main__":
    sys.exit(main())
