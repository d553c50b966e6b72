"""The settings dialog by the keyboard, like any Windows dialog (focus on
"Set" first, Tab in the tab order, Space and Return on the focused button,
the arrow keys on the spin button), and its help box."""

import harness
from dialog_view import EARLIER, HELP_TEXT, HELP_TITLE, Dialog


class DialogKeyboard(harness.SessionTestCase):
    def test_focus_starts_on_set_and_tab_follows_the_tab_order(self):
        # "Help" comes before "Exit" although "Exit" stands between them.
        order = ["SSCommand4", "SSCommand5", "SSCommand6", "SpinInterval", "SSCommand4"]
        with self.session() as s:
            dialog = Dialog.open(s)
            focus = dialog.focus()
            self.assertEqual(focus["active"]["hwnd"], dialog.hwnd)
            for name in order[1:]:
                s.key("Tab")
                dialog.wait_for_focus(name)
            s.key("shift+Tab")
            dialog.wait_for_focus("SpinInterval")
            s.screenshot("focus-on-spin")

    def test_keys_act_on_the_focused_control(self):
        # (keys from the opening state, what they do): one case for each way a
        # key reaches a control; which keys press, click and step is the
        # controls' unit tables'.
        cases = [
            (["Escape", "space"], ("stored", "1")),  # Escape means nothing here
            (["Return"], ("stored", "1")),
            (["shift+Tab", "Down"], ("caption", "60 Seconds")),
            (["Tab", "Tab", "space"], ("end", None)),
        ]
        with self.session() as s:
            for keys, (effect, value) in cases:
                with self.subTest(keys=" ".join(keys)):
                    s.set_setting("Interval", EARLIER)
                    dialog = Dialog.open(s)
                    s.key(*keys)
                    if effect == "stored":
                        dialog.wait_for_stored(value)
                    elif effect == "caption":
                        dialog.wait_for_caption(value)
                    if effect == "end":
                        self.assertEqual(dialog.wait_for_end(), 0)
                        self.assertEqual(s.setting("Interval"), EARLIER)
                    else:
                        self.assertTrue(dialog.scr.running, f"ended with {dialog.scr.exit_code}")
                        s.stop_scr(dialog.scr)


class DialogHelp(harness.SessionTestCase):
    def test_help_shows_its_text_and_changes_nothing(self):
        with self.session() as s:
            dialog = Dialog.open(s)
            dialog.step_to(3)
            for opened_by in ["click", "Return"]:
                with self.subTest(opened_by=opened_by):
                    if opened_by == "click":
                        dialog.click("SSCommand5")
                    else:
                        # The click left the focus on "Help", and closing the
                        # box gave it back there.
                        dialog.wait_for_focus("SSCommand5")
                        s.key("Return")
                    box = dialog.help_box()
                    self.assertEqual(box["title"], HELP_TITLE)
                    self.assertEqual(box["text"], HELP_TEXT)
                    self.assertEqual([b["text"] for b in box["buttons"] if b["visible"]], ["OK"])
                    self.assertFalse(any(dialog.box_icons(box)), "the box shows an icon")
                    self.assertFalse(dialog.control_window()["enabled"], "the dialog takes input while the box is open")
                    if opened_by == "click":
                        s.screenshot("help")
                        # The box is modal: a click on the spin button goes nowhere.
                        dialog.step("up")
                    ok = box["buttons"][0]["hwnd"]
                    ok_rect = [w for w in harness.walk(s.windows()) if w["hwnd"] == ok][0]["rect"]
                    s.click((ok_rect[0] + ok_rect[2]) // 2, (ok_rect[1] + ok_rect[3]) // 2)
                    dialog.wait_for_no_box()
                    dialog.settle()
                    self.assertEqual(dialog.caption(), "3 Seconds")
            dialog.press_set("3")
            self.assertTrue(dialog.scr.running)


if __name__ == "__main__":
    harness.main()
