#!/usr/bin/python3
"""The program ended from outside, on the real program under Xvfb and openbox:
SIGTERM (a logout or a shutdown), SIGHUP and SIGINT close its boxes and end it
as "Quitter" does, the settings and the snapshot on disk; when the X server
goes away, the work is written before the process ends.

    ending.py TAVLOR FEDSERVER

Exits 77 (skipped) when Xvfb, openbox, xdotool or the X utilities are missing."""

import glob
import os
import shutil
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from x11session import Failure, Session  # noqa: E402

ANONYMOUS = "Tavlor - Internet - (utilisateur non identifié)"
LISTS = "Compétition disponibles sur le serveur internet"
FILTERED = "Compétitions disponibles filtrées"
LOGIN = "connection internet"


def open_competition(s):
    s.on_top_with_keyboard("Tavlor (utilisateur non identifié)", timeout=s.START_TIMEOUT)
    time.sleep(0.2)
    s.keys("Return")  # the address box has the keyboard
    s.on_top_with_keyboard(LISTS)
    time.sleep(0.2)
    s.type("coupe")
    s.keys("Return")
    s.on_top_with_keyboard(FILTERED)
    time.sleep(0.2)
    s.keys("Return")
    s.on_top_with_keyboard(ANONYMOUS)


def settings(s):
    with open(os.path.join(s.folder, "tavlor.ini"), encoding="cp1252") as ini:
        return ini.read()


def check_saved(s, how, layout=True):
    text = settings(s)
    # Written only when the program ends: the competition opened, and the
    # layout unless the windows were gone before they could be asked.
    if "[RECENT1]" not in text or (layout and "[FENETRE]" not in text):
        raise Failure(f"{how}: the settings were not written at the end:\n{text}")
    if not glob.glob(os.path.join(s.folder, "**", "*Phases.xml"), recursive=True):
        raise Failure(f"{how}: no snapshot of the competition")


def ended_by_signal(program, server, number):
    name = signal.Signals(number).name
    s = Session(program, server, timeout=30.0)
    try:
        open_competition(s)
        # A box waiting for the user: the request closes it first.
        s.keys("ctrl+l")
        s.on_top_with_keyboard(LOGIN)
        if "[RECENT1]" in settings(s):
            raise Failure("the settings were written before the end")
        s.program.send_signal(number)
        s.wait(s.program_ended, f"the program to end on {name}")
        if s.program.returncode != 0:
            raise Failure(f"{name}: the program ended with status {s.program.returncode}")
        check_saved(s, name)
        print(f"{name}: ended as with Quitter, the work on disk")
    finally:
        s.close()


def display_gone(program, server):
    s = Session(program, server, timeout=30.0)
    try:
        open_competition(s)
        if "[RECENT1]" in settings(s):
            raise Failure("the settings were written before the end")
        xvfb = s.processes[0]
        s.wm = None  # the window manager goes with the display
        xvfb.kill()
        s.wait(s.program_ended, "the program to end without its display")
        check_saved(s, "display gone", layout=False)
        print(f"display gone: the program ended ({s.program.returncode}), the work on disk")
    finally:
        s.close()


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    for tool in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xdpyinfo"):
        if shutil.which(tool) is None:
            print(f"skipped: {tool} is not installed", file=sys.stderr)
            return 77
    try:
        for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            ended_by_signal(sys.argv[1], sys.argv[2], number)
        display_gone(sys.argv[1], sys.argv[2])
        return 0
    except Exception as e:  # noqa: BLE001 - any failure is reported with its reason
        print(f"FAILED: {e}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
