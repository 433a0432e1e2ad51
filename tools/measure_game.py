#!/usr/bin/python3
"""Measures the real game on an X display: start-up time, peak memory, idle CPU, key latency.

Usage (from the repository, with a Release build):
    cmake -S . -B build/e2e-release -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build build/e2e-release --target orvanta
    dbus-run-session -- tests/with-display.sh /usr/bin/python3 tools/measure_game.py \
        --game build/e2e-release/orvanta

Each run uses a one-puzzle folder, the fake speech service of tests/platform (so the time to
the speech service is what the game itself takes) and SDL's disk audio driver writing into a
temporary file (the sounds play in real time, as on a sound card).

- Start-up: from just before exec to the splash window being mapped, and to the main window
  "Orvanta" being mapped (the splash lasts as long as its jingle, so the second number holds
  intro.wav and ZONTARY.WAV). Seen by polling xdotool, so each number is late by up to one
  poll (about 5-10 ms). Median of --runs runs.
- Peak memory: VmHWM and VmRSS of /proc/PID/status once the game waits for its first key,
  with the default GL set-up and with GDK_GL=disable. The first GTK program on a display
  probes OpenGL (Mesa's software GL is loaded) and stores the result on the root window
  (property GDK_VISUALS); later ones skip the probe. Runs are grouped by which case they were.
- Idle CPU: user + system time of the whole process (/proc/PID/stat, every thread) over
  --idle seconds while the game waits for a key, and of each thread (/proc/PID/task/*/stat).
- Key latency: from the release of F5, sent through XTEST from this script, to the sentence
  "You currently have $0" being in the speech service's log (polled every half millisecond);
  median of --keys presses.
"""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e_common as e2e  # noqa: E402

# The board of "TO BE" has 5 symbols: the deal speaks the category, the heading and 5 more.
SENTENCES_UNTIL_WAITING = 1 + 1 + 1 + 5
MONEY = "You currently have $0"


def visible_windows(pid):
    """The ids of the mapped top-level windows of the process."""
    out = e2e.run_tool(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], timeout=5)
    return out.split() if out else []


def start_and_watch(run, deadline):
    """Starts the game; returns (seconds to splash mapped, seconds to main window mapped).

    The splash is the game's first mapped window kept out of the task bar; the main window is
    the one in the task bar (both are named "Orvanta")."""
    run.start(deadline)
    splash = main = None
    kinds = {}
    while main is None:
        deadline.check("the main window")
        run.require_running("the main window")
        windows = visible_windows(run.process.pid)
        now = time.monotonic() - run.started_at
        for window in windows:
            if window not in kinds:
                kinds[window] = "splash" if e2e.skips_taskbar(window) else "main"
            if kinds[window] == "splash" and splash is None:
                splash = now
            if kinds[window] == "main":
                main = now
        time.sleep(0.002)
    return splash, main


def proc_status(pid):
    fields = {}
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return fields


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        after_name = stat.read().rsplit(")", 1)[1].split()
    # Fields 14 and 15 (utime, stime) counted from 1; after the name the list starts at field 3.
    ticks = int(after_name[14 - 3]) + int(after_name[15 - 3])
    return ticks / os.sysconf("SC_CLK_TCK")


class XTestKeyboard:
    """Presses keys through the XTEST extension from this process (libX11 and libXtst through
    ctypes), so the moment the key is released is known to the millisecond; xdotool would add
    the start of a process of its own."""

    def __init__(self):
        import ctypes
        import ctypes.util
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            raise e2e.Failure("cannot open the X display for XTEST")

    def press_and_release(self, key):
        """Returns the monotonic time right after the release has reached the X server."""
        code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(key.encode()))
        self.xtst.XTestFakeKeyEvent(self.display, code, 1, 0)
        self.x11.XSync(self.display, 0)
        time.sleep(0.03)
        self.xtst.XTestFakeKeyEvent(self.display, code, 0, 0)
        self.x11.XSync(self.display, 0)
        return time.monotonic()

    def close(self):
        self.x11.XCloseDisplay(self.display)


def key_latency(run, deadline, presses):
    """Seconds from the release of F5 (the game acts on key releases) to the sentence being in
    the speech service's log, for each press."""
    main = e2e.find_main_window()
    if not main:
        raise e2e.Failure("no main window")
    e2e.wait_focus(main[0], "the main window", deadline)
    time.sleep(0.5)
    keyboard = XTestKeyboard()
    latencies = []
    try:
        for _ in range(presses):
            before = len(run.log.spoken())
            released = keyboard.press_and_release("F5")
            while True:
                deadline.check("F5 to be spoken")
                spoken = run.log.spoken()
                if len(spoken) > before:
                    latencies.append(time.monotonic() - released)
                    if spoken[before] != MONEY:
                        raise e2e.Failure("F5 said %r, not %r" % (spoken[before], MONEY))
                    break
                if time.monotonic() - released > 5:
                    raise e2e.Failure("F5 was not spoken within 5 s")
                time.sleep(0.0005)
            time.sleep(0.3)
    finally:
        keyboard.close()
    return latencies


def thread_cpu(pid):
    """CPU seconds (user + system) of each thread of the process, by thread name and id."""
    result = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/stat" % (pid, tid)) as stat:
                text = stat.read()
        except FileNotFoundError:
            continue
        name = text[text.index("(") + 1:text.rindex(")")]
        fields = text.rsplit(")", 1)[1].split()
        result["%s/%s" % (name, tid)] = (int(fields[11]) + int(fields[12])) \
            / os.sysconf("SC_CLK_TCK")
    return result


def one_run(args, env, deadline, idle=False, keys=False):
    run = e2e.GameRun(args.game, rand=[0, 0], extra_env=env)
    # The first GTK program on a display probes OpenGL (loading Mesa) and leaves its choice of
    # visuals on the root window for every later one; note which case this run is.
    visuals = e2e.run_tool(["xprop", "-root", "GDK_VISUALS"]) or ""
    result = {"gl_probed_before": "=" in visuals}
    try:
        result["splash"], result["main"] = start_and_watch(run, deadline)
        run.wait_spoken(SENTENCES_UNTIL_WAITING, "the deal to be spoken", deadline)
        time.sleep(1.0)  # the game now waits for a key
        status = proc_status(run.process.pid)
        result["hwm"] = int(status["VmHWM"].split()[0]) / 1024
        result["rss"] = int(status["VmRSS"].split()[0]) / 1024
        result["threads"] = int(status["Threads"])
        if idle:
            before, threads_before = cpu_seconds(run.process.pid), thread_cpu(run.process.pid)
            time.sleep(args.idle)
            result["idle_cpu"] = cpu_seconds(run.process.pid) - before
            threads_after = thread_cpu(run.process.pid)
            result["idle_threads"] = {
                name: threads_after[name] - threads_before.get(name, 0.0)
                for name in threads_after}
        if keys:
            result["keys"] = key_latency(run, deadline, args.keys)
    finally:
        run.stop()
        run.remove_files()
    return result


def ms(seconds):
    return "%.0f ms" % (seconds * 1000)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--idle", type=float, default=10.0)
    parser.add_argument("--keys", type=int, default=10)
    args = parser.parse_args()
    e2e.skip_unless_display()
    deadline = e2e.Deadline(600)

    configurations = [("default", {}), ("GDK_GL=disable", {"GDK_GL": "disable"})]
    results = {}
    for label, env in configurations:
        runs = []
        for i in range(args.runs):
            first = i == 0
            runs.append(one_run(args, env, deadline, idle=first,
                                keys=first and label == "default"))
            r = runs[-1]
            print("%s run %d: splash %s, main %s, VmHWM %.1f MB, VmRSS %.1f MB, %d threads%s"
                  % (label, i + 1, ms(r["splash"] or 0), ms(r["main"]), r["hwm"], r["rss"],
                     r["threads"], "" if r["gl_probed_before"] else ", GL not yet probed"),
                  flush=True)
        results[label] = runs

    print("\n| Measure | %s |" % " | ".join(label for label, _ in configurations))
    print("|---|" + "---|" * len(configurations))

    def row(name, values):
        print("| %s | %s |" % (name, " | ".join(values)))

    def median_of(label, key):
        return statistics.median(r[key] for r in results[label] if r.get(key) is not None)

    labels = [label for label, _ in configurations]
    row("exec to splash mapped (median of %d)" % args.runs,
        [ms(median_of(label, "splash")) for label in labels])
    row("exec to main window mapped (median of %d)" % args.runs,
        [ms(median_of(label, "main")) for label in labels])
    def hwm(label, probed):
        values = [r["hwm"] for r in results[label] if r["gl_probed_before"] == probed]
        return "%.1f MB (%d runs)" % (statistics.median(values), len(values)) if values else "-"

    row("peak RSS, VmHWM, first GTK program on the display (median)",
        [hwm(label, False) for label in labels])
    row("peak RSS, VmHWM, GTK's GL probe already done (median)",
        [hwm(label, True) for label in labels])
    row("CPU while waiting %.0f s (first run)" % args.idle,
        ["%.2f s" % results[label][0]["idle_cpu"] for label in labels])
    for label in labels:
        busy = sorted(results[label][0]["idle_threads"].items(), key=lambda item: -item[1])
        print("\nidle CPU by thread, %s: %s" % (label, ", ".join(
            "%s %.2f s" % (name, seconds) for name, seconds in busy)))
    keys = results["default"][0]["keys"]
    print("\nF5 released to the sentence in the speech service's log, %d presses: median %s "
          "(min %s, max %s)" % (len(keys), ms(statistics.median(keys)), ms(min(keys)),
                                ms(max(keys))))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except e2e.Failure as failure:
        print("FAIL: %s" % failure)
        sys.exit(1)
