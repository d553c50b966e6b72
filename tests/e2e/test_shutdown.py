"""Every way the program can be ended from outside or by the user leaves the
stored settings as they were and no process behind: log-off (the messages
alone, and the Wine session's own log-off), WM_CLOSE to the slideshow (also
while the failure box is open) and to the settings dialog, and the dialog's
"Exit" button. On the way out the slideshow makes the cursor visible once in
each of its close handlers: two raises of the display count (0 to 1, 1 to 2)
for a close or a log-off, one for the dialog's "Exit"."""

import harness
import photos
from harness import SETTINGS_KEY, SlideshowWatch, show_cursor_calls, wine_processes
from config import COMMAND, FORM1, SETTINGS

# The display count after each ShowCursor call: the query (or query-close)
# handler's raise, then the unload handler's.
TWO_HANDLERS = [(True, 1), (True, 2)]

END_S = 5


class CleanShutdown(harness.SessionTestCase):
    def setUp(self):
        # Stored values that differ from every default, one with a character
        # outside ASCII; the collection is missing, so that each tick fails.
        self.stored = {"Interval": "1",
                       "SalvantosDir": photos.wine_dir(photos.private_folder(self) / "Sammlung für später")}

    def assert_ended_cleanly(self, s: harness.Session, scr: harness.Process, how: str,
                             cursor: list[tuple[bool, int]] | None = None) -> None:
        """Exit code 0, nothing left, the settings untouched; cursor: the
        ShowCursor calls expected of a copy started with trace="+cursor"."""
        try:
            code = scr.wait(END_S)
        except TimeoutError:
            self.fail(f"{how}: the program still runs {END_S} s later; its windows: {s.visible_summary()}")
        self.assertEqual(code, 0, f"{how}: exit code {code}; output: {scr.output()[-1500:]!r}")
        if cursor is not None:
            self.assertEqual(show_cursor_calls(scr), cursor, f"{how}: ShowCursor calls")
        s.wait_until(lambda: not wine_processes(s), 5, f"{how}: no Salvanto2002.scr process left")
        # The wineserver takes a dead program's windows down as it learns of its end.
        s.wait_until(lambda: not s.find_windows(), 5, f"{how}: no window left")
        self.assertEqual({name: s.setting(name) for name in self.stored}, self.stored,
                         f"{how}: the stored settings changed")
        values = s.inspect("reg", SETTINGS_KEY)["values"]
        self.assertEqual(sorted(v["name"] for v in values), sorted(self.stored), f"{how}: settings added")

    def start_slideshow(self, s: harness.Session, with_box: bool):
        watch = SlideshowWatch(s, 20)
        scr = s.start_scr("/s", trace="+cursor")
        shown, state = watch.wait_for(lambda st: st["form"] and st["year_visible"], 20, "Form1 on screen",
                                      process=scr)
        if with_box:
            watch.wait_for(lambda st: st["boxes"], 5, "the failure box", shown, scr)
        watch.stop()
        return scr, s.find_windows(cls=FORM1)[0]

    def test_log_off_messages_end_the_slideshow(self):
        with self.session(settings=self.stored) as s:
            for with_box in [False, True]:
                with self.subTest(failure_box_open=with_box):
                    scr, form = self.start_slideshow(s, with_box)
                    try:
                        reply = s.end_session(form["hwnd"], 3000)
                        # The query is answered at once and lets the log-off go on.
                        self.assertTrue(reply["query_answered"], reply)
                        self.assertNotEqual(reply["query_result"], 0, "the program refused the log-off")
                        self.assertLess(reply["query_ms"], 1000, reply)
                        self.assertTrue(reply["end_sent"] and reply["end_answered"], reply)
                        self.assert_ended_cleanly(s, scr, "WM_QUERYENDSESSION, WM_ENDSESSION(TRUE)", TWO_HANDLERS)
                    finally:
                        s.stop_scr(scr)

    def test_log_off_of_the_session_ends_the_slideshow(self):
        with self.session(settings=self.stored) as s:
            scr, _ = self.start_slideshow(s, with_box=True)
            result = s.run_wine("wineboot", "--end-session")
            self.assertEqual(result.returncode, 0, result)
            self.assert_ended_cleanly(s, scr, "wineboot --end-session", TWO_HANDLERS)

    def test_close_from_outside_ends_the_slideshow(self):
        with self.session(settings=self.stored) as s:
            for with_box in [False, True]:
                with self.subTest(failure_box_open=with_box):
                    scr, form = self.start_slideshow(s, with_box)
                    try:
                        s.close_window(form["hwnd"])
                        self.assert_ended_cleanly(s, scr, "WM_CLOSE", TWO_HANDLERS)
                    finally:
                        s.stop_scr(scr)

    def test_settings_dialog_exit_and_close(self):
        with self.session(settings=self.stored) as s:
            for how in ["Exit", "WM_CLOSE"]:
                with self.subTest(how=how):
                    scr = s.start_scr("/c", trace="+cursor")
                    try:
                        # Waited for with its Exit button: the dialog is listed before its controls.
                        dialog = s.wait_for_window(SETTINGS, process=scr, children=["SSCommand6"])
                        if how == "Exit":
                            button = next(w for w in harness.walk([dialog]) if w["name"] == "SSCommand6")
                            self.assertEqual((button["class"], button["text"]), (COMMAND, "Exit"))
                            harness.click_button(s, button)
                        else:
                            s.close_window(dialog["hwnd"])
                        # "Exit" ends the program as the show's end does: one raise.
                        self.assert_ended_cleanly(s, scr, how, [(True, 1)] if how == "Exit" else None)
                    finally:
                        s.stop_scr(scr)


if __name__ == "__main__":
    harness.main()
