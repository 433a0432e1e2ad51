#!/usr/bin/python3
"""Plays a short game of the Windows build under Wine with real key presses.

Run on a private display with a window manager (tests/with-display.sh), with a fake screen
reader's library beside the game recording each sentence (JAWS's, or NVDA's client, which also
brailles each sentence); checks the sentences, the controls' accessible names (window_check.exe)
and keeps a screenshot. Exit status: 0 passed, 1 failed, 77 skipped.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import e2e_common as e2e  # noqa: E402

# (interrupt, sentence): only the program's name and F4 cut off what is being said.
SPLASH, USED = [(1, s) for s in e2e.SPLASH], [(1, s) for s in e2e.USED]
DEAL, SPIN, CALL_T, MONEY, FAREWELL = ([(0, s) for s in sentences] for sentences in (
    e2e.DEAL, e2e.SPIN, e2e.CALL_T, e2e.MONEY, e2e.FAREWELL))
ABOUT = [(1, "Orvanta. Version 0.4"), (0, "Written by the Orvanta developers."),
         (0, "Sound effects made for Orvanta by its developers.")]
PROMPT = ("Edit|42|Input your solution to the puzzle. Be sure to include all punctuation "
          "symbols!|shown")

# What a screen reader learns of the main window: class|role|name|shown, one control a line.
# Each text box is named by the label before it.
MAIN_WINDOW = """Static|10|Current Puzzle|shown
Edit|42|Current Puzzle|shown
Button|10|Spin Wheel|shown
Button|10|Solve the Puzzle|shown
Static|10|Puzzle Category|shown
Edit|42|Puzzle Category|shown
Static|10|Used Letter Board|shown
Edit|42|Used Letter Board|shown
Static|10|Your Assets|shown
Edit|42|Your Assets|shown
Static|10|$200|shown
Button|10|Puzzle|shown
Button|10|Wheel|shown"""


class WineGame:
    """The game in a folder of its own, with the fake screen reader's library beside it."""

    def __init__(self, args):
        self.args = args
        self.reader = "JAWS" if args.jaws else "NVDA"
        self.folder = tempfile.mkdtemp(prefix="orvanta-wine-")
        for program in (args.game, args.jaws or args.nvda):
            shutil.copy(program, self.folder)
        os.makedirs(os.path.join(self.folder, "Puzzles"))
        e2e.write_puzzle_file(os.path.join(self.folder, "Puzzles", "e2e.orp"))
        self.log = os.path.join(self.folder, self.reader.lower() + ".log")
        self.process = None

    def start(self):
        env = dict(os.environ, LANG="C.UTF-8")
        env["ORVANTA_FAKE_%s_LOG" % self.reader] = os.path.basename(self.log)
        game = os.path.basename(self.args.game)
        self.process = subprocess.Popen(
            [self.args.wine, game, "--puzzles", "Puzzles", "--speech", "screenreader",
             "--rand", ",".join(str(r) for r in e2e.RAND)],
            cwd=self.folder, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)

    def heard(self):
        """(interrupt, sentence) for each sentence spoken, and the texts brailled."""
        try:
            with open(self.log, "rb") as log:
                data = log.read()
        except FileNotFoundError:
            return [], []
        if self.reader == "JAWS":  # "1 text": the flag and the text in the ANSI code page
            lines = data.decode("cp1252").splitlines()
            return [(int(line[0]), line[2:]) for line in lines if len(line) > 1], []
        spoken, brailled, cut = [], [], 0  # NVDA: "cancel", "speak text", "braille text"
        for what, _, text in (line.partition(" ") for line in data.decode().splitlines()):
            if what == "cancel":
                cut = 1
            elif what == "speak":
                spoken.append((cut, text))
                cut = 0
            elif what == "braille":
                brailled.append(text)
        return spoken, brailled

    def spoken(self):
        return self.heard()[0]

    def wait_spoken(self, count, what, deadline):
        def enough():
            if len(self.spoken()) >= count:
                return True
            if self.process.poll() is not None:
                raise e2e.Failure("the game ended (status %s) while waiting for %s"
                                  % (self.process.returncode, what))
            return False
        try:
            e2e.wait_for(enough, what, deadline, limit=30)
        except e2e.Failure as failure:
            raise e2e.Failure("%s; spoken so far: %s" % (failure, self.spoken()))

    def window_check(self, which):
        done = subprocess.run([self.args.wine, self.args.check, which], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, timeout=30)
        return done.stdout.replace("\r", "").strip()


def play(args, game, failures):
    deadline = e2e.Deadline(args.timeout)
    game.start()
    # The board is read once the main window shows; the splash (a window of the same name, out
    # of the task bar) is gone by then.
    done = len(SPLASH + DEAL)
    game.wait_spoken(done, "the category and the board", deadline)
    main = e2e.wait_for(e2e.find_main_window, "the main window", deadline)[0]
    try:
        e2e.wait_focus(main, "the main window", deadline)
    except e2e.Failure as failure:
        focus = e2e.run_tool(["xdotool", "getwindowfocus", "getwindowname"]) or "nothing"
        raise e2e.Failure("%s (the focus is on %s)" % (failure, focus.strip()))

    def keys(sentences, what, *pressed):
        nonlocal done
        e2e.press(*pressed)
        done += len(sentences)
        game.wait_spoken(done, what, deadline)

    # The board has the focus; Tab reaches the spin button and Space presses it.
    keys(SPIN, "the spin", "Tab", "space")
    time.sleep(0.3)
    if not e2e.screenshot(os.path.join(args.artefacts, "windows-main-window.png")):
        failures.append("no screenshot could be taken")
    keys(CALL_T, "the T and the board", "t")
    keys(MONEY, "the money (F5)", "F5")
    keys(USED, "the used letters (F4)", "F4")

    # F4 pressed in the Quick Help box and released in the main window is no command: only
    # the money follows.
    e2e.press("F1")
    box = e2e.wait_for(lambda: e2e.find_window("^Quick Help$"), "Quick Help", deadline)[0]
    e2e.wait_focus(box, "the Quick Help box", deadline)
    e2e.run_tool(["xdotool", "keydown", "F4"])
    e2e.press("Return")
    e2e.wait_focus(main, "the main window after Quick Help", deadline)
    e2e.run_tool(["xdotool", "keyup", "F4"])
    keys(MONEY, "the money after Quick Help", "F5")

    names = game.window_check("main")
    if names != MAIN_WINDOW:
        failures.append("the main window's controls as a screen reader learns them:\n%s\n"
                        "expected:\n%s" % (names, MAIN_WINDOW))

    # Help > About: the same small window as the splash, closed by Escape.
    keys(ABOUT, "the About box's sentences", "alt+h", "a")
    about = game.window_check("about")
    if "Static|10|Version 0.4|shown" not in about or "Button|10|OK|shown" not in about:
        failures.append("the About box shows:\n%s" % about)
    e2e.press("Escape")
    e2e.wait_for(lambda: game.window_check("about") == "no window", "the About box to close",
                 deadline, limit=10)

    e2e.press("F12")
    for title, typed in (("Solve Puzzle", "to be"), ("Correct!", None), ("Final Winnings", None)):
        box = e2e.wait_for(lambda: e2e.find_window("^%s$" % title), title, deadline)[0]
        e2e.wait_focus(box, "the %s box" % title, deadline)
        if typed:
            if PROMPT not in game.window_check(title):
                failures.append("the solve box's edit box is not named by its prompt:\n%s"
                                % game.window_check(title))
            e2e.type_text(typed)
        e2e.press("Return")
    game.wait_spoken(done + len(FAREWELL), "the farewell", deadline)
    e2e.wait_for(lambda: game.process.poll() is not None, "the game to end", deadline, limit=15)
    if game.process.returncode != 0:
        failures.append("the game ended with status %s" % game.process.returncode)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--wine", "--game", "--check"):
        parser.add_argument(option, required=True)
    reader = parser.add_mutually_exclusive_group(required=True)
    reader.add_argument("--jaws", help="the fake JAWS library (32-bit game)")
    reader.add_argument("--nvda", help="the fake NVDA controller client")
    parser.add_argument("--artefacts", default=os.path.join(os.getcwd(), "artefacts"))
    parser.add_argument("--timeout", type=float, default=150)
    args = parser.parse_args()
    e2e.skip_unless_display()

    game = WineGame(args)
    failures = []
    try:
        play(args, game, failures)
    except e2e.Failure as failure:
        failures.append(str(failure))
    finally:
        e2e.stop_process(game.process)
    expected = SPLASH + DEAL + SPIN + CALL_T + MONEY + USED + MONEY + ABOUT + FAREWELL
    spoken, brailled = game.heard()
    if spoken != expected:
        failures.append("the fake %s heard:\n  %r\nexpected:\n  %r"
                        % (game.reader, spoken, expected))
    if game.reader == "NVDA" and brailled != [sentence for _, sentence in expected]:
        failures.append("NVDA's braille display showed:\n  %r" % brailled)
    shutil.rmtree(game.folder, ignore_errors=True)
    if failures:
        print("FAIL:\n - " + "\n - ".join(failures))
        return 1
    print("PASS: a whole game under Wine, heard through %s as expected" % game.reader)
    return 0


if __name__ == "__main__":
    sys.exit(main())
