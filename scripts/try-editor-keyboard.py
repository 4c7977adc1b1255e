"""Drives the layout editor with xdotool key presses only and reads the
focus and the tiles back through AT-SPI. Run by try-editor-keyboard.sh
inside a virtual display and a private session bus."""

import subprocess
import sys
import time

import pyatspi

program, settings = sys.argv[1], sys.argv[2]


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True)
    time.sleep(0.4)


def give_focus(title):
    """What a window manager does for a new window: give it the keyboard."""
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", f"^{title}$"],
                            check=True, capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    time.sleep(0.5)


def application():
    for _ in range(300):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "torvik-setup":
                return app
        time.sleep(0.2)
    names = [app.name for app in pyatspi.Registry.getDesktop(0) if app is not None]
    sys.exit(f"torvik-setup did not appear on the accessibility bus (there: {names})")


def walk(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def focused(app):
    for node in walk(app):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return node
    return None


def describe(node):
    if node is None:
        return "(nothing)"
    states = node.getState()
    marks = [name for name, state in (("selected", pyatspi.STATE_SELECTED), ("checked", pyatspi.STATE_CHECKED))
             if states.contains(state)]
    return f"{node.getRoleName()} '{node.name}'" + (f" [{', '.join(marks)}]" if marks else "")


def tab_to(app, name, backwards=False, limit=120):
    for _ in range(limit):
        node = focused(app)
        if node is not None and node.name == name:
            return
        key("shift+Tab" if backwards else "Tab")
    sys.exit(f"Tab never reached '{name}'")


def tiles(app):
    for node in walk(app):
        if node.getRoleName() == "list" and node.name == "Layout":
            return [describe(node.getChildAtIndex(i)) for i in range(node.childCount)]
    return []


def step(app, note, *keys):
    key(*keys)
    print(f"{note:42} -> focus: {describe(focused(app))}")


process = subprocess.Popen([program, "--settings", settings], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    give_focus("Velmar Torvik Setup.*")
    app = application()
    tab_to(app, "Glidex Layout")
    step(app, "Space on 'Glidex Layout'", "space")
    give_focus("Glidex Layout")
    tab_to(app, "1A")
    print(f"{'Tab to the label 1A':42} -> focus: {describe(focused(app))}")
    step(app, "Space: place 1A", "space")
    tab_to(app, "2A", backwards=True)
    step(app, "Return on 2A: place it (over 1A)", "Return")
    step(app, "Shift+Right: next alignment", "shift+Right")
    step(app, "Right x3: 3 canvas pixels", "Right", "Right", "Right")
    step(app, "Shift+Left: back into line", "shift+Left")
    step(app, "Down: 1 canvas pixel", "Down")
    step(app, "Shift+Tab: to tile 1A (selects it)", "shift+Tab")
    step(app, "Shift+Down: top edges line up", "shift+Down")
    step(app, "Ctrl+Alt+R: the Move Right shortcut", "ctrl+alt+r")
    step(app, "Delete: take 1A off", "Delete")
    print("Port labels:")
    for node in walk(app):
        if node.getRoleName() == "push button" and node.name in ("1A", "2A", "3A", "4A"):
            print(f"  {describe(node)}: {node.description}")
    print("Tiles on the canvas, as AT-SPI lists them:")
    for tile in tiles(app):
        print("  " + tile)
finally:
    process.terminate()
    process.wait(timeout=10)
