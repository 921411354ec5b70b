#!/usr/bin/env python3
"""End-to-end test of the built program in a real X server (Xvfb).

Drives kvix-quendral with the keyboard as a person would (xdotool) and
reads the boxes as a person would copy them: the box's access key, Ctrl+A,
Ctrl+C, then the clipboard (xclip).  Checks the start state and focus, the
tab order, a conversion each way, Enter and Escape pressing nothing, error
boxes that name the kind and leave the program running with both boxes
unchanged and the focus back in the box read, its text selected, presses
typed ahead of a report, and 1 MB pastes.  Takes screenshots of the
window and of the error boxes into OUTDIR (with ImageMagick's import,
where installed).

The Windows program (EXECUTABLE ending in .exe) runs under Wine: $WINE is
the loader, in the prefix that $WINEPREFIX names (tests/wine/run_in_wine.sh
sets both).  PROBE, a Windows console program, reads the message box's text
and the boxes' length limits from the Windows side: Wine's message box does
not copy its text, and pastes from X into Wine are not reliable, so the
1 MB pastes are left out there.

Usage: e2e_window.py EXECUTABLE OUTDIR [PROBE]
Exit status: 0 passed, 1 failed, 77 skipped (only where Xvfb cannot start).
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import time

SKIPPED = 77
TITLE = "KVIX Quendral"
SENTINEL = b"e2e clipboard sentinel"
MARKER = "="  # typed at a box's end to read it; one key, no Shift on a US layout


class Failure(Exception):
    pass


STARTED = time.monotonic()


def log(message):
    """A line of the log, with the seconds since the driver started."""
    print(f"[{time.monotonic() - STARTED:6.2f} s] {message}", flush=True)


def short(text):
    """A text for a message: whole when short, else its start and its length."""
    return repr(text) if len(text) <= 80 else f"{text[:40]!r}... ({len(text)} characters)"


def wait_until(what, predicate, timeout=20.0, interval=0.05):
    """Polls predicate until it gives a true value; fails naming what."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class Session:
    def __init__(self, executable, outdir, probe=None):
        self.executable = executable
        self.outdir = outdir
        self.probe = probe
        # The Windows program, under Wine.
        self.wine = os.environ.get("WINE") if executable.lower().endswith(".exe") else None
        self.xvfb = None
        self.app = None
        self.env = None
        self.window = None
        self.app_log = None

    # --- the X server and the program -------------------------------------

    def start_xvfb(self):
        """Starts Xvfb on a free display; None if it cannot start, else the display."""
        if shutil.which("Xvfb") is None:
            return None, "Xvfb is not installed"
        read_fd, write_fd = os.pipe()
        try:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "800x600x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        except OSError as error:
            return None, f"Xvfb does not run: {error}"
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 15
        os.set_blocking(read_fd, False)
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            if self.xvfb.poll() is not None:
                break
            try:
                chunk = os.read(read_fd, 16)
                if chunk == b"":
                    break
                number += chunk
            except BlockingIOError:
                time.sleep(0.05)
        os.close(read_fd)
        if not number.strip().isdigit():
            reason = self.xvfb.stderr.read().decode(errors="replace").strip().splitlines()[-1:] \
                if self.xvfb.poll() is not None else ["no display number within 15 s"]
            self.stop_xvfb()
            return None, " ".join(reason) or "it exited"
        return ":" + number.strip().decode(), None

    def stop_xvfb(self):
        if self.xvfb is not None and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        self.xvfb = None

    def start_program(self, display):
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)  # the real X server, not offscreen
        env.pop("WAYLAND_DISPLAY", None)
        env["DISPLAY"] = display
        self.env = env
        # The server has named its display; wait until it takes clients.
        # (-noreset above: the server must not reset when this probe, the
        # last client so far, disconnects.)
        wait_until("the X server to take clients",
                   lambda: self.run("xdotool", "getdisplaygeometry").returncode == 0, timeout=15)
        self.app_log = open(os.path.join(self.outdir, "program.log"), "wb")
        command = [self.wine, self.executable] if self.wine else [self.executable]
        started = time.monotonic()
        self.app = subprocess.Popen(command, env=env, stdout=self.app_log,
                                    stderr=subprocess.STDOUT)

        def shown():
            self.check_running()
            found = self.windows()
            return found and found[0]
        self.window = wait_until("the window to be shown", shown)
        log(f"window {self.window} shown, {time.monotonic() - started:.2f} s after the start")
        self.focus_window()

    def stop_program(self):
        if self.app is not None and self.app.poll() is None:
            self.app.terminate()
            try:
                self.app.wait(5)
            except subprocess.TimeoutExpired:
                self.app.kill()
        if self.app_log is not None:
            self.app_log.close()

    def check_running(self):
        if self.app.poll() is not None:
            self.app_log.flush()
            with open(self.app_log.name, "rb") as f:
                said = f.read()[-600:].decode(errors="replace").strip()
            raise Failure(f"the program ended with status {self.app.returncode}: {said}")

    # --- tools ----------------------------------------------------------------

    def run(self, *args, data=None, timeout=30):
        result = subprocess.run(list(args), env=self.env, input=data, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=timeout)
        return result

    def xdotool(self, *args):
        result = self.run("xdotool", *args)
        if result.returncode != 0:
            raise Failure(f"xdotool {' '.join(args)}: {result.stderr.decode(errors='replace').strip()}")
        return result.stdout.decode()

    def windows(self):
        """The visible top-level windows titled with the program's title."""
        result = self.run("xdotool", "search", "--onlyvisible", "--name", f"^{TITLE}$")
        return [line for line in result.stdout.decode().split() if line]

    def focus_window(self, window=None):
        # No window manager runs: give the window the input focus directly.
        self.xdotool("windowfocus", "--sync", window or self.window)

    def keys(self, *keys):
        self.xdotool("key", "--delay", "40", *keys)

    def program_pids(self):
        """The program's processes: the one started, and under Wine the
        Windows program's own (found by the executable's name)."""
        pids = {self.app.pid}
        if self.wine:
            name = os.path.basename(self.executable).encode()
            for entry in os.listdir("/proc"):
                try:
                    with open(f"/proc/{entry}/cmdline", "rb") as f:
                        program = f.read().split(b"\0")[0]
                    if program.endswith(name) and int(entry) != os.getpid():
                        pids.add(int(entry))
                except (OSError, ValueError):
                    pass
        return sorted(pids)

    def keys_at_once(self, *keys, delay=0):
        """Presses the keys while the program is stopped, so that it finds
        them all waiting when it goes on, as when a user types ahead of a
        busy program: however loaded the machine, the program sees the
        second key before it can show anything for the first.  `delay` ms
        go by between the keys (their time stamps differ by as much)."""
        pids = self.program_pids()
        for pid in pids:
            os.kill(pid, signal.SIGSTOP)
        try:
            self.xdotool("key", "--delay", str(delay), *keys)
            # A round trip to the server: the keys have gone out to the program.
            self.run("xdotool", "getdisplaygeometry")
            time.sleep(0.2)
        finally:
            for pid in pids:
                os.kill(pid, signal.SIGCONT)

    def type(self, text):
        self.xdotool("type", "--delay", "20", text)

    def set_clipboard(self, data):
        # xclip stays behind to serve the selection: its output must not be a
        # pipe that this script waits on.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], env=self.env, input=data,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=30)

    def clipboard(self):
        result = self.run("xclip", "-o", "-selection", "clipboard")
        return result.stdout if result.returncode == 0 else None

    def screenshot(self, name):
        if shutil.which("import") is None:
            log(f"(no screenshot {name}: ImageMagick's import is not installed)")
            return
        path = os.path.join(self.outdir, name)
        # The Windows program centres its window; the Linux one is at 0,0.
        crop = [] if self.wine else ["-crop", "480x200+0+0"]
        self.run("import", "-window", "root", *crop, path)
        log(f"screenshot {path}")

    # --- reading and writing the boxes --------------------------------------

    def read_box(self, access_key):
        """The whole text of a box, read by copying it: the box's access key,
        End, a marker typed at the end (so that even an empty box copies
        something), Ctrl+A, Ctrl+C; then the marker is taken away again."""
        # The clipboard first gets a text that does not end with the marker,
        # so that an earlier copy is never taken for this one.  (No paste is
        # pending here: every paste is waited for before a box is read.)
        self.set_clipboard(SENTINEL)
        self.keys(f"alt+{access_key}", "End")
        self.type(MARKER)
        self.keys("ctrl+a", "ctrl+c")
        copied = wait_until(f"box {access_key!r} to be copied",
                            lambda: (c := self.clipboard()) is not None and
                            c.endswith(MARKER.encode()) and c)
        self.keys("End", "BackSpace")
        return copied[:-1].decode()

    def expect_box(self, access_key, expected, what):
        got = self.read_box(access_key)
        if got != expected:
            raise Failure(f"{what}: box {access_key!r} holds {short(got)}, expected {short(expected)}")
        log(f"ok: {what}")

    def copy_until(self, access_key, expected, what, timeout=20.0):
        """Copies a box, again every half second, until it holds `expected`.
        For the result of a click: the program takes the keys in its own
        time, and a long text takes a while to convert, so a first copy can
        come before the result.  Touches the clipboard only by copying, so it
        may follow a paste at once."""
        self.keys(f"alt+{access_key}")
        deadline = time.monotonic() + timeout
        last = None
        while time.monotonic() < deadline:
            self.keys("ctrl+a", "ctrl+c")
            again = time.monotonic() + 0.5
            while time.monotonic() < again:
                last = self.clipboard()
                if last == expected.encode():
                    log(f"ok: {what}")
                    return
                time.sleep(0.1)
        shown = short(last.decode(errors="replace")) if last is not None else "nothing"
        raise Failure(f"{what}: box {access_key!r} copied as {shown} for {timeout:.0f} s")

    # --- the message box --------------------------------------------------------

    def message_box(self):
        others = wait_until("a message box", lambda: [w for w in self.windows() if w != self.window])
        return others[0]

    def probe_lines(self, key):
        """The values the Windows-side probe prints for key, one list each."""
        result = self.run(self.wine, self.probe, TITLE)
        if result.returncode != 0:
            raise Failure(f"window probe: {result.stderr.decode(errors='replace').strip()}")
        unescape = {"\\": "\\", "t": "\t", "n": "\n", "r": "\r"}
        found = []
        for line in result.stdout.decode().replace("\r\n", "\n").split("\n"):
            fields = line.split("\t")
            if fields[0] == key:
                found.append([re.sub(r"\\(.)", lambda m: unescape.get(m.group(1), m.group(1)), f)
                              for f in fields[1:]])
        return found

    def read_message(self, box):
        if self.wine:
            return wait_until("the message box's text from the probe",
                              lambda: (m := self.probe_lines("message")) and m[0][0])
        self.focus_window(box)
        self.set_clipboard(SENTINEL)
        self.keys("ctrl+c")
        text = wait_until("the message box's text on the clipboard",
                          lambda: (c := self.clipboard()) not in (None, SENTINEL) and c)
        return text.decode()

    def expect_selection(self, expected, what):
        """Copies whatever has the focus: the whole text of the box, if the
        focus is in it with its text selected."""
        self.set_clipboard(SENTINEL)
        self.keys("ctrl+c")
        got = wait_until(f"a copy ({what})",
                         lambda: (c := self.clipboard()) not in (None, SENTINEL) and c, timeout=5)
        if got != expected.encode():
            raise Failure(f"{what}: the copy is {short(got.decode(errors='replace'))}")
        log(f"ok: {what}")

    def dismiss(self, box, key):
        # Wine gives the keys to its active window, the message box.
        if not self.wine:
            self.focus_window(box)
        self.keys(key)
        wait_until(f"the message box to close on {key}", lambda: box not in self.windows())
        self.check_running()
        self.focus_window()


def set_boxes(s, text_in, text_out):
    for key, text in (("i", text_in), ("o", text_out)):
        s.keys(f"alt+{key}", "ctrl+a", "BackSpace")
        s.type(text)


def expect_reports(s, headlines, what):
    """The message boxes, one after the other, say `headlines` in that order;
    each is closed with Enter; then no other opens."""
    for headline in headlines:
        box = s.message_box()
        message = s.read_message(box)
        if not message.startswith(headline):
            raise Failure(f"{what}: {headline} expected, the message box says {message!r}")
        s.dismiss(box, "Return")
    time.sleep(1)
    s.check_running()
    if [w for w in s.windows() if w != s.window]:
        raise Failure(f"{what}: a message box more than the {len(headlines)} expected")
    log(f"ok: {what}: {', '.join(headlines)}")


def typed_ahead(s):
    """Presses typed ahead of the program: every press counts, in the order
    of the presses, and keys typed before a report appears are the window's,
    each handled by the control that has the focus in its turn."""
    # Two presses 15 ms apart, the program running: two reports in order.
    set_boxes(s, "abc", "bad date")
    s.xdotool("key", "--delay", "15", "alt+p", "alt+n")
    expect_reports(s, ["Not a number", "Not a date"], "two presses 15 ms apart")

    # The same button pressed twice: two reports; by its access key and by
    # Space while it has the focus.
    s.keys_at_once("alt+p", "alt+p", delay=30)
    expect_reports(s, ["Not a number", "Not a number"], "the same button pressed twice")
    s.keys_at_once("Tab", "space", "space", delay=30)
    expect_reports(s, ["Not a number", "Not a number"], "Space twice on the focused button")

    # A refused press, then both buttons: one report, then both results.
    set_boxes(s, "12abc", "Thu, 01 Jan 1970 00:00:05 GMT")
    s.keys_at_once("alt+p", "alt+n", "alt+p", delay=30)
    expect_reports(s, ["Not a number"], "Alt+P, Alt+N, Alt+P")
    s.expect_box("i", "5", "Alt+N after the refused Alt+P ran")
    s.expect_box("o", "1970-01-01 00:00:05", "the second Alt+P ran after it")

    # An access key and letters typed ahead of a report go where they were
    # typed, with the Shift they were typed with.
    set_boxes(s, "12abc", "zz")
    s.keys_at_once("alt+p", "alt+o", "End", "shift+a", "shift+b")
    expect_reports(s, ["Not a number"], "a refusal with keys typed ahead of its report")
    s.expect_box("o", "zzAB", "the letters typed ahead went to txtOutput, in capitals")
    s.expect_box("i", "12abc", "txtInput unchanged by the keys typed ahead")


def scenario(s):
    s.screenshot("e2e-start.png")

    # Start: the focus is in txtInput, both boxes are empty.
    s.type(MARKER)  # typed into whatever has the focus
    s.keys("ctrl+a", "ctrl+c")
    wait_until("the focused box's text", lambda: s.clipboard() == MARKER.encode())
    s.expect_box("o", "", "txtOutput is empty at start")
    s.expect_box("i", MARKER, "the focus was in txtInput at start (it got the key typed)")
    s.keys("alt+i", "ctrl+a", "BackSpace")
    s.expect_box("i", "", "txtInput is empty again")

    # A conversion each way.
    # (A box is read with the marker only while no click is pending; the
    # result of a click is awaited by copying.)
    s.keys("alt+i", "ctrl+a")
    s.type("2147483647")
    s.keys("alt+p")
    s.copy_until("o", "2038-01-19 03:14:07", "Alt+P turns 2147483647 into its date")
    s.keys("alt+o", "ctrl+a")
    s.type("1901-12-13 20:45:52")
    s.keys("alt+n")
    s.copy_until("i", "-2147483648", "Alt+N turns 1901-12-13 20:45:52 into its Unix time")
    s.expect_box("o", "1901-12-13 20:45:52", "txtOutput keeps the date it was given")
    s.screenshot("e2e-converted.png")

    # The tab order: txtInput, cmdCalcPos, txtOutput, cmdCalcNeg, and round
    # again; Space clicks the focused button.  A box that the Tab key
    # reaches has its whole text selected, so a key typed replaces it.
    s.keys("alt+i", "ctrl+a")
    s.type("0")
    s.keys("Tab", "space")
    s.copy_until("o", "1970-01-01 00:00:00", "Tab from txtInput reaches cmdCalcPos, Space clicks it")
    s.keys("alt+i", "Tab", "Tab")
    s.type(MARKER)
    s.expect_box("o", MARKER, "Tab twice from txtInput reaches txtOutput")
    s.keys("alt+o", "Tab", "Tab")
    s.type(MARKER)
    s.expect_box("i", MARKER, "Tab twice from txtOutput goes round to txtInput")

    # No default and no cancel button: Enter and Escape in a box press
    # nothing (a click of either button would change a box or report "x").
    s.keys("alt+i", "ctrl+a")
    s.type("0")
    s.keys("alt+o", "ctrl+a")
    s.type("x")
    s.keys("Return", "Escape", "alt+i", "Return", "Escape")
    time.sleep(1)
    s.check_running()
    if [w for w in s.windows() if w != s.window]:
        raise Failure("a window opened on Enter or Escape in a box")
    s.expect_box("i", "0", "Enter and Escape leave txtInput as it was")
    s.expect_box("o", "x", "Enter and Escape leave txtOutput as it was")
    s.keys("alt+o", "ctrl+a")
    s.type("1901-12-13 20:45:52")

    # A refused number: a message box that names the kind; Enter closes it.
    s.keys("alt+i", "ctrl+a")
    s.type("12abc")
    s.keys("alt+p")
    box = s.message_box()
    s.screenshot("e2e-error-not-a-number.png")
    message = s.read_message(box)
    if not message.startswith("Not a number") or "\u201c12abc\u201d" not in message:
        raise Failure(f"message for 12abc: {message!r}")
    log("ok: the message box says Not a number and quotes 12abc")
    s.dismiss(box, "Return")
    s.expect_selection("12abc", "after the refusal the focus is in txtInput, its text selected")
    s.expect_box("i", "12abc", "txtInput unchanged after the refusal")
    s.expect_box("o", "1901-12-13 20:45:52", "txtOutput unchanged after the refusal")

    # A date out of range: Overflow; Escape closes it.
    s.keys("alt+o", "ctrl+a")
    s.type("2038-01-19 03:14:08")
    s.keys("alt+n")
    box = s.message_box()
    message = s.read_message(box)
    if not message.startswith("Overflow"):
        raise Failure(f"message for 2038-01-19 03:14:08: {message!r}")
    log("ok: the message box says Overflow")
    s.dismiss(box, "Escape")
    s.expect_selection("2038-01-19 03:14:08",
                       "after the overflow the focus is in txtOutput, its text selected")
    s.expect_box("i", "12abc", "txtInput unchanged after the overflow")
    s.expect_box("o", "2038-01-19 03:14:08", "txtOutput unchanged after the overflow")

    # Two refusals pressed at once, Alt+P (12abc) and straight after it
    # Alt+N (a date out of range): the reports come in the order of the
    # presses, and the second puts the focus back into its own box.
    s.keys_at_once("alt+p", "alt+n")
    for headline, key in (("Not a number", "Return"), ("Overflow", "Escape")):
        box = s.message_box()
        message = s.read_message(box)
        if not message.startswith(headline):
            raise Failure(f"presses in a row: {headline} expected, the message box says {message!r}")
        log(f"ok: presses in a row: {headline} in its turn")
        s.dismiss(box, key)
    s.expect_selection("2038-01-19 03:14:08",
                       "after both reports the focus is in txtOutput, its text selected")

    typed_ahead(s)

    if s.wine:
        # No pastes from X into Wine: the boxes' length limits instead.
        limits = [int(fields[1]) for fields in s.probe_lines("edit")]
        # A single-line edit without a limit (EM_SETLIMITTEXT 0) reports 2^31 - 2.
        if len(limits) != 2 or min(limits) < 2**31 - 2:
            raise Failure(f"the text boxes' length limits: {limits}")
        log(f"ok: the text boxes have no length limit ({limits})")
        client = s.probe_lines("client")
        log(f"figure: client area {client[0][0]} x {client[0][1]} px")
        s.screenshot("e2e-end.png")
        s.check_running()
        log("ok: the program is still running")
        return

    # A 1 MB paste into txtInput, converted: the whole text arrives.
    megabyte_number = "0" * 999_999 + "5"
    s.set_clipboard(megabyte_number.encode())
    started = time.monotonic()
    s.keys("alt+i", "ctrl+a", "ctrl+v", "alt+p")
    s.copy_until("o", "1970-01-01 00:00:05", "a 1 MB paste of 0...05 converts to 1970-01-01 00:00:05")
    log(f"figure: 1 MB paste and conversion, keys to result on the clipboard: "
        f"{time.monotonic() - started:.2f} s")
    s.expect_box("i", megabyte_number, "txtInput holds the whole 1 MB paste")

    # A 1 MB paste into txtOutput, refused, the message shortened.
    megabyte_text = "x" * 1_000_000
    s.set_clipboard(megabyte_text.encode())
    started = time.monotonic()
    s.keys("alt+o", "ctrl+a", "ctrl+v", "alt+n")
    box = s.message_box()
    log(f"figure: 1 MB paste and refusal, keys to message box: {time.monotonic() - started:.2f} s")
    s.screenshot("e2e-error-megabyte.png")
    message = s.read_message(box)
    if not message.startswith("Not a date") or "(1000000 characters)" not in message \
            or len(message) > 600:
        raise Failure(f"message for a 1 MB text: {short(message)}")
    log(f"ok: the message box says Not a date and shortens the text ({len(message)} characters)")
    s.dismiss(box, "Escape")
    s.expect_box("i", megabyte_number, "txtInput unchanged after the 1 MB refusal")
    s.expect_box("o", megabyte_text, "txtOutput holds the 1 MB text after the refusal")
    time.sleep(1)  # let the marker's removal from the 1 MB box show before the picture
    s.screenshot("e2e-end.png")
    s.check_running()
    log("ok: the program is still running")


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    executable, outdir = os.path.abspath(sys.argv[1]), sys.argv[2]
    probe = sys.argv[3] if len(sys.argv) == 4 else None
    os.makedirs(outdir, exist_ok=True)
    for tool in ("xdotool", "xclip"):
        if shutil.which(tool) is None:
            print(f"FAILED: {tool} is not installed (scripts/packages.sh lists it)")
            return 1
    log(f"LC_ALL={os.environ.get('LC_ALL', '')} TZ={os.environ.get('TZ', '')}")
    s = Session(executable, outdir, probe)
    if executable.lower().endswith(".exe") and not (s.wine and probe):
        print("FAILED: a Windows program needs $WINE and the window probe")
        return 1
    display, reason = s.start_xvfb()
    if display is None:
        print(f"SKIPPED: Xvfb cannot start ({reason}); the end-to-end test needs an X server")
        return SKIPPED
    log(f"Xvfb on display {display}")
    try:
        s.start_program(display)
        scenario(s)
    except (Failure, subprocess.TimeoutExpired) as error:
        print(f"FAILED: {error}")
        try:
            s.screenshot("e2e-failure.png")
        except Exception:  # the screenshot is a help, not the verdict
            pass
        return 1
    finally:
        s.stop_program()
        s.stop_xvfb()
    print("PASSED")
    return 0


if __name__ == "__main__":
    sys.exit(main())
