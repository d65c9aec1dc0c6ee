#!/usr/bin/env python3
"""Installs, upgrades, starts and uninstalls Velmora's Windows setup under Wine.

    python3 installer.py <setup.exe> <older-setup.exe>

<setup.exe> is the installer under test, built with VERSION=1.0.0. <older-setup.exe> is built
by the caller from the installer script 1.0.0 shipped with, with VERSION=0.9.0 and a staging
folder that also holds a stray top-level file obsolete.txt, which the upgrade must remove.

DISPLAY must point at a running X server with a window manager (e.g. Xvfb and openbox).
Runs in a fresh throwaway WINEPREFIX (and HOME, so that Wine links nothing to the host's
desktop or menus) and removes it at the end.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
# Among the installed files; whatever else is staged varies with how Qt and GCC are built.
FILES = ["velmora.exe", "uninstall.exe", "Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll",
         "platforms/qwindows.dll", "translations/qtbase_bg.qm"]
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
    env = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"),
               HOME=os.path.join(scratch, "home"), WINEDEBUG="-all",
               WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d",
               XDG_CONFIG_HOME=os.path.join(scratch, "home", ".config"),
               XDG_DATA_HOME=os.path.join(scratch, "home", ".local", "share"))
    os.makedirs(env["HOME"])

    def run(*args):
        return subprocess.run([wine, *args], env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=PATIENCE,
                              universal_newlines=True, errors="replace")

    try:
        check(run("wineboot", "-i").returncode == 0, "wineboot -i failed")
        users = [u for u in glob.glob(os.path.join(env["WINEPREFIX"], "drive_c/users/*"))
                 if os.path.basename(u) != "Public"]
        check(len(users) == 1, "expected one Wine user folder, found %s" % users)
        user = os.path.basename(users[0])
        folder = os.path.join(users[0], "AppData/Local/Programs/Velmora")
        windows_folder = r"C:\users\%s\AppData\Local\Programs\Velmora" % user
        start_menu = os.path.join(
            users[0], "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmora.lnk")
        desktop = os.path.join(users[0], "Desktop/Velmora.lnk")

        # The older version, then the new one over it.
        check(run(older, "/S").returncode == 0, "older setup /S failed")
        check(os.path.isfile(os.path.join(folder, "obsolete.txt")),
              "older setup did not install obsolete.txt (see how to build it above)")
        check(run(setup, "/S").returncode == 0, "setup /S over the older version failed")
        check(not os.path.exists(os.path.join(folder, "obsolete.txt")),
              "upgrade left obsolete.txt of the older version behind")
        for name in FILES:
            check(os.path.isfile(os.path.join(folder, name)), "not installed: " + name)
        check(os.path.isfile(start_menu), "no Start-menu shortcut: " + start_menu)
        check(not os.path.exists(desktop), "desktop shortcut made though not chosen")

        query = run("reg", "query", KEY)
        check(query.returncode == 0, "no registry key " + KEY)
        values = {}
        for line in query.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) == 3 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2]
        expected = {
            "DisplayName": "Velmora",
            "DisplayVersion": "1.0.0",
            "Publisher": "The Velmora developers",
            "DisplayIcon": windows_folder + r"\velmora.exe",
            "InstallLocation": windows_folder,
            "UninstallString": '"%s\\uninstall.exe"' % windows_folder,
            "QuietUninstallString": '"%s\\uninstall.exe" /S' % windows_folder,
            "URLInfoAbout": "https://www.velmora.example/",
            "NoModify": "0x1",
            "NoRepair": "0x1",
        }
        for name, value in expected.items():
            check(values.get(name) == value,
                  "registry %s is %r, expected %r" % (name, values.get(name), value))
        size = sum(os.path.getsize(f) for f in glob.glob(folder + "/**", recursive=True)
                   if os.path.isfile(f)) // 1024
        estimated = int(values.get("EstimatedSize", "-1"), 0)
        check(abs(estimated - size) <= 1,
              "EstimatedSize is %d KiB, installed files take %d KiB" % (estimated, size))

        # The program starts; while it runs, installing again fails and changes nothing.
        program = subprocess.Popen([wine, os.path.join(folder, "velmora.exe")], env=env)
        search = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                 "Velmora"], stdout=subprocess.PIPE, timeout=PATIENCE)
        check(search.returncode == 0 and search.stdout.strip(), "no Velmora window appeared")
        check(run(setup, "/S").returncode != 0, "setup /S went ahead while Velmora ran")
        check(os.path.isfile(os.path.join(folder, "velmora.exe")),
              "setup /S removed velmora.exe while it ran")
        run("taskkill", "/IM", "velmora.exe")
        program.wait(timeout=PATIENCE)

        # Uninstalling removes everything. The uninstaller copies itself away and returns at
        # once; its copy removes the folder last.
        check(run(os.path.join(folder, "uninstall.exe"), "/S").returncode == 0,
              "uninstall.exe /S failed")
        wait_until(lambda: not os.path.exists(folder), "install folder to disappear")
        check(not os.path.exists(start_menu), "uninstall left the Start-menu shortcut")
        check(run("reg", "query", KEY).returncode != 0, "uninstall left the registry key")

        # Into a folder the user keeps other files in: those stay, the program's go.
        shared = os.path.join(env["WINEPREFIX"], "drive_c/Shared")
        os.makedirs(os.path.join(shared, "translations"))
        for mine in ("notes.txt", "translations/mine.qm"):
            with open(os.path.join(shared, mine), "w") as f:
                f.write("the user's\n")
        check(run(setup, "/S", r"/D=C:\Shared").returncode == 0, r"setup /S /D=C:\Shared failed")
        check(os.path.isfile(os.path.join(shared, "velmora.exe")), r"not installed in C:\Shared")
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
