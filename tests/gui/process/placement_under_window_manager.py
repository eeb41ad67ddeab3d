#!/usr/bin/env python3
"""placement_under_window_manager.py BRENNIX: the main window's placement under a real window manager,
which adds a title bar and borders around it, on a small screen. Run it under an X server with a window
manager (xvfb-run ... with_window_manager.py ...). Each session starts the program with the settings the
one before left and ends it with the window manager's close button; between them the stored placement
must not move, and the whole frame, title bar and borders included, must be on the screen.
Exit status 0 when every case passes."""
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
Atom = ctypes.c_ulong
x11.XOpenDisplay.restype = Display
x11.XDefaultRootWindow.argtypes = [Display]
x11.XDefaultRootWindow.restype = Window
x11.XDefaultScreen.argtypes = [Display]
x11.XDisplayWidth.argtypes = [Display, ctypes.c_int]
x11.XDisplayHeight.argtypes = [Display, ctypes.c_int]
x11.XInternAtom.argtypes = [Display, ctypes.c_char_p, ctypes.c_int]
x11.XInternAtom.restype = Atom
x11.XQueryTree.argtypes = [Display, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                           ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [Display, Window, ctypes.POINTER(ctypes.c_char_p)]
x11.XGetGeometry.argtypes = [Display, Window, ctypes.POINTER(Window), ctypes.POINTER(ctypes.c_int),
                             ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_uint),
                             ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint),
                             ctypes.POINTER(ctypes.c_uint)]
x11.XTranslateCoordinates.argtypes = [Display, Window, Window, ctypes.c_int, ctypes.c_int,
                                      ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                      ctypes.POINTER(Window)]
x11.XGetWindowProperty.argtypes = [Display, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int, Atom,
                                   ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int),
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_void_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XFlush.argtypes = [Display]
x11.XSync.argtypes = [Display, ctypes.c_int]
x11.XCloseDisplay.argtypes = [Display]


class ClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", Display), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessageEvent), ("pad", ctypes.c_long * 24)]


x11.XSendEvent.argtypes = [Display, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
# A window may go while it is looked at (the program makes its window anew when it changes its kind):
# such errors are expected, and not fatal.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, Display, ctypes.c_void_p)
ignore_errors = ERROR_HANDLER(lambda display, event: 0)
x11.XSetErrorHandler.argtypes = [ERROR_HANDLER]
x11.XSetErrorHandler(ignore_errors)
CLIENT_MESSAGE = 33
SUBSTRUCTURE_NOTIFY = 1 << 19
SUBSTRUCTURE_REDIRECT = 1 << 20


class X:
    def __init__(self):
        self.display = x11.XOpenDisplay(None)
        if not self.display:
            raise SystemExit("no X display (run it under xvfb-run and a window manager)")
        self.root = x11.XDefaultRootWindow(self.display)

    def atom(self, name):
        return x11.XInternAtom(self.display, name, 0)

    def children(self, window):
        root, parent, children, count = Window(), Window(), ctypes.POINTER(Window)(), ctypes.c_uint()
        if not x11.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                              ctypes.byref(children), ctypes.byref(count)):
            return [], 0
        found = [children[i] for i in range(count.value)]
        if children:
            x11.XFree(children)
        return found, parent.value

    def name(self, window):
        name = ctypes.c_char_p()
        if x11.XFetchName(self.display, window, ctypes.byref(name)) and name.value:
            value = name.value
            x11.XFree(name)
            return value
        return b""

    def find(self, title_part, window=None):
        """The first window below `window` (the root) whose title holds title_part."""
        window = window or self.root
        children, _ = self.children(window)
        for child in children:
            if title_part in self.name(child):
                return child
            found = self.find(title_part, child)
            if found:
                return found
        return None

    def rectangle(self, window):
        """(x, y, width, height) of a window on the screen, its border included."""
        root, x, y, w, h, border, depth = (Window(), ctypes.c_int(), ctypes.c_int(), ctypes.c_uint(),
                                           ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint())
        x11.XGetGeometry(self.display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                         ctypes.byref(w), ctypes.byref(h), ctypes.byref(border), ctypes.byref(depth))
        sx, sy, child = ctypes.c_int(), ctypes.c_int(), Window()
        x11.XTranslateCoordinates(self.display, window, self.root, 0, 0, ctypes.byref(sx), ctypes.byref(sy),
                                  ctypes.byref(child))
        b = border.value
        return (sx.value - b, sy.value - b, w.value + 2 * b, h.value + 2 * b)

    def frame(self, window):
        """The window manager's frame around a client: its ancestor that is a child of the root."""
        while True:
            _, parent = self.children(window)
            if not parent or parent == self.root:
                return window
            window = parent

    def screen(self):
        s = x11.XDefaultScreen(self.display)
        return (0, 0, x11.XDisplayWidth(self.display, s), x11.XDisplayHeight(self.display, s))

    def states(self, window):
        kind, form, count, after, data = Atom(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        if x11.XGetWindowProperty(self.display, window, self.atom(b"_NET_WM_STATE"), 0, 64, 0, 4,
                                  ctypes.byref(kind), ctypes.byref(form), ctypes.byref(count),
                                  ctypes.byref(after), ctypes.byref(data)) != 0 or not data:
            return set()
        atoms = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))
        found = {atoms[i] for i in range(count.value)}
        x11.XFree(data)
        return found

    def send(self, window, message, data, to_root=True):
        event = XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.atom(message)
        event.xclient.format = 32
        for i, value in enumerate(data):
            event.xclient.data[i] = value
        target = self.root if to_root else window
        mask = SUBSTRUCTURE_NOTIFY | SUBSTRUCTURE_REDIRECT if to_root else 0
        x11.XSendEvent(self.display, target, 0, mask, ctypes.byref(event))
        x11.XFlush(self.display)

    def maximize(self, window):
        """What the maximise button does: the window manager is asked to maximise the window."""
        self.send(window, b"_NET_WM_STATE", [1, self.atom(b"_NET_WM_STATE_MAXIMIZED_VERT"),
                                             self.atom(b"_NET_WM_STATE_MAXIMIZED_HORZ"), 1, 0])

    def maximized(self, window):
        states = self.states(window)
        return self.atom(b"_NET_WM_STATE_MAXIMIZED_VERT") in states and \
            self.atom(b"_NET_WM_STATE_MAXIMIZED_HORZ") in states

    def above(self, window):
        return self.atom(b"_NET_WM_STATE_ABOVE") in self.states(window)

    def close(self, window):
        """What the close button does: WM_DELETE_WINDOW to the client."""
        self.send(window, b"WM_PROTOCOLS", [self.atom(b"WM_DELETE_WINDOW"), 0], to_root=False)


def wait_for(condition, seconds=10.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.02)
    return condition()


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


def settle(x):
    """Waits until the main window's frame is on the screen and stays where it is. Returns (the frame's
    rectangle or None, the last rectangle seen)."""
    last = [None]

    def settled():
        window = main_window(x)
        now = x.rectangle(x.frame(window)) if window else None
        steady = now is not None and now == last[0] and inside(now, x.screen())
        last[0] = now
        return now if steady else None
    return wait_for(settled, 5), last[0]


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
