"""Start-up seen from outside: which window each command line opens, with
the program's icon and (for the slideshow) no caption and panYear shown only
once the window is up; one copy at a time, the second one ending through the
cursor's raise; closing the only window; and the identity of the built
file."""

import re
import struct
import time

import harness
from harness import APP_TITLE, show_cursor_calls
from config import FORM1, SETTINGS

SETTINGS_TITLE = "Screen Saver Settings"

WS_POPUP = 0x80000000
WS_CAPTION = 0x00C00000
WS_EX_TOPMOST = 0x00000008

# A second copy ends before it does anything; even a loaded machine starts a
# warm Wine program far quicker than this.
PROMPT_END_S = 10

# No photo collection here: a minute between ticks keeps the slideshow's
# "photographs not found" box out of these tests.
QUIET = {"Interval": "60"}

SW_SHOWMAXIMIZED, SW_SHOWNA = 3, 8


def program_icon() -> list[int]:
    """The 32 x 32 image of the program's icon file as Wine hands it to the
    display: one ARGB value per pixel, top row first, opaque where the
    icon's mask is clear and 0 where it is set."""
    data = (harness.SOURCE_DIR / "assets" / "Salvanto2002.ico").read_bytes()
    width, height, _, _, _, bits, _, offset = struct.unpack("<BBBBHHII", data[6:22])
    assert (width, height, bits) == (32, 32, 8), "the icon file is no longer one 32 x 32 image of 256 colours"
    header = struct.unpack("<I", data[offset : offset + 4])[0]
    palette = data[offset + header : offset + header + 1024]
    pixels = offset + header + 1024
    mask = pixels + 32 * 32  # rows of 32 bytes, then the mask's rows of 4 bytes; both bottom-up
    argb = []
    for y in range(31, -1, -1):
        for x in range(32):
            blue, green, red = palette[4 * data[pixels + 32 * y + x] : 4 * data[pixels + 32 * y + x] + 3]
            transparent = data[mask + 4 * y + x // 8] >> (7 - x % 8) & 1
            argb.append(0 if transparent else 0xFF000000 | red << 16 | green << 8 | blue)
    return argb


def show_window_calls(proc: harness.Process) -> list[tuple[int, int, bool]]:
    """(window, command, was visible) of each ShowWindow in a "+win" trace."""
    return [(int(hwnd, 16), int(cmd), was == "1") for hwnd, cmd, was in
            re.findall(r":trace:win:show_window hwnd=(0x[0-9a-f]+), cmd=(-?\d+), was_visible (\d)", proc.output())]


class StartupModes(harness.SessionTestCase):
    def assert_shows_the_program_icon(self, s: harness.Session, scr: harness.Process, window: dict) -> None:
        """The icon Wine shows for the window (on its X window) is the icon file's image."""
        def mapped():
            return [x for x in s.x_windows(scr) if x["rect"] == window["rect"] and x["mapped"]]
        shown = s.wait_until(mapped, 10, f"the X window of {window['class']} on the display", scr)[0]
        icons = {(w, h): argb for w, h, argb in shown["icons"]}
        self.assertIn((32, 32), icons, f"{window['class']} shows no 32 x 32 icon: {sorted(icons)}")
        wrong = sum(1 for got, want in zip(icons[(32, 32)], program_icon()) if got != want)
        self.assertEqual(wrong, 0, f"{window['class']}'s icon differs from the icon file in {wrong} of 1024 pixels")

    # One command line per mode: which texts choose which mode is unit-tested.
    def test_settings_request_opens_only_the_settings_window(self):
        with self.session(settings=QUIET) as s:
            # As the Control Panel asks: the parent window's number after a colon.
            scr = s.start_scr("/c:1234")
            dialog = s.wait_for_window(SETTINGS, process=scr)
            self.assertEqual(dialog["text"], SETTINGS_TITLE)
            self.assertEqual(dialog["parent"], 0)
            self.assertEqual(dialog["owner"], 0, "the dialog is a window of its own, without an owner")
            self.assertEqual(s.find_windows(cls=FORM1), [],
                             f"a slideshow window in settings mode: {s.visible_summary()}")
            self.assertTrue(scr.running, f"ended with {scr.exit_code}")
            self.assert_shows_the_program_icon(s, scr, dialog)
            s.screenshot("settings-dialog")

    def test_slideshow_request_opens_the_full_screen_slideshow(self):
        with self.session(size=(800, 600), settings=QUIET) as s:
            # The copy traces its ShowWindow calls: the only way to see from
            # outside in which order it showed its windows.
            scr = s.start_scr("/s", trace="+win")
            form = s.wait_for_window(FORM1, process=scr)
            self.assertEqual(form["text"], "", "the slideshow window has no caption")
            self.assertEqual(form["rect"], [0, 0, 800, 600], "the slideshow window covers the screen")
            self.assertEqual(form["client"], [0, 0, 800, 600], "no border or caption")
            self.assertTrue(form["style"] & WS_POPUP and not form["style"] & WS_CAPTION)
            self.assertTrue(form["exstyle"] & WS_EX_TOPMOST, "above every other window")
            # Main makes panYear visible once the window is on screen.
            year = s.wait_until(lambda: s.find_windows(name="panYear", visible=True), 10, "panYear visible", scr)[0]
            self.assertEqual(year["text"], "Morvane Software")
            self.assertEqual(year["parent"], form["hwnd"])
            self.assertEqual(s.find_windows(cls=SETTINGS), [], "a settings window in slideshow mode")
            self.assertTrue(scr.running, f"ended with {scr.exit_code}")
            self.assert_shows_the_program_icon(s, scr, form)
            s.screenshot("slideshow")
            # panYear was created hidden and first shown after Form1.
            shown = [(hwnd, cmd, was) for hwnd, cmd, was in show_window_calls(scr)
                     if hwnd in (form["hwnd"], year["hwnd"])]
            self.assertEqual(shown[:2], [(form["hwnd"], SW_SHOWMAXIMIZED, False),
                                         (year["hwnd"], SW_SHOWNA, False)], shown)

    def test_closing_the_only_window_ends_the_program(self):
        with self.session(settings=QUIET) as s:
            for args, window_class in [("/s", FORM1), ("/c", SETTINGS)]:
                with self.subTest(command_line=args):
                    scr = s.start_scr(args)
                    window = s.wait_for_window(window_class, process=scr)
                    s.close_window(window["hwnd"])
                    scr.wait(PROMPT_END_S)
                    s.stop_scr(scr)


class OneCopyAtATime(harness.SessionTestCase):
    def test_second_copy_shows_nothing_and_ends_at_once(self):
        with self.session(settings=QUIET) as s:
            for first_args, first_class in [("/s", FORM1), ("/c", SETTINGS)]:
                first = s.start_scr(first_args)
                s.wait_for_window(first_class, process=first)
                if first_class == FORM1:
                    s.wait_until(lambda: s.find_windows(name="panYear", visible=True), 10, "panYear visible", first)
                before = s.visible_summary()
                for second_args in ["/s", "/c"]:
                    with self.subTest(first=first_args, second=second_args):
                        started = time.monotonic()
                        second = s.start_scr(second_args, trace="+cursor")
                        code = second.wait(PROMPT_END_S)
                        elapsed = time.monotonic() - started
                        self.assertEqual(code, 0, f"the second copy ended with {code}: {second.output()[-2000:]}")
                        # It ends like the show does, raising the cursor's count
                        # from 0 to visible: one call.
                        self.assertEqual(show_cursor_calls(second), [(True, 1)])
                        self.assertEqual(s.visible_summary(), before, "the second copy left a window")
                        self.assertTrue(first.running, f"the first copy ended with {first.exit_code}")
                        harness.log(f"second copy {second_args!r} ended in {elapsed:.2f} s")
                s.stop_scr(first)


class ExecutableIdentity(harness.SessionTestCase):
    def test_version_record_and_icon(self):
        with self.session() as s:
            info = s.version_info()
        self.assertEqual(info["translations"], ["040904B0"], "English (United States), Unicode")
        self.assertEqual(len(info["string_tables"]), 1)
        strings = info["string_tables"][0]["strings"]
        expected = {
            "CompanyName": "Morvane Software",
            "ProductName": APP_TITLE,
            "InternalName": "Salvanto2002",
            "OriginalFilename": "Salvanto2002.scr",
            "FileVersion": "1.00",
            "ProductVersion": "1.00",
        }
        self.assertEqual({k: strings.get(k) for k in expected}, expected)

        groups = info["icon_groups"]
        self.assertEqual(len(groups), 1, f"one icon: {groups}")
        self.assertEqual(len(groups[0]["entries"]), 1, f"one image in the icon: {groups}")
        entry = groups[0]["entries"][0]
        image = entry["image"]
        self.assertEqual((entry["width"], entry["height"]), (32, 32))
        self.assertTrue(image["found"], "the icon's image resource is missing")
        # 256 colours: an 8-bit palette image (the group entry's colour count
        # byte reads 0, as it must for 256).
        self.assertEqual((image["format"], image["width"], image["height"], image["bit_count"]),
                         ("dib", 32, 32, 8))
        self.assertEqual(entry["color_count"], 0)


if __name__ == "__main__":
    harness.main()
