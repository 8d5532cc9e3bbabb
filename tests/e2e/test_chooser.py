"""The install location chooser in the real folder browser: a press on the install-directory
label opens it, Cancel changes nothing, a chosen folder becomes "<folder>\\Quorvane" and the
installation that follows goes there."""
import os
import time

import common
import harness
from installer_driver import (BROWSER_TITLE, CLASS, COMPANY_FOLDER, INSTALL_DIR_LABEL, NOTICE_TITLE, PRODUCT,
                              QUESTION_TITLE, Installer, InstallerTestCase, check_installed)

TARGET = "QvTarget"  # a folder on C: the test picks in the browser's tree


class Chooser(InstallerTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        harness.fresh_folder(cls.session.drive_c(TARGET))

    def setUp(self):
        self.d_drive = harness.fresh_folder(os.path.join(self.session.work, f"d-{self._testMethodName}"))
        self.session.map_drive("d", self.d_drive)
        self.addCleanup(self.session.map_drive, "d", None)
        self.installer = Installer(self.session, self.exe).start()
        self.addCleanup(self.installer.stop)

    def open_browser(self):
        self.installer.window.click(*INSTALL_DIR_LABEL)
        browser = self.installer.dialog(BROWSER_TITLE, timeout=60)
        time.sleep(1)
        browser.focus()
        return browser

    def wait_closed(self, browser):
        harness.wait_for(lambda: not any(w.wid == browser.wid for w in self.session.windows(CLASS)), 30,
                         "the browser to close")
        time.sleep(0.5)

    def label_pixels(self):
        shot = self.session.screenshot()
        left, top, _, _ = self.installer.window.geometry()
        return shot.region(left + 8, top + 368, 232, 25)

    def install_and_finish(self):
        self.installer.click_install()
        self.installer.answer(NOTICE_TITLE)
        self.installer.answer(QUESTION_TITLE, key="n")
        self.assertEqual(self.installer.program.wait(60), 0)

    def test_cancel_keeps_the_proposal(self):
        before = self.label_pixels()
        browser = self.open_browser()
        self.session.screenshot(os.path.join(self.session.work, "browser.png"))
        self.session.key("Escape")
        self.wait_closed(browser)
        self.assertEqual(self.label_pixels(), before)
        self.install_and_finish()
        check_installed(self, os.path.join(self.d_drive, COMPANY_FOLDER, PRODUCT), common.EXE)

    def test_chosen_folder_with_the_product_name_is_where_it_installs(self):
        before = self.label_pixels()
        browser = self.open_browser()
        # Desktop > My Computer (last item) > C: (first drive) > the target folder, by keyboard.
        for key in ("End", "Right", "Down", "Right"):
            self.session.key(key)
            time.sleep(0.4)
        self.session.type_text(TARGET[:3])
        time.sleep(0.5)
        self.session.key("Return")
        self.wait_closed(browser)
        self.assertNotEqual(self.label_pixels(), before, "the caption did not change")
        self.session.screenshot(os.path.join(self.session.work, "chosen.png"))
        self.install_and_finish()
        check_installed(self, self.session.drive_c(TARGET, PRODUCT), common.EXE)
        self.assertFalse(os.path.exists(os.path.join(self.d_drive, COMPANY_FOLDER)))


if __name__ == "__main__":
    common.main()
