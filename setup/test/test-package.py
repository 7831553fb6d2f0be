#!/usr/bin/env python3
"""The setup package under 32-bit Wine, in one fresh WoW64 prefix made for this run (and a copy
of it for the reference registration), with the reference host installed first:

1. silent install: the 32-bit registry view holds exactly what regsvr32 of the same DLLs
   writes (the folders named alike), the files are in Program Files (x86)\\Nivra, the uninstall
   entry names the product, publisher, version and size;
2. a 32-bit VBScript client finds and enumerates the driver; the command-line host imports a
   small terminal folder through the installed copy;
3. repair puts back a deleted DLL and registry key;
4. silent uninstall: the registry is as before the install, but for SOFTWARE\\VANDOR\\Drivers
   (kept, as unregistration keeps it) and the installer's own empty keys; the folder is gone;
5. upgrade: an older package in another folder, then this one: the registry as after a fresh
   install, one uninstall entry, the old folder gone; uninstall again.
Before all of these, a package that fails right after writing the registration rolls back to
the state before it (an empty driver list may stay, as after an uninstall); after the
uninstall, it leaves the empty driver list that was there.

  test-package.py --build BUILD --package NivraTesk.msi --harvest HARVEST.json --work DIR
"""
import argparse
import filecmp
import json
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import regsnap  # noqa: E402
import versioninfo  # noqa: E402
import winebox  # noqa: E402

INSTALL_FOLDER = "C:\\Program Files (x86)\\Nivra"
OLD_FOLDER = "C:\\Nivra Old"
REFERENCE_FOLDER = "C:\\Reference\\Nivra"
FOLDER = "<FOLDER>"
UNINSTALL = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
# What Windows Installer writes about the products it manages (the uninstall entry is checked
# by itself), left out when the registration is compared.
INSTALLER_BOOKKEEPING = (
    r"HKCR\\Installer(\\|$)",
    r"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer(\\|$)",
    r"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{",
)
# The installer's own folders, which it makes empty on first use and leaves (physical paths).
INSTALLER_EMPTY_KEYS = (
    r"HKLM\\Software\\Classes\\Installer(\\|$)",
    r"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer(\\|$)",
)
KEPT_KEY = "[HKLM\\Software\\Wow6432Node\\VANDOR\\Drivers]"
DRIVER_KEY = "HKLM\\SOFTWARE\\VANDOR\\Drivers\\BMNIVRATESK"


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


class Box:
    """The test's prefix and what it runs there."""

    def __init__(self, prefix, work):
        self.prefix, self.work = prefix, work

    def run(self, program, *args, check=True):
        return winebox.run(self.prefix, program, *args, check=check)

    def system(self, name, *args, check=True):
        return self.run(winebox.SYSWOW64 + name, *args, check=check)

    def msiexec(self, *args, log=None):
        """msiexec with a verbose log (its text is returned with the exit status)."""
        log = log or os.path.join(self.work, "msiexec.log")
        done = self.run("msiexec", *args, "/l*v", winebox.to_windows(log), check=False)
        with open(log, encoding="utf-16", errors="replace") if _is_utf16(log) else open(log, errors="replace") as f:
            return done.returncode, f.read()

    def view(self, folder):
        """The 32-bit registry view, installer bookkeeping and Wine's own changes left out,
        with `folder` (the DLLs' folder) written as <FOLDER>."""
        return regsnap.entries(regsnap.view32(regsnap.snapshot(self.prefix)),
                               ignore=regsnap.WINE_NOISE + INSTALLER_BOOKKEEPING, replacements=[(folder, FOLDER)])

    def whole(self):
        """Every key of both hives, Wine's own changes left out."""
        return regsnap.entries(regsnap.snapshot(self.prefix), ignore=regsnap.WINE_NOISE)

    def path(self, windows_path):
        return winebox.drive_c(self.prefix, windows_path)


def _is_utf16(path):
    with open(path, "rb") as f:
        return f.read(2) in (b"\xff\xfe", b"\xfe\xff")


def added_lines(before, after, what):
    added, removed = regsnap.difference(before, after)
    expect(not removed, what + " removed keys or values:\n" + regsnap.describe(set(), removed))
    return added


def expect_same(expected, actual, what):
    missing, extra = expected - actual, actual - expected
    expect(not missing and not extra, what + " (- missing, + extra):\n" + regsnap.describe(extra, missing))


def expect_as_before(before, after, what, kept=()):
    """The whole registry as before, but for the installer's own empty keys and `kept`."""
    added, removed = regsnap.difference(before, after)
    expect(not removed, what + ": keys or values gone:\n" + regsnap.describe(set(), removed))
    unexpected = {line for line in added if line not in kept and not _installer_empty_key(line)}
    expect(not unexpected, what + ": left behind:\n" + regsnap.describe(unexpected, set()))


def _installer_empty_key(line):
    return "] " not in line and any(re.match(p, line[1:-1], re.IGNORECASE) for p in INSTALLER_EMPTY_KEYS)


def uninstall_entries(box):
    """{product code key: {value name: data}} of the 32-bit view's uninstall entries of ours."""
    view = regsnap.view32(regsnap.snapshot(box.prefix))
    out = {}
    for lower, (path, values) in view.items():
        if lower.startswith(UNINSTALL.lower() + "{") and lower.count("\\") == UNINSTALL.count("\\"):
            data = {name: value for name, value in values.values()}
            if data.get("DisplayName") == PRODUCT["product"]:
                out[path] = data
    return out


def dword(text):
    expect(text.startswith("dword:"), "not a number: " + text)
    return int(text[len("dword:"):], 16)


def expect_installed_files(box, folder, driver_dir):
    for name in ("NivraTesk.dll", "korvex.dll"):
        installed = os.path.join(box.path(folder), name)
        expect(os.path.isfile(installed), "%s is not in %s" % (name, folder))
        expect(filecmp.cmp(installed, os.path.join(driver_dir, name), shallow=False), "%s differs from the build's" % name)
    expect(sorted(os.listdir(box.path(folder))) == ["NivraTesk.dll", "korvex.dll"],
           "the folder holds more than the two DLLs: %s" % os.listdir(box.path(folder)))


def expect_one_uninstall_entry(box, version):
    entries = uninstall_entries(box)
    expect(len(entries) == 1, "%d uninstall entries: %s" % (len(entries), sorted(entries)))
    (key, data), = entries.items()
    expect(data.get("Publisher") == PRODUCT["company"], "publisher %r" % data.get("Publisher"))
    expect(data.get("DisplayVersion") == version, "version %r, not %s" % (data.get("DisplayVersion"), version))
    code = key[len(UNINSTALL):]
    expect("/X" + code in data.get("UninstallString", ""), "uninstall command %r" % data.get("UninstallString"))
    # Windows computes EstimatedSize (KB) when it costs the installation; Wine writes 0 there
    # and the package's ARPSIZE as "Size".
    size = dword(data.get("EstimatedSize", "dword:0")) or int(data.get("Size") or 0)
    dll_kb = sum(os.path.getsize(os.path.join(ARGS.build, "driver", n)) for n in ("NivraTesk.dll", "korvex.dll")) // 1024
    expect(dll_kb <= size <= dll_kb + 1, "size %d KB, the DLLs hold %d KB" % (size, dll_kb))
    return key, data


def reference_registration(box, reference, driver_dir):
    """The 32-bit view's lines that regsvr32 of the DLLs adds in a copy of the prefix."""
    ref = Box(reference, box.work)
    before = ref.view(REFERENCE_FOLDER)
    os.makedirs(ref.path(REFERENCE_FOLDER))
    for name in ("NivraTesk.dll", "korvex.dll"):
        shutil.copy2(os.path.join(driver_dir, name), ref.path(REFERENCE_FOLDER))
    ref.system("regsvr32.exe", "/s", REFERENCE_FOLDER + "\\NivraTesk.dll")
    return added_lines(before, ref.view(REFERENCE_FOLDER), "regsvr32")


def as_the_package_writes(reference):
    """The reference registration with the type library's HELPDIR as the package writes it:
    the folder with its last backslash (see harvest.py)."""
    out = set()
    for line in reference:
        if line.upper().endswith("\\HELPDIR] @ = " + FOLDER):
            line += "\\"
        out.add(line)
    return out


def run_vbscript_client(box, installed=True):
    """The script client; before the installation it must not find the driver. (Its first run
    also makes cscript register its own type library, which is then part of every snapshot.)"""
    script = os.path.join(HERE, "find-driver.vbs")
    done = box.system("cscript.exe", "//nologo", winebox.to_windows(script), check=False)
    printed = done.stdout.replace("\r", "")
    if not installed:
        expect("driver:" not in printed, "the script client found a driver before the install:\n" + printed)
        return
    with open(os.path.join(HERE, "find-driver.expected")) as f:
        expected = f.read()
    expect(done.returncode == 0 and printed == expected, "the script client printed:\n%s%s" % (printed, done.stderr))


def import_through_installed_copy(box):
    card = os.path.join(box.work, "card")
    shutil.rmtree(card, ignore_errors=True)
    os.makedirs(card)
    box.run(os.path.join(ARGS.build, "tools", "samplelogs.exe"), winebox.to_windows(card), "--points", "40")
    logs = sorted(n for n in os.listdir(card) if n.endswith(".log"))
    expect(logs, "samplelogs wrote no log")
    store = os.path.join(box.work, "store.json")
    done = box.run(os.path.join(ARGS.build, "tools", "nivrahost", "nivrahost.exe"), "import", winebox.to_windows(card),
                   "--store", winebox.to_windows(store), "--quiet", check=False)
    expect(done.returncode == 0, "import exited %d:\n%s%s" % (done.returncode, done.stdout, done.stderr))
    for log in logs:
        expect(os.path.isfile(os.path.join(card, log[:-4] + ".csv")), "the installed korvex.dll wrote no CSV for " + log)
    with open(store) as f:
        operations = json.load(f)["catalog"]["operations"]
    imported = sorted(op.get("dataName", "") + ".log" for op in operations)
    expect(imported == logs, "operations %s for the logs %s" % (imported, logs))


def older_version(version):
    fields = [int(f) for f in version.split(".")]
    for i in reversed(range(len(fields))):
        if fields[i] > 0:
            fields[i] -= 1
            return ".".join(map(str, fields))
    raise Failure("no version is older than " + version)


def make_package(out, *options):
    subprocess.run([sys.executable, os.path.join(os.path.dirname(HERE), "make-package.py"), "--driver-dir",
                    os.path.join(ARGS.build, "driver"), "--harvest", ARGS.harvest, "--out", out, *options],
                   check=True, stdout=subprocess.DEVNULL)


def step(text):
    print("setup test: " + text, flush=True)


def main():
    driver_dir = os.path.join(ARGS.build, "driver")
    package = winebox.to_windows(ARGS.package)
    os.makedirs(ARGS.work, exist_ok=True)
    prefix, reference = os.path.join(ARGS.work, "prefix"), os.path.join(ARGS.work, "reference")
    for old in (prefix, reference):
        shutil.rmtree(old, ignore_errors=True)
    step("a fresh WoW64 prefix, the reference host registered in it")
    winebox.make_pristine(prefix)
    box = Box(prefix, ARGS.work)
    box.system("regsvr32.exe", "/s", winebox.to_windows(os.path.join(ARGS.build, "refhost", "refhost.dll")))
    # The host's own settings beside its driver list: no installation of ours may touch them.
    box.system("reg.exe", "add", "HKLM\\SOFTWARE\\VANDOR\\Settings", "/v", "Language", "/d", "en", "/f")
    run_vbscript_client(box, installed=False)
    winebox.fresh_copy(prefix, reference)

    step("regsvr32 of the DLLs in a copy of the prefix, for reference")
    expected = as_the_package_writes(reference_registration(box, reference, driver_dir))
    shutil.rmtree(reference, ignore_errors=True)  # 1.3 GB, of no use once read
    expect(KEPT_KEY.replace("\\Wow6432Node", "") in expected, "regsvr32 made no driver list key")

    before_view, before = box.view(INSTALL_FOLDER), box.whole()
    step("a failure right after the registration is written rolls back")
    failing = os.path.join(ARGS.work, "NivraTesk-failing.msi")
    make_package(failing, "--fail-after-registration")
    status, log = box.msiexec("/i", winebox.to_windows(failing), "/qn")
    # Windows answers 1603 (fatal error during installation); Wine's msiexec another non-zero code.
    expect(status != 0, "the failing package's msiexec exited 0")
    expect(0 <= log.find("WriteRegistryValues") < log.find("FailForTest"),
           "the failing package did not write its registration before it failed")
    expect(not os.path.exists(box.path(INSTALL_FOLDER)), "the failed installation left its folder")
    expect_as_before(before, box.whole(), "after the rolled-back installation", kept={KEPT_KEY})
    expect(not uninstall_entries(box), "the failed installation left an uninstall entry")
    step("silent install")
    status, log = box.msiexec("/i", package, "/qn")
    expect(status == 0, "msiexec /i exited %d" % status)
    installed_view = box.view(INSTALL_FOLDER)
    expect_same(expected, added_lines(before_view, installed_view, "the installation"),
                "the installation's registration against regsvr32's")
    expect_installed_files(box, INSTALL_FOLDER, driver_dir)
    expect_one_uninstall_entry(box, PRODUCT["version"])

    step("a 32-bit VBScript client finds and enumerates the driver")
    run_vbscript_client(box)
    step("the command-line host imports a folder through the installed copy")
    import_through_installed_copy(box)

    step("repair puts back a deleted DLL and the driver's key")
    os.remove(os.path.join(box.path(INSTALL_FOLDER), "korvex.dll"))
    box.system("reg.exe", "delete", DRIVER_KEY, "/f")
    # REINSTALL with the package itself: Wine's msiexec /f does not repair.
    status, log = box.msiexec("/i", package, "REINSTALL=ALL", "REINSTALLMODE=amus", "/qn")
    expect(status == 0, "msiexec /i REINSTALL=ALL exited %d" % status)
    expect_installed_files(box, INSTALL_FOLDER, driver_dir)
    expect_same(installed_view, box.view(INSTALL_FOLDER), "the registry after repair against after the install")

    step("silent uninstall")
    status, log = box.msiexec("/x", package, "/qn")
    expect(status == 0, "msiexec /x exited %d" % status)
    expect(not os.path.exists(box.path(INSTALL_FOLDER)), "the install folder is still there")
    expect_as_before(before, box.whole(), "after uninstall", kept={KEPT_KEY})
    expect(not uninstall_entries(box), "an uninstall entry is left")
    removed = box.whole()

    step("a failed installation keeps the empty driver list that was there before")
    status, log = box.msiexec("/i", winebox.to_windows(failing), "/qn")
    expect(status != 0, "the failing package's msiexec exited 0")
    expect_as_before(removed, box.whole(), "after the second rolled-back installation")

    step("upgrade over an older package installed in another folder")
    old_version = older_version(PRODUCT["version"])
    old_package = os.path.join(ARGS.work, "NivraTesk-%s.msi" % old_version)
    make_package(old_package, "--version", old_version)
    status, log = box.msiexec("/i", winebox.to_windows(old_package), "/qn", "INSTALLFOLDER=" + OLD_FOLDER)
    expect(status == 0, "msiexec /i of %s exited %d" % (old_version, status))
    expect_one_uninstall_entry(box, old_version)
    expect(os.path.isfile(os.path.join(box.path(OLD_FOLDER), "NivraTesk.dll")), "the older package is not in " + OLD_FOLDER)
    status, log = box.msiexec("/i", package, "/qn")
    expect(status == 0, "msiexec /i of the upgrade exited %d" % status)
    expect(not os.path.exists(box.path(OLD_FOLDER)), "the older version's folder is still there")
    expect_installed_files(box, INSTALL_FOLDER, driver_dir)
    expect_one_uninstall_entry(box, PRODUCT["version"])
    expect_same(installed_view, box.view(INSTALL_FOLDER), "the registry after the upgrade against after a fresh install")
    status, log = box.msiexec("/x", package, "/qn")
    expect(status == 0, "msiexec /x after the upgrade exited %d" % status)
    expect_as_before(removed, box.whole(), "after the upgraded product's uninstall")

    step("all checks passed")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--package", required=True)
    parser.add_argument("--harvest", required=True)
    parser.add_argument("--work", required=True)
    ARGS = parser.parse_args()
    PRODUCT = versioninfo.read(os.path.join(ARGS.build, "driver", "NivraTesk.dll"))
    try:
        main()
    except (Failure, RuntimeError, subprocess.CalledProcessError) as error:
        print("setup test FAILED: %s" % error, file=sys.stderr)
        sys.exit(1)
