#!/usr/bin/python3
"""What a screen reader finds in Orvanta's windows, read over AT-SPI from the running game.

    atspi_check.py /path/to/orvanta

Starts the game (--speech silent --no-sound) on the current X display, or on a private one
(tests/with-display.sh) when DISPLAY is unset, inside a D-Bus session of its own, and checks:
  - the main window: its frames as panels named by their captions, each text box named by
    its label and labelled by it (no button labelled by a frame's caption), the buttons by
    their captions, the menus with their access keys and no accelerators;
  - the focus on the spin button at the deal, and still on it (not sensitive) after a spin;
  - the Quick Help box (F1) keeps its title, and says it is information;
  - the solve box (F12) is a dialog named by its title and its entry by its prompt;
  - the About box (Alt+H, A): named "About Orvanta", its version, and OK button;
  - after each box the focus is back on a named control of the main window;
  - File > Exit (Alt+F, X) ends the game.
Exits 0 when everything holds, 1 with the list of what does not, 77 when it cannot run here
(no pyatspi, no Xvfb, no xdotool).
Needs /usr/bin/python3 with pyatspi (python3-pyatspi), dbus, at-spi2-core, xdotool.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import e2e_common as e2e  # noqa: E402


def reexec_in_session():
    """Run again inside a private D-Bus session (and X display) of our own."""
    if os.environ.get("ORVANTA_ATSPI_INNER") == "1":
        return
    tools = ["dbus-run-session", "xdotool"] + ([] if os.environ.get("DISPLAY") else ["Xvfb"])
    if any(shutil.which(tool) is None for tool in tools):
        print("atspi_check: %s are needed" % ", ".join(tools), file=sys.stderr)
        sys.exit(e2e.SKIP)
    env = dict(os.environ, ORVANTA_ATSPI_INNER="1")
    env.pop("NO_AT_BRIDGE", None)
    env["HOME"] = tempfile.mkdtemp(prefix="orvanta-atspi-")  # GTK leaves sockets there
    display = [] if env.get("DISPLAY") else [os.path.join(HERE, "..", "with-display.sh")]
    result = subprocess.run(["dbus-run-session", "--"] + display + [sys.executable] + sys.argv,
                            env=env)
    shutil.rmtree(env["HOME"], ignore_errors=True)
    sys.exit(result.returncode)


reexec_in_session()

try:
    import pyatspi  # noqa: E402
except ImportError:
    print("atspi_check: pyatspi is missing (run with /usr/bin/python3)", file=sys.stderr)
    sys.exit(e2e.SKIP)

problems = []


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


def poll(find, patience):
    """Asks `find` until it gives something, for at most `patience` seconds."""
    deadline = time.time() + patience
    while time.time() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def find_app(pid, patience=15.0):
    def app():
        desktop = pyatspi.Registry.getDesktop(0)
        apps = (safe(lambda: desktop.getChildAtIndex(i), None) for i in range(desktop.childCount))
        return next((a for a in apps if safe(lambda: a.get_process_id(), None) == pid), None)
    return poll(app, patience)


def wait_for(app, predicate, patience=5.0):
    return poll(lambda: next((node for node in walk(app) if predicate(node)), None), patience)


def showing(node):
    return safe(lambda: node.getState().contains(pyatspi.STATE_SHOWING), False)


def key_binding(node):
    return safe(lambda: node.queryAction().getKeyBinding(0) if node.queryAction().nActions else "")


def relation_targets(node, relation):
    return [name(r.getTarget(i)) for r in node.getRelationSet()
            if r.getRelationType() == relation for i in range(r.getNTargets())]


def focused(app):
    return wait_for(app, lambda n: showing(n) and n.getState().contains(pyatspi.STATE_FOCUSED)
                    and role(n) not in ("frame", "dialog", "alert", "window"))


def describe(node):
    if node is None:
        return "no control of the game (its window does not have the keyboard)"
    return "%r %r" % (role(node), name(node))


def check_focus_back(app, after):
    node = focused(app)
    check(node is not None and name(node) and role(node) != "panel",
          "after %s the focus is on %s, not a named control" % (after, describe(node)))
    return node


def window_named(app, title, roles=("frame", "dialog", "alert", "window")):
    return wait_for(app, lambda n: role(n) in roles and name(n) == title and showing(n))


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "80"] + list(names), check=False)
    time.sleep(0.4)


def activate(title):
    found = e2e.find_window("^%s$" % title)
    if found:
        subprocess.run(["xdotool", "windowactivate", "--sync", found[0]], check=False)
        time.sleep(0.3)


def is_dealt_main_window(node):
    """The main window once the puzzle is dealt: the splash carries the same name, so the
    frame is told apart by its spin button being on screen."""
    if role(node) != "frame" or name(node) != "Orvanta" or not showing(node):
        return False
    return any(role(n) == "push button" and name(n) == "Spin Wheel" and showing(n)
               for n in walk(node))


def check_main_window(app):
    # Start-up (intro, splash, deal) takes seconds, more under the sanitizers.
    frame = wait_for(app, is_dealt_main_window, patience=30.0)
    if not check(frame is not None, "no frame named 'Orvanta' with its puzzle dealt"):
        return None
    nodes = list(walk(frame))
    by_role = {}
    for node in nodes:
        by_role.setdefault(role(node), []).append(name(node))
    panels = by_role.get("panel", [])
    for caption in ("Puzzle", "Wheel"):
        check(caption in panels, "no panel named %r (panels: %r)" % (caption, panels))
    texts = by_role.get("text", [])
    for label in ("Current Puzzle", "Puzzle Category", "Used Letter Board", "Your Assets"):
        check(label in texts, "no text box named %r (text boxes: %r)" % (label, texts))
        box = [n for n in nodes if role(n) == "text" and name(n) == label]
        check(box and relation_targets(box[0], pyatspi.RELATION_LABELLED_BY) == [label],
              "the text box %r is not labelled by its label" % label)
    for button in (n for n in nodes if role(n) == "push button"):
        check(not relation_targets(button, pyatspi.RELATION_LABELLED_BY),
              "the button %r is labelled by %r" % (name(button), relation_targets(
                  button, pyatspi.RELATION_LABELLED_BY)))
    buttons = by_role.get("push button", [])
    for caption in ("Spin Wheel", "Solve the Puzzle"):
        check(caption in buttons, "no button named %r (buttons: %r)" % (caption, buttons))
    menus = [n for n in nodes if role(n) == "menu"]
    menu_names = [name(n) for n in menus]
    for caption in ("File", "Cheat", "Help"):
        check(caption in menu_names, "no menu named %r (menus: %r)" % (caption, menu_names))
    items = {name(n): key_binding(n) for n in nodes if role(n) == "menu item"}
    expected = {"Exit": "x", "Reveal Answer": "", "About...": "a"}
    for item, mnemonic in expected.items():
        if not check(item in items, "no menu item %r (items: %r)" % (item, list(items))):
            continue
        parts = (items[item] + ";;").split(";")
        check(parts[0].lower() == mnemonic,
              "menu item %r has access key %r, not %r" % (item, parts[0], mnemonic))
        check(parts[2] == "", "menu item %r has an accelerator %r" % (item, parts[2]))
    for menu in menus:
        if name(menu) == "File":
            mnemonic = key_binding(menu).split(";")[0].lower()
            check(mnemonic in ("f", "<alt>f"), "the File menu's access key is %r" % mnemonic)
    return frame


def check_spin(app):
    """Space spins at the deal ($400: a consonant is awaited); the focus stays on the spin
    button, which is no longer sensitive."""
    # The window manager hands the new window the keyboard in its own time (slower on a busy
    # machine); until then no control of the game reads as focused.
    spin = wait_for(app, lambda n: role(n) == "push button" and name(n) == "Spin Wheel"
                    and n.getState().contains(pyatspi.STATE_FOCUSED), patience=15.0)
    if not check(spin is not None, "at the deal the focus is not on the spin button but on %s"
                 % describe(focused(app))):
        return
    keys("space")
    spun = wait_for(app, lambda n: role(n) == "push button" and name(n) == "Spin Wheel"
                    and not n.getState().contains(pyatspi.STATE_SENSITIVE))
    check(spun is not None, "after a spin the spin button is still sensitive")
    check(spun is not None and spun.getState().contains(pyatspi.STATE_FOCUSED),
          "after a spin the focus left the spin button for %r" % name(focused(app)))


def check_quick_help(app):
    activate("Orvanta")
    keys("F1")
    box = window_named(app, "Quick Help", roles=("alert", "dialog"))
    if check(box is not None, "F1: no box named 'Quick Help' (its title is lost?)"):
        check(role(box) == "alert", "the Quick Help box is a %r, not an alert" % role(box))
        check(box.description == "Information",
              "the Quick Help box's description is %r" % box.description)
        labels = [name(n) for n in walk(box) if role(n) == "label"]
        check(any("To spin, press Space." in text for text in labels),
              "the Quick Help text is not readable: %r" % labels)
        check(any(role(n) == "push button" and name(n) == "OK" for n in walk(box)),
              "the Quick Help box has no OK button")
        keys("Return")
        check_focus_back(app, "the Quick Help box")


def check_solve_box(app):
    activate("Orvanta")
    keys("F12")
    box = window_named(app, "Solve Puzzle")
    if check(box is not None and role(box) == "dialog", "F12: no dialog named 'Solve Puzzle'"):
        entries = [n for n in walk(box) if role(n) == "text"]
        prompt = "Input your solution to the puzzle."
        named = [name(n) for n in entries]
        labelled = [label for entry in entries
                    for label in relation_targets(entry, pyatspi.RELATION_LABELLED_BY)]
        check(any(prompt in text for text in named + labelled),
              "the solve box's entry is not named by its prompt (names %r, labels %r)"
              % (named, labelled))
        keys("Escape")
        check_focus_back(app, "the solve box")


def check_about_box(app):
    activate("Orvanta")
    keys("alt+h", "a")
    about = wait_for(app, lambda n: role(n) == "label" and name(n).startswith("Version ")
                     and showing(n))
    if check(about is not None, "Help > About: no label with the version"):
        check(name(about) == "Version 0.4", "the version label reads %r" % name(about))
        window = about
        while window is not None and role(window) not in ("frame", "window", "dialog"):
            window = window.parent
        if check(window is not None, "the version label is in no window"):
            check(name(window) == "About Orvanta", "the About box is named %r" % name(window))
            nodes = list(walk(window))
            check(any(role(n) == "label" and name(n) == "Orvanta" for n in nodes),
                  "the About box has no label 'Orvanta'")
            check(any(role(n) == "push button" and name(n) == "OK" for n in nodes),
                  "the About box has no OK button")
        keys("Escape")
        back = check_focus_back(app, "the About box")
        check(back is None or name(back) == "Spin Wheel", "after the About box the focus is on "
              "%r, not the spin button it left" % name(back))


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    binary = sys.argv[1]
    # The first puzzle of the first file; the spin lands on $400.
    game = subprocess.Popen([binary, "--speech", "silent", "--no-sound", "--rand", "0,0,0.3125"],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    try:
        app = find_app(game.pid)
        if check(app is not None, "the game never appeared on the accessibility bus"):
            if check_main_window(app) is not None:
                check_spin(app)
                check_quick_help(app)
                check_solve_box(app)
                check_about_box(app)
            activate("Orvanta")
            keys("alt+f", "x")
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
        print("atspi_check: %d problem(s):" % len(problems))
        for problem in problems:
            print("  - " + problem)
        if output.strip():
            print("game output:\n" + output)
        return 1
    print("atspi_check: every control, menu and box reads as it should")
    return 0


if __name__ == "__main__":
    sys.exit(main())
