"""Test photos and damaged picture files for the photo-cycle tests, made with
ImageMagick and a few byte patches. Every picture is a solid colour, so that
one pixel of Image1 tells which photo is up."""

from __future__ import annotations

import shutil
import struct
import subprocess
import time
import zlib
from dataclasses import dataclass
from pathlib import Path
from typing import Any, Iterable

from harness import SOURCE_DIR

RED = (255, 0, 0)
GREEN = (0, 255, 0)
BLUE = (0, 0, 255)
YELLOW = (255, 255, 0)
MAGENTA = (255, 0, 255)
CYAN = (0, 255, 255)
WHITE = (255, 255, 255)
ORANGE = (255, 128, 0)


def hex_colour(colour: tuple[int, int, int]) -> str:
    return "#%02x%02x%02x" % colour


def solid(path: Path, colour: tuple[int, int, int], size: tuple[int, int] = (640, 480), kind: str = "") -> Path:
    """A picture of one colour; the format follows the name's extension, or
    kind (e.g. "BMP3:", "PNG24:") when given."""
    w, h = size
    subprocess.run(["convert", "-size", f"{w}x{h}", f"xc:{hex_colour(colour)}", f"{kind}{path}"], check=True)
    return path


def noisy_jpeg(path: Path, size: tuple[int, int] = (640, 480), seed: int = 7) -> Path:
    """A JPEG with real picture data in every block (a solid colour would be
    a few hundred bytes, too little to cut in a telling place)."""
    w, h = size
    subprocess.run(["convert", "-size", f"{w}x{h}", "-seed", str(seed), "plasma:fractal", "-quality", "90",
                    str(path)], check=True)
    return path


def big_jpeg(path: Path, size: tuple[int, int], colour: tuple[int, int, int]) -> Path:
    """A baseline JPEG of one colour at any size, written directly: every
    8 x 8 block holds only its DC term, so even 8000 x 6000 pixels (48 MP)
    take a few hundredths of a second and half a megabyte to make, where
    ImageMagick needs ten seconds and 650 MB. A decoder still does the whole
    work of the size: every block through the inverse DCT, the chroma
    upsampled (4:2:0, as cameras write), every pixel converted."""
    width, height = size
    r, g, b = colour
    luma = 0.299 * r + 0.587 * g + 0.114 * b
    blue = 128 - 0.168736 * r - 0.331264 * g + 0.5 * b
    red = 128 + 0.5 * r - 0.418688 * g - 0.081312 * b
    # With a quantisation of 1, a block's DC term is 8 times its level.
    first_dc = [round(8 * (level - 128)) for level in (luma, blue, red)]

    def segment(marker: int, body: bytes) -> bytes:
        return struct.pack(">HH", 0xFF00 | marker, len(body) + 2) + body

    # The standard DC table; an AC table that holds only end-of-block, as "0".
    dc_codes = ["00", "010", "011", "100", "101", "110", "1110", "11110", "111110", "1111110", "11111110",
                "111111110"]

    def block(dc_difference: int) -> str:
        size_class = abs(dc_difference).bit_length()
        bits = format(dc_difference if dc_difference >= 0 else dc_difference + (1 << size_class) - 1,
                      f"0{size_class}b") if size_class else ""
        return dc_codes[size_class] + bits + "0"

    # One MCU covers 16 x 16 pixels: four luma blocks and one of each chroma.
    mcus = ((width + 15) // 16) * ((height + 15) // 16)
    first = block(first_dc[0]) + block(0) * 3 + block(first_dc[1]) + block(first_dc[2])
    bits = first + block(0) * 6 * (mcus - 1)
    bits += "1" * (-len(bits) % 8)
    scan = int(bits, 2).to_bytes(len(bits) // 8, "big").replace(b"\xff", b"\xff\x00")
    path.write_bytes(b"".join([
        b"\xff\xd8",
        segment(0xE0, b"JFIF\0\x01\x01\0\0\x01\0\x01\0\0"),
        segment(0xDB, b"\x00" + b"\x01" * 64),
        segment(0xC0, struct.pack(">BHHB", 8, height, width, 3) + bytes([1, 0x22, 0, 2, 0x11, 0, 3, 0x11, 0])),
        segment(0xC4, b"\x00" + bytes([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]) + bytes(range(12))),
        segment(0xC4, b"\x10" + bytes([1] + [0] * 15) + b"\x00"),
        segment(0xDA, bytes([3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0])),
        scan,
        b"\xff\xd9",
    ]))
    return path


def truncated_jpeg(path: Path) -> Path:
    """The first half of a photographic JPEG: the header is whole, the scan
    stops in the middle and the end-of-image marker is missing."""
    noisy_jpeg(path)
    data = path.read_bytes()
    path.write_bytes(data[: len(data) // 2])
    return path


def text_file(path: Path) -> Path:
    path.write_text("This is not a picture, whatever its name says.\r\n" * 20)
    return path


def empty_file(path: Path) -> Path:
    path.write_bytes(b"")
    return path


def _jpeg_sof_offset(data: bytes) -> int:
    """The offset of the first start-of-frame marker (SOF0 to SOF2)."""
    i = 2
    while i + 4 <= len(data):
        if data[i] != 0xFF:
            raise ValueError("not a marker where one belongs")
        marker = data[i + 1]
        if marker in (0xC0, 0xC1, 0xC2):
            return i
        i += 2 + (data[i + 2] << 8 | data[i + 3])
    raise ValueError("no start-of-frame marker")


def jpeg_claiming(path: Path, width: int, height: int) -> Path:
    """A small, valid JPEG whose frame header claims width x height pixels."""
    solid(path, ORANGE, (64, 48))
    data = bytearray(path.read_bytes())
    sof = _jpeg_sof_offset(data)
    # Segment: FF C0, length (2), precision (1), height (2), width (2).
    data[sof + 5 : sof + 9] = struct.pack(">HH", height, width)
    path.write_bytes(bytes(data))
    return path


def jpeg_size(path: Path) -> tuple[int, int]:
    data = path.read_bytes()
    sof = _jpeg_sof_offset(data)
    height, width = struct.unpack(">HH", data[sof + 5 : sof + 9])
    return width, height


def png_claiming(path: Path, width: int, height: int, right_crc: bool) -> Path:
    """A small, valid PNG whose header chunk claims width x height pixels,
    with the chunk's checksum made right for the new size or left wrong."""
    solid(path, ORANGE, (64, 48), "PNG24:")
    data = bytearray(path.read_bytes())
    if data[12:16] != b"IHDR":
        raise ValueError("IHDR is not the first chunk")
    data[16:24] = struct.pack(">II", width, height)
    crc = zlib.crc32(bytes(data[12:29])) & 0xFFFFFFFF
    data[29:33] = struct.pack(">I", crc if right_crc else crc ^ 0x5A5A5A5A)
    path.write_bytes(bytes(data))
    return path


def rle8_corrupt(path: Path) -> Path:
    """The slideshow's own RLE8 sample photograph with its run-length stream
    damaged: runs that reach far past the end of their row, a jump below
    the last row, and an absolute run that claims more bytes than remain."""
    data = bytearray((SOURCE_DIR / "assets" / "sample_photo.bmp").read_bytes())
    if data[:2] != b"BM":
        raise ValueError("the sample photograph is not a Windows bitmap")
    offset = struct.unpack("<I", data[10:14])[0]
    header = struct.unpack("<IiiHHI", data[14:34])
    if header[4] != 8 or header[5] != 1:  # 8 bits per pixel, BI_RLE8
        raise ValueError("the sample photograph is not RLE8")
    stream = offset
    # Encoded runs of 255 pixels, many in a row without an end of line: each
    # runs across row ends.
    for i in range(64):
        data[stream + 2 * i] = 0xFF
        data[stream + 2 * i + 1] = 0x11
    # A delta escape that jumps 200 pixels right and 250 rows down, past the
    # picture's 366 rows once repeated.
    pos = stream + 128
    data[pos : pos + 16] = bytes([0, 2, 200, 250] * 4)
    # At the very end: an absolute run of 255 bytes with 3 left in the file.
    data[-5:] = bytes([0, 255, 1, 2, 3])
    path.write_bytes(bytes(data))
    return path


# --------------------------------------------------------------------------
# The course of the show: what each tick should do, and what was seen
# --------------------------------------------------------------------------

FAILURE_TITLE = "The Salvanto Anthology Screen Saver"
FAILURE_TEXT = ("Unable to find Salvanto photographs!\r\n\r\n"
                "Make sure that the Salvanto Anthology is in the CDROM drive.")
DESIGN_CAPTION = "Morvane Software"


@dataclass(frozen=True)
class Photo:
    """One entry of a collection: its caption and colour when it is a
    picture the platform can show (colour None: any), or caption None when
    its turn must end in the failure box."""
    caption: str | None
    colour: tuple[int, int, int] | None = None


BAD = Photo(None)


def nearest_colour(rgb: tuple[int, int, int], palette: Iterable[tuple[int, int, int]],
                   tolerance: int = 60) -> tuple[int, int, int] | None:
    """The palette colour within tolerance (per channel) of rgb: JPEG moves
    a solid colour by a step or two. None when there is none."""
    for colour in palette:
        if all(abs(a - b) <= tolerance for a, b in zip(rgb, colour)):
            return colour
    return None


def tick_outcomes(passes: list[list[tuple[str, Photo]]], ticks: int) -> list[tuple[str, Photo]]:
    """What each of the first ticks (of those that run) does, given what the
    listing holds on each pass (the last one repeats): the first entry on
    three ticks, then each further entry, then the next pass."""
    outcomes: list[tuple[str, Photo]] = []
    number = 0
    while len(outcomes) < ticks:
        listed = passes[min(number, len(passes) - 1)]
        if not listed:
            raise ValueError("an empty listing is not a course of photos")
        outcomes += [listed[0]] * 3 + listed[1:]
        number += 1
    return outcomes[:ticks]


def expected_events(outcomes: list[tuple[str, Photo]], caption: str = DESIGN_CAPTION) -> list[tuple[str, str]]:
    """The changes that can be seen from outside, in order: ("box", name)
    for each failing tick, ("caption", text) for each tick that changes the
    caption. A tick that shows the photo already up shows nothing new."""
    events = []
    for name, photo in outcomes:
        if photo.caption is None:
            events.append(("box", name))
        elif photo.caption != caption:
            events.append(("caption", photo.caption))
            caption = photo.caption
    return events


@dataclass
class Sample:
    """One look at a point of Image1: taken between t0 and t1 (raw_clock)."""
    t0: float
    t1: float
    rgb: tuple[int, int, int]


class Timeline:
    """What the watcher saw, as functions of time."""

    def __init__(self, states: list[dict]):
        self.states = states

    def _index_at(self, t: float) -> int | None:
        found = None
        for i, state in enumerate(self.states):
            if state["t"] <= t:
                found = i
            else:
                break
        return found

    def captions_between(self, t0: float, t1: float) -> set[str | None]:
        """Every caption in effect at some moment of [t0, t1]."""
        start = self._index_at(t0)
        found = {self.states[start]["caption"]} if start is not None else set()
        for state in self.states:
            if t0 < state["t"] <= t1:
                found.add(state["caption"])
        return found

    def events(self) -> list[tuple[float, str, Any]]:
        """(t, "caption", text) for each change of the caption from the first
        one panYear had, (t, "box", box) for each box that opened."""
        out = []
        caption = None
        open_boxes: set[int] = set()
        for state in self.states:
            if caption is not None and state["caption"] not in (caption, None):
                out.append((state["t"], "caption", state["caption"]))
            if state["caption"] is not None:
                caption = state["caption"]
            now = {box["hwnd"] for box in state["boxes"]}
            for box in state["boxes"]:
                if box["hwnd"] not in open_boxes:
                    out.append((state["t"], "box", box))
            open_boxes = now
        return out

    def box_open_spans(self) -> list[tuple[float, float]]:
        spans, opened = [], None
        for state in self.states:
            if state["boxes"] and opened is None:
                opened = state["t"]
            elif not state["boxes"] and opened is not None:
                spans.append((opened, state["t"]))
                opened = None
        if opened is not None:
            spans.append((opened, float("inf")))
        return spans

    def most_boxes_at_once(self) -> int:
        return max((len(state["boxes"]) for state in self.states), default=0)


def box_problems(box: dict) -> list[str]:
    """How a box differs from the photo-cycle failure box."""
    problems = []
    if box["title"] != FAILURE_TITLE:
        problems.append(f"title {box['title']!r}")
    if box["text"] != FAILURE_TEXT:
        problems.append(f"text {box['text']!r}")
    buttons = [b["text"] for b in box["buttons"]]
    if buttons != ["OK"]:
        problems.append(f"buttons {buttons}")
    if box["icon"]:
        problems.append("an icon")
    return problems


def colour_mismatches(samples: list[Sample], timeline: Timeline, colour_of: dict[str, tuple[int, int, int] | None],
                      palette: Iterable[tuple[int, int, int]], paint_lag: float = 0.3,
                      caption_lag: float = 0.2) -> list[str]:
    """Samples whose colour fits no caption in effect from paint_lag seconds
    before they were taken to caption_lag seconds after. Both ways are
    needed: a photo may be painted after its caption was seen, and it is
    painted before panYear gets its caption, which the watcher then notices
    at its next look, later still when the machine is busy. colour_of maps
    a caption to its photo's colour (None: any colour); captions it lacks
    (the design-time one) are not checked."""
    palette = list(palette)
    problems = []
    for sample in samples:
        captions = timeline.captions_between(sample.t0 - paint_lag, sample.t1 + caption_lag)
        if any(c not in colour_of or colour_of[c] is None for c in captions):
            continue
        seen = nearest_colour(sample.rgb, palette)
        if seen not in {colour_of[c] for c in captions}:
            later = [(x["t"], x["caption"]) for x in timeline.states
                     if x["t"] > sample.t1 and x["caption"] not in captions]
            after = f"; then {later[0][1]!r} {later[0][0] - sample.t1:.2f} s after the look" if later else ""
            problems.append(f"at {sample.t0:.2f} Image1 showed {sample.rgb} under the caption(s) {sorted(captions)}"
                            + after)
    return problems


@dataclass
class Course:
    """What following the show saw."""
    events: list[tuple[float, str, Any]]
    samples: list[Sample]
    timeline: Timeline
    boxes_dismissed: int


def take_look(session: Any, samples: list[Sample], point: tuple[int, int], look_every: float = 0.1,
              on_sample: Any = None) -> None:
    """Samples Image1 at point once, look_every seconds after the last look,
    and appends it to samples; on_sample(sample, pixels) sees the screen."""
    from harness import raw_clock

    if samples:
        # A look costs a few milliseconds: ten a second are plenty, and
        # leave the machine to the program.
        time.sleep(max(0.0, samples[-1].t0 + look_every - raw_clock()))
    t0 = raw_clock()
    pixels = session.pixels()
    samples.append(Sample(t0, raw_clock(), pixels.at(*point)))
    if on_sample:
        on_sample(samples[-1], pixels)


def follow_show(session: Any, scr: Any, watch: Any, expected: list[tuple[str, str]], point: tuple[int, int],
                interval: float, dismiss: Any = "click", on_event: Any = None, on_sample: Any = None,
                hold: float = 0.25, look_every: float = 0.1) -> Course:
    """Follows the running show until it has made every expected change, in
    order, failing at the first one that differs: each event is checked as
    it comes, each failure box against the exact box and then dismissed
    (dismiss: "click" on OK, "key" Return, or a function of the box's number
    giving one of these) once it has been up for hold seconds and Image1
    has been looked at once while it was up, and Image1 is sampled at
    point all along, a look every look_every seconds.
    on_event(index, event) is called for each event once it checked out,
    on_sample(sample, pixels) for each look at the screen."""
    from harness import click_button, raw_clock  # the harness is on the path of every test

    checked = 0
    handled: set[int] = set()
    samples: list[Sample] = []
    progress = raw_clock()
    # Ticks held back by a box that is being dismissed are lost, so several
    # intervals may pass between two changes: a first file shown three times,
    # or a run of failing files.
    longest_quiet = 5 * interval + 5
    while True:
        if not scr.running:
            raise AssertionError(f"the program ended with exit code {scr.exit_code} after {checked} of "
                                 f"{len(expected)} expected changes; output: {scr.output()[-1500:]!r}")
        timeline = Timeline(list(watch.states()))
        for event in timeline.events()[checked:]:
            if checked >= len(expected):
                break
            kind, value = expected[checked]
            seen = event[2] if event[1] == "caption" else "a box"
            if event[1] != kind or (kind == "caption" and event[2] != value):
                so_far = [e[2] if e[1] == "caption" else "box" for e in timeline.events()[:checked + 1]]
                raise AssertionError(f"change {checked + 1} of {len(expected)}: expected {kind} {value!r}, "
                                     f"saw {event[1]} {seen!r}; expected course: {expected}; seen: {so_far}")
            if kind == "box":
                problems = box_problems(event[2])
                if problems:
                    raise AssertionError(f"change {checked + 1} ({value}): a box with {', '.join(problems)}")
            checked += 1
            progress = raw_clock()
            if on_event:
                on_event(checked - 1, event)
        done = checked >= len(expected)
        if done and not (timeline.states and set(b["hwnd"] for b in timeline.states[-1]["boxes"]) - handled):
            if not timeline.states[-1]["boxes"]:
                return Course(timeline.events(), samples, timeline, len(handled))
        if timeline.states:
            for box in timeline.states[-1]["boxes"]:
                if box["hwnd"] in handled:
                    continue
                first_seen = next(st["t"] for st in timeline.states
                                  if any(b["hwnd"] == box["hwnd"] for b in st["boxes"]))
                if raw_clock() < first_seen + hold:
                    continue
                # Tests look at Image1 while a box is up: one look must have
                # been taken wholly after the box came, however slow the
                # machine, before it goes.
                if not any(x.t0 >= first_seen for x in samples):
                    continue
                how = dismiss(len(handled)) if callable(dismiss) else dismiss
                handled.add(box["hwnd"])
                if how == "click":
                    click_button(session, next(b for b in box["buttons"] if b["text"] == "OK"))
                elif how == "key":
                    session.key("Return")
        take_look(session, samples, point, look_every, on_sample)
        if raw_clock() - progress > longest_quiet:
            raise TimeoutError(f"no change for {longest_quiet:.0f} s after {checked} of {len(expected)} expected "
                               f"changes; next expected: {expected[checked]}; last state: {timeline.states[-1:]}")


def private_folder(test: Any) -> Path:
    """A fresh folder for a test's photos, removed after the test: beside
    the sessions' prefixes (not in /tmp, where other programs come and go),
    with a short path so that long file names still fit the path limit."""
    import tempfile
    from harness import sessions_dir
    parent = sessions_dir().parent / "e2e-photos"
    parent.mkdir(parents=True, exist_ok=True)
    folder = Path(tempfile.mkdtemp(dir=parent))
    test.addCleanup(shutil.rmtree, folder, True)
    return folder


def long_name(folder: Path, start: str, end: str, limit: int = 259) -> str:
    """A file name of at least 200 characters that, with the folder's
    Windows path, stays within limit characters (the path limit of
    programs that are not long-path aware is 259 plus the terminator)."""
    room = min(230, limit - len(wine_dir(folder)))
    if room < 200:
        raise ValueError(f"the folder's path {wine_dir(folder)!r} leaves no room for a 200-character name")
    middle = ("a long name of a photo " * 12)[: room - len(start) - len(end)]
    return start + middle + end


def wine_dir(folder: Path) -> str:
    """The Windows path of a folder, with the final separator that the
    photo directory setting carries."""
    return "Z:" + str(Path(folder).resolve()).replace("/", "\\") + "\\"


def listing_order(session: Any, photo_dir: str) -> list[str]:
    """The names the photo listing gives for photo_dir, in its order, asked
    of the program's own listing code under the session's Wine (the order
    is the file system's as Wine presents it, so it is asked, not assumed)."""
    import json
    result = session.run_wine(str(session.build / "photo_probe.exe"), "names", photo_dir.upper() + "*.*")
    lines = [json.loads(line) for line in result.stdout.decode("utf-8").splitlines() if line.startswith("{")]
    if result.returncode != 0 or any("name" not in line for line in lines):
        raise RuntimeError(f"photo_probe names {photo_dir!r} failed ({result.returncode}): {lines}")
    return [line["name"] for line in lines]
