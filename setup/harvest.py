#!/usr/bin/env python3
"""Harvests what the driver's DllRegisterServer writes: registers NivraTesk.dll with the 32-bit
regsvr32 in a fresh copy of a pristine WoW64 prefix and writes every key and value that
appeared in the 32-bit registry view, as JSON rows for the setup package's Registry table:

  {"root": "HKCR" or "HKLM", "key": "CLSID\\{...}", "name": null (the key alone), "@" (its
   default value) or the value's name, "value": the data, with the DLL's path as [#NivraTesk.dll]
   and its folder as [INSTALLFOLDER]}

  harvest.py --pristine PREFIX --work PREFIX --driver-dir DIR --out HARVEST.json
"""
import argparse
import json
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import regsnap  # noqa: E402
import winebox  # noqa: E402

# Where the harvest registers the DLLs: the package's default folder, so a harvested path reads
# as an installed one.
HARVEST_FOLDER = "C:\\Program Files (x86)\\Nivra"
DLL_NAMES = ("NivraTesk.dll", "korvex.dll")
DLL_FIELD = "[#NivraTesk.dll]"
# The type library's HELPDIR is the folder without a last backslash; the installer's folder
# properties always end in one and its formatted text cannot take it off (a custom action
# could, but the 32-bit custom action server does not run under the emulated 32-bit Wine of
# the tests), so the package writes the folder with its backslash: the one value that differs
# from a regsvr32 registration, by that character.
FOLDER_FIELD = "[INSTALLFOLDER]"


def registration_difference(before, after):
    """The lines of the 32-bit view that registration added; anything it removed is an error,
    apart from what Wine itself changes on every start."""
    added, removed = regsnap.difference(regsnap.entries(regsnap.view32(before), ignore=regsnap.WINE_NOISE),
                                        regsnap.entries(regsnap.view32(after), ignore=regsnap.WINE_NOISE))
    if removed:
        raise RuntimeError("registration removed keys or values:\n" + regsnap.describe(set(), removed))
    return added


def rows(view_after, added_lines, kept_lines):
    """The added keys and values as Registry rows, parents before children. A key is a row of
    its own when it has no value: as "kept" when unregistration leaves it (the driver never
    removes it), and otherwise only when it has no subkey either (a key with a subkey is made
    with it)."""
    out = []
    for lower, (path, values) in sorted(view_after.items()):
        if "[" + path + "]" not in added_lines:
            continue
        root, key = ("HKCR", path[len("HKCR\\"):]) if path.startswith("HKCR\\") else ("HKLM", path[len("HKLM\\"):])
        named = [(name, data) for name, data in sorted(values.values())
                 if "[" + path + "] " + name + " = " + data in added_lines]
        kept = "[" + path + "]" in kept_lines
        if named and kept:
            raise RuntimeError("unregistration leaves a key that has values: " + path)
        has_subkey = any(other.startswith(lower + "\\") for other in view_after)
        if kept:
            out.append({"root": root, "key": key, "name": None, "value": None, "kept": True})
        elif not named and not has_subkey:
            out.append({"root": root, "key": key, "name": None, "value": None})
        for name, data in named:
            out.append({"root": root, "key": key, "name": name, "value": placeholders(data)})
    return out


def placeholders(data):
    dll = HARVEST_FOLDER + "\\" + DLL_NAMES[0]
    if data.lower() == dll.lower():
        return DLL_FIELD
    if data.lower() == HARVEST_FOLDER.lower():
        return FOLDER_FIELD
    if HARVEST_FOLDER.lower() in data.lower():
        raise RuntimeError("a harvested value holds the folder in a way the package cannot write: " + data)
    return data


def harvest(pristine, work, driver_dir):
    winebox.make_pristine(pristine)
    winebox.fresh_copy(pristine, work)
    folder = winebox.drive_c(work, HARVEST_FOLDER)
    os.makedirs(folder, exist_ok=True)
    for name in DLL_NAMES:
        shutil.copy2(os.path.join(driver_dir, name), folder)
    before = regsnap.snapshot(work)
    winebox.run(work, winebox.SYSWOW64 + "regsvr32.exe", "/s", HARVEST_FOLDER + "\\" + DLL_NAMES[0])
    after = regsnap.snapshot(work)
    added = registration_difference(before, after)
    if not added:
        raise RuntimeError("regsvr32 wrote nothing")
    winebox.run(work, winebox.SYSWOW64 + "regsvr32.exe", "/s", "/u", HARVEST_FOLDER + "\\" + DLL_NAMES[0])
    kept = registration_difference(before, regsnap.snapshot(work))
    if any("] " in line for line in kept):
        raise RuntimeError("unregistration leaves values behind:\n" + regsnap.describe(kept, set()))
    return rows(regsnap.view32(after), added, kept)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pristine", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--driver-dir", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    try:
        harvested = harvest(args.pristine, args.work, args.driver_dir)
    except (RuntimeError, OSError) as error:
        print("harvest: %s" % error, file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(args.work, ignore_errors=True)
    with open(args.out + ".tmp", "w") as f:
        json.dump(harvested, f, indent=1)
        f.write("\n")
    os.replace(args.out + ".tmp", args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
