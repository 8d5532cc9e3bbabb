"""Runs the installer in a virtual display, saves a screenshot of what a user sees and ends it."""
import argparse
import os

import harness


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    session = harness.Session(args.work)
    try:
        exe = harness.copy_exe(args.exe, session.drive_c("setup"))
        program = session.start(exe)
        window = session.wait_window("installer.exe", size=(250, 400))
        shot = os.path.join(session.work, "1-window.png")
        session.screenshot(shot)
        print(f"installer window: {window.geometry()}, screenshot saved to {shot}")
        program.stop()
    finally:
        session.close()


if __name__ == "__main__":
    main()
