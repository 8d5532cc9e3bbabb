"""The installer as a user meets it: its window, its message boxes, what it leaves on disk."""
import calendar
import os
import struct
import time
import unittest
import zipfile

import common
import harness

CLASS = "installer.exe"
WINDOW_SIZE = (250, 400)
# Client points of the main page's controls (the page's border moves them one pixel in).
INSTALL_BUTTON = (125, 296)
INSTALL_DIR_LABEL = (60, 380)
CLOSE_CROSS = (236, 20)
PAGE_BLUE = (0x16, 0x83, 0xC4)

NOTICE_TITLE = "信息："
QUESTION_TITLE = "温馨提示："
RUNNING_COPY_TITLE = "Quorvane<没有关闭>"
BROWSER_TITLE = "选择文件夹"
COMPANY_FOLDER = "Tovrask软件"
PRODUCT = "Quorvane"


class InstallerTestCase(unittest.TestCase):
    """One wine prefix and display for a test file, the installer copied into C:\\setup."""

    @classmethod
    def setUpClass(cls):
        cls.session = harness.Session(common.WORK)
        cls.exe = harness.copy_exe(common.EXE, cls.session.drive_c("setup"))

    @classmethod
    def tearDownClass(cls):
        cls.session.close()


class Installer:
    def __init__(self, session, exe):
        self.session = session
        self.exe = exe
        self.program = None
        self.window = None

    def start(self):
        self.program = self.session.start(self.exe)
        self.window = self.session.wait_window(CLASS, size=WINDOW_SIZE, timeout=90)
        time.sleep(0.5)  # first paint
        return self

    def stop(self):
        if self.program:
            self.program.stop()

    def click_install(self):
        self.window.click(*INSTALL_BUTTON)

    def dialog(self, title, timeout=60):
        return self.session.wait_window(CLASS, title=title, timeout=timeout)

    def answer(self, title, key="Return", timeout=60, shot=None):
        """Waits for the message box with `title` and answers it with a key press."""
        box = self.dialog(title, timeout)
        time.sleep(0.3)
        if shot:
            self.session.screenshot(shot)
        box.focus()
        self.session.key(key)
        harness.wait_for(lambda: not any(w.wid == box.wid for w in self.session.windows(CLASS)), 30,
                         f"the box {title!r} to close")

    def has_dialog(self, title):
        return any(w.title() == title for w in self.session.windows(CLASS))

    def client_pixel(self, shot, x, y):
        left, top, _, _ = self.window.geometry()
        return shot.pixel(left + x, top + y)


def payload_entries(exe):
    """(name, is_dir, size, crc, dos_time) of each entry of the archive this installer carries."""
    path = os.path.join(os.path.dirname(exe), "payload", "tool.zip")
    entries = []
    with zipfile.ZipFile(path) as z:
        for info in z.infolist():
            raw = info.filename.encode("cp437") if not info.flag_bits & 0x800 else info.filename.encode()
            name = raw.decode("gbk")
            entries.append((name.rstrip("/"), bool(info.external_attr & 0x10), info.file_size, info.CRC,
                            info.date_time, z.read(info) if not info.external_attr & 0x10 else None))
    return entries


def dos_attributes(path):
    """The DOS attribute bits wine keeps for a file (read-only from the write bits)."""
    bits = 0
    try:
        value = os.getxattr(path, "user.DOSATTRIB").decode(errors="replace").strip("\0")
        bits = int(value.split(",")[0], 0) if value.startswith("0x") else 0
    except OSError:
        pass
    if not os.stat(path).st_mode & 0o200:
        bits |= 0x01
    return bits


def check_installed(test, folder, exe):
    """The payload's files and folders under `folder`, with their bytes, normal attributes and
    their DOS times taken as UTC."""
    entries = payload_entries(exe)
    test.assertTrue(os.path.isdir(folder), f"{folder} was not created")
    expected = {name for name, *_ in entries}
    found = set()
    for root, dirs, files in os.walk(folder):
        for n in dirs + files:
            found.add(os.path.relpath(os.path.join(root, n), folder).replace(os.sep, "\\"))
    test.assertEqual(found, {e.replace("/", "\\") for e in expected})
    top = [n for n in os.listdir(folder) if os.path.isfile(os.path.join(folder, n))]
    test.assertEqual(len(top), 7)
    test.assertIn(PRODUCT + ".exe", top)
    for name, is_dir, size, crc, date_time, data in entries:
        path = os.path.join(folder, *name.split("/"))
        if is_dir:
            test.assertTrue(os.path.isdir(path), name)
            continue
        with open(path, "rb") as f:
            test.assertEqual(f.read(), data, f"{name} differs from its entry")
        test.assertEqual(dos_attributes(path) & 0x07, 0, f"{name} is not normal")
        expected_time = calendar.timegm(date_time + (0, 0, 0))
        test.assertEqual(int(os.stat(path).st_mtime), expected_time, f"{name} time")


def shortcut_target(path):
    """Target path and show command of a shell link file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"\x4c\0\0\0":
        raise ValueError("not a shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    show = struct.unpack_from("<I", data, 0x3C)[0]
    at = 0x4C
    if flags & 0x1:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = None
    if flags & 0x2:
        info = at
        header = struct.unpack_from("<IIIIIII", data, info)
        local_base = header[4]
        end = data.index(b"\0", info + local_base)
        target = data[info + local_base:end].decode("gbk")
        suffix_at = info + header[6]
        suffix = data[suffix_at:data.index(b"\0", suffix_at)].decode("gbk")
        target += suffix
    return target, show
