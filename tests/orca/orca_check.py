#!/usr/bin/python3
"""A short game played with the real screen reader Orca, checked from what was spoken.

    orca_check.py GAME ARTEFACTS_DIR

Everything runs privately: an Xvfb display with openbox (tests/with-display.sh), a D-Bus
session with the accessibility bus, and a real speech-dispatcher on a socket of its own whose
only "synthesizer" is speak_chunk.sh: it records when each chunk begins, ends or is cut off and
whether Orca or the game said it. Orca and the game both speak through it, so its queueing
and cancels are the real ones. Real keys are pressed with xdotool. The record, the keys and
Orca's debug log are kept in ARTEFACTS_DIR.

Exit status: 0 passed, 1 failed, 77 cannot run here (Orca or a tool is missing).
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
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


def reexec_in_session():
    if os.environ.get("ORVANTA_ORCA_INNER") == "1":
        return
    tools = ("orca", "speech-dispatcher", "espeak-ng", "tail", "Xvfb", "openbox", "xdotool",
             "dbus-run-session", "setsid")
    missing = [t for t in tools if shutil.which(t) is None]
    if missing or not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
        print("SKIP: missing %s" % (missing or "at-spi-bus-launcher"))
        sys.exit(e2e.SKIP)
    env = dict(os.environ, ORVANTA_ORCA_INNER="1")
    for name in ("NO_AT_BRIDGE", "DISPLAY", "SPEECHD_ADDRESS", "DBUS_SESSION_BUS_ADDRESS"):
        env.pop(name, None)
    display = os.path.join(HERE, "..", "with-display.sh")  # Xvfb and openbox
    sys.exit(subprocess.run(["dbus-run-session", "--", display, "/usr/bin/python3"] + sys.argv,
                            env=env).returncode)


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
                        GDK_GL="disable", GTK_A11Y="atspi")

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

    def start_orca(self):
        self.start(["orca", "-d", "braille", "--debug-file",
                    os.path.join(self.work, "orca-debug.log")], "orca")
        self.wait(lambda: self.record.said("orca", 0), "Orca's first words", limit=60)

    def start_game(self):
        puzzles = os.path.join(self.work, "Puzzles")
        os.makedirs(puzzles)
        with open(os.path.join(puzzles, "one.orp"), "w", newline="\r\n") as out:
            out.write("ZONTARY_WHEEL/PDATA/1.x\nC Sayings\nTP 1\n%s\n" % PHRASE)
        self.gameProcess = self.start([self.game, "--no-sound", "--puzzles", puzzles, "--rand",
                                       RAND, "--rate", str(RATE)], "game", cwd=self.work)

    def press(self, *keys):
        for key in keys:
            self.keys.append((time.time(), key))
            subprocess.run(["xdotool", "key", key], env=self.env, check=True)

    def game_says(self, pattern, since, what, limit=20.0):
        return self.wait(lambda: [c for c in self.record.said("game", since)
                                  if re.search(pattern, c["text"])], what, limit)[0]

    def orca_says(self, pattern, since, what, limit=10.0):
        return self.wait(lambda: re.search(pattern, self.record.text("orca", since)), what,
                         limit)

    def quiet(self, who, seconds=1.0, limit=30.0):
        """Waits until `who` has spoken nothing for `seconds`."""
        def settled():
            chunks = self.record.said(who, 0)
            last = max([c["end"] or time.time() for c in chunks] + [0])
            return time.time() - last >= seconds
        self.wait(settled, "%s to fall silent" % who, limit)
        return time.time()


def play(s, problems, figures):
    def check(condition, what):
        if not condition:
            problems.append(what)

    def no_noise(since, what):
        said = s.record.text("orca", since)
        check(not re.search(r"(^|\. )panel\b", said), "%s Orca said an unnamed panel: %r"
              % (what, said))
        for label in LABELS:
            check(label not in said, "%s Orca read the label %r: %r" % (what, label, said))

    # The opening board reading: Tab pressed in the middle of it is answered at once.
    started = time.time()
    s.start_game()
    board = s.game_says(r"^Blank\.$", started, "the game to read the board", limit=30)
    s.wait(lambda: time.time() > board["begin"] + 0.5, "half a second of the reading")
    s.press("Tab")
    tab = s.keys[-1][0]
    answer = s.wait(lambda: s.record.said("orca", tab), "Orca's answer to Tab", limit=30)[0]
    figures["Orca's answer to Tab during the board reading"] = answer["begin"] - tab
    check(answer["begin"] - tab <= KEY_ANSWER_LIMIT, "Orca answered Tab %.2f s late"
          % (answer["begin"] - tab))
    s.press("shift+Tab")

    # Ctrl silences the game: F8 reads the board again, Ctrl cuts it off with what is queued.
    s.quiet("orca", 0.5)
    s.press("F8")
    reading = s.game_says(r"^Blank\.$", s.keys[-1][0], "F8 to read the board")
    s.wait(lambda: time.time() > reading["begin"] + 0.3, "a moment of the reading")
    s.press("ctrl")
    ctrl = s.keys[-1][0]
    time.sleep(1.0)
    chunks = s.record.said("game", 0)
    playing = [c for c in chunks if c["begin"] < ctrl and (c["end"] is None or c["end"] > ctrl)]
    stopped = max([c["end"] or time.time() for c in playing] + [ctrl]) - ctrl
    later = [c["text"] for c in chunks if c["begin"] > ctrl]
    figures["the game's speech stopped after Ctrl"] = stopped
    check(stopped <= SILENCE_LIMIT and not later, "Ctrl: the game's speech went on %.2f s, "
          "then said %r" % (stopped, later))

    # Space spins at the start; after the spin Orca says nothing that is not news.
    s.quiet("game", 0.5)
    s.press("space")
    spin = s.keys[-1][0]
    s.game_says(r"^Spinning the wheel\.$", spin, "Space to spin the wheel", limit=5)
    s.game_says(r"^400 dollars\.$", spin, "the amount spun")
    s.quiet("game", 0.5)
    s.quiet("orca", 1.0)
    no_noise(spin, "after a spin")

    s.press("w")
    letter = s.keys[-1][0]
    s.game_says(r"^There are 2 W's\.$", letter, "the W to be called")
    s.quiet("orca", 1.0)
    no_noise(letter, "after a letter")

    # Each box is read with its title; after it closes the focus is back on a named control.
    for keys, title, close in ((["F1"], "Quick Help", "Return"), (["e"], "Buy a Vowel", "Escape"),
                               (["F12"], "Solve Puzzle", "Escape"),
                               (["alt+h", "a"], "About Orvanta", "Escape")):
        s.press(*keys)
        opened = s.keys[-1][0]
        try:
            s.orca_says(re.escape(title), opened, "Orca to read %r" % title)
        except e2e.Failure as failure:
            problems.append("%s; Orca said %r" % (failure, s.record.text("orca", opened)))
        s.quiet("orca", 0.5)
        s.press(close)
        closed = s.keys[-1][0]
        s.quiet("orca", 1.0)
        no_noise(closed, "after %r closed" % title)

    # The solution ends the game with two boxes, each read with its title.
    s.press("F12")
    s.orca_says("Solve Puzzle", s.keys[-1][0], "the solve box")
    subprocess.run(["xdotool", "type", "--delay", "20", PHRASE.lower()], env=s.env, check=True)
    for key, title in (("Return", "Correct!"), ("Return", "Final Winnings"), ("Return", None)):
        s.press(key)
        if title:
            s.orca_says(re.escape(title), s.keys[-1][0], "Orca to read %r" % title)
    s.game_says(r"^Thanks for playing", s.keys[-1][0], "the farewell")
    s.wait(lambda: s.gameProcess.poll() is not None, "the game to end")
    check(s.gameProcess.returncode == 0, "the game ended with %s" % s.gameProcess.returncode)
    rates = {c["rate"] for c in s.record.said("game", 0)}
    check(rates == {RATE}, "the game spoke at the rates %s, not %s (--rate)" % (rates, RATE))


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    reexec_in_session()
    artefacts = os.path.abspath(sys.argv[2])
    os.makedirs(artefacts, exist_ok=True)
    s = Session(sys.argv[1], artefacts)
    if os.path.exists(s.record.path):
        os.remove(s.record.path)
    problems, figures = [], {}
    try:
        s.start_atspi()
        s.start_speech()
        s.start_orca()
        play(s, problems, figures)
    except e2e.Failure as failure:
        problems.append(str(failure))
    finally:
        s.stop()
    for what, seconds in figures.items():
        print("%s: %.2f s" % (what, seconds))
    if problems:
        print("FAIL (record in %s):\n - %s" % (artefacts, "\n - ".join(problems)))
        return 1
    print("PASS: the game played well with Orca")
    return 0


if __name__ == "__main__":
    sys.exit(main())
