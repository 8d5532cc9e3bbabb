"""The real installer window as the toolkit draws it: the main page over the two lower pages,
the install button's pictures under the pointer and while pressed, and the pointing hand over
the two controls that have it. Expected picture colours are read from the committed art."""
import os
import subprocess
import time

import common
import harness
import toolkit_cursor
from installer_driver import CLASS, CLOSE_CROSS as CROSS, INSTALL_BUTTON as BUTTON, INSTALL_DIR_LABEL as DIR_LABEL
from installer_driver import PAGE_BLUE, InstallerTestCase

ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ui", "art")
LIGHT_BLUE = (0x75, 0xB8, 0xEE)
BUTTON_PANEL = (35, 296)  # a client point inside the install button's panel, clear of its text


def art_pixel(name, x, y):
    out = subprocess.run(["convert", os.path.join(ART, name), "-format", f"%[fx:int(255*p{{{x},{y}}}.r)],"
                          f"%[fx:int(255*p{{{x},{y}}}.g)],%[fx:int(255*p{{{x},{y}}}.b)]", "info:"],
                         capture_output=True, text=True, check=True, timeout=60).stdout
    return tuple(int(v) for v in out.split(","))


def near(a, b, tolerance=12):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class InstallerLook(InstallerTestCase):
    @classmethod
    def setUpClass(cls):
        cls.normal = art_pixel("install-button.jpg", 20, 40)
        cls.hot = art_pixel("install-button-hot.jpg", 20, 40)
        assert not near(cls.normal, cls.hot), "the art's normal and hot panels look alike"
        super().setUpClass()
        cls.session.map_drive("d", os.path.join(cls.session.work, "d"))

    def setUp(self):
        self.session.move(5, 5)
        self.program = self.session.start(self.exe)
        self.addCleanup(self.program.stop)
        self.window = self.session.wait_window(CLASS, size=(250, 400), timeout=90)
        time.sleep(0.5)

    def pixel(self, x, y, shot=None):
        shot = shot or self.session.screenshot()
        left, top, _, _ = self.window.geometry()
        return shot.pixel(left + x, top + y)

    def wait_colour(self, point, colour, what):
        harness.wait_for(lambda: near(self.pixel(*point), colour), 10, what)

    def cursor_at(self, x, y):
        self.window.move_to(x, y)
        time.sleep(0.4)
        return toolkit_cursor.current_cursor(self.session.display.name)

    def test_only_the_main_page_is_seen(self):
        shot = self.session.screenshot(os.path.join(self.session.work, "installer-window.png"))
        left, top, _, _ = self.window.geometry()
        # Everywhere outside the logo, the button and the texts the main page shows page blue.
        strips = [shot.region(left + 1, top + 34, 248, 2), shot.region(left + 1, top + 248, 248, 6),
                  shot.region(left + 1, top + 336, 248, 7), shot.region(left + 236, top + 36, 13, 210),
                  shot.region(left + 1, top + 36, 11, 210)]
        for strip in strips:
            self.assertEqual(set(strip), {PAGE_BLUE})
        self.assertNotIn(LIGHT_BLUE, shot.region(left, top, 250, 400))
        self.assertTrue(near(self.pixel(*BUTTON_PANEL, shot), self.normal))

    def test_hot_under_the_pointer_normal_while_pressed_no_click_off_the_button(self):
        self.window.move_to(*BUTTON_PANEL)
        self.wait_colour(BUTTON_PANEL, self.hot, "the hot picture under the pointer")
        self.session.button_down()
        self.wait_colour(BUTTON_PANEL, self.normal, "the normal picture while pressed (there is no pressed one)")
        self.session.screenshot(os.path.join(self.session.work, "installer-pressed.png"))
        self.window.move_to(125, 150)
        self.session.button_up()
        self.wait_colour(BUTTON_PANEL, self.normal, "the normal picture once the pointer left")
        time.sleep(1.5)
        self.assertEqual(len(self.session.windows(CLASS)), 1, "a release off the button clicked it")

    def test_taskbar_entry_has_the_caption_and_the_application_icon_large_and_small(self):
        out = subprocess.run(["xprop", "-id", self.window.wid, "_NET_WM_ICON", "_NET_WM_NAME", "_NET_WM_WINDOW_TYPE"],
                             env=self.session.env, capture_output=True, text=True, timeout=30).stdout
        self.assertIn('_NET_WM_NAME(UTF8_STRING) = "安装程序"', out)
        self.assertIn("_NET_WM_WINDOW_TYPE_NORMAL", out)
        self.assertIn("Icon (32 x 32)", out)
        self.assertIn("Icon (16 x 16)", out)

    def test_pointing_hand_over_the_directory_label_and_the_close_cross(self):
        arrow = self.cursor_at(240, 150)
        label = self.cursor_at(*DIR_LABEL)
        cross = self.cursor_at(*CROSS)
        button = self.cursor_at(*BUTTON)
        self.assertEqual(label, cross)
        self.assertNotEqual(label, arrow)
        self.assertEqual(button, arrow)


if __name__ == "__main__":
    common.main()
