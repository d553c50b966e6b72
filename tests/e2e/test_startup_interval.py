"""The stored Interval as the running program takes it: the timer period it
becomes, or the message box that ends the program before any slideshow
window shows. (The conversion rules themselves are unit-tested.)"""

import time

import harness
from harness import APP_TITLE

FORM1 = "Salvanto.Form1"


class IntervalAtStartup(harness.SessionTestCase):
    def test_accepted_interval_becomes_the_timer_period(self):
        cases = [
            (None, 2000),  # nothing stored: the default "2"
            ("10", 10000),
            (" 10 ", 10000),
            ("2.5", 2000),  # half to the even neighbour
            ("0", 0),
            ("60", 60000),
        ]
        with self.session() as s:
            for stored, period in cases:
                with self.subTest(interval=stored):
                    s.set_setting("Interval", stored)
                    scr = s.start_scr("/s")
                    form = s.wait_for_window(FORM1, process=scr)
                    self.assertEqual(form["timer1_interval"], period)
                    self.assertEqual(s.message_boxes(), [], "a message box at start-up")
                    self.assertTrue(scr.running, f"ended with {scr.exit_code}")
                    s.stop_scr(scr)

    def test_unusable_interval_ends_the_program_with_a_message_box(self):
        cases = [
            ("abc", "type mismatch"),
            ("", "type mismatch"),
            ("99999999999", "overflow"),
            ("-1", None),  # a period the timer refuses; the reason is the program's to word
        ]
        with self.session() as s:
            for stored, reason in cases:
                with self.subTest(interval=stored):
                    s.set_setting("Interval", stored)
                    scr = s.start_scr("/s")
                    box = s.wait_for_message_box(process=scr)
                    text = box["text"]
                    self.assertEqual(box["title"], APP_TITLE)
                    self.assertIn("Interval", text, "the box names the setting")
                    self.assertIn(f'"{stored}"' if stored == "" else stored, text, "the box shows the stored text")
                    if reason:
                        self.assertIn(reason, text.lower())
                    self.assertEqual([b["text"] for b in box["buttons"] if b["visible"]], ["OK"])
                    self.assertEqual(s.find_windows(cls=FORM1, visible=True), [],
                                     "the slideshow window shows behind the error")
                    if stored == "abc":
                        s.screenshot("fatal-interval")
                        # Form1 already exists beneath the box, its timer at the
                        # design-time second: let a tick come due. No tick may
                        # open a box of its own, which would keep this one's
                        # OK from ending the program.
                        time.sleep(1.5)
                        boxes = [b["title"] for b in s.message_boxes() if b["visible"]]
                        self.assertEqual(boxes, [APP_TITLE], "a tick ran under the fatal box")
                    s.press(box["hwnd"], "OK")
                    code = scr.wait(10)
                    self.assertNotEqual(code, 0, "a fatal error ends the program with a non-zero exit code")
                    s.stop_scr(scr)
                    # The stored text is left as it was.
                    self.assertEqual(s.setting("Interval"), stored)


if __name__ == "__main__":
    harness.main()
