"""Makes the README's pictures from the real program under Wine: the
slideshow over the bundled sample collection, and the settings dialog.
Run: python3 scripts/readme_pictures.py (after scripts/build.sh)."""

import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402
from config import FORM1, SETTINGS  # noqa: E402

DOCS = ROOT / "docs"


def shoot(s: harness.Session, name: str, rect: list[int] | None = None, width: int | None = None) -> None:
    raw = s.screenshot(name)
    args = ["convert", str(raw)]
    if rect:
        left, top, right, bottom = rect
        args += ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"]
    if width:
        args += ["-resize", f"{width}x"]
    # No timestamps or comments in the file: the same program makes the same bytes.
    args += ["-strip", "-define", "png:exclude-chunks=date,time", str(DOCS / f"{name}.png")]
    subprocess.run(args, check=True)


def main() -> None:
    DOCS.mkdir(exist_ok=True)
    # The Wine prefix template that every session copies (made once per build).
    subprocess.run([sys.executable, str(ROOT / "tests" / "e2e" / "harness.py"), "template"], check=True)
    collection = "Z:" + str(ROOT / "assets" / "demo_collection").replace("/", "\\") + "\\"
    with harness.Session("readme-slideshow", size=(1024, 768), settings={"Interval": "1", "SalvantosDir": collection}) as s:
        scr = s.start_scr("/s")
        form = s.wait_for_window(FORM1, process=scr)
        # The first photo of the collection, with its caption.
        s.wait_until(lambda: any(w["name"] == "panYear" and w["visible"] and w["text"] != "Morvane Software"
                                 for w in harness.walk(s.windows())), 20, "a photo's caption", process=scr)
        s.sync(form["hwnd"])
        shoot(s, "slideshow", width=640)
    with harness.Session("readme-settings", size=(1024, 768)) as s:
        scr = s.start_scr("/c")
        dialog = s.wait_for_window(SETTINGS, process=scr)
        s.sync(dialog["hwnd"])
        shoot(s, "settings", rect=dialog["rect"])
    print(f"Pictures in {DOCS}: slideshow.png, settings.png")


if __name__ == "__main__":
    main()
