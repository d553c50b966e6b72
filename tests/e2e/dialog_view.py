"""The settings dialog as a user meets it: its controls' rectangles (read from
the inspector once, since the dialog never moves them), real clicks at
points inside them, real keys, and what the dialog shows and stores. Shared
by the settings dialog's test files."""

from __future__ import annotations

from typing import Callable

import harness
from config import FORM1, SETTINGS

DIALOG_TITLE = "Screen Saver Settings"

# The delays the spin button steps through, in seconds, shortest first.
CYCLE = [1, 2, 3, 4, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60]
OPENING_CAPTION = "1 Second"

HELP_TITLE = "The Salvanto Anthology Screen Saver Settings"
HELP_TEXT = (
    "The Salvanto Anthology Screen Saver must be initially installed from \r\n"
    "within the Salvanto Anthology itself. Use this screen to adjust the \r\n"
    "timing interval of the presentation.\r\n"
    "\r\n"
    "Additional options exist allowing you to set the screen saver to use\r\n"
    "all the photos from the Salvanto Anthology library or just the ones that\r\n"
    "you have selected from the Screen Saver Photo Selection form. They\r\n"
    "are available under the File/Install Screen Saver menu items within\r\n"
    "the Salvanto Anthology software.\r\n"
    "\r\n"
)

# A stored delay the dialog never opens with: "Set" at once must replace it,
# and leaving without "Set" must keep it.
EARLIER = "45"

# A window that comes or goes, a value that gets stored: far quicker than
# this even on a loaded machine.
WAIT_S = 10

SS_TYPEMASK, SS_ICON = 0x1F, 0x03

# Every control of the dialog, by the name the inspector gives it.
CONTROLS = ("pnlSSaver", "Label7", "Label8", "Image2", "Label9", "SpinInterval", "panInterval",
            "SSCommand4", "SSCommand6", "SSCommand5")


def caption_after_step(seconds: int) -> str:
    return f"{seconds} Seconds"


class Dialog:
    """One running copy in settings mode and a user's hands on its dialog."""

    def __init__(self, session: harness.Session, scr: harness.Process):
        self.s = session
        self.scr = scr
        self.window = session.wait_for_window(SETTINGS, process=scr, children=CONTROLS)
        self.hwnd = self.window["hwnd"]
        self.controls = {w["name"]: w for w in harness.walk([self.window]) if w["name"]}

    @classmethod
    def open(cls, session: harness.Session) -> "Dialog":
        """Starts the program in settings mode and waits until its dialog is
        up and has the keyboard (so that keys sent next reach it)."""
        dialog = cls(session, session.start_scr("/c"))
        dialog.wait_for_focus("SSCommand4")
        return dialog

    # ---- looking ----------------------------------------------------------------

    def rect(self, name: str) -> list[int]:
        return self.controls[name]["rect"]

    def control(self, name: str) -> dict:
        """The control as it is now."""
        return self.control_of(self.controls[name]["hwnd"], name)

    def control_of(self, hwnd: int, what: str) -> dict:
        found = [w for w in harness.walk(self.s.windows()) if w["hwnd"] == hwnd]
        if not found:
            raise AssertionError(f"{what} is gone; the program {self.scr}")
        return found[0]

    def control_window(self) -> dict:
        """The dialog window itself as it is now."""
        return self.control_of(self.hwnd, "the dialog")

    def caption(self) -> str:
        return self.control("panInterval")["text"]

    def focus(self) -> dict:
        return self.s.inspect("focus", str(self.hwnd))

    def accessible(self) -> dict[str, dict]:
        """What a screen reader in another process reads of each control
        (inspector msaa), by the control's name."""
        read = self.s.inspect("msaa", str(self.hwnd))
        return {node["name"]: node for node in harness.walk([read]) if node["name"]}

    def _wait_for(self, read: Callable[[], object], expected: object, what: str) -> None:
        seen: list[object] = []

        def probe() -> bool:
            seen.append(read())
            return seen[-1] == expected

        try:
            self.s.wait_until(probe, WAIT_S, what, self.scr)
        except TimeoutError:
            raise AssertionError(f"{what}: expected {expected!r}, still {seen[-1]!r} after {WAIT_S} s") from None

    def wait_for_caption(self, expected: str) -> None:
        self._wait_for(self.caption, expected, "panInterval's caption")

    def wait_for_stored(self, expected: str | None) -> None:
        self._wait_for(lambda: self.s.setting("Interval"), expected, "the stored Interval")

    def wait_for_accessible_name(self, control: str, expected: str) -> None:
        self._wait_for(lambda: self.accessible()[control]["acc_name"], expected, f"{control}'s accessible name")

    def wait_for_focus(self, name: str) -> None:
        self._wait_for(lambda: self.focus()["focus"]["name"], name, "the control with the keyboard focus")

    def settle(self) -> None:
        """Returns once the dialog has taken every input sent so far."""
        if not self.s.sync(self.hwnd):
            raise AssertionError(f"the dialog did not answer; the program {self.scr}")

    # ---- acting -----------------------------------------------------------------

    def click(self, name: str, x_fraction: float = 0.5) -> None:
        """A left click inside the control, at x_fraction of its width and
        half its height."""
        left, top, right, bottom = self.rect(name)
        self.s.click(int(left + (right - left) * x_fraction), (top + bottom) // 2)

    def step(self, direction: str) -> None:
        """A click on one of the spin button's arrows: the left one steps the
        delay down, the right one up."""
        if direction not in ("down", "up"):
            raise ValueError(direction)
        self.click("SpinInterval", 0.25 if direction == "down" else 0.75)

    def step_to(self, seconds: int, start: int = 1) -> None:
        """Steps from the delay shown (start seconds) to another, the shorter
        way round the cycle, checking every caption on the way."""
        here, there = CYCLE.index(start), CYCLE.index(seconds)
        ups = (there - here) % len(CYCLE)
        direction, move = ("up", 1) if ups <= len(CYCLE) - ups else ("down", -1)
        while here != there:
            here = (here + move) % len(CYCLE)
            self.step(direction)
            self.wait_for_caption(caption_after_step(CYCLE[here]))

    def press_set(self, expected: str) -> None:
        self.click("SSCommand4")
        self.wait_for_stored(expected)

    def wait_for_end(self) -> int:
        """The exit code, once the program has ended and its windows (and with
        them its single-instance mark) are gone."""
        code = self.scr.wait(WAIT_S)
        self.s.stop_scr(self.scr)
        return code

    def help_box(self) -> dict:
        """The message box the dialog opens (the help box: its only one),
        whole and with the keyboard on one of its buttons, so that a key
        sent next reaches it."""
        box = self.s.wait_for_message_box(WAIT_S, process=self.scr)
        buttons = {b["hwnd"] for b in box["buttons"]}
        self._wait_for(lambda: self.s.inspect("focus", str(box["hwnd"]))["focus"]["hwnd"] in buttons, True,
                       "the keyboard focus on the help box's button")
        return box

    def box_icons(self, box: dict) -> list[int]:
        """The icon handle of every icon control of a message box (0: empty)."""
        windows = [w for w in harness.walk(self.s.windows()) if w["hwnd"] == box["hwnd"]]
        icons = []
        for child in windows[0]["children"] if windows else []:
            if child["class"].lower() == "static" and child["style"] & SS_TYPEMASK == SS_ICON and child["visible"]:
                icons.append(self.s.inspect("icon", str(child["hwnd"]))["icon"])
        return icons

    def wait_for_no_box(self) -> None:
        self.s.wait_until(lambda: not self.s.message_boxes(), WAIT_S, "the message box gone", self.scr)
