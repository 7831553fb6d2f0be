"""Wine prefixes for the setup package: a pristine WoW64 prefix made once, fresh copies of it,
and Windows programs run in one of them, with the environment the project's Wine runs use
(no debug output, fixed time zone and language, no display, no Mono or Gecko)."""
import fcntl
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cmake"))
from wine_path import wine_path as to_windows  # noqa: E402  (the project's one Linux-to-Wine path helper)

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
SYSWOW64 = "C:\\windows\\syswow64\\"


def environment(prefix):
    env = dict(os.environ)
    env.update({"WINEPREFIX": prefix, "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=",
                "TZ": os.environ.get("NIVRA_TEST_TZ", "Europe/Berlin"), "LANG": "C.UTF-8"})
    for name in ("LC_ALL", "DISPLAY"):
        env.pop(name, None)
    return env


def wait_idle(prefix):
    """Waits until no Wine process runs in the prefix: the server then has written its registry."""
    subprocess.run([WINESERVER, "-w"], env=environment(prefix), check=False)


def make_pristine(prefix):
    """Makes the prefix with `wineboot -i` unless it is there already; safe to call from two
    processes at once."""
    os.makedirs(os.path.dirname(prefix), exist_ok=True)
    with open(prefix + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(prefix, ".complete")):
            return
        shutil.rmtree(prefix, ignore_errors=True)
        subprocess.run([WINE, "wineboot", "-i"], env=environment(prefix), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        wait_idle(prefix)
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            raise RuntimeError("wineboot made no prefix in " + prefix)
        open(os.path.join(prefix, ".complete"), "w").close()


def fresh_copy(pristine, prefix):
    """A new prefix at `prefix`, a copy of the pristine one (whatever was there is removed)."""
    shutil.rmtree(prefix, ignore_errors=True)
    subprocess.run(["cp", "-a", "--reflink=auto", pristine, prefix], check=True)


def drive_c(prefix, windows_path):
    """The Linux path of a C:\\ path inside the prefix."""
    assert windows_path[:3].upper() == "C:\\"
    return os.path.join(prefix, "drive_c", *windows_path[3:].split("\\"))


def run(prefix, program, *args, check=True):
    """Runs one Windows program in the prefix and waits until the prefix is idle; returns the
    CompletedProcess (output captured as text)."""
    done = subprocess.run([WINE, program, *args], env=environment(prefix), capture_output=True, text=True,
                          errors="replace", check=False)
    wait_idle(prefix)
    if check and done.returncode != 0:
        raise RuntimeError("%s %s exited with %d\n%s%s" % (program, " ".join(args), done.returncode, done.stdout,
                                                            done.stderr))
    return done
