#!/usr/bin/env python3
"""close_under_x11.py BRENNIX: under an X server (run it through xvfb-run), starts the program, asks its
main window to close the way a window manager's close button does (a WM_DELETE_WINDOW client message)
and checks that the program ends with status 0 and leaves its settings. With a changed list, the
question is asked once per close request; the question's box left by its own close button or by the
Escape key (real X events) keeps the program, which the next close request asks again. Exit status 0
when every case passes."""
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

# A window can go between listing it and asking its name: Xlib's default handler would end this script.
_ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, Display, ctypes.c_void_p)
_ignore_errors = _ErrorHandler(lambda display, event: 0)
x11.XSetErrorHandler.argtypes = [_ErrorHandler]
x11.XSetErrorHandler(_ignore_errors)

x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XKeysymToKeycode.argtypes = [Display, ctypes.c_ulong]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
_xtst = None


def press_key(display, name):
    """Presses and releases a key through the XTEST extension, as a keyboard would."""
    global _xtst
    if _xtst is None:
        _xtst = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        _xtst.XTestFakeKeyEvent.argtypes = [Display, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    code = x11.XKeysymToKeycode(display, x11.XStringToKeysym(name))
    _xtst.XTestFakeKeyEvent(display, code, 1, 0)
    _xtst.XTestFakeKeyEvent(display, code, 0, 0)
    x11.XFlush(display)


def top_windows(display, wanted):
    """The top-level windows for whose title (bytes) wanted(window, title) is true."""
    root = x11.XDefaultRootWindow(display)
    root_out, parent, children, count = Window(), Window(), ctypes.POINTER(Window)(), ctypes.c_uint()
    if not x11.XQueryTree(display, root, ctypes.byref(root_out), ctypes.byref(parent),
                          ctypes.byref(children), ctypes.byref(count)):
        return []
    found = []
    for i in range(count.value):
        name = ctypes.c_char_p()
        if x11.XFetchName(display, children[i], ctypes.byref(name)) and name.value:
            if wanted(children[i], name.value):
                found.append(children[i])
            x11.XFree(name)
    if children:
        x11.XFree(children)
    return found


def main_windows(display, title_part):
    """The top-level windows whose title holds title_part."""
    return top_windows(display, lambda window, title: title_part in title)


x11.XGetGeometry.argtypes = [Display, Window, ctypes.POINTER(Window), ctypes.POINTER(ctypes.c_int),
                            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_uint),
                            ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint),
                            ctypes.POINTER(ctypes.c_uint)]


def width_of(display, window):
    root, x, y = Window(), ctypes.c_int(), ctypes.c_int()
    width, height, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
    if not x11.XGetGeometry(display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                            ctypes.byref(width), ctypes.byref(height), ctypes.byref(border),
                            ctypes.byref(depth)):
        return 0
    return width.value


def windows_named(display, title):
    """The top-level windows whose title is exactly title (not Qt's 1x1 client leader of that name)."""
    return top_windows(display, lambda window, name: name == title and width_of(display, window) > 1)


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
                f.write("\n".join(script + ["touch " + steps_run]) + "\n")
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


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


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
            f.write("menu Edit/Standard start position\n")
        display = x11.XOpenDisplay(None)
        if not display:
            return [name + ": no X display (run under xvfb-run)"]
        program_process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL)
        running = lambda: program_process.poll() is None
        try:
            if not wait_for(lambda: main_windows(display, b" - Brennix") or not running(), 20) or not running():
                return [name + ": the main window never appeared"]
            time.sleep(0.5)  # the script's change comes first
            for window in main_windows(display, b" - Brennix"):
                ask_to_close(display, window)
            if not wait_for(lambda: windows_named(display, b"Brennix"), 10):
                return [name + ": the question did not come"]
            box = windows_named(display, b"Brennix")[0]
            time.sleep(0.3)  # the box takes the keyboard once it is mapped
            if dismiss == "escape":
                press_key(display, b"Escape")
            else:
                ask_to_close(display, box)
            if not wait_for(lambda: not windows_named(display, b"Brennix"), 10):
                return [name + ": the box is still there"]
            if not running():
                return [name + ": the program ended, status %d" % program_process.returncode]
            for window in main_windows(display, b" - Brennix"):
                ask_to_close(display, window)
            if not wait_for(lambda: windows_named(display, b"Brennix") or not running(), 10) or not running():
                return [name + ": the next close request did not ask (another dialog is open?)"]
            time.sleep(0.3)
            press_key(display, b"Return")
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
            x11.XCloseDisplay(display)
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
