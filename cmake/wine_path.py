"""The Python twin of wine-path.sh: a Linux path as Wine sees it, on drive Z:."""
import os


def wine_path(path):
    """Z: and the absolute path with backslashes; a relative path is taken from the current folder."""
    return "Z:" + os.path.abspath(os.fspath(path)).replace("/", "\\")
