#!/usr/bin/env python3
"""Installs, upgrades, starts and uninstalls Velmora's Windows setup under Wine, as a user
whose profile folder has Cyrillic letters and a blank in its name.

    python3 installer.py <setup.exe> <older-setup.exe>

<setup.exe> is the installer under test, built with VERSION=1.0.0. <older-setup.exe> is built
by the caller from the installer script 1.0.0 shipped with, with VERSION=0.9.0 and a staging
folder that also holds a stray top-level file obsolete.txt, which the upgrade must remove.

DISPLAY must point at a running X server with a window manager (e.g. Xvfb and openbox).
Runs in a fresh throwaway WINEPREFIX (and HOME, so that Wine links nothing to the host's
desktop or menus) and removes it at the end.
"""
import glob
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
# Among the installed files; whatever else is staged varies with how Qt and GCC are built.
FILES = ["velmora.exe", "uninstall.exe", "Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll",
         "platforms/qwindows.dll", "translations/qtbase_bg.qm"]
USER = "Иван Петров"
PATIENCE = 120  # seconds; only so that a hung Wine ends the test instead of blocking it


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(condition, what):
    deadline = time.monotonic() + PATIENCE
    while not condition():
        if time.monotonic() > deadline:
            raise Failure("gave up waiting: " + what)
        time.sleep(0.5)


def main(setup, older):
    wine, wineserver = "wine", "wineserver"
    scratch = tempfile.mkdtemp(prefix="velmora-wine-")
    # Wine names the profile folder after USER, spelled as the Unix locale spells it.
    env = dict(os.environ, USER=USER, LC_ALL="C.UTF-8", WINEPREFIX=os.path.join(scratch, "prefix"),
               HOME=os.path.join(scratch, "home"), WINEDEBUG="-all",
               WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d",
               XDG_CONFIG_HOME=os.path.join(scratch, "home", ".config"),
               XDG_DATA_HOME=os.path.join(scratch, "home", ".local", "share"))
    os.makedirs(env["HOME"])

    def run(*args):
        return subprocess.run([wine, *args], env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=PATIENCE,
                              universal_newlines=True, errors="replace")

    def registry():
        """The uninstall entry's values, None without it. Exported, since reg query writes
        what is not ASCII as question marks."""
        exported = os.path.join(scratch, "entry.reg")
        if run("reg", "export", KEY, "Z:" + exported.replace("/", "\\"), "/y").returncode:
            return None
        with open(exported, encoding="utf-16") as f:
            pairs = re.findall(r'^"(.+?)"=(.*)$', f.read(), re.MULTILINE)
        return {name: re.sub(r"\\(.)", r"\1", value[1:-1]) if value.startswith('"')
                else int(value.split(":")[1], 16) for name, value in pairs}

    def snapshot():
        """Every installed file's bytes, both shortcuts' and the uninstall entry."""
        paths = glob.glob(folder + "/**", recursive=True) + [start_menu, desktop]
        return dict({path: os.path.isfile(path) and
                     hashlib.sha256(open(path, "rb").read()).hexdigest() for path in paths},
                    entry=registry())

    try:
        check(run("wineboot", "-i").returncode == 0, "wineboot -i failed")
        profile = os.path.join(env["WINEPREFIX"], "drive_c/users", USER)
        check(os.path.isdir(profile), "Wine made no profile folder " + profile)
        folder = os.path.join(profile, "AppData/Local/Programs/Velmora")
        windows_folder = r"C:\users\%s\AppData\Local\Programs\Velmora" % USER
        start_menu = os.path.join(
            profile, "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmora.lnk")
        desktop = os.path.join(profile, "Desktop/Velmora.lnk")

        # The older version, with the user's shortcut on the desktop, then the new one over it.
        check(run(older, "/S").returncode == 0, "older setup /S failed")
        check(os.path.isfile(os.path.join(folder, "obsolete.txt")),
              "older setup did not install obsolete.txt (see how to build it above)")
        shutil.copy(start_menu, desktop)
        check(run(setup, "/S").returncode == 0, "setup /S over the older version failed")
        check(not os.path.exists(os.path.join(folder, "obsolete.txt")),
              "upgrade left obsolete.txt of the older version behind")
        for name in FILES:
            check(os.path.isfile(os.path.join(folder, name)), "not installed: " + name)
        check(os.path.isfile(start_menu), "no Start-menu shortcut: " + start_menu)
        program = (windows_folder + r"\velmora.exe").encode("utf-16-le")
        check(os.path.isfile(desktop) and program in open(desktop, "rb").read(),
              "the upgrade did not keep the desktop shortcut to the program")

        values = registry()
        check(values is not None, "no registry key " + KEY)
        expected = {
            "DisplayName": "Velmora",
            "DisplayVersion": "1.0.0",
            "Publisher": "The Velmora developers",
            "DisplayIcon": windows_folder + r"\velmora.exe",
            "InstallLocation": windows_folder,
            "UninstallString": '"%s\\uninstall.exe"' % windows_folder,
            "QuietUninstallString": '"%s\\uninstall.exe" /S' % windows_folder,
            "URLInfoAbout": "https://www.velmora.example/",
            "NoModify": 1,
            "NoRepair": 1,
        }
        for name, value in expected.items():
            check(values.get(name) == value,
                  "registry %s is %r, expected %r" % (name, values.get(name), value))
        size = sum(os.path.getsize(f) for f in glob.glob(folder + "/**", recursive=True)
                   if os.path.isfile(f)) // 1024
        estimated = values.get("EstimatedSize", -1)
        check(abs(estimated - size) <= 1,
              "EstimatedSize is %d KiB, installed files take %d KiB" % (estimated, size))

        # The program starts; while it runs, installing again fails and changes nothing.
        program = subprocess.Popen([wine, os.path.join(folder, "velmora.exe")], env=env)
        search = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                 "Velmora"], stdout=subprocess.PIPE, timeout=PATIENCE)
        check(search.returncode == 0 and search.stdout.strip(), "no Velmora window appeared")
        before = snapshot()
        check(run(setup, "/S").returncode != 0, "setup /S went ahead while Velmora ran")
        after = snapshot()
        check(after == before, "setup /S changed these while Velmora ran: %s" % sorted(
            name for name in before.keys() | after.keys() if before.get(name) != after.get(name)))
        run("taskkill", "/IM", "velmora.exe")
        program.wait(timeout=PATIENCE)

        # Uninstalling removes everything. The uninstaller copies itself away and returns at
        # once; its copy removes the folder last.
        check(run(os.path.join(folder, "uninstall.exe"), "/S").returncode == 0,
              "uninstall.exe /S failed")
        wait_until(lambda: not os.path.exists(folder), "install folder to disappear")
        check(not os.path.exists(start_menu), "uninstall left the Start-menu shortcut")
        check(not os.path.exists(desktop), "uninstall left the desktop shortcut")
        check(registry() is None, "uninstall left the registry key")

        # Into a folder the user keeps other files in: those stay, the program's go.
        shared = os.path.join(env["WINEPREFIX"], "drive_c/Shared")
        os.makedirs(os.path.join(shared, "translations"))
        for mine in ("notes.txt", "translations/mine.qm"):
            with open(os.path.join(shared, mine), "w") as f:
                f.write("the user's\n")
        check(run(setup, "/S", r"/D=C:\Shared").returncode == 0, r"setup /S /D=C:\Shared failed")
        check(os.path.isfile(os.path.join(shared, "velmora.exe")), r"not installed in C:\Shared")
        check(not os.path.exists(desktop), "desktop shortcut made though not chosen")
        run(os.path.join(shared, "uninstall.exe"), "/S")
        wait_until(lambda: not os.path.exists(os.path.join(shared, "uninstall.exe")),
                   r"uninstall.exe in C:\Shared to disappear")
        subprocess.run([wineserver, "-w"], env=env, timeout=PATIENCE)
        left = sorted(os.path.relpath(f, shared)
                      for f in glob.glob(shared + "/**", recursive=True) if f != shared + "/")
        check(left == ["notes.txt", "translations", "translations/mine.qm"],
              r"uninstalling from C:\Shared left %s" % left)
    finally:
        subprocess.run([wineserver, "-k"], env=env)
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    try:
        main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
    except (Failure, subprocess.TimeoutExpired) as error:
        sys.exit("FAIL: %s" % error)
    print("PASS: Windows installer")
