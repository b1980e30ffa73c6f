#!/usr/bin/env python3
"""Stands in for a panel's tray: owns a host name on the session bus and
registers it with the StatusNotifierWatcher, so that programs put their icons
there as StatusNotifierItems. Runs until it is killed."""
import os
import signal

import dbus

bus = dbus.SessionBus()
name = "org.kde.StatusNotifierHost-%d" % os.getpid()
bus.request_name(name, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
watcher = bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
watcher.RegisterStatusNotifierHost(name, dbus_interface="org.kde.StatusNotifierWatcher")
signal.pause()
