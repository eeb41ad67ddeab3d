#!/usr/bin/env python3
"""close_under_x11.py BRENNIX: under an X server (run it through xvfb-run), starts the program, asks its
main window to close the way a window manager's close button does (a WM_DELETE_WINDOW client message)
and checks that the program ends with status 0 and leaves its settings. With a changed list, the
question is asked once per close request. Exit status 0 when every case passes."""
import configparser
import ctypes
import ctypes.util
import os
import subprocess
import sys
import tempfile
import time

x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
Display = ctypes.c_void_p
Window = ctypes.c_ulong
x11.XOpenDisplay.restype = Display
x11.XDefaultRootWindow.argtypes = [Display]
x11.XDefaultRootWindow.restype = Window
x11.XInternAtom.argtypes = [Display, ctypes.c_char_p, ctypes.c_int]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XQueryTree.argtypes = [Display, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                           ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [Display, Window, ctypes.POINTER(ctypes.c_char_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XFlush.argtypes = [Display]
x11.XSync.argtypes = [Display, ctypes.c_int]
x11.XCloseDisplay.argtypes = [Display]

# A window of the program may go away between listing the windows and asking its name; the default
# handler would end this script on the error that follows.
ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, Display, ctypes.c_void_p)
ignore_errors = ErrorHandler(lambda display, event: 0)
x11.XSetErrorHandler.argtypes = [ErrorHandler]
x11.XSetErrorHandler.restype = ctypes.c_void_p
x11.XSetErrorHandler(ignore_errors)


class ClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", Display), ("window", Window), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessageEvent), ("pad", ctypes.c_long * 24)]


x11.XSendEvent.argtypes = [Display, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
CLIENT_MESSAGE = 33


def main_windows(display, title_part):
    """The top-level windows whose title holds title_part."""
    root = x11.XDefaultRootWindow(display)
    root_out, parent, children, count = Window(), Window(), ctypes.POINTER(Window)(), ctypes.c_uint()
    if not x11.XQueryTree(display, root, ctypes.byref(root_out), ctypes.byref(parent),
                          ctypes.byref(children), ctypes.byref(count)):
        return []
    found = []
    for i in range(count.value):
        name = ctypes.c_char_p()
        if x11.XFetchName(display, children[i], ctypes.byref(name)) and name.value:
            if title_part in name.value:
                found.append(children[i])
            x11.XFree(name)
    if children:
        x11.XFree(children)
    return found


def ask_to_close(display, window):
    event = XEvent()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    event.xclient.data[1] = 0  # CurrentTime
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x11.XFlush(display)


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
                f.write("\n".join(script + ["mark " + steps_run]) + "\n")
            env["BRENNIX_TEST_SCRIPT"] = os.path.join(home, "script")
            env["BRENNIX_TEST_LOG"] = log_path
        display = x11.XOpenDisplay(None)
        if not display:
            return [name + ": no X display (run under xvfb-run)"]
        program_process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL)
        try:
            windows = []
            deadline = time.monotonic() + 20
            while not windows and time.monotonic() < deadline and program_process.poll() is None:
                time.sleep(0.1)
                windows = main_windows(display, b" - Brennix")
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
                for window in main_windows(display, b" - Brennix"):
                    ask_to_close(display, window)
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
            x11.XCloseDisplay(display)
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
