#!/usr/bin/python3
"""The calculator for Windows as a user meets it: unzipped from its portable zip and started
under Wine in a Bulgarian Windows on the test run's virtual display, used with the keyboard
alone and with the mouse, and pictured at 96, 120, 144 and 168 dpi. Everything is seen from
outside, through X: pictures of the screen, xdotool's mouse and keyboard, and the clipboard.
Where each control sits is measured in the pictures at 96 and 144 dpi, by its colour, and
the face of the help text at every density by the width of its first line.

Usage: program.py ZIP SESSION ARTIFACTS
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

import gi
from fontTools.ttLib import TTFont

gi.require_version("Gdk", "3.0")
gi.require_version("GdkX11", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GdkX11, Gtk  # noqa: E402

# Each control the user sees, in twips as the form's table has it, with the colour that fills
# it: the labels' orange, the buttons' green and red faces, the boxes' and the list's white.
ORANGE, GREEN, RED, WHITE = (255, 192, 128), (0, 255, 0), (255, 0, 0), (255, 255, 255)
CONTROLS = {
    "Label1(0)": ((960, 0, 4935, 375), ORANGE),
    "Label1(1)": ((0, 480, 855, 375), ORANGE),
    "Label1(2)": ((960, 480, 4935, 375), ORANGE),
    "Label1(3)": ((120, 2760, 1095, 375), ORANGE),
    "Label1(4)": ((1920, 2760, 1575, 375), ORANGE),
    "Label1(5)": ((4560, 2760, 1455, 375), ORANGE),
    "List1(0)": ((0, 840, 855, 1770), WHITE),
    "Text2(0)": ((960, 840, 4935, 1815), WHITE),
    "Text2(1)": ((1200, 2760, 615, 405), WHITE),
    "Text2(2)": ((3480, 2760, 975, 405), WHITE),
    "Text2(3)": ((6000, 2760, 975, 405), WHITE),
    "Command1(0)": ((6000, 840, 1095, 375), GREEN),
    "Command1(1)": ((6000, 1920, 1095, 375), RED),
    "Text1(0)": ((120, 3240, 6855, 3015), WHITE),
}
# A box's frame and a button's edge take a few pixels from the colour; a box or list with a
# scroll bar ends where the bar starts.
FRAMES = {ORANGE: 1, GREEN: 3, RED: 3, WHITE: 3}
SCROLL_BARS = {"List1(0)", "Text2(0)", "Text1(0)"}


def rectangle(name, scale=1):
    """Where a control lies in the client area, in pixels at scale times 96 dpi: left, top,
    and right and bottom, past it."""
    (left, top, width, height), _ = CONTROLS[name]
    return [round(twips * scale / 15) for twips in (left, top, left + width, top + height)]


class Grab:
    """A picture of the window's client area, its pixels read once: GDK copies them all
    whenever they are asked for."""

    def __init__(self, pixbuf):
        self.pixbuf = pixbuf
        self.width, self.height = pixbuf.get_width(), pixbuf.get_height()
        self.pixels = pixbuf.get_pixels()
        self.stride, self.channels = pixbuf.get_rowstride(), pixbuf.get_n_channels()

    def colour(self, x, y):
        at = y * self.stride + x * self.channels
        return tuple(self.pixels[at:at + 3])

    def save(self, path):
        self.pixbuf.savev(path, "png", [], [])


def measured(grab, seed, colour):
    """The bounding box of the region of one colour that holds the seed, as left, top, right
    and bottom, the last two past the region; none when the seed has another colour."""
    if grab.colour(*seed) != colour:
        return None
    width, height = grab.width, grab.height
    seen, todo = {seed}, [seed]
    while todo:
        x, y = todo.pop()
        for near in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if (near not in seen and 0 <= near[0] < width and 0 <= near[1] < height
                    and grab.colour(*near) == colour):
                seen.add(near)
                todo.append(near)
    xs, ys = [x for x, _ in seen], [y for _, y in seen]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def check_placement(grab, scale):
    """Each control is drawn where the form's table puts it, found by its colour in a picture
    of the window at a density of scale times 96 dpi."""
    dpi = round(96 * scale)
    for name, (_, colour) in CONTROLS.items():
        expected = rectangle(name, scale)
        frame = round(FRAMES[colour] * scale) + 1
        found = measured(grab, (expected[0] + frame, expected[1] + frame), colour)
        check(found is not None, f"{name} is not drawn at {expected} at {dpi} dpi")
        slack = [frame, frame, frame + (round(20 * scale) if name in SCROLL_BARS else 0), frame]
        check(all(abs(a - b) <= most for a, b, most in zip(found, expected, slack)),
              f"{name} is drawn at {found}, not at {expected} at {dpi} dpi")


# The help text's first line, and two faces it could be drawn in: the form's, whose metric
# twin is the test prefix's "Times New Roman", and a sans-serif of Arial's metrics.
HELP_LINE = "Златото е един от трите метала, чийто естествен цвят"
FACES = {"serif": "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
         "sans-serif": "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"}


def ink_width(face, text, pixels):
    """How wide the ink of a line of text is in a face, from the first glyph's left edge to
    the last one's right edge, as the font's own metrics give it."""
    font = TTFont(FACES[face])
    glyph_names = [font.getBestCmap()[ord(character)] for character in text]
    metrics, glyphs = font["hmtx"], font["glyf"]
    advances = sum(metrics[name][0] for name in glyph_names)
    left_bearing = metrics[glyph_names[0]][1]
    right_bearing = metrics[glyph_names[-1]][0] - glyphs[glyph_names[-1]].xMax
    return (advances - left_bearing - right_bearing) * pixels / font["head"].unitsPerEm


def check_face(grab, scale):
    """The help text is drawn in the form's 12-point serif face: its first line's ink, found
    in a picture of the window at a density of scale times 96 dpi, is as wide as the serif's
    metrics make that line, give or take the text cursor before it."""
    dpi = round(96 * scale)
    left, top, right, _ = rectangle("Text1(0)", scale)
    rows = range(top + round(4 * scale), top + round(22 * scale))
    inked = [x for x in range(left + round(4 * scale), right - round(22 * scale))
             if any(min(grab.colour(x, y)) < 96 for y in rows)]
    check(inked, f"the help text shows no first line at {dpi} dpi")
    found = inked[-1] - inked[0] + 1
    expected = {face: ink_width(face, HELP_LINE, 16 * scale) for face in FACES}
    check(abs(found - expected["serif"]) <= round(3 * scale) + 1,
          f"the help text's first line is {found} px wide at {dpi} dpi: "
          + ", ".join(f"{width:.0f} px in the {face}" for face, width in expected.items()))


def report(carats, fineness, impurity, price, decimal):
    """The report for 1 ounce at $1300 and 1.4 leva per dollar, as copied from the box: the
    line end after its last line shows nothing and is not selected. Prices and figures take
    the decimal sign of the user's regional settings; the fineness and impurity are written as
    the carat table has them."""
    return (f"Цена за грам инвестиционно злато: 58{decimal}51[лв]\n"
            f"Карати: {carats}\nМярка: {fineness}\nПримеси: {impurity}\n"
            "Очаквана цена, съобразно борсовата и каратите:\n"
            f"Цена на злато: 1*1300*1{decimal}4*{price}[лв]")


# The runtime error's box as Ctrl+C copies it: Qt's "OK" is Bulgarian.
ERROR_BOX = ("---------------------------\n"
             "www.velmora.example  Калкулатор за цената на златото\n"
             "---------------------------\n"
             "Грешка при изпълнение: Препълване.\n"
             "---------------------------\n"
             "Действието е прекратено. Програмата продължава да работи.\n"
             "---------------------------\n"
             "Добре   \n"
             "---------------------------\n")

# In a Bulgarian Windows, where this test runs, and in an English one.
REPORT_22 = report("22", "916 - злато 91.60%", " 8.40%", "0,916 = 1667,12", ",")
REPORT_24 = report("24", "999 - злато 99.99%", " 0.01%", "0,9999 = 1819,82", ",")
REPORT_24_ENGLISH = report("24", "999 - злато 99.99%", " 0.01%", "0.9999 = 1819.82", ".")


def check(condition, message):
    if not condition:
        raise SystemExit("FAIL: " + message)


def xdotool(*arguments):
    return subprocess.run(["xdotool", *arguments], check=True, capture_output=True,
                          text=True).stdout


def settle(seconds=0.6):
    time.sleep(seconds)


def key(*names):
    for name in names:
        xdotool("key", "--clearmodifiers", name)
        time.sleep(0.15)


def type_text(text):
    xdotool("type", "--delay", "60", text)
    time.sleep(0.2)


def on_screen(window):
    """Where an X window lies on the screen, and its size: for a Wine window, its client area."""
    found = GdkX11.X11Window.foreign_new_for_display(Gdk.Display.get_default(), int(window))
    _, x, y = found.get_origin()
    # GDK keeps the size it first saw; X has the present one.
    shell = dict(line.split("=", 1) for line in
                 xdotool("getwindowgeometry", "--shell", window).split())
    return x, y, int(shell["WIDTH"]), int(shell["HEIGHT"])


def picture(x, y, width, height, path):
    root = Gdk.get_default_root_window()
    Gdk.pixbuf_get_from_window(root, x, y, width, height).savev(path, "png", [], [])


def shown_window(name, wait=60):
    """The first shown X window whose name holds the text, once one shows. Asked again and
    again: xdotool gives up on a search that meets a window as it goes away."""
    deadline = time.monotonic() + wait
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                               capture_output=True, text=True)
        if found.stdout.split():
            return found.stdout.split()[0]
        time.sleep(0.3)
    return None


class Calculator:
    """The program started from the unzipped folder, and its window's client area."""

    def __init__(self, folder, environment):
        self.process = subprocess.Popen(["wine", os.path.join(folder, "velmora.exe")],
                                        env=environment, cwd=tempfile.gettempdir(),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = shown_window("velmora.example")
        check(self.window is not None, "the calculator's window did not show within a minute")
        xdotool("windowactivate", "--sync", self.window)
        settle(1.5)
        self.x, self.y, self.width, self.height = on_screen(self.window)

    def grab(self):
        return Grab(Gdk.pixbuf_get_from_window(Gdk.get_default_root_window(), self.x, self.y,
                                               self.width, self.height))

    def click(self, name):
        left, top, right, bottom = rectangle(name)
        x, y = (left + right) // 2, (top + bottom) // 2
        xdotool("mousemove", "--sync", str(self.x + x), str(self.y + y), "click", "1")
        settle(0.3)

    def copied(self, name):
        """A box's text, copied as a user copies it."""
        self.click(name)
        key("ctrl+a", "ctrl+c")
        settle()
        return clipboard()

    def message_box(self, wait=20):
        """The window the program shows beside its own, under the same title."""
        deadline = time.monotonic() + wait
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                    "velmora.example"], capture_output=True, text=True)
            others = [window for window in found.stdout.split() if window != self.window]
            if others:
                return others[0]
            time.sleep(0.2)
        return None

    def close(self):
        # As a user closes it: the window manager asks the window to close.
        xdotool("windowactivate", "--sync", self.window)
        key("alt+F4")
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            check(False, "the calculator did not end when its window was closed")


def clipboard():
    """The clipboard's text as UTF-8: Wine offers Latin-1 too, and a client that asks before
    Wine has announced every form gets question marks for the Cyrillic."""
    board = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD)
    for _ in range(30):
        data = board.wait_for_contents(Gdk.Atom.intern("UTF8_STRING", False))
        if data is not None and data.get_length() >= 0:
            # Wine hands text to X with Unix line ends.
            return data.get_data().decode("utf-8").rstrip("\0").replace("\r\n", "\n")
        time.sleep(0.1)
    return ""


def session_environment(session):
    """The environment of the test run's Wine session, on whose display this process looks
    and types too."""
    environment = dict(os.environ)
    with open(os.path.join(session, "session.env")) as lines:
        for line in lines:
            if line.startswith("export "):
                name, value = line[len("export "):].strip().split("=", 1)
                environment[name] = value.strip('"')
    os.environ["DISPLAY"] = environment["DISPLAY"]
    Gtk.init([])
    return environment


def fill(calculator, weight, price, rate):
    for name, figure in (("Text2(1)", weight), ("Text2(2)", price), ("Text2(3)", rate)):
        calculator.click(name)
        key("ctrl+a", "BackSpace")
        type_text(figure)


def unzipped(zip_path, environment, work, locale):
    """The program's folder, unzipped into work, to run in a prefix of the test's own in the
    locale given. The prefix is copied from the run's, whose registry the session wrote out
    whole before it started its server: what a test changes in it the others must not see."""
    prefix = os.path.join(work, "prefix")
    shutil.copytree(environment["WINEPREFIX"], prefix, symlinks=True)
    environment["WINEPREFIX"] = prefix
    environment["LC_ALL"] = locale
    with zipfile.ZipFile(zip_path) as archive:
        archive.extractall(work)
    folders = [entry for entry in os.listdir(work) if entry.endswith("-win64")]
    check(len(folders) == 1, f"the zip holds {folders}, not one program folder")
    return os.path.join(work, folders[0])


def main():
    zip_path, session, artifacts = sys.argv[1:4]
    os.makedirs(artifacts, exist_ok=True)
    environment = session_environment(session)
    work = tempfile.mkdtemp(prefix="velmora-program-")
    try:
        # A Bulgarian Windows, where Qt's own texts come from the zip's translation.
        folder = unzipped(zip_path, environment, work, "bg_BG.UTF-8")
        run_at_96_dpi(folder, environment, artifacts)
        for dpi in (120, 144, 168):
            run_at_density(folder, environment, artifacts, dpi)
    finally:
        subprocess.run(["wineserver", "-k"], env=environment, check=False)
        shutil.rmtree(work, ignore_errors=True)
    print("The calculator ran under Wine as a user meets it")


def keyboard_report(calculator, choose, press):
    """The keyboard alone, as the README tells it, from the help text where the program
    starts: Tab reaches the carat list, where a key chooses the carat, and Space or Enter
    presses «Изчисли»; the report is then copied from its box. Wine's keyboard reaches Qt as
    a Windows one does."""
    key("Tab", choose, "Tab", "Tab")
    type_text("1")
    key("Tab")
    type_text("1300")
    key("Tab")
    type_text("1.4")
    key("Tab", press)
    settle()
    key("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "ctrl+a", "ctrl+c")
    settle()
    return clipboard()


def run_at_96_dpi(folder, environment, artifacts):
    calculator = Calculator(folder, environment)
    shown = calculator.grab()
    check_placement(shown, 1)
    check_face(shown, 1)
    report = keyboard_report(calculator, "Home", "space")
    check(report == REPORT_24, f"Home and Space made the report {report!r}")
    calculator.grab().save(os.path.join(artifacts, "velmora-wine@96dpi.png"))

    # With the mouse, a runtime error: its message box shows, and dismissing it with Enter
    # loses nothing.
    fill(calculator, "99", "1e308", "10")
    calculator.click("Command1(0)")
    box = calculator.message_box()
    check(box is not None, "no message box showed for an overflow")
    settle()
    picture(*on_screen(box), os.path.join(artifacts, "velmora-wine-error.png"))
    xdotool("windowactivate", "--sync", box)
    # Ctrl+C copies a Windows message box whole, its button included.
    key("ctrl+c")
    settle()
    check(clipboard() == ERROR_BOX, f"the error box says {clipboard()!r}")
    key("Return")
    settle()
    check(calculator.message_box(wait=1) is None, "the message box stayed")
    check([calculator.copied(name) for name in ("Text2(1)", "Text2(2)", "Text2(3)")]
          == ["99", "1e308", "10"], "the figures changed after the error")
    check(calculator.copied("Text2(0)") == REPORT_24, "the report changed after the error")
    calculator.close()

    calculator = Calculator(folder, environment)
    report = keyboard_report(calculator, "Down", "Return")
    check(report == REPORT_22, f"Down and Enter made the report {report!r}")
    calculator.close()


def run_at_density(folder, environment, artifacts, dpi):
    """The window on a screen of the density Windows calls 125, 150 or 175 %: a picture, the
    help text's face, and at 150 % its size and where each control is drawn."""
    # Where winecfg keeps the screen's density, in the user's settings and the machine's.
    for key_name in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
        subprocess.run(["wine", "reg", "add", key_name, "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", str(dpi), "/f"], env=environment, check=True, capture_output=True)
    subprocess.run(["wineserver", "-k"], env=environment, check=False)
    calculator = Calculator(folder, environment)
    # Qt sizes the window for the screen's density once it is shown.
    for _ in range(50):
        calculator.x, calculator.y, calculator.width, calculator.height = on_screen(
            calculator.window)
        if (calculator.width, calculator.height) != (481, 424):
            break
        time.sleep(0.1)
    settle()
    shown = calculator.grab()
    shown.save(os.path.join(artifacts, f"velmora-wine@{dpi}dpi.png"))
    check_face(shown, dpi / 96)
    if dpi == 144:
        check((calculator.width, calculator.height) in ((721, 636), (722, 636)),
              f"at 144 dpi the client area is {calculator.width} x {calculator.height}")
        check_placement(shown, 1.5)
    calculator.close()


if __name__ == "__main__":
    main()
