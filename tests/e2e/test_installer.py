"""The installer as an administrator uses it: the package the build made,
installed silently into a fresh prefix and run from there, upgraded by the
package of the next version, refused as a downgrade, and removed silently
the way Apps & Features removes it."""

import math
import re
from pathlib import Path

import harness
from config import FORM1

PRODUCT = "The Salvanto Anthology 2002 screen saver"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
DESKTOP = r"Control Panel\Desktop"
INSTALLED = "C:\\windows\\system32\\Salvanto2002.scr"
ANOTHER_SAVER = "C:\\windows\\system32\\ssmyst.scr"
ERROR_INSTALL_FAILURE = 1603


def the_package(folder: Path) -> tuple[Path, str]:
    """The one package in folder and its version, from its name."""
    packages = sorted(folder.glob("Salvanto2002-*-win64.msi"))
    assert len(packages) == 1, f"installers in {folder}: {packages}"
    return packages[0], packages[0].name.split("-")[1]


def entries(s: harness.Session) -> list[dict]:
    """The product's Apps & Features entries, {value name: data} (REG_DWORD as a number)."""
    listing = s.run_wine("reg", "query", UNINSTALL, "/s").stdout.decode(errors="replace")
    found: list[dict] = []
    for line in listing.splitlines():
        if line.startswith("HKEY_"):
            found.append({})
        elif found and (value := re.match(r"^\s+(\S+)\s+(REG_\w+)\s+(.*?)\s*$", line)):
            name, kind, data = value.groups()
            found[-1][name] = int(data, 16) if kind == "REG_DWORD" else data
    return [entry for entry in found if entry.get("DisplayName") == PRODUCT]


def msiexec(s: harness.Session, *args: str) -> int:
    return s.run_wine(*args, "/qn", timeout=120).returncode


class Installer(harness.SessionTestCase):
    def test_silent_install_upgrade_downgrade_and_removal(self):
        build = harness.win_build_dir()
        release, version = the_package(build)
        upgrade, next_version = the_package(build / "e2e-upgrade")
        with self.session(settings={"Interval": "7"}, registry={(DESKTOP, "SCRNSAVE.EXE"): ANOTHER_SAVER}) as s:
            installed = s.prefix / "drive_c" / "windows" / "system32" / "Salvanto2002.scr"

            # Without SETASSAVER the user's choice of saver stays as it was.
            self.assertEqual(msiexec(s, "msiexec", "/i", s.wine_path(release)), 0)
            self.assertEqual(installed.read_bytes(), (build / "Salvanto2002.scr").read_bytes())
            [entry] = entries(s)
            record = s.version_info(installed)
            self.assertEqual(record["file_version_fixed"], version + ".0", "one version for the file and package")
            self.assertEqual(
                {name: entry.get(name) for name in ("DisplayVersion", "Publisher", "DisplayIcon", "EstimatedSize")},
                {"DisplayVersion": version, "Publisher": record["string_tables"][0]["strings"]["CompanyName"],
                 "DisplayIcon": INSTALLED, "EstimatedSize": math.ceil(installed.stat().st_size / 1024)})
            self.assertEqual(s.reg_value(DESKTOP, "SCRNSAVE.EXE")["data"], ANOTHER_SAVER)
            show = s.start_exe(INSTALLED, "/s")
            form = s.wait_for_window(FORM1, process=show)
            self.assertTrue(s.sync(form["hwnd"]))
            s.key("a")
            self.assertEqual(show.wait(10), 0)

            # The next version replaces it in place and, asked to, becomes the saver.
            self.assertEqual(msiexec(s, "msiexec", "/i", s.wine_path(upgrade), "SETASSAVER=1"), 0)
            self.assertEqual([e["DisplayVersion"] for e in entries(s)], [next_version])
            self.assertTrue(installed.read_bytes().endswith(f"upgrade {next_version}".encode()), "the new file")
            self.assertEqual(s.reg_value(DESKTOP, "SCRNSAVE.EXE")["data"], INSTALLED)
            self.assertEqual(s.reg_value(DESKTOP, "ScreenSaveActive")["data"], "1")

            # An older version is refused (Wine hands the code on modulo 256).
            self.assertEqual(msiexec(s, "msiexec", "/i", s.wine_path(release)), ERROR_INSTALL_FAILURE & 0xFF)
            [entry] = entries(s)
            self.assertEqual(entry["DisplayVersion"], next_version)

            # Screen Saver Settings records its choice by the short path: the
            # removal clears that too, and keeps the user's own settings.
            listing = s.run_wine("cmd", "/c", "dir", "/x", INSTALLED).stdout.decode(errors="replace")
            short = "C:\\WINDOWS\\SYSTEM32\\" + re.search(r"(\S+)\s+Salvanto2002\.scr", listing).group(1)
            self.assertEqual(s.run_wine("reg", "add", "HKCU\\" + DESKTOP, "/v", "SCRNSAVE.EXE", "/d", short,
                                        "/f").returncode, 0)
            self.assertEqual(msiexec(s, *entry["UninstallString"].split()), 0)
            self.assertFalse(installed.exists())
            self.assertEqual(entries(s), [])
            self.assertIsNone(s.reg_value(DESKTOP, "SCRNSAVE.EXE"))
            self.assertEqual(s.setting("Interval"), "7")


if __name__ == "__main__":
    harness.main()
