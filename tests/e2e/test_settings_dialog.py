"""The settings dialog driven by a user's clicks: the delay it shows and
steps, what "Set" stores (and the fatal box when the store refuses it),
leaving by "Exit" or by the frame, and the delay the next slideshow runs
with; and driven by a screen reader's default actions. The step table
itself, every delay both ways, is unit-tested: here each arrow steps once
and wraps once."""

import re

import harness
from dialog_view import EARLIER, FORM1, OPENING_CAPTION, WAIT_S, Dialog
from harness import APP_TITLE, SETTINGS_KEY


class SteppingTheDelay(harness.SessionTestCase):
    def test_each_arrow_steps_from_the_opening_delay(self):
        # Down from one second wraps to sixty; up from sixty wraps to one,
        # which then reads in the plural like every stepped delay.
        sequences = {
            "down first": [("down", "60 Seconds"), ("up", "1 Seconds"), ("up", "2 Seconds")],
            "up first": [("up", "2 Seconds"), ("down", "1 Seconds"), ("down", "60 Seconds")],
        }
        with self.session(settings={"Interval": EARLIER}) as s:
            for label, steps in sequences.items():
                with self.subTest(label):
                    dialog = Dialog.open(s)
                    self.assertEqual(dialog.caption(), OPENING_CAPTION)
                    for direction, caption in steps:
                        dialog.step(direction)
                        dialog.wait_for_caption(caption)
                    # A click on the spin button gives it the keyboard too.
                    self.assertEqual(dialog.focus()["focus"]["name"], "SpinInterval")
                    s.stop_scr(dialog.scr)


# MSAA's roles and states, as oleacc.h numbers them.
PUSH_BUTTON, SPIN_BUTTON, STATIC_TEXT = 43, 52, 41
STATE_FOCUSED = 0x4


class ReadByAScreenReader(harness.SessionTestCase):
    def test_buttons_and_delay_read_and_worked_through_their_accessible_objects(self):
        with self.session(settings={"Interval": EARLIER}) as s:
            dialog = Dialog.open(s)
            read = dialog.accessible()
            buttons = {name: (read[name]["role"], read[name]["acc_name"]) for name in ("SSCommand4", "SSCommand5", "SSCommand6")}
            self.assertEqual(buttons, {"SSCommand4": (PUSH_BUTTON, "Set"), "SSCommand5": (PUSH_BUTTON, "Help"),
                                       "SSCommand6": (PUSH_BUTTON, "Exit")})
            self.assertTrue(read["SSCommand4"]["state"] & STATE_FOCUSED, read["SSCommand4"])
            spin = read["SpinInterval"]
            self.assertEqual((spin["role"], spin["acc_name"], spin["value"]),
                             (SPIN_BUTTON, "Set Slide Show Delay", OPENING_CAPTION))
            self.assertEqual([(part["role"], part["acc_name"], part["action"]) for part in spin["parts"]],
                             [(PUSH_BUTTON, "Shorter Delay", "Press"), (PUSH_BUTTON, "Longer Delay", "Press")])
            self.assertEqual((read["panInterval"]["role"], read["panInterval"]["acc_name"]),
                             (STATIC_TEXT, OPENING_CAPTION))

            # Each arrow's default action steps as a click does, and the
            # display's accessible name and the spin button's value follow the caption.
            for part, caption in [(1, "60 Seconds"), (2, "1 Seconds"), (2, "2 Seconds")]:
                s.inspect("msaa", str(spin["hwnd"]), str(part))
                dialog.wait_for_accessible_name("panInterval", caption)
                self.assertEqual(dialog.accessible()["SpinInterval"]["value"], caption)
            s.inspect("msaa", str(read["SSCommand4"]["hwnd"]), "0")
            dialog.wait_for_stored("2")
            s.stop_scr(dialog.scr)


class SavingTheDelay(harness.SessionTestCase):
    def test_set_stores_the_delay_shown_exit_keeps_the_last_one_and_a_refused_set_is_fatal(self):
        with self.session() as s:
            # The dialog reads nothing from the store, whatever is there.
            stored_before = [EARLIER, None, "not a number"]
            for i, earlier in enumerate(stored_before):
                with self.subTest(stored_before=earlier):
                    s.set_setting("Interval", earlier)
                    dialog = Dialog.open(s)
                    self.assertEqual(dialog.caption(), OPENING_CAPTION)
                    dialog.press_set("1")
                    if i < len(stored_before) - 1:
                        s.stop_scr(dialog.scr)
            # Still the last copy: a second "Set" at another delay wins, as
            # the delay text alone (not the caption, not milliseconds).
            dialog.step_to(10)
            dialog.press_set("10")
            self.assertEqual(dialog.caption(), "10 Seconds", "Set changed the display")
            dialog.step("down")
            dialog.wait_for_caption("5 Seconds")
            dialog.click("SSCommand6")
            self.assertEqual(dialog.wait_for_end(), 0)
            self.assertEqual(s.setting("Interval"), "10", "Exit saved the delay it showed")

            with self.subTest("the store refuses the write"):
                # The settings key readable only, as in a locked-down profile.
                access = s.inspect("regaccess", SETTINGS_KEY, "read")
                self.assertNotEqual(access["write_open"], 0, f"the key still takes writes: {access}")
                dialog = Dialog.open(s)
                dialog.step_to(5)
                dialog.click("SSCommand4")
                box = s.wait_for_message_box(WAIT_S, process=dialog.scr, title=APP_TITLE)
                number = re.match(r"Run-time error '(\d+)':", box["text"])
                self.assertTrue(number, f"not a run-time error: {box['text']!r}")
                self.assertIn("Interval", box["text"], "the box names the setting")
                self.assertEqual([b["text"] for b in box["buttons"] if b["visible"]], ["OK"])
                s.screenshot("set-refused")
                s.press(box["hwnd"], "OK")
                # A fatal error ends the program with its number (8 bits of it under Linux).
                self.assertEqual(dialog.wait_for_end(), int(number.group(1)) & 0xFF)
                self.assertEqual(s.setting("Interval"), "10")

    def test_leaving_without_set_keeps_the_stored_delay(self):
        ways = {
            "Exit": lambda s, d: d.click("SSCommand6"),
            "WM_CLOSE": lambda s, d: s.close_window(d.hwnd),
            "Alt+F4": lambda s, d: s.key("alt+F4"),
        }
        with self.session(settings={"Interval": EARLIER}) as s:
            for way, leave in ways.items():
                with self.subTest(way):
                    dialog = Dialog.open(s)
                    dialog.step_to(3)
                    leave(s, dialog)
                    self.assertEqual(dialog.wait_for_end(), 0)
                    self.assertEqual(s.setting("Interval"), EARLIER)

    def test_saved_delay_is_the_period_of_the_next_slideshow(self):
        with self.session(settings={"Interval": EARLIER}) as s:
            dialog = Dialog.open(s)
            dialog.step_to(60)
            dialog.press_set("60")
            dialog.click("SSCommand6")
            self.assertEqual(dialog.wait_for_end(), 0)
            scr = s.start_scr("/s")
            form = s.wait_for_window(FORM1, process=scr)
            self.assertEqual(form["timer1_interval"], 60000)
            s.stop_scr(scr)


if __name__ == "__main__":
    harness.main()
