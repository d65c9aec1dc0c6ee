#!/usr/bin/python3
"""A program that cannot start tells a Windows user why: a form described wrongly stops it
before its window shows, with a message box that Ctrl+C copies as Windows copies any.

Usage: startup_failure.py PROGRAM SESSION DLL_FOLDERS
"""

import subprocess
import sys

from program import check, clipboard, key, session_environment, settle, shown_window, xdotool

# As Ctrl+C copies a message box on Windows; Qt's "OK" is Bulgarian.
MESSAGE = ("---------------------------\nvelmora\n---------------------------\n"
           "Програмата velmora не може да започне.\n---------------------------\n"
           "velmora: Label1(0) names Text1(0), which the form does not have\n"
           "---------------------------\nДобре   \n---------------------------\n")


def main():
    program, session, folders = sys.argv[1:4]
    environment = session_environment(session)
    environment["WINEPATH"] = ";".join("Z:" + folder.replace("/", "\\")
                                       for folder in folders.split(":"))
    process = subprocess.Popen(["wine", program], env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    box = shown_window("^velmora$")
    check(box is not None, "no message box showed")
    xdotool("windowactivate", "--sync", box)
    settle()
    key("ctrl+c")
    settle()
    copied = clipboard()
    key("Return")
    check(process.wait(timeout=30) == 1, "the program did not stop with a failure")
    check(copied == MESSAGE, f"the message box says {copied!r}")
    print("The program that cannot start says why in a message box")


if __name__ == "__main__":
    main()
