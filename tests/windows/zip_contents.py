#!/usr/bin/python3
"""The portable zip holds a whole Windows program: every DLL that the program, Qt's libraries
and the platform plugin import is in the zip or comes with every Windows 10, as their import
tables say; velmora.exe is a GUI program with its icon, version and manifest, randomised and
with no-execute data; the zip and the installer each stay under 12 MiB.

Usage: zip_contents.py ZIP SETUP OBJDUMP
"""

import os
import re
import subprocess
import sys
import tempfile
import zipfile

SHIPPED = {
    "velmora.exe", "Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll", "libstdc++-6.dll",
    "libgcc_s_seh-1.dll", "libwinpthread-1.dll", "platforms/qwindows.dll",
    "translations/qtbase_bg.qm",
}
# Part of every Windows 10 and 11 installation.
SYSTEM = {
    "advapi32.dll", "authz.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll",
    "d2d1.dll", "d3d11.dll", "d3d12.dll", "d3d9.dll", "dcomp.dll", "dwmapi.dll", "dwrite.dll",
    "dxgi.dll", "gdi32.dll", "imm32.dll", "iphlpapi.dll", "kernel32.dll", "mpr.dll",
    "msvcrt.dll", "netapi32.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "opengl32.dll",
    "rpcrt4.dll", "secur32.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "userenv.dll", "uxtheme.dll", "version.dll", "winmm.dll", "ws2_32.dll",
    "wtsapi32.dll",
}
LIMIT = 12 * 1024 * 1024


def main():
    zip_path, setup_path, objdump = sys.argv[1:4]
    problems = []
    for path in (zip_path, setup_path):
        size = os.path.getsize(path)
        if size >= LIMIT:
            problems.append(f"{os.path.basename(path)} is {size / 2**20:.1f} MiB")
    with zipfile.ZipFile(zip_path) as archive, tempfile.TemporaryDirectory() as work:
        names = [name for name in archive.namelist() if not name.endswith("/")]
        tops = {name.split("/", 1)[0] for name in names}
        if len(tops) != 1:
            raise SystemExit(f"FAIL: the zip should hold one folder, not {sorted(tops)}")
        top = tops.pop()
        inside = {name.split("/", 1)[1] for name in names}
        problems += [f"{name} is not in the zip" for name in sorted(SHIPPED - inside)]
        shipped = {os.path.basename(name).lower() for name in inside if name.endswith(".dll")}
        archive.extractall(work)
        for name in sorted(inside):
            if not name.endswith((".exe", ".dll")):
                continue
            path = os.path.join(work, top, name)
            headers = subprocess.run([objdump, "-p", path], check=True, capture_output=True,
                                     text=True).stdout
            for imported in re.findall(r"DLL Name: (\S+)", headers):
                lower = imported.lower()
                if lower not in shipped and lower not in SYSTEM \
                        and not lower.startswith("api-ms-win-"):
                    problems.append(f"{name} imports {imported}, which is neither in the zip "
                                    "nor part of Windows")
            if name == "velmora.exe":
                problems += program_problems(headers, path)
    if problems:
        raise SystemExit("FAIL:\n  " + "\n  ".join(problems))
    print(f"The zip holds {len(inside)} files, and every DLL they import is in it or in Windows")


def program_problems(headers, path):
    problems = []
    if not re.search(r"^Subsystem\s+00000002", headers, re.MULTILINE):
        problems.append("velmora.exe is not a GUI program: a console window would open")
    for flag in ("HIGH_ENTROPY_VA", "DYNAMIC_BASE", "NX_COMPAT"):
        if flag not in headers:
            problems.append(f"velmora.exe lacks {flag}")
    # The resource directory's first level names the types: 14 an icon, 16 the version,
    # 24 the manifest.
    kinds = {int(kind, 16) for kind in re.findall(r"^[0-9a-f]+   Entry: ID: 0x([0-9a-f]+),",
                                                   headers, re.MULTILINE)}
    for kind, what in ((14, "icon"), (16, "version"), (24, "manifest")):
        if kind not in kinds:
            problems.append(f"velmora.exe has no {what} resource")
    with open(path, "rb") as program:
        data = program.read()
    for needed in (b"PerMonitorV2", b"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                   "Калкулатор за цената на златото".encode("utf-16-le")):
        if needed not in data:
            problems.append(f"velmora.exe's resources lack {needed!r}")
    return problems


if __name__ == "__main__":
    main()
