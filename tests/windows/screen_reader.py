#!/usr/bin/python3
"""What a Windows screen reader is told while the calculator is used with the keyboard: the
program unzipped and run under Wine in a Windows locale, with the recording UI Automation
core (uiarecorder.cpp) in its prefix, whose log shows every event the program raises.

Usage: screen_reader.py ZIP SESSION RECORDER LOCALE
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from program import (REPORT_24, REPORT_24_ENGLISH, Calculator, check, key, session_environment,
                     settle, type_text, unzipped)

WINE_CORE = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/uiautomationcore.dll"
LOCALES = {"en-US": "en_US.UTF-8", "bg-BG": "bg_BG.UTF-8"}
# UI Automation's NotificationProcessing: how a screen reader treats a notification.
PROCESSING = {0: "ImportantAll", 1: "ImportantMostRecent", 2: "All", 3: "MostRecent",
              4: "CurrentThenMostRecent"}
FOCUS_CHANGED = "20005"
# What each control the keyboard passes through is for: Narrator reads it as the control's
# HelpText, NVDA as its FullDescription. (The carat list hands the focus on to its chosen
# entry, which raises the event in its place.)
DESCRIPTIONS = {
    "бр.унции": "Теглото на сплавта в тройунции",
    "Цена - унция": "Борсовата цена на една тройунция злато в долари",
    "Цена - долар": "Курсът на долара в лева",
    "Изчисли": "Пише справката за избраните карати и въведените числа",
}
REPORTS = {"en-US": REPORT_24_ENGLISH, "bg-BG": REPORT_24}


def records(log):
    """Each call the program made, as (call, id, name, AutomationId, text, HelpText,
    FullDescription)."""
    try:
        with open(log, encoding="utf-8") as lines:
            return [tuple(entry.split("\x1f")) for entry in lines.read().split("\x1e") if entry]
    except FileNotFoundError:
        return []


class Recording:
    def __init__(self, log):
        self.log = log
        self.seen = 0

    def announced(self, expected):
        """The notifications since the last look, once as many as expected came, or after
        a while; then a moment more, so that one too many is seen too."""
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if len(self.notifications()) >= expected:
                break
            time.sleep(0.2)
        settle(1.5)
        found = self.notifications()
        self.seen = len(records(self.log))
        return found

    def notifications(self):
        """Each notification as (element, text, processing)."""
        return [(name, text, PROCESSING.get(int(kind) % 10))
                for call, kind, name, _, text, *_ in records(self.log)[self.seen:]
                if call == "notification"]

    def described(self):
        """The HelpText and FullDescription of each control that got the focus."""
        return {name: (help_text, description)
                for call, kind, name, _, _, help_text, description in records(self.log)
                if call == "event" and kind == FOCUS_CHANGED and name in DESCRIPTIONS}


def install_recorder(environment, recorder):
    system = os.path.join(environment["WINEPREFIX"], "drive_c", "windows", "system32")
    shutil.copy(recorder, os.path.join(system, "uiautomationcore.dll"))
    shutil.copy(WINE_CORE, os.path.join(system, "uiautomationcore-wine.dll"))
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\DllOverrides", "/v",
                    "uiautomationcore", "/d", "native", "/f"],
                   env=environment, check=True, capture_output=True)


def listen(environment):
    """Asks the window for its element, as a screen reader does when a window comes up."""
    subprocess.run(["wine", "rundll32", "uiautomationcore.dll,Listen", "velmora.example"],
                   env=environment, check=True, capture_output=True, timeout=60)


def main():
    zip_path, session, recorder, locale = sys.argv[1:5]
    environment = session_environment(session)
    work = tempfile.mkdtemp(prefix="velmora-screen-reader-")
    try:
        folder = unzipped(zip_path, environment, work, LOCALES[locale])
        install_recorder(environment, recorder)
        log = os.path.join(work, "uia.log")
        environment["VELMORA_UIA_LOG"] = "Z:" + log.replace("/", "\\")
        use(Calculator(folder, environment), environment, Recording(log), REPORTS[locale])
    finally:
        subprocess.run(["wineserver", "-k"], env=environment, check=False)
        shutil.rmtree(work, ignore_errors=True)
    print(f"A screen reader hears each written report once, in {locale}")


def use(calculator, environment, recording, report):
    listen(environment)
    # From the help text: the carat list, the figures, «Изчисли».
    key("Tab", "Home", "Tab", "Tab")
    for figure in ("1", "1300", "1.4"):
        type_text(figure)
        key("Tab")
    described = recording.described()
    check(described == {name: (text, text) for name, text in DESCRIPTIONS.items()},
          f"the controls were described as {described}")
    # Read out at once, the focus staying on «Изчисли», and each report in its turn.
    key("space")
    announced = recording.announced(1)
    check(announced == [("Справка", report, "ImportantAll")],
          f"the report was announced as {announced}")
    # Pressed again, the same report is written again and read out again.
    key("space")
    check(recording.announced(1) == [("Справка", report, "ImportantAll")],
          "the report was not read again")

    # A weight of 0 writes nothing, and nothing is said.
    key("shift+Tab", "shift+Tab", "shift+Tab", "ctrl+a")
    type_text("0")
    key("Tab", "Tab", "Tab", "space")
    check(recording.announced(0) == [], "a report that was not written was announced")

    # «Изчисти» empties the report without a word.
    key("Tab", "space")
    check(recording.announced(0) == [], "clearing was announced")

    calculator.close()


if __name__ == "__main__":
    main()
