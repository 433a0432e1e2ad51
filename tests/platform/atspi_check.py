#!/usr/bin/python3
"""What a screen reader finds in Orvanta's windows, read over AT-SPI from the running game.

    atspi_check.py /path/to/orvanta

Starts the game (--speech silent --no-sound) on the current X display, or on a private one
(tests/with-display.sh) when DISPLAY is unset, inside a D-Bus session of its own, and checks:
  - the main window: its frames as panels named by their captions, each text box named by
    its label and labelled by it (no button labelled by a frame's caption), the buttons by
    their captions, the menus with no accelerators, reached by their access keys;
  - the Quick Help box (F1) keeps its title, and says it is information;
  - the solve box's entry (F12) is named by its prompt;
  - the About box (Alt+H, A): named "About Orvanta", its version;
  - each box has an OK button, and after it the focus is back on the spin button;
  - File > Exit (Alt+F, X) ends the game.
Exits 0 when everything holds, 1 with the list of what does not, 77 when it cannot run here.
Needs /usr/bin/python3 with pyatspi (python3-pyatspi), dbus, at-spi2-core, xdotool.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import e2e_common as e2e  # noqa: E402

e2e.reexec_in_session("ORVANTA_ATSPI_INNER", ["xdotool"])
try:
    import pyatspi  # noqa: E402
except ImportError:
    print("SKIP: pyatspi is missing (run with /usr/bin/python3)")
    sys.exit(e2e.SKIP)

problems = []
WINDOWS = ("frame", "dialog", "alert", "window")
TEXT_BOXES = ("Current Puzzle", "Puzzle Category", "Used Letter Board", "Your Assets")


def check(condition, what):
    if not condition:
        problems.append(what)
    return condition


def safe(get, default=""):
    """What `get` gives, or `default` when the accessible is gone or does not answer."""
    try:
        return get()
    except Exception:
        return default


def walk(node, depth=0):
    """Every accessible under node, the node included."""
    if node is None or depth > 40:
        return
    yield node
    for i in range(safe(lambda: node.childCount, 0)):
        yield from walk(safe(lambda: node.getChildAtIndex(i), None), depth + 1)


def role(node):
    return safe(lambda: node.getRoleName())


def name(node):
    return safe(lambda: node.name or "")


def has(node, state):
    return safe(lambda: node.getState().contains(state), False)


def find_app(pid):
    def app():
        desktop = pyatspi.Registry.getDesktop(0)
        apps = (safe(lambda: desktop.getChildAtIndex(i), None) for i in range(desktop.childCount))
        return next((a for a in apps if safe(lambda: a.get_process_id(), None) == pid), None)
    return e2e.poll(app, 15.0)


def wait_for(app, predicate, patience=5.0):
    return e2e.poll(lambda: next((node for node in walk(app) if predicate(node)), None), patience)


def key_binding(node):
    return safe(lambda: node.queryAction().getKeyBinding(0) if node.queryAction().nActions else "")


def labels_of(node):
    return [name(r.getTarget(i)) for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets())]


def control(node, kind, caption):
    return role(node) == kind and name(node) == caption


def keys(*names, main=False):
    found = e2e.find_window("^Orvanta$") if main else None
    if found:  # the main window, in case a closed box left the keyboard elsewhere
        subprocess.run(["xdotool", "windowactivate", "--sync", found[0]], check=False)
        time.sleep(0.3)
    e2e.press(*names, delay_ms=80)
    time.sleep(0.4)


def box_named(app, title, roles=WINDOWS):
    return wait_for(app, lambda n: role(n) in roles and name(n) == title
                    and has(n, pyatspi.STATE_SHOWING))


def check_main_window(app):
    # Start-up (intro, splash, deal) takes seconds, more under the sanitizers. The splash
    # carries the same name: the main window is told apart by its spin button on screen.
    frame = wait_for(app, lambda f: control(f, "frame", "Orvanta") and any(
        control(n, "push button", "Spin Wheel") and has(n, pyatspi.STATE_SHOWING)
        for n in walk(f)), patience=30.0)
    if not check(frame is not None, "no frame named 'Orvanta' with its puzzle dealt"):
        return None
    nodes = list(walk(frame))
    named = {}
    for node in nodes:
        named.setdefault(role(node), []).append(name(node))
    for kind, captions in (("panel", ("Puzzle", "Wheel")),
                           ("text", TEXT_BOXES),
                           ("push button", ("Spin Wheel", "Solve the Puzzle")),
                           ("menu", ("File", "Cheat", "Help"))):
        for caption in captions:
            check(caption in named.get(kind, []), "no %s named %r (%r)" % (kind, caption, named))
    for node in nodes:
        if role(node) == "text" and name(node) in TEXT_BOXES:
            check(labels_of(node) == [name(node)], "the text box %r is labelled by %r"
                  % (name(node), labels_of(node)))
        if role(node) == "push button":
            check(not labels_of(node), "the button %r is labelled by %r"
                  % (name(node), labels_of(node)))
    # Exit and About... are chosen by their access keys below; no item shows an accelerator.
    items = {name(n): (key_binding(n) + ";;").split(";") for n in nodes if role(n) == "menu item"}
    check({"Exit", "Reveal Answer", "About..."} <= set(items) and items["Reveal Answer"][0] == ""
          and not any(binding[2] for binding in items.values()),
          "the menu items' access keys and accelerators: %r" % items)
    return frame


def check_boxes(app):
    """Each box read with its title and contents; once it closes, the focus is back on the spin
    button, as it was at the deal."""
    for opening, title, roles, closing in ((("F1",), "Quick Help", ("alert",), "Return"),
                                           (("F12",), "Solve Puzzle", ("dialog",), "Escape"),
                                           (("alt+h", "a"), "About Orvanta", WINDOWS, "Escape")):
        keys(*opening, main=True)
        box = box_named(app, title, roles)
        if not check(box is not None, "%s: no %s named %r" % (opening, roles, title)):
            continue
        nodes = list(walk(box))
        labels = [name(n) for n in nodes if role(n) == "label"]
        check(any(control(n, "push button", "OK") for n in nodes), "%r has no OK button" % title)
        if title == "Quick Help":  # its title kept, and its text read (not a generic dialog's)
            check(box.description == "Information" and any(
                "To spin, press Space." in label for label in labels),
                "Quick Help is described %r, with the labels %r" % (box.description, labels))
        elif title == "About Orvanta":
            check("Orvanta" in labels and "Version 0.4" in labels, "About's labels: %r" % labels)
        else:
            entries = [n for n in nodes if role(n) == "text"]
            named = [name(n) for n in entries] + [label for n in entries for label in labels_of(n)]
            check(any("Input your solution to the puzzle." in text for text in named),
                  "the solve box's entry is not named by its prompt (names, labels %r)" % named)
        keys(closing)
        back = wait_for(app, lambda n: has(n, pyatspi.STATE_SHOWING) and role(n) not in WINDOWS
                        and has(n, pyatspi.STATE_FOCUSED))
        check(control(back, "push button", "Spin Wheel"), "after the %r box the focus is on %r %r"
              % (title, role(back), name(back)))


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    game = subprocess.Popen([sys.argv[1], "--speech", "silent", "--no-sound"],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    try:
        app = find_app(game.pid)
        if check(app is not None, "the game never appeared on the accessibility bus"):
            if check_main_window(app) is not None:
                check_boxes(app)
            keys("alt+f", "x", main=True)
        try:
            game.wait(timeout=10)
            check(game.returncode == 0, "File > Exit ended the game with %r" % game.returncode)
        except subprocess.TimeoutExpired:
            check(False, "File > Exit did not end the game")
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()
    output = game.stdout.read() if game.stdout else ""
    if problems:
        print("atspi_check: %d problem(s):\n  - %s" % (len(problems), "\n  - ".join(problems)))
        if output.strip():
            print("game output:\n" + output)
        return 1
    print("atspi_check: every control, menu and box reads as it should")
    return 0


if __name__ == "__main__":
    sys.exit(main())
