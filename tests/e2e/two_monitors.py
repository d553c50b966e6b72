"""Sessions on Xorg's dummy driver, whose screen xrandr can change while a
program runs (Xvfb's cannot, and puts every head at 0,0): two monitors side
by side, primary 1024 x 768 at the origin and the second 800 x 600 at
x = 1024, as Wine sees them once its server starts after the layout is set;
or one monitor whose mode a test changes."""

import os
import subprocess
import time

import harness

PRIMARY = (0, 0, 1024, 768)
SECOND = (1024, 0, 1824, 600)

XORG_CONF = """\
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "d0"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "m0"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
EndSection
Section "Screen"
  Identifier "s0"
  Device "d0"
  Monitor "m0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1024x768"
    Virtual {virtual}
  EndSubSection
EndSection
"""

PACKAGES = {"Xorg": "xserver-xorg-core", "xrandr": "x11-xserver-utils", "xsetroot": "x11-xserver-utils"}


class TwoMonitorSession(harness.Session):
    """A Session whose display has two monitors and a coloured desktop, so
    that a screenshot tells a covered monitor (black) from an uncovered one."""

    DESKTOP = (0, 128, 128)  # teal
    VIRTUAL = "1824 768"  # the largest screen xrandr can make

    def __init__(self, name: str, **kwargs):
        super().__init__(name, size=(SECOND[2], PRIMARY[3]), **kwargs)

    def _display_command(self, fd: int) -> tuple[list[str], str]:
        conf = self.root / "xorg.conf"
        conf.write_text(XORG_CONF.format(virtual=self.VIRTUAL))
        return (["Xorg", "-displayfd", str(fd), "-config", str(conf), "-noreset", "-nolisten", "tcp", "-logfile",
                 str(self.out_dir / "xorg.log")], "xorg-stderr.log")

    def _start_display(self) -> None:
        super()._start_display()
        self.xrandr("--newmode", "m800", "38.25", "800", "832", "912", "1024", "600", "603", "607", "624",
                    "-hsync", "+vsync")
        self.xrandr("--addmode", "DUMMY1", "m800")
        self.xrandr("--output", "DUMMY1", "--mode", "m800", "--right-of", "DUMMY0")
        # Wine reads the layout once, when its server starts: wait until X
        # reports both monitors.
        deadline = time.monotonic() + 20
        while self.monitor_count() != 2:
            if time.monotonic() > deadline:
                raise RuntimeError(f"X never reported two monitors; see {self.out_dir / 'xorg.log'}")
            time.sleep(0.05)
        colour = "#%02x%02x%02x" % self.DESKTOP
        subprocess.run(["xsetroot", "-display", self.display, "-solid", colour], check=True, timeout=30)

    def xrandr(self, *args: str) -> None:
        subprocess.run(["xrandr", "--display", self.display, *args], check=True, timeout=30,
                       stdout=subprocess.DEVNULL)

    def monitor_count(self) -> int:
        listing = subprocess.run(["xrandr", "--display", self.display, "--listmonitors"], check=True, timeout=30,
                                 capture_output=True, text=True).stdout
        return int(listing.split("Monitors:")[1].split()[0]) if "Monitors:" in listing else 0

    def remove_second_monitor(self) -> None:
        self.xrandr("--output", "DUMMY1", "--off")


class ResizableScreenSession(TwoMonitorSession):
    """One monitor, 1024 x 768 at the start, whose mode set_mode changes as
    a user (or a game, or a remote session) would, with a coloured desktop."""

    VIRTUAL = "1280 1024"

    def __init__(self, name: str, **kwargs):
        harness.Session.__init__(self, name, size=(1024, 768), **kwargs)

    def _start_display(self) -> None:
        harness.Session._start_display(self)
        colour = "#%02x%02x%02x" % self.DESKTOP
        subprocess.run(["xsetroot", "-display", self.display, "-solid", colour], check=True, timeout=30)

    def set_mode(self, width: int, height: int) -> None:
        """The monitor (and the screen with it) at a mode the dummy driver
        offers: 800 x 600, 1024 x 768, 1280 x 1024, ..."""
        self.xrandr("--output", "DUMMY0", "--mode", f"{width}x{height}")
        self.size = (width, height)
        # The pixel reader learns the root window's size when it connects.
        if self._x is not None:
            self._x.close()
            self._x = None


def missing_tools() -> list[str]:
    import shutil
    return sorted({package for tool, package in PACKAGES.items() if not shutil.which(tool)} |
                  ({"xserver-xorg-video-dummy"} if not os.path.exists("/usr/lib/xorg/modules/drivers/dummy_drv.so")
                   else set()))
