"""Whole installations, clicked and answered as a user would, with what they leave checked on
disk: files, attributes, times, the desktop shortcut, the started product, no archive copy."""
import os
import shutil
import time

import common
import harness
from installer_driver import (COMPANY_FOLDER, NOTICE_TITLE, PRODUCT, QUESTION_TITLE, RUNNING_COPY_TITLE, Installer,
                              InstallerTestCase, check_installed, shortcut_target)


class InstallRoad(InstallerTestCase):
    def setUp(self):
        s = self.session
        self.d_drive = harness.fresh_folder(os.path.join(s.work, f"d-{self._testMethodName}"))
        s.map_drive("d", self.d_drive)
        self.addCleanup(s.map_drive, "d", None)
        shutil.rmtree(s.drive_c(COMPANY_FOLDER), ignore_errors=True)
        for folder in (s.temp_dir(), s.desktop()):
            os.makedirs(folder, exist_ok=True)
        for leftover in (os.path.join(s.temp_dir(), "tool.zip"), os.path.join(s.desktop(), PRODUCT + ".lnk")):
            if os.path.isdir(leftover):
                os.rmdir(leftover)
            elif os.path.exists(leftover):
                os.remove(leftover)
        self.installer = Installer(s, self.exe)
        self.addCleanup(self.installer.stop)

    def shot(self, name):
        return os.path.join(self.session.work, f"{self._testMethodName}-{name}.png")

    def install(self, answer_key, at_question=None):
        inst = self.installer.start()
        inst.click_install()
        inst.answer(NOTICE_TITLE, shot=self.shot("notice"))
        inst.dialog(QUESTION_TITLE)
        if at_question:
            at_question()
        inst.answer(QUESTION_TITLE, key=answer_key, shot=self.shot("question"))
        self.assertEqual(inst.program.wait(60), 0)

    def assert_no_archive_copy(self, *drives):
        self.assertFalse(os.path.exists(os.path.join(self.session.temp_dir(), "tool.zip")), "tool.zip in temp")
        for root in drives:
            self.assertFalse(os.path.exists(os.path.join(root, "tool.zip")), f"tool.zip in {root}")

    def assert_shortcut_to(self, windows_dir):
        link = os.path.join(self.session.desktop(), PRODUCT + ".lnk")
        self.assertTrue(os.path.isfile(link), "no shortcut on the desktop")
        target, show = shortcut_target(link)
        self.assertEqual(target.lower(), (windows_dir + "\\" + PRODUCT + ".exe").lower())
        self.assertEqual(show, 5)

    def test_installs_on_d_and_starts_the_product_on_yes(self):
        self.install("Return")  # Yes is the default button
        folder = os.path.join(self.d_drive, COMPANY_FOLDER, PRODUCT)
        check_installed(self, folder, common.EXE)
        self.assert_shortcut_to(f"D:\\{COMPANY_FOLDER}\\{PRODUCT}")
        product = self.session.wait_window(PRODUCT + ".exe", timeout=60)
        self.assertTrue(product)
        self.assert_no_archive_copy(self.d_drive)

    def test_installs_on_c_without_drive_d_and_starts_nothing_on_no(self):
        self.session.map_drive("d", None)
        self.install("n")
        folder = self.session.drive_c(COMPANY_FOLDER, PRODUCT)
        check_installed(self, folder, common.EXE)
        self.assert_shortcut_to(f"C:\\{COMPANY_FOLDER}\\{PRODUCT}")
        time.sleep(2)
        self.assertEqual(self.session.windows(PRODUCT + ".exe"), [], "No started the product")
        self.assert_no_archive_copy(self.session.drive_c())

    def test_copy_goes_to_the_drive_root_when_temp_cannot_be_written(self):
        os.makedirs(os.path.join(self.session.temp_dir(), "tool.zip"))  # a folder in the file's place
        drive_copy = os.path.join(self.d_drive, "tool.zip")
        sizes = []
        self.install("n", at_question=lambda: sizes.append(os.path.getsize(drive_copy)))
        self.assertEqual(sizes, [os.path.getsize(os.path.join(os.path.dirname(common.EXE), "payload", "tool.zip"))])
        check_installed(self, os.path.join(self.d_drive, COMPANY_FOLDER, PRODUCT), common.EXE)
        self.assertFalse(os.path.exists(drive_copy), "the copy on the drive root stayed behind")

    def test_both_writes_failing_ends_after_the_message(self):
        os.makedirs(os.path.join(self.session.temp_dir(), "tool.zip"))
        os.makedirs(os.path.join(self.d_drive, "tool.zip"))
        inst = self.installer.start()
        inst.click_install()
        inst.answer(NOTICE_TITLE)
        inst.answer(NOTICE_TITLE, shot=self.shot("write-failed"))
        self.assertEqual(inst.program.wait(30), 0)
        self.assertFalse(os.path.exists(os.path.join(self.d_drive, COMPANY_FOLDER)))

    def test_running_copy_is_refused_and_nothing_is_written(self):
        other = harness.copy_exe(common.EXE, self.session.drive_c("elsewhere"))
        renamed = os.path.join(os.path.dirname(other), "QUORVANE.EXE")
        os.replace(other, renamed)
        running = self.session.start(renamed)
        self.addCleanup(running.stop)
        self.session.wait_window("quorvane.exe", size=(250, 400), timeout=90)
        inst = self.installer.start()
        inst.click_install()
        inst.answer(RUNNING_COPY_TITLE, shot=self.shot("running-copy"))
        time.sleep(1)
        self.assertTrue(inst.program.running())
        self.assertFalse(inst.has_dialog(NOTICE_TITLE))
        self.assert_no_archive_copy(self.d_drive)
        self.assertFalse(os.path.exists(os.path.join(self.d_drive, COMPANY_FOLDER)))

    def test_failed_extraction_is_reported_and_not_completed(self):
        folder = os.path.join(self.d_drive, COMPANY_FOLDER, PRODUCT)
        os.makedirs(folder)
        flag = self.session.drive_c("held.flag")
        if os.path.exists(flag):
            os.remove(flag)
        holder = self.session.start(os.path.join(common.TOOLS, "hold_file.exe"),
                                    f"D:\\{COMPANY_FOLDER}\\{PRODUCT}\\{PRODUCT}.exe", "C:\\held.flag")
        self.addCleanup(holder.stop)
        harness.wait_for(lambda: os.path.exists(flag), 60, "the file to be held")
        inst = self.installer.start()
        inst.click_install()
        inst.answer(NOTICE_TITLE)
        box = inst.dialog(NOTICE_TITLE)
        self.session.screenshot(self.shot("failure"))
        self.assertFalse(inst.has_dialog(QUESTION_TITLE), "a failed extraction was completed")
        box.focus()
        self.session.key("Return")
        time.sleep(1)
        self.assertTrue(inst.program.running(), "the window should stay for another try")
        self.assertFalse(os.path.exists(os.path.join(self.session.desktop(), PRODUCT + ".lnk")), "shortcut made")
        self.assert_no_archive_copy(self.d_drive)
        inst.window.click(236, 20)  # the close cross
        self.assertEqual(inst.program.wait(30), 0)


if __name__ == "__main__":
    common.main()
