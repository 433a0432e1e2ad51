#!/usr/bin/python3
"""Plays one whole game of the real program on an X display, with real key presses, and reads
its windows as a screen reader does (tests/platform/atspi_check.py).

Usage: play_game.py --game PATH/TO/orvanta [--artefacts DIR] [--timeout SECONDS]

Runs inside a D-Bus session of its own, on the current display or a private one. The game speaks
to a fake speech-dispatcher (tests/platform/fake_ssip_server.py) and plays its sounds through
SDL's disk driver into a raw file. The run spins once ($200), calls T, asks for the money (F5)
and the used letters (F4); opens and closes Quick Help, the solve box and the About box; solves
the puzzle with F12 and closes the two boxes. It checks every sentence the speech service
received, in order, with its priority and the interruptions, that each sound was really played
in the expected order, and that the game ended with status 0. A screenshot taken right after
the spin is kept in the artefacts folder.

Exit status: 0 passed, 1 failed, 77 skipped (no display, or a tool or pyatspi missing).
"""

import argparse
import os
import sys
import time
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_common as e2e  # noqa: E402

e2e.reexec_in_session("ORVANTA_E2E_INNER", ["xdotool", "import"])
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "platform"))
try:
    import atspi_check as atspi  # noqa: E402
except ImportError:
    print("SKIP: pyatspi is missing (run with /usr/bin/python3)")
    sys.exit(e2e.SKIP)

ABOUT = ["Orvanta. Version 0.4", "Written by the Orvanta developers.",
         "Sound effects made for Orvanta by its developers."]


def check_speech(events, failures):
    """The exact sentences in order, each at priority `message`, over one connection; the
    splash line, F4's and About's interrupt, each right after a cancel of the game's own speech,
    and each key pressed after the game spoke cancels its speech, as a screen reader's stops."""
    key = ["cancel self"]
    expected = (key + e2e.SPLASH + e2e.DEAL + key + e2e.SPIN + key + e2e.CALL_T + key + e2e.MONEY
                + key + key + e2e.USED + key + key + ABOUT + key + e2e.FAREWELL)
    heard = [e["text"] if e["event"] == "speak" else "cancel " + e["scope"] for e in events]
    if heard != expected:
        failures.append("spoken sentences differ.\n  expected: %r\n  got:      %r"
                        % (expected, heard))
    failures += ["%r was spoken with priority %r, not 'message'" % (e["text"], e["priority"])
                 for e in events if e["event"] == "speak" and e["priority"] != "message"]
    clients = {e["client"] for e in events}
    if len(clients) != 1:
        failures.append("speech came over several connections: %s" % sorted(clients))


def check_sounds(audio_path, before, sound_folder, failures):
    """Every effect played whole, as often as the game plays it, in the game's order. A quiet
    spell closes the audio device, and SDL's disk driver starts its file afresh when it opens
    again: `before` is what the file held before the quiet spell of the AT-SPI checks."""
    expected = ["intro.wav", "ZONTARY.WAV", "newpuzzle.wav", "spin.wav", "reveal.wav",
                "applause.wav", "ZONTARY.WAV", "exit.wav", "exit.wav"]
    try:
        with open(audio_path, "rb") as raw:
            stream = raw.read()
            stream = stream if stream.startswith(before) else before + stream
    except FileNotFoundError:
        return failures.append("SDL's disk driver wrote no output at %s" % audio_path)
    starts = []
    for name in set(expected) | {"wrong.wav", "loseturn.wav", "bankrupt.wav"}:  # (the last: never)
        with wave.open(os.path.join(sound_folder, name), "rb") as wav:  # in the output's format
            sound = wav.readframes(wav.getnframes())
        starts += [(at, name) for at in e2e.find_plays(stream, sound)]
    starts.sort()
    if [name for _, name in starts] != expected:
        failures.append("sounds played: %s, expected %s" % (starts, expected))


def play(args):
    deadline = e2e.Deadline(args.timeout)
    run = e2e.GameRun(args.game, rand=e2e.RAND)
    failures = []
    before = []

    def boxes(main, done):
        app = atspi.check_game(run.process.pid)  # the main window, Quick Help, the solve box
        with open(run.audio, "rb") as raw:
            before.append(raw.read())
        e2e.press("alt+h", "a")
        atspi.check_box(app, "About Orvanta", atspi.WINDOWS, "Escape")
        run.wait_spoken(done + len(ABOUT), "the About box's sentences", deadline)
        time.sleep(3.2)  # its jingle plays out
        return done + len(ABOUT)

    try:
        run.start(deadline)
        # The focus starts on the spin button: Space presses it.
        e2e.play_short_game(run.wait_spoken, run.process, deadline,
                            os.path.join(args.artefacts, "main-window.png"), failures,
                            middle=boxes)
    except e2e.Failure as failure:
        failures.append(str(failure))
    finally:
        run.stop()
        time.sleep(0.1)
    if run.process is not None:
        check_speech(run.log.events(), failures)
        check_sounds(run.audio, b"".join(before), os.path.dirname(os.path.abspath(args.game)),
                     failures)
    errors = run.errors()
    run.remove_files()
    return failures + atspi.problems, errors


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--artefacts", default=os.path.join(os.getcwd(), "artefacts"))
    parser.add_argument("--timeout", type=float, default=120)
    args = parser.parse_args()
    e2e.skip_unless_display()
    if not os.access(args.game, os.X_OK):
        print("FAIL: no game at %s" % args.game)
        return 1

    failures, errors = play(args)
    if failures:
        print("FAIL:\n - " + "\n - ".join(failures))
        if errors.strip():
            print("the game's error output:\n" + errors)
        return 1
    print("PASS: a whole game, spoken and heard as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
