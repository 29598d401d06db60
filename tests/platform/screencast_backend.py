#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A stand-in desktop backend for the portal frontend (ScreenCast, and
# Screenshot with the Access dialog it needs), steered by files in the folder
# given as its argument:
#   streams  one line per monitor: NODE X Y WIDTH HEIGHT (logical place/size)
#   answer   "grant" or "deny": what the user answers when asked to share;
#            "none": the user leaves the dialog open
#   screenshot  WIDTH HEIGHT: the size of the screenshots, which show the
#            tests' coordinate pattern
# and writing there:
#   log      one line per request: CreateSession, SelectSources restored|asked,
#            Start granted|denied, Access, Screenshot FILE
# A screen-cast session restored from the data this backend gave earlier is
# not asked.
import os
import struct
import sys
import zlib

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

folder = sys.argv[1]
IFACE = "org.freedesktop.impl.portal.ScreenCast"
BUS_NAME = "org.freedesktop.impl.portal.Kadrixtest"
RESTORE = dbus.Struct(("kadrixtest", dbus.UInt32(1), dbus.String("all monitors", variant_level=1)),
                      signature="suv")


def log(line):
    with open(os.path.join(folder, "log"), "a") as out:
        out.write(line + "\n")


def read(name, default=""):
    try:
        with open(os.path.join(folder, name)) as text:
            return text.read().strip()
    except FileNotFoundError:
        return default


class Backend(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.restored = {}
        self.screenshots = 0

    @dbus.service.method(IFACE, in_signature="oosa{sv}", out_signature="ua{sv}")
    def CreateSession(self, handle, session, app_id, options):
        log("CreateSession")
        return dbus.UInt32(0), dbus.Dictionary({"session_id": dbus.String("s1")}, signature="sv")

    @dbus.service.method(IFACE, in_signature="oosa{sv}", out_signature="ua{sv}")
    def SelectSources(self, handle, session, app_id, options):
        data = options.get("restore_data")
        restored = data is not None and str(data[0]) == "kadrixtest"
        self.restored[str(session)] = restored
        log("SelectSources %s types=%d multiple=%d cursor=%d persist=%d" % (
            "restored" if restored else "asked", int(options.get("types", 0)),
            int(bool(options.get("multiple", False))), int(options.get("cursor_mode", 0)),
            int(options.get("persist_mode", 0))))
        return dbus.UInt32(0), dbus.Dictionary({}, signature="sv")

    @dbus.service.method(IFACE, in_signature="oossa{sv}", out_signature="ua{sv}",
                         async_callbacks=("reply", "error"))
    def Start(self, handle, session, app_id, parent_window, options, reply, error):
        answer = "grant" if self.restored.get(str(session)) else read("answer", "grant")
        if answer == "none":
            log("Start unanswered")
            return
        if answer != "grant":
            log("Start denied")
            reply(dbus.UInt32(1), dbus.Dictionary({}, signature="sv"))
            return
        streams = []
        for line in read("streams").splitlines():
            node, x, y, width, height = (int(word) for word in line.split())
            streams.append(dbus.Struct((dbus.UInt32(node), dbus.Dictionary({
                "position": dbus.Struct((dbus.Int32(x), dbus.Int32(y)), signature=None),
                "size": dbus.Struct((dbus.Int32(width), dbus.Int32(height)), signature=None),
                "source_type": dbus.UInt32(1)}, signature="sv")), signature=None))
        log("Start granted")
        reply(dbus.UInt32(0), dbus.Dictionary({
            "streams": dbus.Array(streams, signature="(ua{sv})"),
            "persist_mode": dbus.UInt32(2),
            "restore_data": RESTORE}, signature="sv"))

    @dbus.service.method("org.freedesktop.impl.portal.Screenshot", in_signature="ossa{sv}",
                         out_signature="ua{sv}")
    def Screenshot(self, handle, app_id, parent_window, options):
        self.screenshots += 1
        path = os.path.join(folder, "screenshot%d.png" % self.screenshots)
        width, height = (int(word) for word in read("screenshot", "640 480").split())
        write_pattern(path, width, height)
        log("Screenshot " + path)
        return dbus.UInt32(0), dbus.Dictionary({"uri": "file://" + path}, signature="sv")

    @dbus.service.method("org.freedesktop.impl.portal.Access", in_signature="osssssa{sv}",
                         out_signature="ua{sv}")
    def AccessDialog(self, handle, app_id, parent_window, title, subtitle, body, options):
        log("Access")
        return dbus.UInt32(0), dbus.Dictionary({}, signature="sv")

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"AvailableSourceTypes": dbus.UInt32(1), "AvailableCursorModes": dbus.UInt32(3),
                "version": dbus.UInt32(4)}


def write_pattern(path, width, height):
    """The tests' coordinate pattern as a PNG file (phase 0)."""
    rows = []
    for y in range(height):
        row = bytearray(3 * width)
        for x in range(width):
            row[3 * x:3 * x + 3] = bytes((x % 251, y % 241, (x // 251 * 37 + y // 241 * 71 + 40) % 256))
        rows.append(b"\0" + bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 1)))
        out.write(chunk(b"IEND", b""))


DBusGMainLoop(set_as_default=True)
session_bus = dbus.SessionBus()
backend = Backend(session_bus)
name = dbus.service.BusName(BUS_NAME, session_bus)
GLib.MainLoop().run()
