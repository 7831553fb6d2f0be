#!/usr/bin/env python3
"""Builds the Windows Installer package (MSI) of the driver from the i686 DLLs.

The product's name, publisher and version come from NivraTesk.dll's version resource; the
registration is the harvest of what its DllRegisterServer writes (harvest.py), written into
the package's Registry table, so that Windows Installer writes, repairs, rolls back and removes
it like any other part of the installation.

  make-package.py --driver-dir DIR --harvest HARVEST.json --out PKG.msi
                  [--version A.B.C.D] [--fail-after-registration]

--version and --fail-after-registration make test packages: an older (or newer) version of the
same files, and a package whose installation fails right after it has written the registration.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import uuid
from xml.sax.saxutils import quoteattr

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import versioninfo  # noqa: E402

# One product line for every version: an upgrade finds the installed one by this code. The
# product code of each version derives from it and the version, so one version's packages are
# one product (a second install of the same package repairs it) and each version another.
UPGRADE_CODE = "DD810584-356D-4BEC-A074-AEDF31624BE0"
# Components keep their codes from version to version (one file and its registration each).
DRIVER_COMPONENT = "75A6D0D1-5C4A-4278-9C73-004E375F5C40"
KORVEX_COMPONENT = "82A35136-94F9-450A-9996-D404DF2CF02B"
DEFAULT_FOLDER = "Nivra"  # under Program Files (x86)
DRIVER_LIST = "HKLM\\SOFTWARE\\VANDOR\\Drivers"  # the host's list of drivers
KEEP_DRIVERS_COMMAND = 'cmd.exe /c reg.exe add "%s" /reg:32 /f & reg.exe delete "%s" /ve /reg:32 /f' % (DRIVER_LIST,
                                                                                                       DRIVER_LIST)

# Registry table roots and the special key names: "+" makes the key when installed and leaves
# it at removal; "*" makes it and removes it (with its subkeys) at removal.
ROOTS = {"HKCR": 0, "HKLM": 2}

# Standard actions this package adds or moves, by sequence number (InstallExecuteSequence).
# The older version goes first, before anything of this one is written: an upgrade is the
# removal of the old product followed by a clean installation of the new one.
SEQUENCE = {
    "AppSearch": 50,                 # the standard number, before costing
    "RemoveExistingProducts": 1401,  # right after InstallValidate
    "RemoveRegistryValues": 2600,    # the standard numbers: wixl schedules these two only for
    "WriteRegistryValues": 5000,     # RegistryValue elements of the source
    "SetInstallLocation": 1001,      # right after CostFinalize, when INSTALLFOLDER is resolved
    "KeepDriversKey": 2601,          # right after RemoveRegistryValues
    "KeepDriversKeyOnRollback": 4999,  # right before WriteRegistryValues
    "FailForTest": 5001,             # right after WriteRegistryValues (test packages only)
}


def product_code_of(version):
    return str(uuid.uuid5(uuid.UUID(UPGRADE_CODE), version)).upper()


def wxs_text(info, version, size_kb):
    """The package's WiX source (its files named relative to the folder wixl runs in): files,
    folder, feature, upgrade rule and properties. The Registry rows, the custom actions and
    the sequence numbers are added to the built database afterwards with msibuild: wixl has
    no element for empty keys, registry searches, exe custom actions or explicit sequence
    numbers."""
    product_code = product_code_of(version)
    name, company = info["product"], info["company"]
    return f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{product_code}" Name={quoteattr(name)} Language="1033" Version="{version}"
           Manufacturer={quoteattr(company)} UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"
             Description={quoteattr(name + " " + version + ": " + info["description"])}/>
    <MajorUpgrade DowngradeErrorMessage="A newer version of {name} is already installed."/>
    <Media Id="1" Cabinet="driver.cab" EmbedCab="yes"/>
    <Property Id="ARPNOMODIFY" Value="1"/>
    <Property Id="ARPSIZE" Value="{size_kb}"/>
    <Property Id="ARPCOMMENTS" Value={quoteattr(info["description"])}/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="SystemFolder"/>
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLFOLDER" Name="{DEFAULT_FOLDER}">
          <Component Id="Driver" Guid="{DRIVER_COMPONENT}">
            <File Id="NivraTesk.dll" Name="NivraTesk.dll" Source="NivraTesk.dll" KeyPath="yes"/>
          </Component>
          <Component Id="Korvex" Guid="{KORVEX_COMPONENT}">
            <File Id="korvex.dll" Name="korvex.dll" Source="korvex.dll" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Driver" Title={quoteattr(name)} Level="1" Absent="disallow">
      <ComponentRef Id="Driver"/>
      <ComponentRef Id="Korvex"/>
    </Feature>
  </Product>
</Wix>
"""


def insert(table, **columns):
    """An INSERT statement; a column without a value (None, or "", which is the same in a
    database of the installer) is left out, as the SQL of msibuild has no NULL literal."""
    given = [(name, value) for name, value in columns.items() if value not in (None, "")]
    def literal(value):
        return str(value) if isinstance(value, int) else "'" + value.replace("'", "''") + "'"
    return "INSERT INTO `%s` (%s) VALUES (%s)" % (table, ", ".join("`%s`" % name for name, _ in given),
                                                 ", ".join(literal(value) for _, value in given))


def registry_rows(harvest):
    """INSERT statements for the Registry table: every harvested value in the driver's
    component; a key without values as "+" when the driver keeps it at unregistration and as
    "*" otherwise."""
    statements = []
    for number, row in enumerate(harvest):
        if row["name"] is None:
            name, value = ("+" if row.get("kept") else "*"), None
        else:
            name = None if row["name"] == "@" else row["name"]
            value = row["value"]
            if value.startswith("#"):
                value = "#" + value  # "##" is a literal "#" in the Value column
        statements.append(insert("Registry", Registry="Reg%03d" % number, Root=ROOTS[row["root"]], Key=row["key"],
                                 Name=name, Value=value, Component_="Driver"))
    return statements


def action_rows(version, file_version, product_code, fail_after_registration):
    statements = [
        # The folder of an installed product is read back from its own uninstall entry (its
        # InstallLocation), so that a repair, an uninstall and the removal during an upgrade
        # find the files wherever they were installed (INSTALLFOLDER=... at the install).
        insert("RegLocator", Signature_="InstalledFolder", Root=2, Type=2, Name="InstallLocation",
               Key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{%s}" % product_code),
        insert("AppSearch", Property="INSTALLFOLDER", Signature_="InstalledFolder"),
        "DELETE FROM `InstallExecuteSequence` WHERE `Action` = 'AppSearch'",
        "DELETE FROM `InstallUISequence` WHERE `Action` = 'AppSearch'",
        insert("InstallExecuteSequence", Action="AppSearch", Sequence=SEQUENCE["AppSearch"]),
        insert("InstallUISequence", Action="AppSearch", Sequence=SEQUENCE["AppSearch"]),
        # Type 51: the uninstall entry's install location is the folder chosen.
        insert("CustomAction", Action="SetInstallLocation", Type=51, Source="ARPINSTALLLOCATION", Target="[INSTALLFOLDER]"),
        insert("InstallExecuteSequence", Action="SetInstallLocation", Sequence=SEQUENCE["SetInstallLocation"]),
        # Removing the driver's value takes the keys that it leaves empty with it, up to
        # SOFTWARE\VANDOR; the host's driver list (SOFTWARE\VANDOR\Drivers) must stay, as
        # unregistration leaves it. Type 34 + 64 (its exit code is not checked) + 1024
        # (deferred) + 2048 (no impersonation): reg.exe makes the key again in the 32-bit view
        # (/reg:32, whichever reg.exe the installer starts) when the product is removed, and
        # takes off the empty default value that some versions of reg.exe give a new key.
        insert("CustomAction", Action="KeepDriversKey", Type=34 + 64 + 1024 + 2048, Source="SystemFolder",
               Target=KEEP_DRIVERS_COMMAND),
        insert("InstallExecuteSequence", Action="KeepDriversKey", Condition='REMOVE="ALL"',
               Sequence=SEQUENCE["KeepDriversKey"]),
        # The same when an installation fails and is rolled back: undoing the registry writes
        # takes the keys they leave empty with them, the driver list too when it was there but
        # empty before. A rollback action (+ 256) scheduled before WriteRegistryValues runs
        # after the writes are undone.
        insert("CustomAction", Action="KeepDriversKeyOnRollback", Type=34 + 64 + 256 + 1024 + 2048,
               Source="SystemFolder", Target=KEEP_DRIVERS_COMMAND),
        insert("InstallExecuteSequence", Action="KeepDriversKeyOnRollback", Condition="NOT REMOVE",
               Sequence=SEQUENCE["KeepDriversKeyOnRollback"]),
        # wixl leaves the File table's version empty; with it the installer compares the
        # installed DLL's version with the package's on repair, as for any versioned file.
        "UPDATE `File` SET `Version` = '%s' WHERE `File` = 'NivraTesk.dll'" % file_version,
        "UPDATE `InstallExecuteSequence` SET `Sequence` = %d WHERE `Action` = 'RemoveExistingProducts'"
        % SEQUENCE["RemoveExistingProducts"],
        "DELETE FROM `InstallExecuteSequence` WHERE `Action` = 'RemoveRegistryValues' OR `Action` = 'WriteRegistryValues'",
        insert("InstallExecuteSequence", Action="RemoveRegistryValues", Sequence=SEQUENCE["RemoveRegistryValues"]),
        insert("InstallExecuteSequence", Action="WriteRegistryValues", Sequence=SEQUENCE["WriteRegistryValues"]),
        # Windows Installer compares the first three fields of a version only: a version that
        # differs in the fourth (1.0.0.4 -> 1.0.0.5) counts as the same, so the upgrade rule
        # includes its upper bound (msidbUpgradeAttributesVersionMaxInclusive).
        "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'",
        insert("Upgrade", UpgradeCode="{%s}" % UPGRADE_CODE, VersionMax=version, Attributes=1 + 512,
               ActionProperty="WIX_UPGRADE_DETECTED"),
    ]
    if fail_after_registration:
        # Type 34 + 1024 (deferred, in the installation script) + 2048 (no impersonation): an
        # executable from a folder; a non-zero exit fails the installation at that point.
        statements += [
            insert("CustomAction", Action="FailForTest", Type=34 + 1024 + 2048, Source="SystemFolder",
                   Target="cmd.exe /c exit 3"),
            insert("InstallExecuteSequence", Action="FailForTest", Condition="NOT REMOVE", Sequence=SEQUENCE["FailForTest"]),
        ]
    return statements


def installed_size_kb(driver_dir):
    """The size the uninstall entry shows: the two DLLs, in KB rounded up."""
    total = sum(os.path.getsize(os.path.join(driver_dir, name)) for name in ("NivraTesk.dll", "korvex.dll"))
    return (total + 1023) // 1024


def build(args):
    info = versioninfo.read(os.path.join(args.driver_dir, "NivraTesk.dll"))
    version = args.version or info["version"]
    with open(args.harvest) as f:
        harvest = json.load(f)
    with tempfile.TemporaryDirectory() as work:
        # wixl takes the files from the folder it runs in (it refuses absolute source paths).
        for name in ("NivraTesk.dll", "korvex.dll"):
            shutil.copy2(os.path.join(args.driver_dir, name), work)
        wxs = os.path.join(work, "NivraTesk.wxs")
        with open(wxs, "w") as f:
            f.write(wxs_text(info, version, installed_size_kb(args.driver_dir)))
        msi = os.path.join(work, "package.msi")
        subprocess.run([args.wixl, "-a", "x86", "-o", "package.msi", "NivraTesk.wxs"], check=True, cwd=work)
        queries = registry_rows(harvest) + action_rows(version, info["version"], product_code_of(version), args.fail_after_registration)
        for query in queries:
            if subprocess.run([args.msibuild, msi, "-q", query], stdout=subprocess.DEVNULL).returncode != 0:
                raise ValueError("msibuild refused: " + query)
        if args.wxs_out:
            shutil.copyfile(wxs, args.wxs_out)
        shutil.copyfile(msi, args.out + ".tmp")
    os.replace(args.out + ".tmp", args.out)
    print("%s %s: %s (%d registry rows)" % (info["product"], version, args.out, len(harvest)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--driver-dir", required=True, help="folder with NivraTesk.dll and korvex.dll")
    parser.add_argument("--harvest", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--wxs-out", help="keep the generated WiX source here")
    parser.add_argument("--version", help="package this version instead of the DLL's (test packages)")
    parser.add_argument("--fail-after-registration", action="store_true", help="a test package that fails half way")
    parser.add_argument("--wixl", default="wixl")
    parser.add_argument("--msibuild", default="msibuild")
    args = parser.parse_args()
    try:
        build(args)
    except (OSError, ValueError, subprocess.CalledProcessError) as error:
        print("make-package: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
