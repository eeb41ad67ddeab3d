#!/usr/bin/env python3
"""close_under_x11.py BRENNIX: under an X server (run it through xvfb-run), starts the program, asks its
main window to close the way a window manager's close button does (a WM_DELETE_WINDOW client message)
and checks that the program ends with status 0 and leaves its settings. With a changed list, the
question is asked once per close request; the question's box left by its own close button or by the
Escape key (real X events) keeps the program, which the next close request asks again. Exit status 0
when every case passes."""
import configparser
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from x11_windows import NoDisplay, X, wait_for  # noqa: E402


def connect():
    """A connection to the X server, or None."""
    try:
        return X()
    except NoDisplay:
        return None


def run_case(program, name, script, closes, expect_questions):
    """Starts the program, waits for its window, sends `closes` close requests a second apart (or
    until it ends) and checks how it ended. Returns a list of faults."""
    faults = []
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"), XDG_RUNTIME_DIR=os.path.join(home, "run"),
                   QT_QPA_PLATFORM="xcb")
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        log_path = os.path.join(home, "script.log")
        # The script's last step leaves this file, so its steps come before the close requests.
        steps_run = os.path.join(home, "steps-run")
        if script:
            with open(os.path.join(home, "script"), "w") as f:
                f.write("\n".join(script + ["touch " + steps_run]) + "\n")
            env["BRENNIX_TEST_SCRIPT"] = os.path.join(home, "script")
            env["BRENNIX_TEST_LOG"] = log_path
        x = connect()
        if not x:
            return [name + ": no X display (run under xvfb-run)"]
        program_process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL)
        try:
            windows = []
            deadline = time.monotonic() + 20
            while not windows and time.monotonic() < deadline and program_process.poll() is None:
                time.sleep(0.1)
                windows = x.top_windows(b" - Brennix")
            if not windows:
                return [name + ": the main window never appeared"]
            while script and not os.path.exists(steps_run) and time.monotonic() < deadline \
                    and program_process.poll() is None:
                time.sleep(0.05)
            if script and not os.path.exists(steps_run):
                return [name + ": the script's steps never ran"]
            for _ in range(closes):
                if program_process.poll() is not None:
                    break
                for window in x.top_windows(b" - Brennix"):
                    x.close(window)
                for _ in range(10):
                    if program_process.poll() is not None:
                        break
                    time.sleep(0.1)
            try:
                status = program_process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                return [name + ": still running 10 s after the last close request"]
            if status != 0:
                faults.append("%s: ended with status %d" % (name, status))
        finally:
            if program_process.poll() is None:
                program_process.kill()
                program_process.wait()
            x.disconnect()
        ini = os.path.join(home, "config", "Oskeld free chess software", "Brennix.ini")
        if not os.path.exists(ini):
            faults.append(name + ": no Brennix.ini was written")
        else:
            store = configparser.RawConfigParser(strict=False)
            store.optionxform = str
            store.read(ini)
            keys = sum(len(store[s]) for s in store.sections())
            if keys != 42 or not store.has_option("Display", "RValueFond%20") \
                    or not store.has_option("BoardsPlacement", "layerboard%20Bottom"):
                faults.append("%s: Brennix.ini holds %d settings, not the 42 names" % (name, keys))
        if script:
            questions = 0
            if os.path.exists(log_path):
                with open(log_path) as f:
                    questions = sum(1 for line in f if line.rstrip("\n").endswith(" Quit without saving?"))
            if questions != expect_questions:
                faults.append("%s: the question was asked %d times, not %d" % (name, questions, expect_questions))
    return faults


def run_box_case(program, name, dismiss):
    """A changed list; the close request brings the real question box, which is left by `dismiss`
    ("close-button" or "escape"). The program must stay with no other dialog: the next close request
    asks again, and Enter (Yes, the default) ends it. Returns a list of faults."""
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"), XDG_RUNTIME_DIR=os.path.join(home, "run"),
                   QT_QPA_PLATFORM="xcb", BRENNIX_TEST_SCRIPT=os.path.join(home, "script"),
                   BRENNIX_TEST_LOG=os.path.join(home, "script.log"))
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        with open(env["BRENNIX_TEST_SCRIPT"], "w") as f:
            f.write("menu Edit/Standard start position\ntouch %s\n" % os.path.join(home, "changed"))
        x = connect()
        if not x:
            return [name + ": no X display (run under xvfb-run)"]
        program_process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL)
        running = lambda: program_process.poll() is None
        try:
            if not wait_for(lambda: x.top_windows(b" - Brennix") or not running(), 20) or not running():
                return [name + ": the main window never appeared"]
            if not wait_for(lambda: os.path.exists(os.path.join(home, "changed")), 10):
                return [name + ": the script never changed the list"]
            for window in x.top_windows(b" - Brennix"):
                x.close(window)
            if not wait_for(lambda: x.windows_named(b"Brennix"), 10):
                return [name + ": the question did not come"]
            box = x.windows_named(b"Brennix")[0]
            if dismiss == "escape":
                if not wait_for(lambda: x.has_focus(box), 10):
                    return [name + ": the box never took the keyboard"]
                x.press_key(b"Escape")
            else:
                x.close(box)
            if not wait_for(lambda: not x.windows_named(b"Brennix"), 10):
                return [name + ": the box is still there"]
            if not running():
                return [name + ": the program ended, status %d" % program_process.returncode]
            for window in x.top_windows(b" - Brennix"):
                x.close(window)
            if not wait_for(lambda: x.windows_named(b"Brennix") or not running(), 10) or not running():
                return [name + ": the next close request did not ask (another dialog is open?)"]
            box = x.windows_named(b"Brennix")[0]
            if not wait_for(lambda: x.has_focus(box), 10):
                return [name + ": the second box never took the keyboard"]
            x.press_key(b"Return")
            try:
                status = program_process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                return [name + ": still running after Yes"]
            if status != 0:
                return ["%s: ended with status %d" % (name, status)]
        finally:
            if running():
                program_process.kill()
                program_process.wait()
            x.disconnect()
        if not os.path.exists(os.path.join(home, "config", "Oskeld free chess software", "Brennix.ini")):
            return [name + ": no Brennix.ini was written"]
    return []


def main():
    program = sys.argv[1]
    change = "menu Edit/Standard start position"
    cases = [
        ("unchanged list", [], 1, 0),
        ("changed list, Yes", ["answer yes", change], 1, 1),
        # No and a cancelled save keep the program open; the next close asks again and Yes ends it.
        ("changed list, No then Yes", ["answer no", "answer yes", "file cancel", change], 2, 2),
    ]
    runs = [(name, lambda s=script, c=closes, q=questions, n=name: run_case(program, n, s, c, q))
            for name, script, closes, questions in cases]
    runs += [(name, lambda d=dismiss, n=name: run_box_case(program, n, d))
             for name, dismiss in [("question box, its close button", "close-button"),
                                   ("question box, Escape", "escape")]]
    return report(runs)


def report(runs):
    """Runs each (name, case) and prints how it went; the exit status: 0 when no case found a fault."""
    faults = []
    for name, case in runs:
        case_faults = case()
        print(("FAIL " if case_faults else "ok   ") + name)
        faults += case_faults
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
