#!/usr/bin/env python3
"""placement_under_window_manager.py BRENNIX: the main window's placement under a real window manager,
which adds a title bar and borders around it, on a small screen. Run it under an X server with a window
manager (xvfb-run ... with_window_manager.py ...). Each session starts the program with the settings the
one before left and ends it with the window manager's close button; between them the stored placement
must not move, and the whole frame, title bar and borders included, must be on the screen.
Exit status 0 when every case passes."""
import configparser
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from x11_windows import X, wait_for  # noqa: E402


def inside(inner, outer):
    return inner[0] >= outer[0] and inner[1] >= outer[1] and inner[0] + inner[2] <= outer[0] + outer[2] \
        and inner[1] + inner[3] <= outer[1] + outer[3]


PLACEMENT = ("WidePlacement", "HeightPlacement", "WindowWide", "WindowHeight")


class Session:
    def __init__(self, program, home):
        self.program, self.home = program, home
        self.ini = os.path.join(home, "config", "Oskeld free chess software", "Brennix.ini")

    def placement(self):
        store = configparser.RawConfigParser(strict=False)
        store.optionxform = str
        store.read(self.ini)
        if not store.has_section("Display"):
            return None
        return tuple(store.getint("Display", key, fallback=None) for key in PLACEMENT)

    def run(self, x, script=(), during=None):
        """Starts the program, waits until its frame stands still on the screen, lets `during` act on it,
        ends it with the close button. Returns (faults, frame rectangle once placed)."""
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_DATA_HOME=os.path.join(self.home, "data"), XDG_RUNTIME_DIR=os.path.join(self.home, "run"),
                   QT_QPA_PLATFORM="xcb")
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        if script:
            with open(os.path.join(self.home, "script"), "w") as f:
                f.write("\n".join(script) + "\n")
            env["BRENNIX_TEST_SCRIPT"] = os.path.join(self.home, "script")
        process = subprocess.Popen([self.program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        faults, placed = [], None
        try:
            if not wait_for(lambda: x.find(b" - Brennix"), 20):
                return ["the main window never appeared"], None
            placed, last = settle(x)
            if not placed:
                faults.append("the frame %s is not on the screen %s" % (last, x.screen()))
            if during:
                faults += during(x)
            x.close(x.find(b" - Brennix"))
            try:
                status = process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                return faults + ["still running after the close button"], placed
            if status != 0:
                faults.append("ended with status %d" % status)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        return faults, placed


def main_window(x):
    """The program's main window, looked up again each time: the program may make it anew."""
    return x.find(b" - Brennix")


def settle(x, still=0.5):
    """Waits until the main window's frame is on the screen and has stayed where it is for `still`
    seconds: the window manager and the program may each move it more than once, and a slow machine
    leaves gaps between their steps. Returns (the frame's rectangle or None, the last rectangle seen)."""
    last = [None, time.monotonic()]

    def settled():
        window = main_window(x)
        now = x.rectangle(x.frame(window)) if window else None
        if now != last[0]:
            last[0], last[1] = now, time.monotonic()
            return None
        steady = now is not None and inside(now, x.screen()) and time.monotonic() - last[1] >= still
        return now if steady else None
    return wait_for(settled, 15), last[0]


def maximise(x):
    x.maximize(main_window(x))
    if not wait_for(lambda: x.maximized(main_window(x))):
        return ["the window manager did not maximise the window"]
    if not settle(x)[0]:
        return ["the maximised frame is not on the screen"]
    return []


def transparent_on_and_off(x):
    # The mode keeps the window above the others: the window manager shows it, then takes it away.
    if not wait_for(lambda: main_window(x) and x.above(main_window(x))):
        return ["the semi-transparent mode never kept the window above"]
    if not wait_for(lambda: main_window(x) and not x.above(main_window(x))):
        return ["the semi-transparent mode stayed on"]
    if not settle(x)[0]:
        return ["after the semi-transparent mode the frame is not on the screen"]
    return []


def main():
    program = sys.argv[1]
    x = X()
    faults = []
    with tempfile.TemporaryDirectory() as home:
        session = Session(program, home)
        runs = [
            ("first start", (), None),
            ("start and exit that change nothing", (), None),
            ("exit while maximised", (), maximise),
            ("start after the maximised exit", (), None),
            ("exit while maximised again", (), maximise),
            ("semi-transparent mode on and off",
             ("wait 1000", "menu View/Transparent window Mode", "wait 1000", "menu View/Transparent window Mode"),
             transparent_on_and_off),
            ("last start", (), None),
        ]
        first_frame = first_placement = None
        for name, script, during in runs:
            run_faults, frame = session.run(x, script, during)
            placement = session.placement()
            if first_placement is None:
                first_placement, first_frame = placement, frame
            else:
                if placement != first_placement:
                    run_faults.append("the stored placement moved: %s, then %s" % (first_placement, placement))
                if during is None and frame != first_frame:
                    run_faults.append("the frame is at %s, not at %s as at the first start" % (frame, first_frame))
            print(("FAIL " if run_faults else "ok   ") + name + " (frame %s, stored %s)" % (frame, placement))
            faults += ["%s: %s" % (name, f) for f in run_faults]
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
