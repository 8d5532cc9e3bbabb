"""Drives the real installer under wine64 in a virtual display, as a user would.

Every wait is bounded, so a program that hangs fails its test instead of hanging the run.
"""
import os
import shutil
import signal
import subprocess
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
SCREEN = (1024, 768)


class Timeout(AssertionError):
    pass


def wait_for(predicate, timeout, what):
    """Polls predicate until it gives a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout}s waiting for {what}")
        time.sleep(0.1)


class Display:
    """An Xvfb server of our own on a free display number."""

    def __init__(self, work):
        r, w = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "xvfb.log"), "w"))
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()


class Session:
    """One wine prefix and one display for a test file; programs are started inside it."""

    def __init__(self, work):
        self.work = os.path.abspath(work)
        os.makedirs(self.work, exist_ok=True)
        self.prefix = os.path.join(self.work, "prefix")
        self.display = Display(self.work)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, LC_ALL="zh_CN.UTF-8", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=self.display.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            subprocess.run([WINE, "wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=300)
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=300)
        self.user = os.environ.get("USER") or "root"

    # --- the prefix ---------------------------------------------------------------------
    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def user_dir(self, *parts):
        users = self.drive_c("users")
        names = [n for n in os.listdir(users) if n not in ("Public", "public")]
        return os.path.join(users, names[0], *parts)

    def desktop(self):
        return self.user_dir("Desktop")

    def temp_dir(self):
        """The folder GetTempPathA reports: the user's TEMP from the prefix's registry."""
        with open(os.path.join(self.prefix, "user.reg"), encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith('"TEMP"='):
                    return self.unix_path(line.split("=", 1)[1].strip().strip('"').replace("\\\\", "\\"))
        raise RuntimeError("the prefix has no TEMP")

    def unix_path(self, windows_path):
        """The Linux path of a C: path inside the prefix."""
        drive, rest = windows_path.split(":", 1)
        if drive.lower() != "c":
            raise ValueError(f"not on drive C: {windows_path}")
        return self.drive_c(*[p for p in rest.split("\\") if p])

    def map_drive(self, letter, folder):
        """Points drive `letter` at `folder`, or removes the drive when folder is None."""
        link = os.path.join(self.prefix, "dosdevices", f"{letter.lower()}:")
        if os.path.lexists(link):
            os.remove(link)
        if folder is not None:
            os.makedirs(folder, exist_ok=True)
            os.symlink(os.path.abspath(folder), link)

    # --- programs ----------------------------------------------------------------------
    def start(self, exe, *args):
        return Program(self, exe, args)

    def xdotool(self, *args, check=True):
        r = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True,
                           timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {r.stderr.strip()}")
        return r.stdout.strip()

    def windows(self, cls):
        """Visible top-level windows of a wine class, skipping wine's 1x1 helpers: [Window]."""
        out = self.xdotool("search", "--class", cls, check=False)
        found = []
        for wid in out.split():
            w = Window(self, wid)
            try:
                g = w.geometry()
            except RuntimeError:
                continue
            if g[2] > 1 and g[3] > 1 and w.mapped():
                found.append(w)
        return found

    def wait_window(self, cls, title=None, timeout=60, size=None):
        def find():
            for w in self.windows(cls):
                if title is not None and w.title() != title:
                    continue
                if size is not None and tuple(w.geometry()[2:]) != tuple(size):
                    continue
                return w
            return None
        return wait_for(find, timeout, f"a window of class {cls} titled {title!r}")

    # --- input and output --------------------------------------------------------------
    def move(self, x, y):
        self.xdotool("mousemove", "--sync", x, y)

    def click_at(self, x, y, button=1):
        self.move(x, y)
        time.sleep(0.15)
        self.xdotool("click", button)

    def button_down(self):
        """Holds the left button down where the pointer is."""
        self.xdotool("mousedown", 1)

    def button_up(self):
        self.xdotool("mouseup", 1)

    def key(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", 30, text)

    def screenshot(self, path=None):
        """The whole screen as a Shot; also saved as PNG when path is given."""
        raw = subprocess.run(["import", "-display", self.display.name, "-window", "root", "-depth", "8",
                              "rgb:-"], env=self.env, capture_output=True, timeout=60, check=True).stdout
        shot = Shot(raw, *SCREEN)
        if path:
            shot.save(path)
        return shot

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, timeout=60)
        self.display.close()


class Window:
    def __init__(self, session, wid):
        self.session = session
        self.wid = wid

    def geometry(self):
        """(left, top, width, height) on the screen."""
        out = self.session.xdotool("getwindowgeometry", "--shell", self.wid)
        v = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])

    def mapped(self):
        r = subprocess.run(["xwininfo", "-id", self.wid], env=self.session.env, capture_output=True,
                           text=True, timeout=30)
        return "IsViewable" in r.stdout

    def title(self):
        return self.session.xdotool("getwindowname", self.wid, check=False)

    def point(self, x, y):
        """Screen coordinates of the window's client point (x, y)."""
        left, top, _, _ = self.geometry()
        return left + x, top + y

    def click(self, x, y):
        self.session.click_at(*self.point(x, y))

    def move_to(self, x, y):
        self.session.move(*self.point(x, y))

    def focus(self):
        self.session.xdotool("windowfocus", "--sync", self.wid, check=False)


class Shot:
    def __init__(self, raw, width, height):
        self.raw, self.width, self.height = raw, width, height

    def pixel(self, x, y):
        o = 3 * (y * self.width + x)
        return tuple(self.raw[o:o + 3])

    def region(self, left, top, width, height):
        return [self.pixel(x, y) for y in range(top, top + height) for x in range(left, left + width)]

    def save(self, path):
        subprocess.run(["convert", "-size", f"{self.width}x{self.height}", "-depth", "8", "rgb:-", path],
                       input=self.raw, check=True, timeout=60)


class Program:
    def __init__(self, session, exe, args):
        self.session = session
        self.exe = exe
        self.log = open(os.path.join(session.work, os.path.basename(exe) + ".log"), "ab")
        self.proc = subprocess.Popen([WINE, exe, *args], env=session.env, stdout=self.log, stderr=self.log,
                                     cwd=os.path.dirname(exe) or None, start_new_session=True)

    def wait(self, timeout=60):
        """The exit code; wine gives a Windows exit code modulo 256."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"{self.exe} did not end within {timeout}s")

    def running(self):
        return self.proc.poll() is None

    def stop(self):
        if self.running():
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(10)
        self.log.close()


def fresh_folder(path):
    """An empty folder at path, whatever an earlier run left there."""
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def copy_exe(exe, folder):
    """Copies the installer into folder (its own folder becomes its current directory)."""
    os.makedirs(folder, exist_ok=True)
    target = os.path.join(folder, os.path.basename(exe))
    shutil.copy2(exe, target)
    return target
