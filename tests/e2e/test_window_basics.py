"""The installer starts in a virtual display with one frameless 250 x 400 window and ends
with exit code 0 when that window is closed."""
import os
import unittest

import common
import harness

EXE = WORK = None
CLASS = "installer.exe"


class WindowBasics(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.Session(WORK)
        cls.exe = harness.copy_exe(EXE, cls.session.drive_c("setup"))

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def start(self):
        program = self.session.start(self.exe)
        self.addCleanup(program.stop)
        window = self.session.wait_window(CLASS, size=(250, 400))
        return program, window

    def test_frameless_window_of_250_by_400(self):
        program, window = self.start()
        left, top, width, height = window.geometry()
        self.assertEqual((width, height), (250, 400))
        self.assertEqual(left, (harness.SCREEN[0] - 250) // 2)
        self.session.screenshot(os.path.join(WORK, "window.png"))

    def test_alt_f4_ends_with_exit_code_0(self):
        program, window = self.start()
        window.focus()
        window.click(125, 150)
        self.session.key("alt+F4")
        self.assertEqual(program.wait(30), 0)


if __name__ == "__main__":
    common.main()
