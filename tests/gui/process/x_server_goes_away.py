#!/usr/bin/env python3
"""x_server_goes_away.py BRENNIX: starts an X server of its own, the program on it, and takes the server
away under the running program (a logout, xkill of the server, a lost remote display). The program must
end by itself, without a crash: no signal ends it, and it does not hang. Exit status 0 when every case
passes."""
import os
import subprocess
import sys
import tempfile
import time

from close_under_x11 import report

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from x11_windows import NoDisplay, X  # noqa: E402


def start_server():
    """An Xvfb on a free display; returns (process, display name)."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as reader:
        while not number.endswith(b"\n"):
            byte = reader.read(1)
            if not byte:
                break
            number += byte
    return server, ":" + number.decode().strip()


def run_case(program, name, script):
    faults = []
    server, display_name = start_server()
    if server.poll() is not None or display_name == ":":
        return [name + ": the X server did not start"]
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, DISPLAY=display_name, QT_QPA_PLATFORM="xcb",
                   XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_RUNTIME_DIR=os.path.join(home, "run"))
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        ready = os.path.join(home, "ready")
        with open(os.path.join(home, "script"), "w") as f:
            f.write("\n".join(script + ["touch " + ready]) + "\n")
        env["BRENNIX_TEST_SCRIPT"] = os.path.join(home, "script")
        env["BRENNIX_TEST_LOG"] = os.path.join(home, "script.log")
        program_process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.PIPE)
        try:
            try:
                x = X(display_name.encode())
            except NoDisplay:
                return [name + ": cannot reach its X server"]
            windows = []
            deadline = time.monotonic() + 20
            while (not windows or not os.path.exists(ready)) and time.monotonic() < deadline \
                    and program_process.poll() is None:
                time.sleep(0.1)
                windows = x.top_windows(b" - Brennix")
            x.disconnect()
            if not windows or not os.path.exists(ready):
                return [name + ": the program never got ready on its X server"]
            server.terminate()
            server.wait(timeout=10)
            try:
                status = program_process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                return [name + ": still running 20 s after its X server went away"]
            errors = program_process.stderr.read().decode(errors="replace")
            if status < 0:
                faults.append("%s: ended by signal %d\n%s" % (name, -status, errors))
        finally:
            if program_process.poll() is None:
                program_process.kill()
                program_process.wait()
            if server.poll() is None:
                server.kill()
                server.wait()
    return faults


def main():
    program = sys.argv[1]
    change = "menu Edit/Standard start position"
    cases = [
        ("unchanged list", []),
        ("changed list", [change]),
        ("diagram datas open", ["menu Edit/Diagram datas"]),
    ]
    return report([(name, lambda s=script, n=name: run_case(program, n, s)) for name, script in cases])


if __name__ == "__main__":
    sys.exit(main())
