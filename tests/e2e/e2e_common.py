"""Shared pieces of the end-to-end runs of the real game: a private fake speech service, a
one-puzzle folder, starting the game with sound going to a file, and pressing real keys.
Everything here has a deadline: no helper waits forever."""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TESTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
FAKE_SSIP_SERVER = os.path.join(TESTS, "platform", "fake_ssip_server.py")
SKIP = 77  # CTest's SKIP_RETURN_CODE for this folder's tests

# The short game every whole-game run plays: the one puzzle "TO BE" (T, O, space, B, E) and
# --rand picking the puzzle file (one), the puzzle in it (one), then the spin: slot 3 is $200.
RAND = [0, 0, (3 - 0.5) / 24]
SPLASH = ["Orvanta. Version 0.4"]
DEAL = ["The category is, Short Phrases", "The current puzzle is. ", "Blank.", "Blank.", "Space.",
        "Blank.", "Blank."]
SPIN = ["Spinning the wheel.", "200 dollars."]
CALL_T = ["There are 1 T's.", "You currently have $200", "The current puzzle is. ", "T.",
          "Blank.", "Space.", "Blank.", "Blank."]
MONEY = ["You currently have $200"]
USED = ["The following letters have been used. T"]
FAREWELL = ["Thanks for playing Orvanta. Exiting program."]


class Failure(Exception):
    """What the game did differs from what the player should get."""


def skip_unless_display():
    """Leaves with the skip status when there is no X display or a tool is missing."""
    if not os.environ.get("DISPLAY"):
        print("SKIP: DISPLAY is not set; run under tests/with-display.sh "
              "(CI: dbus-run-session -- tests/with-display.sh ctest ...)")
        sys.exit(SKIP)
    for tool in ("xdotool", "import"):
        if shutil.which(tool) is None:
            print("SKIP: %s is not installed" % tool)
            sys.exit(SKIP)


class Deadline:
    """One time limit shared by every wait of a run."""

    def __init__(self, seconds):
        self.end = time.monotonic() + seconds

    def left(self):
        return self.end - time.monotonic()

    def check(self, what):
        if self.left() <= 0:
            raise Failure("gave up waiting for %s: the run's time limit is over" % what)


def wait_for(condition, what, deadline, limit=None, interval=0.02):
    """Polls `condition` until it returns something true; returns that value."""
    end = min(deadline.end, time.monotonic() + (deadline.left() if limit is None else limit))
    while not (value := condition()):
        if time.monotonic() >= end:
            raise Failure("timed out waiting for %s" % what)
        time.sleep(interval)
    return value


def poll(condition, seconds, interval=0.2):
    """What `condition` gives once it is true, or None after `seconds`."""
    try:
        return wait_for(condition, "", Deadline(seconds), interval=interval)
    except Failure:
        return None


def reexec_in_session(marker, tools, drop=("NO_AT_BRIDGE",)):
    """Runs this script again under /usr/bin/python3 inside a D-Bus session of its own, and on
    a private display (Xvfb and openbox: tests/with-display.sh) unless DISPLAY is kept; leaves
    with its status, or the skip status when a tool is missing."""
    if os.environ.get(marker) == "1":
        return
    env = {name: value for name, value in os.environ.items() if name not in drop}
    display = [] if env.get("DISPLAY") else [os.path.join(TESTS, "with-display.sh")]
    tools = list(tools) + ["dbus-run-session"] + (["Xvfb", "openbox"] if display else [])
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        print("SKIP: missing %s" % ", ".join(missing))
        sys.exit(SKIP)
    env[marker] = "1"
    env["HOME"] = tempfile.mkdtemp(prefix="orvanta-session-")  # GTK leaves sockets there
    status = subprocess.run(["dbus-run-session", "--"] + display + ["/usr/bin/python3"]
                            + sys.argv, env=env).returncode
    shutil.rmtree(env["HOME"], ignore_errors=True)
    sys.exit(status)


def wait_spoken(spoken, alive, count, what, deadline, limit=30):
    """Waits until spoken() holds at least `count` sentences; alive() raises Failure once the
    game has ended."""
    try:
        wait_for(lambda: len(spoken()) >= count or alive(), what, deadline, limit=limit)
    except Failure as failure:
        raise Failure("%s; spoken so far: %s" % (failure, spoken()))
    return spoken()


def run_tool(args, timeout=10):
    """Runs a short command (xdotool, import); returns its stdout, or None when it failed."""
    try:
        done = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=timeout, text=True)
    except subprocess.TimeoutExpired:
        return None
    return done.stdout if done.returncode == 0 else None


def find_window(name_pattern):
    """The ids of the visible windows whose name matches the regular expression."""
    out = run_tool(["xdotool", "search", "--onlyvisible", "--name", name_pattern], timeout=5)
    return (out or "").split()


def skips_taskbar(window_id):
    """True for a window kept out of the task bar: the splash screen; the main window is not."""
    state = run_tool(["xprop", "-id", window_id, "_NET_WM_STATE"], timeout=5) or ""
    return "_NET_WM_STATE_SKIP_TASKBAR" in state


def find_main_window():
    """The game's main window: titled "Orvanta" and in the task bar (the splash screen carries
    the same name on X but stays out of the task bar)."""
    return [w for w in find_window("^Orvanta$") if not skips_taskbar(w)]


def press(*keys, delay_ms=40, command="key"):
    """Real key presses and releases through XTEST, to whatever window has the focus; with
    command="type", the keys are a text to type."""
    if run_tool(["xdotool", command, "--delay", str(delay_ms)] + list(keys)) is None:
        raise Failure("xdotool could not %s %s" % (command, " ".join(keys)))


def screenshot(path):
    """The whole screen (`import -window ID` takes many seconds on a GTK window)."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return run_tool(["import", "-window", "root", path], timeout=15) is not None


def write_puzzle_file(path, phrases=("TO BE",), category="Short Phrases"):
    lines = ["ZONTARY_WHEEL/PDATA/1.x", "C " + category, "TP %d" % len(phrases)] + list(phrases)
    with open(path, "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


def wait_focus(window_id, what, deadline, limit=10):
    """Waits until the window manager has given the window the keyboard focus, as it does for
    every new window. (Activating it ourselves with xdotool while the game sets its first
    focus now and then leaves GTK with no focused control, so the test only watches.)"""
    try:
        wait_for(lambda: (run_tool(["xdotool", "getwindowfocus"], timeout=5) or "").strip()
                 == window_id, "the focus on %s" % what, deadline, limit=limit, interval=0.05)
    except Failure as failure:
        focus = run_tool(["xdotool", "getwindowfocus", "getwindowname"]) or "nothing"
        raise Failure("%s (the focus is on %s)" % (failure, focus.strip()))


class SpeechLog:
    """Reads the fake speech service's log as it grows."""

    def __init__(self, path):
        self.path = path

    def events(self):
        events = []
        try:
            with open(self.path, encoding="utf-8") as log:
                for line in log:
                    events.append(json.loads(line))
        except (FileNotFoundError, ValueError):  # nothing yet, or a line still being written
            pass
        return events

    def spoken(self):
        return [e["text"] for e in self.events() if e["event"] == "speak"]


def stop_process(process, grace=2.0):
    """Ends a process we started (and its process group), politely first."""
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5)):
        if process is None or process.poll() is not None:
            return
        try:
            os.killpg(process.pid, sig)
            process.wait(timeout=wait)
        except ProcessLookupError:
            return
        except subprocess.TimeoutExpired:
            pass


class GameRun:
    """One run of the real game in a private working folder, speaking to fake_ssip_server.py
    and playing its sound into a raw file through SDL's disk driver."""

    def __init__(self, game, phrases=("TO BE",), category="Short Phrases", rand=None,
                 extra_env=None):
        self.game = os.path.abspath(game)
        self.workdir = tempfile.mkdtemp(prefix="orvanta-e2e-")
        self.puzzles = os.path.join(self.workdir, "Puzzles")
        os.makedirs(os.path.join(self.workdir, "home"))
        os.makedirs(self.puzzles)
        write_puzzle_file(os.path.join(self.puzzles, "e2e.orp"), phrases, category)
        self.audio = os.path.join(self.workdir, "audio.raw")
        self.stderr = os.path.join(self.workdir, "game.err")
        self.socket = os.path.join(self.workdir, "ssip.sock")
        self.rand = rand
        self.extra_env = extra_env or {}
        self.log = SpeechLog(os.path.join(self.workdir, "speech.jsonl"))
        self.speech_process = self.process = self.started_at = None

    def start(self, deadline):
        self.speech_process = subprocess.Popen(
            [sys.executable, FAKE_SSIP_SERVER, self.socket, self.log.path],
            stdin=subprocess.DEVNULL, start_new_session=True)
        wait_for(lambda: os.path.exists(self.socket), "the fake speech service's socket",
                 deadline, limit=10)
        env = dict(os.environ, HOME=os.path.join(self.workdir, "home"), LANG="C.UTF-8",
                   SPEECHD_ADDRESS="unix_socket:" + self.socket, SDL_AUDIODRIVER="disk",
                   SDL_DISKAUDIOFILE=self.audio)
        if not env.get("DBUS_SESSION_BUS_ADDRESS"):
            # Without a session bus GTK would start accessibility daemons that outlive the run.
            env["NO_AT_BRIDGE"] = "1"
        env.update(self.extra_env)
        args = [self.game, "--puzzles", self.puzzles, "--speech", "screenreader"]
        if self.rand:
            args += ["--rand", ",".join(str(r) for r in self.rand)]
        self.started_at = time.monotonic()
        with open(self.stderr, "wb") as err:
            self.process = subprocess.Popen(args, cwd=self.workdir, env=env,
                                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                            stderr=err, start_new_session=True)
        return self.process

    def require_running(self, what):
        if self.process is not None and self.process.poll() is not None:
            raise Failure("the game ended (status %s) while waiting for %s; its errors:\n%s"
                          % (self.process.returncode, what, self.errors()))

    def errors(self):
        try:
            with open(self.stderr, encoding="utf-8", errors="replace") as err:
                return err.read()
        except FileNotFoundError:
            return ""

    def wait_spoken(self, count, what, deadline, limit=30):
        """Waits until at least `count` sentences have reached the speech service."""
        return wait_spoken(self.log.spoken, lambda: self.require_running(what), count, what,
                           deadline, limit)

    def stop(self):
        stop_process(self.process)
        stop_process(self.speech_process)

    def remove_files(self):
        shutil.rmtree(self.workdir, ignore_errors=True)


def solve_with_boxes(typed, deadline, on_box=lambda title: None):
    """F12, then in turn the solve box (where `typed` is typed), Correct! and Final Winnings,
    each answered with Return once it has the focus and on_box(title) has looked at it."""
    press("F12")
    for title in ("Solve Puzzle", "Correct!", "Final Winnings"):
        box = wait_for(lambda: find_window("^%s$" % title), "the %s box" % title, deadline,
                       limit=30, interval=0.05)[0]
        wait_focus(box, "the %s box" % title, deadline)
        on_box(title)
        if title == "Solve Puzzle":
            press(typed, command="type")
        press("Return")


def play_short_game(wait_spoken, process, deadline, shot, failures, first_keys=(),
                    after_spin=(), middle=lambda main, done: done, on_box=lambda title: None):
    """The short game of the whole-game tests, on the real window from the deal to its end: the
    spin ($200: Space, after `first_keys`; then `after_spin`, and a screenshot into `shot`), T,
    the money (F5), the used letters (F4), then middle(main window, sentences spoken so far),
    which gives the sentences spoken by its end; the solution (solve_with_boxes), the farewell,
    and the end with status 0."""
    done = len(SPLASH + DEAL)
    wait_spoken(done, "the category and the board to be read", deadline)
    # The main window once it has the focus (the splash, going, may be listed a moment longer).
    main = wait_for(lambda: next((w for w in find_main_window() if w == (run_tool(
        ["xdotool", "getwindowfocus"], timeout=5) or "").strip()), None),
        "the focus on the main window", deadline, limit=30, interval=0.05)
    time.sleep(0.3)
    for keys, sentences in (([*first_keys, "space"], SPIN), (["t"], CALL_T), (["F5"], MONEY),
                            (["F4"], USED)):
        press(*keys)
        done += len(sentences)
        wait_spoken(done, "the answer to %s" % " ".join(keys), deadline)
        if sentences is SPIN:
            if after_spin:
                press(*after_spin)
            time.sleep(0.3)  # let the label and the disabled button repaint
            if not screenshot(shot):
                failures.append("no screenshot could be taken")
    done = middle(main, done)
    solve_with_boxes("to be", deadline, on_box)
    wait_spoken(done + len(FAREWELL), "the farewell", deadline)
    wait_for(lambda: process.poll() is not None, "the game to end", deadline, limit=15)
    if process.returncode != 0:
        failures.append("the game ended with status %s, not 0" % process.returncode)


def find_plays(stream, sound):
    """Where the sound was played whole in the raw output stream, as sample offsets. The speech
    channel is silent here (the voice goes to the speech service) and the mixer adds channels
    without scaling, so the effect's samples appear in the stream unchanged."""
    plays, at = [], stream.find(sound)
    while at != -1:
        if at % 2 == 0:
            plays.append(at // 2)
        at = stream.find(sound, at + (len(sound) if at % 2 == 0 else 1))
    return plays
