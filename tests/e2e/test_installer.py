"""The installer as an administrator uses it: the package the build made,
refused on a Windows older than 10 1607 and with a SETASSAVER it does not
take, installed silently into a fresh prefix and run from there, replaced
by another build of its version and upgraded by the package of the next
version, refused as a downgrade, and removed silently the way Apps &
Features removes it."""

import itertools
import math
import re
import subprocess
from pathlib import Path, PureWindowsPath

import harness
from config import FORM1

PRODUCT = "The Salvanto Anthology 2002 screen saver"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
WINDOWS_NT = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion"
DESKTOP = r"Control Panel\Desktop"
INSTALLED = "C:\\windows\\system32\\Salvanto2002.scr"
ANOTHER_SAVER = "C:\\windows\\system32\\ssmyst.scr"
ERROR_INSTALL_FAILURE = 1603
UPGRADE_VERSION_MAX_INCLUSIVE = 512
LOGS = itertools.count()


def the_package(folder: Path) -> tuple[Path, str]:
    """The one package in folder and its version, from its name."""
    packages = sorted(folder.glob("Salvanto2002-*-win64.msi"))
    assert len(packages) == 1, f"installers in {folder}: {packages}"
    return packages[0], packages[0].name.split("-")[1]


def table(package: Path, name: str) -> list[list[str]]:
    """The rows of one of the package's tables (msiinfo's export without its three header lines)."""
    export = subprocess.run(["msiinfo", "export", str(package), name], capture_output=True, text=True, check=True)
    return [row.split("\t") for row in export.stdout.splitlines()[3:]]


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


def set_choice(s: harness.Session, value: str) -> None:
    """Records a screen saver choice as Screen Saver Settings or a user would, in any form."""
    escaped = value.replace("\\", "\\\\").replace('"', '\\"')
    reg = s.out_dir / "choice.reg"
    reg.write_text(f'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\{DESKTOP}]\n'
                   f'"SCRNSAVE.EXE"="{escaped}"\n')
    assert s.run_wine("reg", "import", s.wine_path(reg)).returncode == 0


def msiexec(s: harness.Session, program: str, *args: str, trace: str | None = None) -> harness.Process:
    """The installer run silently to its end; its log goes to the session's output folder."""
    log = s.out_dir / f"install-{next(LOGS)}.log"
    run = s.start_exe(program, *args, "/qn", "/l*v", s.wine_path(log), trace=trace)
    run.wait(120)
    return run


def as_windows_10(s: harness.Session) -> None:
    """Windows 10 22H2, which the installer needs (Wine's prefix says Windows 7)."""
    assert s.run_wine("reg", "add", WINDOWS_NT, "/v", "CurrentBuildNumber", "/d", "19045", "/f").returncode == 0


class Installer(harness.SessionTestCase):
    def test_silent_install_upgrade_downgrade_and_removal(self):
        build = harness.win_build_dir()
        release, version = the_package(build)
        rebuild, _ = the_package(build / "e2e-rebuild")
        upgrade, next_version = the_package(build / "e2e-upgrade")
        with self.session(settings={"Interval": "7"}, registry={(DESKTOP, "SCRNSAVE.EXE"): ANOTHER_SAVER}) as s:
            installed = s.prefix / "drive_c" / "windows" / "system32" / "Salvanto2002.scr"

            def choice() -> str | None:
                return (s.reg_value(DESKTOP, "SCRNSAVE.EXE") or {}).get("data")

            # Wine's prefix says Windows 7 (build 7601): refused, as SETASSAVER
            # other than 1 is on Windows 10 22H2, both before anything changes
            # (Wine hands the code on modulo 256).
            self.assertEqual(msiexec(s, "msiexec", "/i", s.wine_path(release)).exit_code, ERROR_INSTALL_FAILURE & 0xFF)
            as_windows_10(s)
            refused = msiexec(s, "msiexec", "/i", s.wine_path(release), "SETASSAVER=yes")
            self.assertEqual(refused.exit_code, ERROR_INSTALL_FAILURE & 0xFF)
            self.assertFalse(installed.exists())
            self.assertEqual(choice(), ANOTHER_SAVER)

            # SETASSAVER=1 makes it the saver in the installer's own processes:
            # no console program (the only way Wine shows that none ran).
            first = msiexec(s, "msiexec", "/i", s.wine_path(release), "SETASSAVER=1", trace="+process")
            self.assertEqual(first.exit_code, 0)
            started = re.findall(r':NtCreateUserProcess .*? image L"(.*?)" cmdline', first.output())
            self.assertEqual({PureWindowsPath(p).name.lower() for p in started}, {"msiexec.exe"})
            self.assertEqual((choice(), s.reg_value(DESKTOP, "ScreenSaveActive")["data"]), (INSTALLED, "1"))
            self.assertEqual(installed.read_bytes(), (build / "Salvanto2002.scr").read_bytes())
            [entry] = entries(s)
            record = s.version_info(installed)
            self.assertEqual(record["file_version_fixed"], version + ".0", "one version for the file and package")
            self.assertEqual(
                {name: entry.get(name) for name in ("DisplayVersion", "Publisher", "DisplayIcon", "EstimatedSize")},
                {"DisplayVersion": version, "Publisher": record["string_tables"][0]["strings"]["CompanyName"],
                 "DisplayIcon": INSTALLED, "EstimatedSize": math.ceil(installed.stat().st_size / 1024)})
            [[_, _, names, _, file_version, _, _, _]] = table(release, "File")
            self.assertRegex(names, r"^[A-Z0-9_]{1,8}\.SCR\|Salvanto2002\.scr$")
            self.assertEqual(file_version, record["file_version_fixed"])
            show = s.start_exe(INSTALLED, "/s")
            form = s.wait_for_window(FORM1, process=show)
            self.assertTrue(s.sync(form["hwnd"]))
            s.key("a")
            self.assertEqual(show.wait(10), 0)

            # Another build of this version, and then the next version, each
            # replace it in place and keep the choice made at the first
            # install, also in a form only Windows' lookup in System32 names
            # (Wine's removal of the old version clears it; the new one puts
            # it back). Wine would take a rebuild of one product code too
            # (Windows refuses it): the tables show it is another product,
            # which the upgrade takes.
            set_choice(s, "SALVANTO2002.SCR")
            self.assertEqual(msiexec(s, "msiexec", "/i", s.wine_path(rebuild)).exit_code, 0)
            self.assertEqual(len(entries(s)), 1)
            self.assertTrue(installed.read_bytes().endswith(f"rebuild {version}".encode()), "the rebuilt file")
            self.assertEqual(choice(), INSTALLED)
            codes = {dict(table(package, "Property"))["ProductCode"] for package in (release, rebuild)}
            self.assertEqual(len(codes), 2)
            [older] = [row for row in table(rebuild, "Upgrade") if row[-1] == "WIX_UPGRADE_DETECTED"]
            self.assertEqual((older[2], int(older[4]) & UPGRADE_VERSION_MAX_INCLUSIVE), (version, 512))
            self.assertEqual(msiexec(s, "msiexec", "/i", s.wine_path(upgrade)).exit_code, 0)
            self.assertEqual([e["DisplayVersion"] for e in entries(s)], [next_version])
            self.assertTrue(installed.read_bytes().endswith(f"upgrade {next_version}".encode()), "the new file")
            self.assertEqual(choice(), INSTALLED)

            # An older version is refused.
            self.assertEqual(msiexec(s, "msiexec", "/i", s.wine_path(release)).exit_code, ERROR_INSTALL_FAILURE & 0xFF)
            [entry] = entries(s)
            self.assertEqual(entry["DisplayVersion"], next_version)

            # Screen Saver Settings records its choice by the short path: the
            # removal clears that too, in any form (here quoted, with blanks,
            # a variable and "..", in capitals), and keeps the user's own
            # settings. (That it keeps another saver's is the unit table's.)
            listing = s.run_wine("cmd", "/c", "dir", "/x", INSTALLED).stdout.decode(errors="replace")
            short = re.search(r"(\S+)\s+Salvanto2002\.scr", listing).group(1)
            set_choice(s, f' "%SystemRoot%\\SYSTEM32\\..\\System32\\{short}" ')
            self.assertEqual(msiexec(s, *entry["UninstallString"].split()).exit_code, 0)
            self.assertFalse(installed.exists())
            self.assertEqual(entries(s), [])
            self.assertIsNone(choice())
            self.assertEqual(s.setting("Interval"), "7")


if __name__ == "__main__":
    harness.main()
