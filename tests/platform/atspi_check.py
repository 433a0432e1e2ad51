"""What a screen reader finds in the game's windows, read over AT-SPI while the end-to-end game
(tests/e2e/play_game.py) plays, in a D-Bus session of its own:
  - the main window's frames are panels named by their captions, each text box is named by its
    label and labelled by it (no button labelled by a frame's caption), the buttons by their
    captions; the menus show no accelerator, and File's, Exit's and About's access keys;
  - Quick Help (F1) keeps its title and says it is information; the solve box's entry (F12) is
    named by its prompt; the About box (Alt+H, A) is named "About Orvanta" and shows the
    version; each has an OK button, and after it the focus is back on the spin button.
What does not hold is added to `problems`. Needs /usr/bin/python3 with pyatspi.
"""

import os
import sys

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import e2e_common as e2e  # noqa: E402

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
    menu = next((n for n in nodes if control(n, "menu", "File")), None)
    check(menu is None or key_binding(menu).split(";")[0].lower() in ("f", "<alt>f"),
          "the File menu's access key is %r" % key_binding(menu))
    # About... is chosen by its access key in the game; no item shows an accelerator.
    items = {name(n): (key_binding(n) + ";;").split(";") for n in nodes if role(n) == "menu item"}
    check({"Exit", "Reveal Answer", "About..."} <= set(items) and items["Exit"][0] == "x"
          and items["Reveal Answer"][0] == "" and not any(k[2] for k in items.values()),
          "the menu items' access keys and accelerators: %r" % items)
    return frame


def check_box(app, title, roles, close):
    """The box open with `title`: its contents; closed with `close`, the focus back on the spin
    button, as it was before."""
    box = box_named(app, title, roles)
    if not check(box is not None, "no %s named %r" % (roles, title)):
        return
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
        check(wait_for(box, lambda n: role(n) == "text" and any(  # named once it is shown
            "Input your solution to the puzzle." in text for text in [name(n)] + labels_of(n))),
            "the solve box's entry is not named by its prompt")
    e2e.press(close)
    back = wait_for(app, lambda n: has(n, pyatspi.STATE_SHOWING) and role(n) not in WINDOWS
                    and has(n, pyatspi.STATE_FOCUSED))
    check(control(back, "push button", "Spin Wheel"), "after the %r box the focus is on %r %r"
          % (title, role(back), name(back)))


def check_game(pid):
    """The game's main window, then Quick Help and the solve box opened, read and closed; gives
    the game's accessible, for the About box's check_box."""
    app = find_app(pid)
    if check(app is not None, "the game never appeared on the accessibility bus"):
        check_main_window(app)
        for keys, title, roles, close in ((["F1"], "Quick Help", ("alert",), "Return"),
                                          (["F12"], "Solve Puzzle", ("dialog",), "Escape")):
            e2e.press(*keys)
            check_box(app, title, roles, close)
    return app
