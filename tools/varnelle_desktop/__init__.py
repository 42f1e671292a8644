"""Varnelle on a real desktop of its own: an X server, a window manager and a
sound server started for one run and stopped after it (desktop, windowmanagers,
sound), the quiz played with real X input from the layout the build exports
(layout, player), and the whole runs the tests, screenshots and benchmarks
play (scenarios, screenshots, run).

Run from the source tree with tools/ on the module path:

    PYTHONPATH=tools python3 -m varnelle_desktop.scenarios BINARY LAYOUT SCENARIO
"""
