"""Runs the screensaver under Wine for end-to-end tests and reads what it left behind."""

import glob
import os
import subprocess
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
LOG_FOLDER = "VORNHALT Studio"


def prefix():
    return os.environ.get("WINEPREFIX", os.path.join(ROOT, "build", "win", "wineprefix"))


def screensaver_path():
    path = os.environ.get("ZAV_SCREENSAVER")
    if not path:
        raise RuntimeError("ZAV_SCREENSAVER is not set")
    return path


def log_path():
    """The log file the screensaver writes into the prefix's application-data folder."""
    pattern = os.path.join(prefix(), "drive_c", "users", "*", "AppData", "Roaming", LOG_FOLDER, "SSELog.txt")
    candidates = [p for p in glob.glob(pattern) if os.sep + "Public" + os.sep not in p]
    return candidates[0] if candidates else None


def remove_log():
    path = log_path()
    if path:
        os.remove(path)


def read_log():
    """The log as lines of (level, text) with the text decoded from Windows-1251."""
    path = log_path()
    if not path:
        return []
    with open(path, "rb") as handle:
        raw = handle.read()
    lines = []
    for line in raw.split(b"\r\n"):
        if not line:
            continue
        text = line.decode("cp1251")
        for level in ("INFO. ", "WARNING. ", "ERROR. ", "CRITICAL ERROR. ", "UNKNOWN. "):
            if text.startswith(level):
                lines.append((level.rstrip(". "), text[len(level):]))
                break
        else:
            lines.append(("?", text))
    return lines


def raw_log():
    path = log_path()
    with open(path, "rb") as handle:
        return handle.read()


def run(*arguments, timeout=60, program=None):
    """Runs a Windows program (the screensaver by default); returns (exit code, seconds)."""
    command = [WINE_RUN, program or screensaver_path(), *arguments]
    started = time.monotonic()
    completed = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               timeout=timeout)
    return completed.returncode, time.monotonic() - started


def registry_delete(key):
    subprocess.run([WINE_RUN, "reg", "delete", key, "/f"], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def registry_query(key):
    """Values under a key as {name: (type, data)}; empty when the key is missing."""
    completed = subprocess.run([WINE_RUN, "reg", "query", key], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    values = {}
    for line in completed.stdout.decode("utf-8", "replace").replace("\r", "").split("\n"):
        parts = line.split()
        if len(parts) >= 3 and parts[1].startswith("REG_"):
            values[parts[0]] = (parts[1], parts[2])
    return values
