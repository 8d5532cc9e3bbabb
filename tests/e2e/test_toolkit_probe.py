"""The window toolkit driven by the pointer, on toolkit_probe.exe: a window of every control kind
whose events are written to toolkit-events.txt. Its button is red at rest, green when hot, blue
when pressed, yellow after its worker replaced the pictures."""
import os
import time
import unittest

import common
import harness
import toolkit_cursor

EXE = WORK = None
CLASS = "toolkit_probe.exe"
PAGE_BLUE = (0x16, 0x83, 0xC4)
LIGHT_BLUE = (0x75, 0xB8, 0xEE)
RED, GREEN, BLUE, YELLOW = (0xE0, 0, 0), (0, 0xC0, 0), (0, 0, 0xE0), (0xFF, 0xFF, 0)
# Window client points; the page's border puts its children one pixel further in.
BUTTON = (125, 296)
DIR_LABEL = (30, 380)
CROSS = (236, 20)
TITLE = (8, 9, 68, 24)  # left, top, width, height
BAR = (22, 328, 205, 8)


def near(a, b, tolerance=24):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class ToolkitProbe(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        probe = os.path.join(os.path.dirname(os.path.abspath(EXE)), "toolkit_probe.exe")
        if not os.path.exists(probe):
            raise AssertionError(f"{probe} was not built (tests/win/probe is not part of the build)")
        cls.session = harness.Session(WORK)
        cls.exe = harness.copy_exe(probe, cls.session.drive_c("probe"))
        cls.events = os.path.join(os.path.dirname(cls.exe), "toolkit-events.txt")

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def setUp(self):
        if os.path.exists(self.events):
            os.remove(self.events)
        self.session.move(5, 5)
        self.program = self.session.start(self.exe)
        self.addCleanup(self.program.stop)
        self.window = self.session.wait_window(CLASS, size=(250, 400), timeout=90)
        time.sleep(0.5)

    # --- helpers -----------------------------------------------------------------------
    def log(self):
        if not os.path.exists(self.events):
            return []
        with open(self.events, encoding="gbk") as f:
            return f.read().splitlines()

    def wait_log(self, line, timeout=30):
        return harness.wait_for(lambda: line in self.log(), timeout, f"{line!r} in the event log")

    def pixel(self, x, y, shot=None):
        shot = shot or self.session.screenshot()
        left, top, _, _ = self.window.geometry()
        return shot.pixel(left + x, top + y)

    def wait_colour(self, point, colour, what, timeout=10):
        return harness.wait_for(lambda: near(self.pixel(*point), colour), timeout, what)

    def shot(self, name):
        return self.session.screenshot(os.path.join(self.session.work, name + ".png"))

    def cursor_at(self, x, y):
        self.window.move_to(x, y)
        time.sleep(0.4)
        return toolkit_cursor.current_cursor(self.session.display.name)

    # --- building and look -------------------------------------------------------------
    def test_created_event_comes_while_hidden_then_the_window_is_placed(self):
        self.assertEqual(self.log()[0], "created visible=0")
        left, top, width, height = self.window.geometry()
        self.assertEqual((left, top, width, height), ((harness.SCREEN[0] - 250) // 2, 300, 250, 400))
        self.assertEqual(self.window.title(), "安装程序")

    def test_main_page_lies_over_the_lower_page(self):
        shot = self.shot("probe-window")
        for point in ((240, 150), (3, 300), (245, 250), (125, 30), (5, 360), (245, 395)):
            self.assertEqual(self.pixel(*point, shot), PAGE_BLUE, point)
        self.assertNotEqual(self.pixel(0, 200, shot), PAGE_BLUE, "the page has no border")
        left, top, _, _ = self.window.geometry()
        window = shot.region(left, top, 250, 400)
        self.assertNotIn(LIGHT_BLUE, window, "the lower page shows through")
        # The logo's two halves, stretched over the box; the title's yellow on the page.
        self.assertTrue(near(self.pixel(40, 140, shot), (0xF0, 0xF0, 0), 30))
        self.assertTrue(near(self.pixel(200, 140, shot), (0x80, 0, 0xA0), 30))
        title = shot.region(left + TITLE[0], top + TITLE[1], TITLE[2], TITLE[3])
        self.assertTrue(any(near(p, YELLOW, 40) for p in title), "the title text is drawn")
        self.assertTrue(all(p == PAGE_BLUE or near(p, YELLOW, 200) for p in title[:68]),
                        "the transparent title shows the page behind it")
        self.assertTrue(near(self.pixel(*BUTTON, shot), RED))

    def test_long_caption_is_cut_at_the_label_edge(self):
        shot = self.shot("probe-labels")
        left, top, _, _ = self.window.geometry()
        # The directory label runs from 8 to 239; its text is far longer but stops there.
        label_row = [shot.pixel(left + x, top + 381) for x in range(8, 249)]
        self.assertTrue(any(p != PAGE_BLUE for p in label_row[200:231]), "text reaches the right edge")
        self.assertTrue(all(p == PAGE_BLUE for p in label_row[232:]), "text drawn beyond the label")

    # --- picture button ----------------------------------------------------------------
    def test_button_states_and_one_click_on_release_over_it(self):
        self.window.move_to(*BUTTON)
        self.wait_colour(BUTTON, GREEN, "the hot picture under the pointer")
        self.shot("probe-hot")
        self.session.button_down()
        self.wait_colour(BUTTON, BLUE, "the pressed picture")
        self.window.move_to(BUTTON[0], 150)
        self.wait_colour(BUTTON, RED, "the normal picture once the pointer left")
        self.session.button_up()
        time.sleep(0.5)
        self.assertNotIn("clicked 1", self.log(), "a release off the button clicked it")

        self.window.move_to(*BUTTON)
        self.wait_colour(BUTTON, GREEN, "hot again")
        self.session.button_down()
        self.wait_colour(BUTTON, BLUE, "pressed again")
        self.session.button_up()
        self.wait_log("clicked 1")
        self.wait_colour(BUTTON, RED, "the normal picture after the click")
        time.sleep(0.5)
        self.assertTrue(near(self.pixel(*BUTTON), RED), "hot again without a move")
        self.window.move_to(BUTTON[0] + 3, BUTTON[1])
        self.wait_colour(BUTTON, GREEN, "hot after the pointer moved")
        self.assertEqual([l for l in self.log() if l.startswith("clicked")], ["clicked 1"])

    # --- pointer and button events -----------------------------------------------------
    def test_hand_pointer_only_over_the_hand_controls(self):
        page = self.cursor_at(240, 150)
        label = self.cursor_at(*DIR_LABEL)
        cross = self.cursor_at(*CROSS)
        button = self.cursor_at(60, 270)
        back = self.cursor_at(120, 30)
        self.assertEqual(label, cross, "both hand controls show the same pointer")
        self.assertNotEqual(label, page, "the pointer over the label is not the hand")
        self.assertEqual(page, back)
        self.assertEqual(page, button)
        _, _, xhot, yhot, _ = label
        self.assertGreater(xhot, 0, "the hand's hot spot is at the finger tip, not the corner")

    def test_press_reports_client_point_and_keys(self):
        self.window.move_to(*DIR_LABEL)
        time.sleep(0.2)
        self.session.xdotool("click", 1)
        self.wait_log("pressed dir 22 12 0")
        self.window.move_to(240, 150)
        time.sleep(0.2)
        self.session.xdotool("click", 1)
        self.wait_log("pressed page 239 149 0")

    def test_worker_writes_reach_the_window(self):
        self.window.move_to(*DIR_LABEL)
        time.sleep(0.2)
        self.session.xdotool("keydown", "shift")
        self.session.xdotool("click", 1)
        self.session.xdotool("keyup", "shift")
        self.wait_log("worker done")
        log = self.log()
        for value in (0, 25, 50, 75):
            self.assertIn(f"progress {value} on the worker", log)
        self.window.move_to(240, 150)
        self.wait_colour(BUTTON, YELLOW, "the pictures written by the worker")
        shot = self.shot("probe-after-worker")
        left, top, _, _ = self.window.geometry()
        bar = shot.region(left + BAR[0] + 2, top + BAR[1] + 4, BAR[2] - 4, 1)
        filled = [p for p in bar if not near(p, bar[-1], 10)]
        self.assertTrue(filled, "the bar shows no progress")
        self.assertAlmostEqual(len(filled) / len(bar), 0.75, delta=0.06)
        self.assertTrue(near(self.pixel(BUTTON[0], 290, shot), YELLOW), "the bar covers the button's bottom rows only")
        self.window.move_to(*BUTTON)
        time.sleep(0.5)
        self.assertTrue(near(self.pixel(*BUTTON), YELLOW), "the hot picture was replaced too")

    # --- ending ------------------------------------------------------------------------
    def test_close_cross_release_ends_with_one_cleanup(self):
        self.window.click(*CROSS)
        self.assertEqual(self.program.wait(30), 0)
        log = self.log()
        self.assertIn("released cross 5 5 0", log)
        self.assertEqual(log.count("cleanup"), 1)
        self.assertNotIn("exit button clicked", log)

    def test_worker_ends_the_installer_while_a_message_box_is_open(self):
        self.window.move_to(*DIR_LABEL)
        time.sleep(0.2)
        self.session.xdotool("keydown", "ctrl")
        self.session.xdotool("click", 1)
        self.session.xdotool("keyup", "ctrl")
        self.assertEqual(self.program.wait(60), 0)
        log = self.log()
        self.assertIn("pressed dir 22 12 1", log)
        self.assertIn("worker ends", log)
        self.assertEqual(log.count("cleanup"), 1)
        self.assertNotIn("the worker came back", log)
        self.assertNotIn("the message box closed", log)

    def test_alt_f4_destroys_the_window_and_the_loop_ends_with_one_cleanup(self):
        self.window.focus()
        self.window.click(240, 150)
        self.session.key("alt+F4")
        self.assertEqual(self.program.wait(30), 0)
        self.assertEqual(self.log().count("cleanup"), 1)

    def test_escape_enter_and_f1_do_nothing(self):
        self.window.focus()
        self.window.click(240, 150)
        for key in ("Escape", "Return", "F1"):
            self.session.key(key)
        time.sleep(1)
        self.assertTrue(self.program.running())
        self.assertEqual(len(self.session.windows(CLASS)), 1)

    def test_dragging_does_not_move_the_window(self):
        before = self.window.geometry()
        for start in ((240, 150), (125, 30), (8, 20)):
            self.window.move_to(*start)
            self.session.button_down()
            self.session.xdotool("mousemove_relative", "--sync", "--", "-60", "40")
            self.session.button_up()
            time.sleep(0.3)
        self.assertEqual(self.window.geometry(), before)


if __name__ == "__main__":
    common.main()
