#!/usr/bin/python3
"""Plays a short game of the Windows build under Wine with real key presses.

Run on a display with a window manager (scripts/test-windows.sh gives one), with one screen reader
"running" as a fake of ours that records each sentence (--route): NVDA's controller client, UI
Automation notifications with only the screen-reader flag set, or none (the game's own voice, the
fake in place of SAPI's, which Ctrl alone skips).
Checks the sentences in order with their interrupt marks, the braille, that the speech log names no
other route, the controls' accessible names (window_check.exe) and keeps a screenshot.
Exit status: 0 passed, 1 failed, 77 skipped.
"""

import argparse
import os
import re
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
EXPECTED = SPLASH + DEAL + SPIN + CALL_T + MONEY + USED + MONEY + ABOUT + FAREWELL
PROMPT = ("Edit|42|Input your solution to the puzzle. Be sure to include all punctuation "
          "symbols!|shown")
# How the speech log names the route that took each sentence.
ROUTES = {"nvda": "said by NVDA (its controller client)",
          "uia": "to be said by UI Automation notification", "none": "no screen reader took"}
SAPI_VOICE = r"HKCR\CLSID\{96749377-3391-11D2-9EE3-00C04F797396}\InprocServer32"
WINE_SAPI = r"C:\windows\system32\Speech\Common\sapi.dll"

# What a screen reader learns of the main window: class|role|name|shown, one control a line.
# Each text box is named by the label before it.
MAIN_WINDOW = "\n".join("%s|%d|%s|shown" % row for row in (
    ("Static", 10, "Current Puzzle"), ("Edit", 42, "Current Puzzle"), ("Button", 10, "Spin Wheel"),
    ("Button", 10, "Solve the Puzzle"), ("Static", 10, "Puzzle Category"),
    ("Edit", 42, "Puzzle Category"), ("Static", 10, "Used Letter Board"),
    ("Edit", 42, "Used Letter Board"), ("Static", 10, "Your Assets"), ("Edit", 42, "Your Assets"),
    ("Static", 10, "$200"), ("Button", 10, "Puzzle"), ("Button", 10, "Wheel")))


def split_batches(batches):
    """(interrupt, sentence) from braille messages or notifications that join sentences with a
    space: the first of a message that cut off the others is the interrupting one."""
    heard, rest = [], list(EXPECTED)
    for interrupting, text in batches:
        first = True
        while text:
            sentence = next((s for _, s in rest[:1] if text.startswith(s)), None)
            if sentence is None:
                heard.append((int(interrupting and first), text))
                break
            heard.append((int(interrupting and first), sentence))
            rest.pop(0)
            text, first = text[len(sentence):].lstrip(" "), False
    return heard


class WineGame:
    """The game in a folder of its own, with one fake screen reader running."""

    def __init__(self, args):
        self.args = args
        self.route = args.route
        self.folder = tempfile.mkdtemp(prefix="orvanta-wine-")
        shutil.copy(args.game, self.folder)
        os.makedirs(os.path.join(self.folder, "Puzzles"))
        e2e.write_puzzle_file(os.path.join(self.folder, "Puzzles", "e2e.orp"))
        self.log = os.path.join(self.folder, "reader.log")
        self.speech_log = os.path.join(self.folder, "speech.log")
        self.env = dict(os.environ, LANG="C.UTF-8")
        self.process = None
        self.system_uia = os.path.join(args.prefix, "drive_c", "windows", "system32",
                                       "uiautomationcore.dll")

    def wine(self, *command):
        subprocess.run([self.args.wine] + list(command), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    def set_up(self):
        self.wine(self.args.check, "screenreader", "on" if self.route == "uia" else "off")
        dll = "Z:" + os.path.abspath(self.args.com_object).replace("/", "\\")
        if self.route == "none":  # the fake in place of the SAPI voice
            self.wine("reg", "add", SAPI_VOICE, "/ve", "/d", dll, "/f")
            self.env["ORVANTA_FAKE_COM_LOG"] = "reader.log"
        elif self.route == "nvda":
            shutil.copy(self.args.nvda_client, self.folder)
            self.env["ORVANTA_FAKE_NVDA_LOG"] = "reader.log"
        elif self.route == "uia":
            shutil.copy(self.system_uia, self.system_uia + ".wine")
            shutil.copy(self.args.uia_library, self.system_uia)
            self.env["ORVANTA_FAKE_UIA_LOG"] = "reader.log"
            self.env["WINEDLLOVERRIDES"] = "uiautomationcore=n,b"

    def tear_down(self):
        e2e.stop_process(self.process)
        if self.route == "none":
            self.wine("reg", "add", SAPI_VOICE, "/ve", "/d", WINE_SAPI, "/f")
        if os.path.exists(self.system_uia + ".wine"):
            shutil.move(self.system_uia + ".wine", self.system_uia)
            self.wine(self.args.check, "screenreader", "off")

    def start(self):
        self.set_up()
        game = os.path.basename(self.args.game)
        self.process = subprocess.Popen(
            [self.args.wine, game, "--puzzles", "Puzzles", "--speech", "screenreader",
             "--speech-log", "speech.log", "--rand", ",".join(str(r) for r in e2e.RAND)],
            cwd=self.folder, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)

    def lines(self, path):
        try:
            with open(path, "rb") as log:
                return log.read().decode().splitlines()
        except FileNotFoundError:
            return []

    def heard(self):
        """(interrupt, sentence) for each sentence spoken, and the braille messages."""
        spoken, brailled, cut = [], [], 0
        if self.route == "none":  # the SAPI voice: "Speak text 17", "Skip Sentence 255"
            self.skipped_before = []
            for what, _, text in (line.partition(" ") for line in self.lines(self.log)):
                if what == "Skip":
                    cut = 1
                elif what == "Speak":
                    spoken.append((0, text[:-3]))  # its interrupts are the skips
                    self.skipped_before += [text[:-3]] * cut
                    cut = 0
        elif self.route == "uia":  # kind, processing, activity, window, text
            notes = [line.split("\t") for line in self.lines(self.log)]
            brailled = [text for _, _, _, _, text in notes]
            spoken = split_batches((processing == "3", text) for _, processing, _, _, text in notes)
            self.notes = notes
        else:  # NVDA's calls
            for what, _, text in (line.partition(" ") for line in self.lines(self.log)):
                if what == "cancel":
                    cut = 1
                elif what == "speak":
                    spoken.append((cut, text))
                    cut = 0
                elif what == "braille":
                    brailled.append(text)
        return spoken, brailled

    def spoken(self):
        """The sentences spoken so far, once their braille has caught up with them."""
        spoken, brailled = self.heard()
        if self.route != "none" and " ".join(brailled) != " ".join(s for _, s in spoken):
            return []
        return spoken

    def wait_spoken(self, count, what, deadline):
        def alive():
            if self.process.poll() is not None:
                raise e2e.Failure("the game ended (status %s)" % self.process.returncode)
        e2e.wait_spoken(self.spoken, alive, count, what, deadline)

    def window_check(self, which):
        done = subprocess.run([self.args.wine, self.args.check, which], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, timeout=30)
        return done.stdout.replace("\r", "").strip()


def play(args, game, failures):
    deadline = e2e.Deadline(args.timeout)
    game.start()

    def middle(main, done):
        # F4 pressed in the Quick Help box and released in the main window is no command: only
        # the money follows.
        e2e.press("F1")
        box = e2e.wait_for(lambda: e2e.find_window("^Quick Help$"), "Quick Help", deadline)[0]
        e2e.wait_focus(box, "the Quick Help box", deadline)
        e2e.run_tool(["xdotool", "keydown", "F4"])
        e2e.press("Return")
        e2e.wait_focus(main, "the main window after Quick Help", deadline)
        e2e.run_tool(["xdotool", "keyup", "F4"])
        e2e.press("F5")
        game.wait_spoken(done + len(MONEY), "the money after Quick Help", deadline)

        names = "\n".join(line for line in game.window_check("main").splitlines()
                          if not line.startswith("OrvantaNotifications|"))  # UIA speaks from it
        if names != MAIN_WINDOW:
            failures.append("the main window's controls as a screen reader learns them:\n%s\n"
                            "expected:\n%s" % (names, MAIN_WINDOW))

        # Help > About: the same small window as the splash, closed by Escape.
        e2e.press("alt+h", "a")
        game.wait_spoken(done + len(MONEY + ABOUT), "the About box's sentences", deadline)
        about = game.window_check("about")
        if "Static|10|Version 0.4|shown" not in about or "Button|10|OK|shown" not in about:
            failures.append("the About box shows:\n%s" % about)
        e2e.press("Escape")
        e2e.wait_for(lambda: game.window_check("about") == "no window", "the About box to close",
                     deadline, limit=10)
        return done + len(MONEY + ABOUT)

    def solve_box(title):
        if title == "Solve Puzzle" and PROMPT not in game.window_check(title):
            failures.append("the solve box's edit box is not named by its prompt:\n%s"
                            % game.window_check(title))

    # The board has the focus; Tab reaches the spin button and Space presses it. Ctrl silences
    # the game's own voice: a skip before the next sentence.
    e2e.play_short_game(game.wait_spoken, game.process, deadline, os.path.join(
        args.artefacts, "windows-main-window-%s.png" % args.route), failures, first_keys=["Tab"],
        after_spin=["ctrl"], middle=middle, on_box=solve_box)


def check_routes(game, failures):
    """Everything heard through the one route, and nothing through another."""
    spoken, brailled = game.heard()
    if game.route == "none":  # the voice is skipped for Ctrl alone and before F4's and About's
        spoken = [(int(s in (e2e.SPLASH + e2e.USED)), s) for _, s in spoken]
        if game.skipped_before != ["There are 1 T's.", e2e.USED[0], ABOUT[0][1]]:
            failures.append("the voice was skipped before:\n  %r" % game.skipped_before)
    if spoken != EXPECTED:
        failures.append("the fake of %s heard:\n  %r\nexpected:\n  %r"
                        % (game.route, spoken, EXPECTED))
    if game.route != "none" and " ".join(brailled) != " ".join(s for _, s in EXPECTED):
        failures.append("the braille display showed:\n  %r" % brailled)
    if game.route == "uia" and any(note[0] != "4" or note[2] != "Orvanta" or
                                   not note[3].endswith(" 1x1 answers") for note in game.notes):
        failures.append("notifications not of kind Other, from the game, from a 1x1 child "
                        "window answering WM_GETOBJECT:\n  %r" % game.notes)
    said = [line for line in game.lines(game.speech_log)
            if re.match(r"(said by|to be said by|no screen reader took)", line)]
    others = [line for line in said if not line.startswith(ROUTES[game.route])]
    if len(said) != len(EXPECTED) or others:
        failures.append("the speech log names other routes:\n  " + "\n  ".join(others or said))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--wine", "--game", "--check", "--prefix", "--nvda-client", "--com-object",
                   "--uia-library"):
        parser.add_argument(option, required=True)
    parser.add_argument("--route", required=True, choices=sorted(ROUTES))
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
        game.tear_down()
    check_routes(game, failures)
    if failures:
        failures.append("the speech log ends:\n  " + "\n  ".join(game.lines(game.speech_log)[-4:]))
    shutil.rmtree(game.folder, ignore_errors=True)
    if failures:
        print("FAIL:\n - " + "\n - ".join(failures))
        return 1
    print("PASS: a whole game under Wine, heard through the route %s as expected" % game.route)
    return 0


if __name__ == "__main__":
    sys.exit(main())
