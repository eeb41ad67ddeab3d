"""x11_windows.py: the few Xlib calls the tests need to look at the program's windows the way a window
manager and a desktop do, and to press keys as a keyboard does, through ctypes (no module beyond Python's
own)."""
import ctypes
import ctypes.util
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
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XKeysymToKeycode.argtypes = [Display, ctypes.c_ulong]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XGetInputFocus.argtypes = [Display, ctypes.POINTER(Window), ctypes.POINTER(ctypes.c_int)]
_xtst = None


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
x11.XSetErrorHandler.restype = ctypes.c_void_p
x11.XSetErrorHandler(ignore_errors)
CLIENT_MESSAGE = 33
SUBSTRUCTURE_NOTIFY = 1 << 19
SUBSTRUCTURE_REDIRECT = 1 << 20


def wait_for(condition, seconds=10.0):
    """Asks condition() until it gives a true value or the time is up; returns its last value."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.02)
    return condition()


class NoDisplay(SystemExit):
    """There is no X server to talk to."""


class X:
    def __init__(self, display_name=None):
        """A connection to the X server of $DISPLAY, or of display_name (bytes, ":1")."""
        self.display = x11.XOpenDisplay(display_name)
        if not self.display:
            raise NoDisplay("no X display (run it under xvfb-run and a window manager)")
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

    def disconnect(self):
        x11.XCloseDisplay(self.display)

    def top_windows(self, title_part):
        """The windows right below the root whose title holds title_part."""
        return [child for child in self.children(self.root)[0] if title_part in self.name(child)]

    def windows_named(self, title):
        """The windows right below the root whose title is exactly title (not Qt's 1 x 1 client leader,
        which bears the program's name too)."""
        return [child for child in self.children(self.root)[0]
                if self.name(child) == title and self.width(child) > 1]

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

    def width(self, window):
        """The width of a window, its border left out; 0 when the window is gone."""
        root, x, y, w, h, border, depth = (Window(), ctypes.c_int(), ctypes.c_int(), ctypes.c_uint(),
                                           ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint())
        if not x11.XGetGeometry(self.display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                                ctypes.byref(w), ctypes.byref(h), ctypes.byref(border), ctypes.byref(depth)):
            return 0
        return w.value

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

    def has_focus(self, window):
        """Whether the keyboard goes to window or to a window inside it."""
        focus, revert = Window(), ctypes.c_int()
        x11.XGetInputFocus(self.display, ctypes.byref(focus), ctypes.byref(revert))
        current = focus.value
        while current and current != self.root:
            if current == window:
                return True
            current = self.children(current)[1]
        return False

    def press_key(self, name):
        """Presses and releases a key (its keysym name, bytes) through the XTEST extension, as a keyboard
        would."""
        global _xtst
        if _xtst is None:
            _xtst = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst") or "libXtst.so.6")
            _xtst.XTestFakeKeyEvent.argtypes = [Display, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        code = x11.XKeysymToKeycode(self.display, x11.XStringToKeysym(name))
        _xtst.XTestFakeKeyEvent(self.display, code, 1, 0)
        _xtst.XTestFakeKeyEvent(self.display, code, 0, 0)
        x11.XFlush(self.display)
