#!/usr/bin/python3
"""The calculator for Windows as a user meets it: unzipped from its portable zip and started
under Wine on the test run's virtual display, used with the keyboard alone and with the
mouse, and pictured at 96 and at 144 dpi. Everything is seen from outside, through X:
pictures of the screen, xdotool's mouse and keyboard, and the clipboard. Where each control
sits and what it shows the Qt Test suites check under Wine themselves.

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

gi.require_version("Gdk", "3.0")
gi.require_version("GdkX11", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GdkX11, Gtk  # noqa: E402

# Where the mouse clicks, in the client area at 96 dpi: the middle of each control's
# rectangle in the form's table (twips divided by 15).
MIDDLES = {
    "Text2(0)": (228, 116),
    "Text2(1)": (100, 197),
    "Text2(2)": (264, 197),
    "Text2(3)": (432, 197),
    "Command1(0)": (436, 68),
}


def report(carats, fineness, impurity, price):
    """The report for 1 ounce at $1300 and 1.4 leva per dollar, as copied from the box: the
    line end after its last line shows nothing and is not selected."""
    return ("Цена за грам инвестиционно злато: 58.51[лв]\n"
            f"Карати: {carats}\nМярка: {fineness}\nПримеси: {impurity}\n"
            "Очаквана цена, съобразно борсовата и каратите:\n"
            f"Цена на злато: 1*1300*1.4*{price}[лв]")


REPORT_22 = report("22", "916 - злато 91.60%", " 8.40%", "0.916 = 1667.12")
REPORT_24 = report("24", "999 - злато 99.99%", " 0.01%", "0.9999 = 1819.82")


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


class Calculator:
    """The program started from the unzipped folder, and its window's client area."""

    def __init__(self, folder, environment):
        self.process = subprocess.Popen(["wine", os.path.join(folder, "velmora.exe")],
                                        env=environment, cwd=tempfile.gettempdir(),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        found = subprocess.run(["timeout", "60", "xdotool", "search", "--sync", "--onlyvisible",
                                "--name", "velmora.example"], capture_output=True, text=True)
        check(found.returncode == 0, "the calculator's window did not show within a minute")
        self.window = found.stdout.split()[0]
        xdotool("windowactivate", "--sync", self.window)
        settle(1.5)
        self.x, self.y, self.width, self.height = on_screen(self.window)

    def picture(self, path):
        picture(self.x, self.y, self.width, self.height, path)

    def click(self, name):
        x, y = MIDDLES[name]
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


def fill(calculator, weight, price, rate):
    for name, figure in (("Text2(1)", weight), ("Text2(2)", price), ("Text2(3)", rate)):
        calculator.click(name)
        key("ctrl+a", "BackSpace")
        type_text(figure)


def main():
    zip_path, session, artifacts = sys.argv[1:4]
    os.makedirs(artifacts, exist_ok=True)
    environment = dict(os.environ)
    with open(os.path.join(session, "session.env")) as lines:
        for line in lines:
            if line.startswith("export "):
                name, value = line[len("export "):].strip().split("=", 1)
                environment[name] = value.strip('"')
    os.environ["DISPLAY"] = environment["DISPLAY"]
    Gtk.init([])
    work = tempfile.mkdtemp(prefix="velmora-program-")
    try:
        # A prefix of the test's own, copied from the run's, whose registry the session wrote
        # out whole before it started its server: the picture at 144 dpi changes settings
        # that the other tests must not see.
        prefix = os.path.join(work, "prefix")
        shutil.copytree(environment["WINEPREFIX"], prefix, symlinks=True)
        environment["WINEPREFIX"] = prefix
        environment["LC_ALL"] = "en_US.UTF-8"
        with zipfile.ZipFile(zip_path) as archive:
            archive.extractall(work)
        folders = [entry for entry in os.listdir(work) if entry.endswith("-win64")]
        check(len(folders) == 1, f"the zip holds {folders}, not one program folder")
        folder = os.path.join(work, folders[0])

        run_at_96_dpi(folder, environment, artifacts)
        run_at_144_dpi(folder, environment, artifacts)
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
    report = keyboard_report(calculator, "Home", "space")
    check(report == REPORT_24, f"Home and Space made the report {report!r}")
    calculator.picture(os.path.join(artifacts, "velmora-wine@96dpi.png"))

    # With the mouse, a runtime error: its message box shows, and dismissing it with Enter
    # loses nothing.
    fill(calculator, "99", "1e308", "10")
    calculator.click("Command1(0)")
    box = calculator.message_box()
    check(box is not None, "no message box showed for an overflow")
    settle()
    picture(*on_screen(box), os.path.join(artifacts, "velmora-wine-error.png"))
    xdotool("windowactivate", "--sync", box)
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


def run_at_144_dpi(folder, environment, artifacts):
    # Where winecfg keeps the screen's density, in the user's settings and the machine's.
    for key_name in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
        subprocess.run(["wine", "reg", "add", key_name, "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", "144", "/f"], env=environment, check=True, capture_output=True)
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
    calculator.picture(os.path.join(artifacts, "velmora-wine@144dpi.png"))
    check((calculator.width, calculator.height) in ((721, 636), (722, 636)),
          f"at 144 dpi the client area is {calculator.width} x {calculator.height}")
    calculator.close()


if __name__ == "__main__":
    main()
