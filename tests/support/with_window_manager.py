#!/usr/bin/env python3
"""with_window_manager.py COMMAND [ARG]...: under an X server (run it through xvfb-run), starts the openbox
window manager, waits until it manages the screen, runs COMMAND and ends with COMMAND's exit status.
Windows then get borders, a title bar and the focus the way a desktop gives them."""
import ctypes
import ctypes.util
import os
import subprocess
import sys
import tempfile
import time

x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                   ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]


def window_manager_running():
    """Whether a window manager has announced itself on the root window (_NET_SUPPORTING_WM_CHECK)."""
    display = x11.XOpenDisplay(None)
    if not display:
        return False
    try:
        atom = x11.XInternAtom(display, b"_NET_SUPPORTING_WM_CHECK", 1)
        if not atom:
            return False
        kind, format_, count, after, data = (ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(),
                                             ctypes.c_ulong(), ctypes.c_void_p())
        status = x11.XGetWindowProperty(display, x11.XDefaultRootWindow(display), atom, 0, 1, 0, 0,
                                        ctypes.byref(kind), ctypes.byref(format_), ctypes.byref(count),
                                        ctypes.byref(after), ctypes.byref(data))
        if data:
            x11.XFree(data)
        return status == 0 and count.value > 0
    finally:
        x11.XCloseDisplay(display)


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    if not os.environ.get("DISPLAY"):
        print("with_window_manager.py: no X display (run it under xvfb-run)")
        return 2
    manager = None
    try:
        # Openbox now and then ends at once, without a word, as it starts next to a fresh X server: it is
        # started again then.
        for attempt in range(5):
            messages = tempfile.TemporaryFile()
            manager = subprocess.Popen(["openbox", "--sm-disable"], stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=messages)
            deadline = time.monotonic() + 20
            while not window_manager_running() and manager.poll() is None and time.monotonic() < deadline:
                time.sleep(0.05)
            if window_manager_running():
                break
            manager.kill()
            manager.wait()
            messages.seek(0)
            error = messages.read().decode(errors="replace")
            manager = None
        if manager is None:
            print("with_window_manager.py: openbox did not start: " + error)
            return 2
        return subprocess.call(sys.argv[1:])
    finally:
        if manager is not None:
            manager.terminate()
            try:
                manager.wait(timeout=5)
            except subprocess.TimeoutExpired:
                manager.kill()


if __name__ == "__main__":
    sys.exit(main())
