#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A notification area's StatusNotifierWatcher on the session bus, as KDE and
GNOME's AppIndicator extension run one, and a hand on the items it holds.

  status_notifier_watcher.py watch
      Serves org.kde.StatusNotifierWatcher with a host registered; prints
      "registered SERVICE PATH" for each item that registers.
  status_notifier_watcher.py activate SERVICE PATH
      Calls the item's Activate, as a click on the icon does.
  status_notifier_watcher.py click SERVICE PATH LABEL
      Sends "clicked" to the item's menu entry of that label (dbusmenu).
"""
import sys

import dbus
import dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"

# The properties are declared here: Qt reads IsStatusNotifierHostRegistered
# through introspection, and python-dbus lists only methods and signals.
INTROSPECTION = """<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/>
   <arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
 <interface name="org.freedesktop.DBus.Introspectable">
  <method name="Introspect"><arg type="s" direction="out"/></method>
 </interface>
</node>"""


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item gives its bus name or its object path.
        path = service if service.startswith("/") else "/StatusNotifierItem"
        name = sender if service.startswith("/") else service
        self.items.append(name + path)
        print("registered", name, path, flush=True)
        self.StatusNotifierItemRegistered(name + path)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    def properties(self):
        return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": dbus.Boolean(True),
                "ProtocolVersion": dbus.Int32(0)}

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.properties()[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties()

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return INTROSPECTION


def watch():
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    # Both kept alive while the loop runs.
    watcher = Watcher(bus)
    name = dbus.service.BusName(WATCHER, bus)
    print("watching", flush=True)
    GLib.MainLoop().run()
    return watcher, name


def entry_of(layout, label):
    """The id of the menu entry with that label in a dbusmenu layout."""
    identifier, properties, children = layout
    if str(properties.get("label", "")).replace("_", "") == label:
        return int(identifier)
    for child in children:
        found = entry_of(child, label)
        if found is not None:
            return found
    return None


def main():
    command = sys.argv[1]
    if command == "watch":
        watch()
        return
    bus = dbus.SessionBus()
    if command == "activate":
        item = bus.get_object(sys.argv[2], sys.argv[3])
        item.Activate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)
    elif command == "click":
        item = bus.get_object(sys.argv[2], sys.argv[3])
        menu_path = item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
        menu = bus.get_object(sys.argv[2], menu_path)
        _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface=MENU)
        entry = entry_of(layout, sys.argv[4])
        if entry is None:
            sys.exit("no menu entry " + sys.argv[4])
        menu.Event(dbus.Int32(entry), "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   dbus_interface=MENU)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
