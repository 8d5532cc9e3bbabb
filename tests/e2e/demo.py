"""Runs one whole installation in a virtual display, as a user would, and saves a screenshot of
each stage: the window, the notice, the progress, the completion question and the started
product."""
import argparse
import os
import time

import harness
from installer_driver import NOTICE_TITLE, PRODUCT, QUESTION_TITLE, Installer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    session = harness.Session(args.work)
    shots = []

    def shot(name):
        path = os.path.join(session.work, name + ".png")
        session.screenshot(path)
        shots.append(path)

    try:
        session.map_drive("d", harness.fresh_folder(os.path.join(session.work, "d-drive")))
        exe = harness.copy_exe(args.exe, session.drive_c("setup"))
        installer = Installer(session, exe).start()
        shot("1-window")
        installer.click_install()
        installer.answer(NOTICE_TITLE, shot=os.path.join(session.work, "2-notice.png"))
        shots.append(os.path.join(session.work, "2-notice.png"))
        time.sleep(0.2)
        shot("3-progress")
        installer.answer(QUESTION_TITLE, shot=os.path.join(session.work, "4-question.png"))
        shots.append(os.path.join(session.work, "4-question.png"))
        code = installer.program.wait(60)
        session.wait_window(PRODUCT + ".exe", timeout=60)
        time.sleep(0.5)
        shot("5-product")
        print(f"installer ended with exit code {code}; installed into D:\\ mapped to "
              f"{os.path.join(session.work, 'd-drive')}")
        print("screenshots:")
        for path in shots:
            print("  " + path)
    finally:
        session.close()


if __name__ == "__main__":
    main()
