"""The release as a user gets it: the zip that cpack makes, unpacked into
the Windows folder of a fresh prefix, and the screen saver run from there
in both modes. And as anyone can check it: built again from the same sources
in another folder, it has the same bytes; signed with a certificate, its
programs and installer verify, the programs are the same with the signature
taken off, and the signed installer installs silently."""

import hashlib
import os
import re
import shutil
import subprocess
import tempfile
import zipfile
from pathlib import Path

import harness
from config import FORM1, SETTINGS
from test_installer import as_windows_10, msiexec

WINDOWS_SCR = "C:\\windows\\Salvanto2002.scr"
SIGNER = "Salvanto Release Test Signer"


def sha256(path: Path) -> str:
    return hashlib.sha256(path.read_bytes()).hexdigest()


def run(*command, cwd=None, env=None) -> str:
    done = subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True)
    assert done.returncode == 0, f"{' '.join(map(str, command))}: {done.returncode}\n{done.stdout}{done.stderr}"
    return done.stdout


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

    def test_built_again_elsewhere_the_same_bytes_and_signed_the_same_program(self):
        """The test command's build against one signed build of the programs
        and the installer from a copy of the sources in another folder: less
        their signatures, the programs are the first build's bytes. `scripts/
        build.sh --verify` compares two whole unsigned releases, zip and
        installer included, built from two clean clones."""
        first = harness.win_build_dir()
        epoch = re.search(r"SOURCE_DATE_EPOCH} (\d+)", (first / "source_date_epoch.cmake").read_text()).group(1)
        work = Path(tempfile.mkdtemp(prefix="salvanto-release-"))
        self.addCleanup(shutil.rmtree, work, True)
        source = work / "elsewhere"
        shutil.copytree(harness.SOURCE_DIR, source, ignore=shutil.ignore_patterns("build", ".git", "__pycache__"))
        second = source / "build" / "windows"
        msis = sorted(p.name for p in first.glob("Salvanto2002-*-win64.msi"))

        # A throwaway certificate, as an organisation would give its own.
        pfx = work / "signer.pfx"
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", f"/CN={SIGNER}",
            "-keyout", work / "key.pem", "-out", work / "cert.pem")
        run("openssl", "pkcs12", "-export", "-inkey", work / "key.pem", "-in", work / "cert.pem", "-out", pfx,
            "-passout", "pass:throwaway")
        # The copy has no history: the time the installer records comes from the first build.
        env = {**os.environ, "SOURCE_DATE_EPOCH": epoch, "SIGN_PASSWORD": "throwaway"}
        run("cmake", "--preset", "windows", f"-DSALVANTO_SIGN_PFX={pfx}", cwd=source, env=env)
        # At the lowest priority: it takes the time the tests beside it leave, not their ticks' time.
        run("nice", "-n", "19", "cmake", "--build", second, f"-j{os.cpu_count()}", "--target", "Salvanto2002",
            "installer", env=env)

        for name in ["Salvanto2002.scr", "SaverSetup.dll", *msis]:
            verified = run("osslsigncode", "verify", "-CAfile", work / "cert.pem", "-in", second / name)
            self.assertIn(f"Subject: /CN={SIGNER}", verified, name)
            self.assertIn("Signature verification: ok", verified, name)
            if not name.endswith(".msi"):  # the installer packs the signed programs: its content differs
                run("osslsigncode", "remove-signature", "-in", second / name, "-out", work / name)
                self.assertEqual(sha256(work / name), sha256(first / name), f"{name} less its signature")
        signed = second / "Salvanto2002.scr"
        with self.session() as s:
            as_windows_10(s)
            self.assertEqual(msiexec(s, "msiexec", "/i", s.wine_path(second / msis[0])).exit_code, 0, "signed")
            self.assertEqual(sha256(s.prefix / "drive_c" / "windows" / "system32" / "Salvanto2002.scr"), sha256(signed))


if __name__ == "__main__":
    harness.main()
