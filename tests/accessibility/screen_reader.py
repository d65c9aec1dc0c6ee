#!/usr/bin/python3
"""Uses the calculator as a screen-reader user would, through AT-SPI alone.

It starts the program on a virtual X display of its own, or with --wayland on a headless
Wayland compositor of its own, finds every control by role and name, types the figures
through the editable-text interface, chooses a carat and presses the buttons through the
action interface, and reads the report back as assistive technology hears it. Run it
inside a private D-Bus session:

    dbus-run-session -- /usr/bin/python3 screen_reader.py [--wayland] path/to/velmora
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import warnings

import gi

gi.require_version("Atspi", "2.0")
import pyatspi  # noqa: E402
from gi.repository import Atspi, GLib  # noqa: E402

# pyatspi calls its own deprecated getters; the warnings say nothing about the program.
warnings.filterwarnings("ignore", category=DeprecationWarning)

PROGRAM = None
# On a Wayland compositor rather than on an X display.
WAYLAND = False
CAPTION = "www.velmora.example  Калкулатор за цената на златото"

# Role and name of every control a user sees, and nothing else: the hidden list of
# fineness entries and the hidden text box must not reach a screen reader.
CONTROLS = sorted([
    ("label", "Калкулатор за цената на златото"),
    ("label", "карати"),
    ("label", "метрична рафинираност, % злато"),
    ("label", "бр.унции"),
    ("label", "Цена - унция"),
    ("label", "Цена - долар"),
    ("list", "карати"),
    ("text", "Справка"),
    ("text", "бр.унции"),
    ("text", "Цена - унция"),
    ("text", "Цена - долар"),
    ("push button", "Изчисли"),
    ("push button", "Изчисти"),
    ("text", "Пояснения"),
])

# Assistive technology hears a multi-line text with LF between its lines, where the
# program's own text has CR LF, and without the end of the last line, which shows nothing.
REPORT_22 = (
    "Цена за грам инвестиционно злато: 58.51[лв]\n"
    "Карати: 22\n"
    "Мярка: 916 - злато 91.60%\n"
    "Примеси:  8.40%\n"
    "Очаквана цена, съобразно борсовата и каратите:\n"
    "Цена на злато: 1*1300*1.4*0.916 = 1667.12[лв]"
)
REPORT_14 = (
    "Цена за грам инвестиционно злато: 95.49[лв]\n"
    "Карати: 14\n"
    "Мярка: 585 - злато 58.50%\n"
    "Примеси: 41.50%\n"
    "Очаквана цена, съобразно борсовата и каратите:\n"
    "Цена на злато: 2*1650*1.8*0.585 = 3474.9[лв]"
)


# AT-SPI's roles by their values in its interface, which stay; their names change between
# releases (at-spi2-core 2.56 calls a push button "button").
ROLES = {2: "alert", 14: "desktop frame", 23: "frame", 29: "label", 31: "list", 43: "push button",
         61: "text", 75: "application", 101: "notification"}


def role(accessible):
    value = int(accessible.getRole())
    return ROLES.get(value, f"role {value}")


# Where a walk up from an event's source ends: the program itself, or the desktop, which
# says when a program comes and goes.
ROOTS = ("application", "desktop frame")


def pump(seconds, until=lambda: False):
    """Lets AT-SPI events arrive for up to the given time, or until the condition holds."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and not until():
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)
    return until()


class Seen:
    """An event as it was when it came: its source's name and role, and whether a user could
    reach the source from the desktop then. An object may be gone by the time the test looks
    (Qt 6.11 makes a list's entries anew), where AT-SPI answers nothing about it."""

    def __init__(self, event):
        self.type, self.detail1, self.any_data = event.type, event.detail1, event.any_data
        source = event.source
        self.name, self.role = source.name, role(source)
        self.unreachable = None
        try:
            accessible = source
            while role(accessible) not in ROOTS:
                parent = accessible.parent
                if accessible.getIndexInParent() < 0:
                    raise LookupError(f"{accessible} is no child of its parent")
                accessible = parent
        except Exception as failure:
            self.unreachable = f"{self.type} from {source} ({self.name!r}): {failure}"


def states(accessible):
    return {pyatspi.stateToString(state) for state in accessible.getState().getStates()}


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def do_action(accessible, name):
    action = accessible.queryAction()
    for index in range(action.nActions):
        if action.getName(index) == name:
            return action.doAction(index)
    raise AssertionError(f"{accessible.name!r} has no action {name!r}")


class ScreenReader(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.processes = []
        cls.addClassCleanup(cls.stop)
        # A runtime folder of the test's own, which only this user may enter, as Wayland
        # requires. The accessibility bus puts its socket there too, rather than in the one
        # place in the home folder that a test running beside this one would take over.
        runtime = cls.runtime = tempfile.mkdtemp(prefix="velmora-screen-reader-")
        subprocess.run(["dbus-update-activation-environment", "XDG_RUNTIME_DIR=" + runtime],
                       check=True)
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="C.UTF-8",
                           XDG_RUNTIME_DIR=runtime)
        if WAYLAND:
            # A compositor of the test's own, drawing nowhere.
            socket = f"velmora-orca-{os.getpid()}"
            cls.processes.append(subprocess.Popen(
                ["weston", "--backend=headless-backend.so", "--socket=" + socket,
                 "--no-config"], env=dict(os.environ, XDG_RUNTIME_DIR=runtime),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            deadline = time.monotonic() + 20
            while not os.path.exists(os.path.join(runtime, socket)):
                if time.monotonic() > deadline:
                    raise RuntimeError("weston did not start")
                time.sleep(0.1)
            environment.pop("DISPLAY", None)
            environment.update(WAYLAND_DISPLAY=socket,
                               QT_QPA_PLATFORM="wayland")
        else:
            read_end, write_end = os.pipe()
            cls.processes.append(subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp"],
                pass_fds=[write_end], stderr=subprocess.DEVNULL))
            os.close(write_end)
            with os.fdopen(read_end) as display_number:
                number = display_number.readline().strip()
            environment.update(DISPLAY=":" + number, QT_QPA_PLATFORM="xcb")
        cls.environment = environment
        cls.events = []
        # Every event from the program's start, the window's construction included: the
        # hidden controls must never send one.
        cls.every_event = []

        def record(event):
            # Only the events of the program under test: one ended by an earlier test may
            # still have some on their way.
            try:
                if event.source.get_process_id() != cls.program.pid:
                    return
                seen = Seen(event)
            except GLib.Error:
                return
            cls.events.append(seen)
            cls.every_event.append(seen)
        pyatspi.Registry.registerEventListener(record, "object", "focus", "window")

    def setUp(self):
        # Each test meets the program just started, whichever tests ran before it.
        self.events.clear()
        self.every_event.clear()
        program = type(self).program = subprocess.Popen([PROGRAM], env=self.environment)
        self.addCleanup(program.wait, timeout=10)
        self.addCleanup(program.terminate)
        self.window = None
        deadline = time.monotonic() + 20
        while self.window is None and time.monotonic() < deadline:
            for application in pyatspi.Registry.getDesktop(0):
                if application is not None and application.get_process_id() == self.program.pid:
                    self.window = next(
                        (child for child in application if child.name == CAPTION), None)
            if self.window is None:
                time.sleep(0.1)

    @classmethod
    def stop(cls):
        for process in cls.processes:
            process.terminate()
            process.wait(timeout=10)
        shutil.rmtree(cls.runtime, ignore_errors=True)

    def control(self, kind, name):
        found = [child for child in self.window
                 if role(child) == kind and child.name == name]
        self.assertEqual(len(found), 1, f"{kind} {name!r}")
        return found[0]

    def report_events(self):
        return [event for event in self.events if event.name == "Справка"]

    def announced(self):
        """The texts of the notifications shown since the last press, in order."""
        return [event.name for event in self.events
                if event.type == "object:state-changed:showing" and event.detail1 == 1
                and event.role == "notification"]

    def assert_nothing_from_hidden_controls(self):
        # A hidden control is not among its window's children; whatever it sends comes from
        # an object a user cannot reach from the window.
        for event in self.every_event:
            self.assertIsNone(event.unreachable, "an event no user can reach the source of")

    def calculate(self, weight, price, rate, carat):
        for name, figure in (("бр.унции", weight), ("Цена - унция", price),
                             ("Цена - долар", rate)):
            box = self.control("text", name)
            self.assertIn("editable", states(box))
            self.assertTrue(box.queryEditableText().setTextContents(figure))
            self.assertEqual(text_of(box), figure)
        carats = self.control("list", "карати")
        entry = next(child for child in carats if child.name == carat)
        if "selected" not in states(entry):
            self.assertTrue(do_action(entry, "Toggle"))
        self.assertTrue(pump(5, lambda: "selected" in states(entry)), carat)
        self.events.clear()
        self.assertTrue(do_action(self.control("push button", "Изчисли"), "Press"))

    def test_1_every_visible_control_and_nothing_else(self):
        self.assertIsNotNone(self.window, "the program's window never reached AT-SPI")
        self.assertEqual(role(self.window), "frame")
        # The layout is fixed: 7215 by 6360 twips, and no one can resize it.
        self.assertEqual(self.window.queryComponent().getSize(), (481, 424))
        self.assertNotIn("resizable", states(self.window))
        seen = sorted((role(child), child.name) for child in self.window)
        # Last, the notification the report is announced through, silent until then.
        self.assertEqual(seen, sorted(CONTROLS + [("notification", "")]))
        self.assertEqual(role(self.window[self.window.childCount - 1]), "notification")
        for child in self.window:
            if role(child) == "notification":
                self.assertNotIn("showing", states(child))
                continue
            self.assertIn("showing", states(child), child.name)
            if role(child) != "label":
                self.assertTrue(child.description, f"{child.name} has no description")
        self.assertEqual([entry.name for entry in self.control("list", "карати")],
                         ["24", "22", "20", "18", "16", "14", "12", "10", "9"])
        report = self.control("text", "Справка")
        self.assertIn("read only", states(report))
        self.assertEqual(text_of(report), "")
        help_text = text_of(self.control("text", "Пояснения"))
        self.assertIn("1 тройунция е равна на 31.1035 грама", help_text)

    def test_2_a_report_is_read_back_and_announced_once(self):
        self.assertIsNotNone(self.window)
        self.calculate("1", "1300", "1.4", "22")
        report = self.control("text", "Справка")
        self.assertTrue(pump(5, lambda: text_of(report) == REPORT_22), text_of(report))
        pump(0.5)
        # The calculation selects the same entry in the hidden list of fineness; nothing of
        # that reaches a screen reader.
        selected = [event.name for event in self.events
                    if event.type.startswith("object:state-changed:selected")]
        self.assertEqual(selected, [])
        # One change with the whole report, not a fragment for every piece written.
        inserted = [event.any_data.replace("\u2029", "\n") for event in self.report_events()
                    if event.type == "object:text-changed:insert"]
        self.assertEqual(inserted, [REPORT_22])
        # A screen reader reads a text change only where the focus is, and the focus stays
        # on the button: the report is announced as a notification too, every time.
        self.assertEqual(self.announced(), [REPORT_22])

        # A second report replaces the first, and is announced whole as well.
        self.calculate("2", "1650", "1.8", "14")
        self.assertTrue(pump(5, lambda: text_of(report) == REPORT_14), text_of(report))
        pump(0.5)
        inserted = [event.any_data.replace("\u2029", "\n") for event in self.report_events()
                    if event.type == "object:text-changed:insert"]
        self.assertEqual(inserted, [REPORT_14])
        self.assertEqual(self.announced(), [REPORT_14])

        # The same report again: nothing changes in the box, and it is announced again.
        self.calculate("2", "1650", "1.8", "14")
        self.assertTrue(pump(5, lambda: self.announced()), "no announcement")
        pump(0.5)
        self.assertEqual(self.announced(), [REPORT_14])
        self.assertEqual(self.report_events(), [])
        self.assert_nothing_from_hidden_controls()

    def test_3_every_text_query_is_answered_and_locked_boxes_stay_locked(self):
        self.assertIsNotNone(self.window)
        # Figures that start with a blank or a sign, where Qt's own search for a word
        # never ended.
        self.calculate(" 5", "-1300", "-.5", "22")
        report = self.control("text", "Справка")
        self.assertTrue(pump(5, lambda: "5*-1300*-0.5*0.916 = 2977[лв]" in text_of(report)))
        # A program that stops answering fails the query after a second, not the test run.
        # The tests after this one go back to a patient client: a busy machine is no fault.
        Atspi.set_timeout(1000, 1000)
        self.addCleanup(Atspi.set_timeout, 25000, 25000)
        boundaries = [getattr(pyatspi, "TEXT_BOUNDARY_" + kind) for kind in (
            "CHAR", "WORD_START", "WORD_END", "SENTENCE_START", "SENTENCE_END", "LINE_START",
            "LINE_END")]
        # A figure with a character outside the BMP, one with right-to-left letters: a
        # character is what len() counts, and its box lies where it is drawn. Then a
        # right-to-left figure wider than its box, a digit between its letters, and a
        # right-to-left letter with a mark drawn on it.
        fitting = {"Цена - унция": "1.4 💰 лв. Ок", "Цена - долар": "אבג 123"}
        overflowing = {"Цена - унция": "א0Цена aaaaaaaaaaaaaaaa"}
        marked = {"Цена - унция": "\u05d0\u0308 "}
        boxes = [child for child in self.window if role(child) == "text"]
        for figures in (fitting, overflowing, marked):
            for name, figure in figures.items():
                self.assertTrue(self.control("text", name).queryEditableText()
                                .setTextContents(figure))
            for box in boxes if figures is fitting else [self.control("text", name)
                                                         for name in figures]:
                text = box.queryText()
                whole = text.getText(0, -1)
                self.assertEqual(text.characterCount, len(whole), box.name)
                for query in (text.getTextAtOffset, text.getTextBeforeOffset,
                              text.getTextAfterOffset):
                    for boundary in boundaries:
                        for offset in range(-2, len(whole) + 2):
                            said, start, end = query(offset, boundary)
                            where = (box.name, query.__name__, boundary, offset)
                            self.assertTrue(0 <= start <= end <= len(whole),
                                            (start, end, where))
                            self.assertEqual(said, whole[start:end], where)
                # The character at the centre of each character's box, as far as it shows; a
                # mark drawn into its letter has a box of no width, shown nowhere.
                shown = box.queryComponent()
                left, top, box_width, box_height = shown.getExtents(pyatspi.DESKTOP_COORDS)
                for offset in range(len(whole)):
                    x, y, width, height = text.getCharacterExtents(offset,
                                                                   pyatspi.DESKTOP_COORDS)
                    centre = (x + width // 2, y + height // 2)
                    where = (box.name, offset, (x, y, width, height))
                    if box.name in figures and figures is fitting:
                        self.assertGreaterEqual(width, 0, where)
                        # The right-to-left figure fits its box; the other one is wider, and
                        # shows its end, where the caret is.
                        if box.name == "Цена - долар" or offset == len(whole) - 1:
                            self.assertTrue(left <= x <= x + width <= left + box_width
                                            and top <= y <= y + height <= top + box_height,
                                            where)
                    if width and shown.contains(*centre, pyatspi.DESKTOP_COORDS):
                        self.assertEqual(
                            text.getOffsetAtPoint(*centre, pyatspi.DESKTOP_COORDS), offset,
                            (box.name, whole[offset]))
        # No other program on the bus rewrites the report or the help text, and the weight
        # box takes two characters from it, as from the keyboard.
        for box in boxes:
            before = text_of(box)
            editable = box.queryEditableText()
            editable.insertText(0, "12345", 5)
            editable.deleteText(0, 3)
            editable.setTextContents("99999")
            expected = {"Справка": before, "Пояснения": before, "бр.унции": "99"}
            self.assertEqual(text_of(box), expected.get(box.name, "99999"), box.name)

    def test_4_clear_empties_everything_the_user_entered(self):
        self.assertIsNotNone(self.window)
        self.calculate("1", "1300", "1.4", "22")
        report = self.control("text", "Справка")
        self.assertTrue(pump(5, lambda: text_of(report) == REPORT_22))
        # A product of zero stops the calculation without a word: the old report stays,
        # unannounced.
        self.calculate("0", "1300", "1.4", "22")
        pump(1)
        self.assertEqual(self.announced(), [])
        self.assertEqual(text_of(report), REPORT_22)
        self.assertTrue(do_action(self.control("push button", "Изчисти"), "Press"))
        boxes = [report] + [self.control("text", name)
                            for name in ("бр.унции", "Цена - унция", "Цена - долар")]
        self.assertTrue(pump(5, lambda: all(text_of(box) == "" for box in boxes)))
        carats = self.control("list", "карати")
        self.assertTrue(pump(5, lambda: not any("selected" in states(entry) for entry in carats)))

        # An error still comes up as an alert with its message, and nothing else is said.
        self.calculate("99", "1e308", "10", "22")
        def shown():
            return [(event.role, event.name) for event in self.events
                    if event.type == "object:state-changed:showing" and event.detail1 == 1]
        self.assertTrue(pump(5, lambda: any(role == "alert" for role, _ in shown())), "no alert")
        self.assertIn(("label", "Грешка при изпълнение: Препълване."), shown())
        self.assertEqual(self.announced(), [])
        self.assert_nothing_from_hidden_controls()


if __name__ == "__main__":
    WAYLAND = sys.argv[1] == "--wayland"
    if WAYLAND:
        sys.argv.pop(1)
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
