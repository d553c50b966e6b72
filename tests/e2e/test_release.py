"""The release as a user gets it: the zip that cpack makes, unpacked into
the Windows folder of a fresh prefix, and the screen saver run from there
in both modes."""

import zipfile

import harness
from config import FORM1, SETTINGS

WINDOWS_SCR = "C:\\windows\\Salvanto2002.scr"


class Release(harness.SessionTestCase):
    def test_zip_installs_by_copying_and_runs_in_both_modes(self):
        zips = sorted(harness.win_build_dir().glob("Salvanto2002-*-win64.zip"))
        self.assertEqual(len(zips), 1, f"release zips in {harness.win_build_dir()}: {zips}")
        with zipfile.ZipFile(zips[0]) as release:
            self.assertEqual(sorted(release.namelist()), ["README.txt", "Salvanto2002.scr"])
            note = release.read("README.txt").decode("ascii")
            for what in ('"Install"', "C:\\Windows", "Software\\VB and VBA Program Settings",
                         "SCRNSAVE: The Salvanto Anthology 2002\\Settings", "SalvantosDir", "Interval", "Removing"):
                self.assertIn(what, note)
            self.assertIn("\r\n", note, "the note reads well in Notepad")

            with self.session(size=(800, 600), settings={"Interval": "10"}) as s:
                release.extract("Salvanto2002.scr", s.prefix / "drive_c" / "windows")

                settings = s.start_exe(WINDOWS_SCR, "/c")
                dialog = s.wait_for_window(SETTINGS, process=settings)
                self.assertEqual(dialog["text"], "Screen Saver Settings")
                s.close_window(dialog["hwnd"])
                self.assertEqual(settings.wait(10), 0)

                show = s.start_exe(WINDOWS_SCR, "/s")
                form = s.wait_for_window(FORM1, process=show)
                self.assertEqual(form["rect"], [0, 0, 800, 600])
                self.assertTrue(s.sync(form["hwnd"]))
                s.key("a")
                self.assertEqual(show.wait(10), 0)


if __name__ == "__main__":
    harness.main()
