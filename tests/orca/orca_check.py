#!/usr/bin/python3
"""A short game played with the real screen reader Orca, checked from what was spoken and
what a braille display showed.

    orca_check.py GAME ARTEFACTS_DIR

Everything runs privately: an Xvfb display with openbox (tests/with-display.sh), a D-Bus
session with the accessibility bus, a real speech-dispatcher on a socket of its own whose
only "synthesizer" is speak_chunk.sh: it records when each chunk begins, ends or is cut off and
whether Orca or the game said it; brltty with its Virtual driver, whose display is this script
(40 cells, recording each text brltty shows); and Orca with braille on, under a process name
of its own so that another Orca on the machine neither stops it nor is stopped. Real keys are
pressed with xdotool. The game's sentences must reach the player through Orca, in speech and in
braille; a minimal program's notification (notice_app.py) is the yardstick for how fast. The
records, the keys and Orca's debug log are kept in ARTEFACTS_DIR.

Exit status: 0 passed, 1 failed, 77 cannot run here (Orca or a tool is missing).
"""

import json
import os
import re
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import e2e_common as e2e  # noqa: E402

PHRASE = "KNOWLEDGE IS POWER"
# --rand: the puzzle file, the puzzle, then the spin: slot 8 is $400.
RAND = "0,0,%.4f" % ((8 - 0.5) / 24)
RATE = 30  # --rate: the game's speech a little faster than Orca's
# Labels that name one control only: Orca must never add them to another one's announcement.
LABELS = ("Current Puzzle", "Puzzle Category", "Used Letter Board", "Your Assets")
KEY_ANSWER_LIMIT = 1.0  # s from a key to the beginning of Orca's answer
SILENCE_LIMIT = 0.3  # s from Ctrl to the game's speech being cut off
FLASH = 5.0  # s a notification stays on the braille display (Orca's default)
# Orca 43 leaves these unbound: F9 repeats the last notification (as the README tells players).
ORCA_SETTINGS = {"general": {"enableBraille": True, "enableSpeech": True, "firstStart": False,
                             "startingProfile": ["Default", "default"]},
                 "profiles": {"default": {"profile": ["Default", "default"], "keybindings": {
                     "repeatLastNotificationMessageHandler": [["F9", "365", "0", "1"]]}}},
                 "pronunciations": {}, "keybindings": {}}


class Record:
    """speak_chunk.sh's log: chunks with who said them, when they began and ended."""

    def __init__(self, path):
        self.path = path

    def chunks(self):
        chunks, by_pid = [], {}
        try:
            with open(self.path, encoding="utf-8", errors="replace") as log:
                lines = log.read().splitlines()
        except FileNotFoundError:
            return []
        for line in lines:
            parts = line.split(" ", 5)
            if len(parts) == 6 and parts[1] == "begin":
                chunk = {"begin": float(parts[0]), "end": None, "cut": False, "text": parts[5],
                         "who": "game" if float(parts[3]) == 0 else "orca",
                         "rate": float(parts[4])}
                by_pid[parts[2]] = chunk
                chunks.append(chunk)
            elif len(parts) == 3 and parts[2] in by_pid and parts[1] in ("end", "cut"):
                by_pid[parts[2]]["end"] = float(parts[0])
                by_pid[parts[2]]["cut"] = parts[1] == "cut"
        # Killed before its watcher started: it lasted until the next chunk began.
        for chunk, following in zip(chunks, chunks[1:]):
            if chunk["end"] is None:
                chunk["end"], chunk["cut"] = following["begin"], True
        return chunks

    def said(self, who, since, until=None):
        return [c for c in self.chunks() if c["who"] == who and c["begin"] >= since
                and (until is None or c["begin"] < until)]

    def text(self, who, since, until=None):
        return " ".join(c["text"] for c in self.said(who, since, until))


class Braille(threading.Thread):
    """A 40-cell display for brltty's Virtual driver: every text shown, with its time."""

    def __init__(self, path):
        super().__init__(daemon=True)
        self.path, self.shown = path, []

    def run(self):
        link = socket.socket(socket.AF_UNIX)
        link.connect(self.path)
        link.sendall(b"cells 40\n")
        for line in link.makefile(encoding="utf-8", errors="replace"):
            word, _, text = line.rstrip("\n").partition(" ")
            if word.lower() == "visual":
                text = re.sub(r"\\(.)", r"\1", text.strip().strip('"')).rstrip()
                self.shown.append((time.time(), text))

    def since(self, since):
        return [(t, text) for t, text in list(self.shown) if t >= since]


def free_port_offset():
    """BrlAPI listens on 4101 + N: an N no one else here uses."""
    for offset in range(100, 900, 7):
        with socket.socket() as probe:
            if probe.connect_ex(("127.0.0.1", 4101 + offset)) != 0:
                return offset
    raise e2e.Failure("no free BrlAPI port")


class Session:
    def __init__(self, game, artefacts):
        self.game = os.path.abspath(game)
        self.artefacts = artefacts
        self.work = tempfile.mkdtemp(prefix="orvanta-orca-")
        self.processes = []
        self.keys = []
        self.record = Record(os.path.join(artefacts, "orca-speech.log"))
        home = os.path.join(self.work, "home")
        runtime = os.path.join(self.work, "run")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8",
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local/share"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"),
                        GDK_GL="disable", GTK_A11Y="atspi",
                        # Sounds play in real time: Orca must be answered while they do.
                        SDL_AUDIODRIVER="dummy")

    def start(self, args, name, **kw):
        log = open(os.path.join(self.work, name + ".log"), "wb")
        process = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True, **kw)
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            e2e.stop_process(process, grace=3)
        for name in os.listdir(self.work):
            if name.endswith(".log"):
                shutil.copy(os.path.join(self.work, name), self.artefacts)
        with open(os.path.join(self.artefacts, "orca-keys.log"), "w") as out:
            out.writelines("%.6f %s\n" % key for key in self.keys)
        shutil.rmtree(self.work, ignore_errors=True)

    def wait(self, condition, what, limit=20.0):
        return e2e.wait_for(condition, "%s (%.0f s)" % (what, limit), e2e.Deadline(limit))

    def start_atspi(self):
        self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "atspi")

    def start_speech(self):
        conf = os.path.join(self.work, "speechd")
        os.makedirs(os.path.join(conf, "modules"))
        with open(os.path.join(conf, "speechd.conf"), "w") as out:
            out.write('AudioOutputMethod "alsa"\nAudioALSADevice "null"\nDefaultLanguage "en"\n'
                      'AddModule "record" "sd_generic" "record.conf"\nDefaultModule record\n')
        with open(os.path.join(conf, "modules", "record.conf"), "w") as out:
            out.write('GenericExecuteSynth "%s %s $PITCH $RATE \\\'$DATA\\\'"\n'
                      'AddVoice "en" "MALE1" "en"\nGenericLanguage "en" "en" "utf-8"\n'
                      'GenericRateAdd 0\nGenericRateMultiply 100\n'
                      'GenericPitchAdd 0\nGenericPitchMultiply 100\n'
                      % (os.path.join(HERE, "speak_chunk.sh"), self.record.path))
        socket = os.path.join(self.work, "speechd.sock")
        self.start(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", socket,
                    "-C", conf], "speechd")
        self.wait(lambda: os.path.exists(socket), "speech-dispatcher's socket")
        self.env["SPEECHD_ADDRESS"] = "unix_socket:" + socket

    def start_braille(self):
        self.braille = Braille(os.path.join(self.work, "vr.sock"))
        host = "127.0.0.1:%d" % free_port_offset()
        self.env.update(BRLAPI_HOST=host, BRLAPI_AUTH="none")
        state = os.path.join(self.work, "brltty")
        os.makedirs(state)
        self.start(["brltty", "-n", "-e", "-Z", "-f", "/dev/null", "-F", "/dev/null", "-U", state,
                    "-W", state, "-P", os.path.join(state, "pid"), "-b", "vr", "-d",
                    "server:" + self.braille.path, "-x", "no", "-s", "no", "-t", "en_US", "-A",
                    "host=%s,auth=none" % host], "brltty")
        self.wait(lambda: os.path.exists(self.braille.path), "brltty's display socket")
        self.braille.start()

    def start_orca(self):
        # Orca refuses to start while a process named orca runs, and names itself so before it
        # looks: a copy that does both under another name. Its application stays "orca".
        launcher = os.path.join(self.work, "orvanta-orca")
        with open("/usr/bin/orca") as original, open(launcher, "w") as copy:
            copy.write(original.read().replace("-x orca'", "-x orvanta-orca'").replace(
                "setProcessName('orca')", "setProcessName('orvanta-orca'); sys.argv[0] = 'orca'"))
        os.chmod(launcher, 0o755)
        prefs = os.path.join(self.work, "orca")
        os.makedirs(prefs)
        with open(os.path.join(prefs, "user-settings.conf"), "w") as out:
            json.dump(ORCA_SETTINGS, out)
        since = time.time()
        self.orca = self.start([launcher, "-u", prefs, "--debug-file",
                                os.path.join(self.work, "orca-debug.log")], "orca")
        self.wait(lambda: self.record.said("orca", since), "Orca's first words", limit=60)

    def start_game(self):
        puzzles = os.path.join(self.work, "Puzzles")
        os.makedirs(puzzles, exist_ok=True)
        with open(os.path.join(puzzles, "one.orp"), "w", newline="\r\n") as out:
            out.write("ZONTARY_WHEEL/PDATA/1.x\nC Sayings\nTP 1\n%s\n" % PHRASE)
        self.gameProcess = self.start([self.game, "--puzzles", puzzles, "--rand",
                                       RAND, "--rate", str(RATE)], "game", cwd=self.work)

    def shown(self, pattern, since, what, limit=10.0):
        """The first braille text matching `pattern` since `since`: (time, text)."""
        return self.wait(lambda: [b for b in self.braille.since(since) if re.search(pattern, b[1])],
                         what, limit)[0]

    def press(self, *keys):
        """Presses the keys; gives the time of the last."""
        for key in keys:
            self.keys.append((time.time(), key))
            subprocess.run(["xdotool", "key", key], env=self.env, check=True)
        return self.keys[-1][0]

    def orca_chunk(self, pattern, since, what, limit=10.0, who="orca"):
        return self.wait(lambda: [c for c in self.record.said(who, since)
                                  if re.search(pattern, c["text"])], what, limit)[0]

    def quiet(self, who, seconds=1.0, limit=30.0):
        """Waits until `who` has spoken nothing for `seconds`."""
        def settled():
            chunks = self.record.said(who, 0)
            last = max([c["end"] or time.time() for c in chunks] + [0])
            return time.time() - last >= seconds
        self.wait(settled, "%s to fall silent" % who, limit)
        return time.time()


def yardstick(s, figures):
    """Key to Orca's speech and to the braille display for a minimal program's notification:
    the median of three."""
    app = s.start(["/usr/bin/python3", os.path.join(HERE, "notice_app.py")], "notice_app")
    s.wait(lambda: "Spin" in s.record.text("orca", 0), "Orca to read the minimal program", 20)
    speech, braille = [], []
    for _ in range(3):
        s.quiet("orca", 0.5)
        key = s.press("w")
        speech.append(s.orca_chunk(r"There are 2 W", key, "Orca to speak its notice")["begin"] - key)
        braille.append(s.shown(r"There are 2 W", key, "its notice on braille")[0] - key)
    s.press("Escape")
    app.wait(5)
    figures["minimal program: key to Orca's speech (median)"] = statistics.median(speech)
    figures["minimal program: key to braille (median)"] = statistics.median(braille)


def play(s, problems, figures):
    def check(condition, what):
        if not condition:
            problems.append(what)

    def no_noise(since, what):
        said = s.record.text("orca", since)
        check(not re.search(r"(^|\. )panel\b", said), "%s Orca said an unnamed panel: %r"
              % (what, said))
        check("notification" not in said.lower(), "%s Orca said a role word: %r" % (what, said))
        for label in LABELS:
            check(label not in said, "%s Orca read the label %r: %r" % (what, label, said))

    def through_orca(pattern, key, what):
        """The sentence said after `key`: spoken once, by Orca, and shown on braille."""
        chunk = s.orca_chunk(pattern, key, "Orca to speak %s" % what)
        shown = s.shown(pattern, key, "%s on braille" % what)
        times = [c for c in s.record.said("orca", key) if re.search(pattern, c["text"])]
        check(len(times) == 1, "%s was spoken %d times" % (what, len(times)))
        return chunk["begin"] - key, shown[0] - key

    def mid_reading(since=None):
        """F8 reads the board again (or, since a time, the opening reading): 0.3 s into it."""
        if since is None:
            s.quiet("orca", 0.5)
        reading = s.orca_chunk(r"Blank\.", since or s.press("F8"), "Orca to read the board",
                               limit=30)
        s.wait(lambda: time.time() > reading["begin"] + 0.3, "a moment of the reading")
        return reading

    def tab_answer():
        tab = s.press("Tab")
        answer = s.wait(lambda: s.record.said("orca", tab), "Orca's answer to Tab", limit=30)[0]
        s.press("shift+Tab")
        return answer["begin"] - tab

    # The opening board reading: Tab pressed in the middle of it is answered at once, as during
    # two more readings (F8).
    started = time.time()
    s.start_game()
    opening = mid_reading(started)
    tabs = [tab_answer()]
    for _ in range(2):
        mid_reading()
        tabs.append(tab_answer())
    figures["Orca's answer to Tab during a board reading (median)"] = statistics.median(tabs)
    check(max(tabs) <= KEY_ANSWER_LIMIT, "Orca answered Tab after %s s" % tabs)

    # Ctrl silences the game: F8 reads the board again, Ctrl cuts it off with what is held.
    mid_reading()
    ctrl = s.press("ctrl")
    time.sleep(1.0)
    chunks = s.record.said("orca", 0)
    playing = [c for c in chunks if c["begin"] < ctrl and (c["end"] is None or c["end"] > ctrl)]
    stopped = max([c["end"] or time.time() for c in playing] + [ctrl]) - ctrl
    later = [c["text"] for c in chunks if c["begin"] > ctrl and "control" not in c["text"]]
    figures["the game's speech stopped after Ctrl"] = stopped
    check(stopped <= SILENCE_LIMIT and not later, "Ctrl: the game's speech went on %.2f s, "
          "then said %r" % (stopped, later))

    # Space spins; the spin and its amount reach speech and braille once each, in order, with no
    # role word; the called letter, the money and the category too, timed from their keys.
    s.quiet("orca", 0.5)
    spin = s.press("space")
    through_orca(r"Spinning the wheel\.", spin, "the spin")
    through_orca(r"400 dollars\.", spin, "the amount spun")
    check(s.orca_chunk(r"Spinning", spin, "")["begin"] <= s.orca_chunk(r"400 dollars", spin, "")[
        "begin"], "the amount was spoken before the spin")
    s.quiet("orca", 1.0)
    no_noise(spin, "after a spin")
    speech, braille = [], []
    for key, pattern in (("w", r"There are 2 W's"), ("F5", r"have \$800"), ("F7", r"Sayings")):
        s.quiet("orca", 0.5)
        pressed = s.press(key)
        spoken, shown = through_orca(pattern, pressed, "the answer to %s" % key)
        speech.append(spoken)
        braille.append(shown)
        no_noise(pressed, "after %s" % key)
    figures["the game: key to Orca's speech (median)"] = statistics.median(speech)
    figures["the game: key to braille (median)"] = statistics.median(braille)

    # After the flash, the braille display shows the focused control again.
    last = s.braille.since(0)[-1]
    back = s.shown(r"push button", last[0] + 0.01, "the focused control back on braille",
                   limit=FLASH + 2)
    figures["a sentence's flash on braille, until the focused control is back"] = back[0] - last[0]
    # Orca's "present last notification", bound as the README tells players
    s.orca_chunk(r"Sayings", s.press("F9"), "F9 to repeat the last sentence")

    # An interrupting sentence (F4: the used letters) cuts off the board being read.
    reading = mid_reading()
    key = s.press("F4")
    used = s.orca_chunk(r"\bW\b", key, "Orca to say the used letters")
    cut = [c for c in s.record.said("orca", reading["begin"]) if c["cut"] and
           c["end"] <= used["begin"] + 0.05]
    check(cut, "F4 did not cut off the board reading")
    s.shown(r"\bW\b", key, "the used letters on braille")

    # The solution ends the game with two boxes and the farewell, presented by Orca too.
    solving = time.time()
    s.quiet("orca", 0.5)
    e2e.solve_with_boxes(PHRASE.lower(), e2e.Deadline(60))
    through_orca(r"Thanks for playing", solving, "the farewell")
    s.wait(lambda: s.gameProcess.poll() is not None, "the game to end")
    check(s.gameProcess.returncode == 0, "the game ended with %s" % s.gameProcess.returncode)
    # (The splash takes no focus: Orca would not present its line, so the game says it.)
    check(not s.record.said("game", opening["begin"]), "the game spoke itself beside Orca: %r"
          % s.record.text("game", opening["begin"]))

    # Orca stopped during a game: the game speaks through speech-dispatcher, at its own rate.
    started = time.time()
    s.start_game()
    s.orca_chunk(r"Blank\.", started, "Orca to read a second game's board", limit=30)
    e2e.stop_process(s.orca, grace=3)
    time.sleep(1.0)
    s.orca_chunk(r"^You currently have", s.press("F5"), "the game to speak without Orca",
                 who="game")
    rates = {c["rate"] for c in s.record.said("game", started)}
    check(rates == {RATE}, "the game spoke at the rates %s, not %s (--rate)" % (rates, RATE))
    e2e.stop_process(s.gameProcess)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    e2e.reexec_in_session("ORVANTA_ORCA_INNER", [
        "orca", "speech-dispatcher", "espeak-ng", "tail", "xdotool", "setsid", "brltty",
        "/usr/libexec/at-spi-bus-launcher"], drop=(
        "NO_AT_BRIDGE", "DISPLAY", "SPEECHD_ADDRESS", "DBUS_SESSION_BUS_ADDRESS"))
    artefacts = os.path.abspath(sys.argv[2])
    os.makedirs(artefacts, exist_ok=True)
    s = Session(sys.argv[1], artefacts)
    if os.path.exists(s.record.path):
        os.remove(s.record.path)
    problems, figures = [], {}
    try:
        s.start_atspi()
        s.start_speech()
        s.start_braille()
        s.start_orca()
        yardstick(s, figures)
        play(s, problems, figures)
    except e2e.Failure as failure:
        problems.append(str(failure))
    finally:
        s.stop()
    for what, seconds in figures.items():
        print("%s: %.2f s" % (what, seconds))
    for what, figure in (("speech", "Orca's speech"), ("braille", "braille")):
        game, least = (figures.get("%s: key to %s (median)" % (who, figure))
                       for who in ("the game", "minimal program"))
        if game and least:
            print("ratio, the game to the minimal program, key to %s: %.2f" % (what, game / least))
    with open(os.path.join(artefacts, "orca-braille.log"), "w") as out:
        out.writelines("%.3f %s\n" % shown for shown in getattr(s, "braille", Braille("")).shown)
    if problems:
        print("FAIL (record in %s):\n - %s" % (artefacts, "\n - ".join(problems)))
        return 1
    print("PASS: the game played well with Orca")
    return 0


if __name__ == "__main__":
    sys.exit(main())
