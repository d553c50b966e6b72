"""The session's X display: starting its server (Xvfb, or another that
takes -displayfd), reading its pixels over the core protocol (XDisplay,
Pixels, PNGs of them), and the X windows Wine makes for a program's
windows."""

from __future__ import annotations

import os
import re
import select
import socket
import struct
import subprocess
import time
import zlib
from pathlib import Path
from typing import Callable

from processes import kill_group, popen_in_group


def start_x_server(command: Callable[[int], tuple[list[str], str]], log_dir: Path) -> tuple[subprocess.Popen, str]:
    """Starts the X server that command(fd) names, told to write its display
    number to fd, with its output in log_dir under the log name command
    gives; returns the server and its display (":N") once it has written
    the number. A server that gives none is ended before the error."""
    read_end, write_end = os.pipe()
    server = None
    try:
        argv, log_name = command(write_end)
        log_path = log_dir / log_name
        with open(log_path, "wb") as server_log:
            server = popen_in_group(argv, pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=server_log)
        os.close(write_end)
        write_end = -1
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or server.poll() is not None:
                raise RuntimeError(f"{argv[0]} gave no display number; see {log_path}")
            ready, _, _ = select.select([read_end], [], [], left)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError(f"{argv[0]} closed its display pipe; see {log_path}")
                number += chunk
        return server, ":" + number.decode().strip()
    except BaseException:
        if server is not None:
            kill_group(server)
        raise
    finally:
        os.close(read_end)
        if write_end >= 0:
            os.close(write_end)


class XDisplay:
    """A connection to an X display speaking just enough of the core X11
    protocol to read the root window's pixels (GetImage), over the
    display's local socket. The sessions' Xvfb displays take local
    connections without authorisation."""

    def __init__(self, display: str):
        number = display.lstrip(":").split(".")[0]
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(30)
        self.sock.connect(f"/tmp/.X11-unix/X{number}")
        # Byte order "l" (least significant first), protocol 11.0, no authorisation.
        self.sock.sendall(struct.pack("<cxHHHH2x", b"l", 11, 0, 0, 0))
        head = self._read(8)
        setup = self._read(struct.unpack_from("<H", head, 6)[0] * 4)
        if head[0] != 1:
            raise RuntimeError(f"{display} refused the connection: {setup[: head[1]]!r}")
        vendor_length, = struct.unpack_from("<H", setup, 16)
        formats, image_order = setup[21], setup[22]
        offset = 32 + (vendor_length + 3) // 4 * 4
        bits_per_pixel = {}
        for _ in range(formats):
            depth, bpp = setup[offset], setup[offset + 1]
            bits_per_pixel[depth] = bpp
            offset += 8
        # The first screen: its root window, size and depth.
        self.root, = struct.unpack_from("<I", setup, offset)
        self.width, self.height = struct.unpack_from("<HH", setup, offset + 20)
        depth = setup[offset + 38]
        if bits_per_pixel.get(depth) != 32 or image_order != 0 or depth < 24:
            raise RuntimeError(f"{display}: only 24-bit colour in 32-bit pixels, least significant byte first, "
                               f"is read here (depth {depth}, {bits_per_pixel.get(depth)} bits per pixel)")

    def _read(self, size: int) -> bytes:
        data = bytearray()
        while len(data) < size:
            chunk = self.sock.recv(size - len(data))
            if not chunk:
                raise RuntimeError("the X server closed the connection")
            data += chunk
        return bytes(data)

    def root_pixels(self) -> "Pixels":
        # GetImage (73) of the whole root window as a ZPixmap (2), all planes.
        self.sock.sendall(struct.pack("<BBHIhhHHI", 73, 2, 5, self.root, 0, 0, self.width, self.height, 0xFFFFFFFF))
        while True:
            packet = self._read(32)
            if packet[0] == 0:
                raise RuntimeError(f"GetImage failed with X error {packet[1]}")
            if packet[0] == 1:
                break
            # An event the server sends every client (MappingNotify): not ours.
        data = self._read(struct.unpack_from("<I", packet, 4)[0] * 4)
        rgb = bytearray(self.width * self.height * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
        return Pixels(self.width, self.height, bytes(rgb))

    def close(self) -> None:
        self.sock.close()


class Pixels:
    def __init__(self, width: int, height: int, rgb: bytes):
        self.width, self.height, self.rgb = width, height, rgb

    def at(self, x: int, y: int) -> tuple[int, int, int]:
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def count(self, colour: tuple[int, int, int], box: tuple[int, int, int, int] | None = None) -> int:
        """How many pixels of box (left, top, right, bottom) have exactly colour."""
        left, top, right, bottom = box or (0, 0, self.width, self.height)
        wanted = bytes(colour)
        n = 0
        for y in range(top, bottom):
            row = self.rgb[(y * self.width + left) * 3 : (y * self.width + right) * 3]
            n += sum(1 for i in range(0, len(row), 3) if row[i : i + 3] == wanted)
        return n

    def save_png(self, path: Path, box: tuple[int, int, int, int] | None = None) -> None:
        """Writes box (left, top, right, bottom; None: the whole screen) as a PNG."""
        left, top, right, bottom = box or (0, 0, self.width, self.height)
        # Each row starts with filter type 0 (none).
        rows = b"".join(b"\0" + self.rgb[(y * self.width + left) * 3 : (y * self.width + right) * 3]
                        for y in range(top, bottom))

        def chunk(kind: bytes, body: bytes) -> bytes:
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        header = struct.pack(">IIBBBBB", right - left, bottom - top, 8, 2, 0, 0, 0)
        path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 6))
                         + chunk(b"IEND", b""))



def x_windows(display: str, env: dict[str, str], linux_pid: int) -> list[dict]:
    """The X windows that Wine made for the windows of the program whose
    `wine` process has linux_pid (found by the _NET_WM_PID Wine gives
    them): {"id", "name", "rect" ([left, top, right, bottom]), "mapped",
    "icons" ([(width, height, [ARGB, ...]), ...])}. The icons are the ones
    Wine publishes for a window manager (_NET_WM_ICON), made from the
    window's own icon: the pixels a task bar or title bar shows, which is
    how a window's icon is seen from outside (another process cannot ask a
    window for its icon under Wine)."""
    found = subprocess.run(["xdotool", "search", "--pid", str(linux_pid)], env=env, timeout=15,
                           capture_output=True, text=True)
    windows = []
    for wid in found.stdout.split():
        props = subprocess.run(["xprop", "-display", display, "-id", wid, "-notype",
                                "-f", "_NET_WM_ICON", "32c", "=$0+\n", "_NET_WM_ICON", "_NET_WM_NAME"],
                               timeout=15, capture_output=True, text=True).stdout
        info = subprocess.run(["xwininfo", "-display", display, "-id", wid], timeout=15,
                              capture_output=True, text=True).stdout
        if not info:
            continue  # gone meanwhile
        fields = dict(re.findall(r"^\s*([A-Za-z -]+):\s*(\S+)", info, re.M))
        left, top = int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])
        icons: list[tuple[int, int, list[int]]] = []
        data = re.search(r"^_NET_WM_ICON=(.*)$", props, re.M)
        values = [int(v) for v in data.group(1).split(",")] if data else []
        while len(values) >= 2 and len(values) >= 2 + values[0] * values[1]:
            width, height = values[0], values[1]
            icons.append((width, height, values[2 : 2 + width * height]))
            values = values[2 + width * height :]
        name = re.search(r'^_NET_WM_NAME = "(.*)"$', props, re.M)
        windows.append({"id": int(wid), "name": name.group(1) if name else None,
                        "rect": [left, top, left + int(fields["Width"]), top + int(fields["Height"])],
                        "mapped": fields.get("Map State") == "IsViewable", "icons": icons})
    return windows
