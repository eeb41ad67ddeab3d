#!/usr/bin/env python3
"""close_under_x11.py BRENNIX: under an X server (run it through xvfb-run), starts the program, asks its
main window to close the way a window manager's close button does (a WM_DELETE_WINDOW client message)
and checks that the program ends with status 0 and leaves its settings. With a changed list, the
question is asked once per close request. Exit status 0 when every case passes."""
import configparser
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from x11_windows import X  # noqa: E402


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
        if script:
            with open(os.path.join(home, "script"), "w") as f:
                f.write("\n".join(script) + "\n")
            env["BRENNIX_TEST_SCRIPT"] = os.path.join(home, "script")
            env["BRENNIX_TEST_LOG"] = log_path
        try:
            x = X()
        except SystemExit:
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
            time.sleep(0.5)  # the script's own steps come first
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


def main():
    program = sys.argv[1]
    change = "menu Edit/Standard start position"
    cases = [
        ("unchanged list", [], 1, 0),
        ("changed list, Yes", ["answer yes", change], 1, 1),
        # No and a cancelled save keep the program open; the next close asks again and Yes ends it.
        ("changed list, No then Yes", ["answer no", "answer yes", "file cancel", change], 2, 2),
    ]
    faults = []
    for name, script, closes, questions in cases:
        case_faults = run_case(program, name, script, closes, questions)
        print(("FAIL " if case_faults else "ok   ") + name)
        faults += case_faults
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
