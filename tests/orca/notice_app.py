#!/usr/bin/python3
"""The smallest program that hands Orca a notification, to compare the game with: a window with
one button; the W key shows "There are 2 W's." as the game does (an unnamed object of role
notification with one label, in a status bar), Escape ends it."""
import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Atk", "1.0")
from gi.repository import Atk, GLib, Gtk  # noqa: E402


def notify(text):
    notice = Gtk.Box()
    notice.get_accessible().set_role(Atk.Role.NOTIFICATION)
    notice.add(Gtk.Label(label=text))
    bar.add(notice)
    notice.show_all()
    GLib.timeout_add(3000, notice.destroy)


def key(_window, event):
    if event.keyval == ord("w"):
        notify("There are 2 W's.")
    elif event.keyval == Gtk.accelerator_parse("Escape")[0]:
        Gtk.main_quit()


window = Gtk.Window(title="Notice")
column = Gtk.Box(orientation=Gtk.Orientation.VERTICAL)
column.add(Gtk.Button(label="Spin"))
bar = Gtk.Box()
bar.get_accessible().set_role(Atk.Role.STATUSBAR)
column.pack_end(bar, False, False, 0)
window.add(column)
window.connect("key-press-event", key)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
