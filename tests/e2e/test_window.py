"""The installer window as it is first shown: place and size, the page blue, the close cross
and Alt+F4 ending the installer with exit code 0."""
import os

import common
import harness
from installer_driver import CLOSE_CROSS, PAGE_BLUE, Installer, InstallerTestCase


class FirstWindow(InstallerTestCase):
    def start(self, d_drive=True):
        folder = os.path.join(self.session.work, "d") if d_drive else None
        self.session.map_drive("d", folder)
        installer = Installer(self.session, self.exe).start()
        self.addCleanup(installer.stop)
        return installer

    def test_centred_with_its_top_edge_at_300(self):
        installer = self.start()
        left, top, width, height = installer.window.geometry()
        self.assertEqual((width, height), (250, 400))
        self.assertEqual((left, top), ((harness.SCREEN[0] - 250) // 2, 300))

    def test_main_page_is_page_blue_with_its_border(self):
        installer = self.start()
        shot = self.session.screenshot(os.path.join(self.session.work, "window.png"))
        for x, y in ((240, 150), (3, 300), (245, 250), (125, 30)):
            self.assertEqual(installer.client_pixel(shot, x, y), PAGE_BLUE, (x, y))
        border = installer.client_pixel(shot, 0, 200)
        self.assertNotEqual(border, PAGE_BLUE, "the page has no border")

    def test_proposal_differs_between_drive_d_and_drive_c(self):
        regions = []
        for d_drive in (True, False):
            installer = self.start(d_drive)
            shot = self.session.screenshot(os.path.join(self.session.work, f"label-d{int(d_drive)}.png"))
            left, top, _, _ = installer.window.geometry()
            regions.append(shot.region(left + 8, top + 368, 232, 25))
            installer.stop()
        self.assertNotEqual(regions[0], regions[1])

    def test_close_cross_ends_with_exit_code_0(self):
        installer = self.start()
        installer.window.click(*CLOSE_CROSS)
        self.assertEqual(installer.program.wait(30), 0)

    def test_alt_f4_ends_with_exit_code_0(self):
        installer = self.start()
        installer.window.focus()
        installer.window.click(240, 150)
        self.session.key("alt+F4")
        self.assertEqual(installer.program.wait(30), 0)


if __name__ == "__main__":
    common.main()
