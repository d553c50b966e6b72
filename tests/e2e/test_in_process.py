"""Checks of the Win32 shell from inside (tests/win/win_tests.cpp), run under
Wine like the screen saver: the windows laid out again when Windows moves
them to another density, each window at its own monitor's density, the
dialog's controls in the system's colours under high contrast, what a
screen reader hears and their accessible objects after they are gone, and
nothing moving under a fatal error's box."""

import harness


class InProcess(harness.SessionTestCase):
    def test_win32_shell_from_inside(self):
        with self.session(size=(1024, 768)) as s:
            proc = s.start_exe(harness.win_build_dir() / "win_tests.exe")
            code = proc.wait(60)
            output = proc.output()
            self.assertIn("8 passed, 0 failed", output, output)
            self.assertEqual(code, 0, output)


if __name__ == "__main__":
    harness.main()
