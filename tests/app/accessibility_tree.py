#!/usr/bin/python3
"""Tavrel as a screen reader meets it: its tree read from outside the process over AT-SPI.

accessibility_tree.sh runs this under its own display and session bus. It starts the real
program with its simulated VRG-500 and fails on any interactive control that is unnamed, exposed
while not showing (except inside a shut window or menu), or enabled without the action that
operates it. It finds the port pop-up in the toolbar as a combo box with its ports, downloads two
registers through the range sheet, opens the field editor with a click and F2, has a value
refused, and finds the editor and the refusal in the tree with their names.

Usage: accessibility_tree.py TAVREL_PROGRAM
"""
import os
import signal
import subprocess
import sys
import time

import pyatspi

WAIT = 20  # seconds: a guard against a hang, not a speed requirement
F2, RETURN, ESCAPE = 0xFFBF, 0xFF0D, 0xFF1B  # X keysyms

R = pyatspi
# The roles a user operates, with the actions that operate them (None: typed into or set).
ACTIONS = {
    R.ROLE_PUSH_BUTTON: {"press", "click"},
    R.ROLE_TOGGLE_BUTTON: {"press", "click", "toggle"},
    R.ROLE_CHECK_BOX: {"press", "click", "toggle"},
    R.ROLE_RADIO_BUTTON: {"press", "click", "toggle"},
    R.ROLE_MENU_ITEM: {"press", "click", "showmenu"},
    R.ROLE_CHECK_MENU_ITEM: {"press", "click", "toggle"},
    R.ROLE_RADIO_MENU_ITEM: {"press", "click", "toggle"},
    R.ROLE_COMBO_BOX: {"press", "showmenu"},
    R.ROLE_PAGE_TAB: {"press", "click"},
    **dict.fromkeys([R.ROLE_TEXT, R.ROLE_ENTRY, R.ROLE_PASSWORD_TEXT, R.ROLE_SPIN_BUTTON,
                     R.ROLE_SLIDER, R.ROLE_SCROLL_BAR, R.ROLE_LIST, R.ROLE_TABLE, R.ROLE_TREE,
                     R.ROLE_TREE_TABLE]),
}
VIEWS = {R.ROLE_LIST, R.ROLE_TABLE, R.ROLE_TREE, R.ROLE_TREE_TABLE}  # items are not controls
SHUTTABLE = {R.ROLE_FRAME, R.ROLE_DIALOG, R.ROLE_WINDOW, R.ROLE_ALERT, R.ROLE_MENU,
             R.ROLE_POPUP_MENU}

failures = []


def check(ok, what):
    print(("ok: " if ok else "FAILED: ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait_for(what, condition):
    deadline = time.monotonic() + WAIT
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.05)
    sys.exit(f"FAILED: no {what} within {WAIT} s")


def children(node):
    return [child for child in node if child is not None]


def find(node, role, name=None, description=None):
    """The first node under `node`, itself included, with this role (and name, description)."""
    if (node.getRole() == role and name in (None, node.name)
            and description in (None, node.description)):
        return node
    for child in children(node):
        found = find(child, role, name, description)
        if found is not None:
            return found
    return None


def showing(node):
    return node.getState().contains(R.STATE_SHOWING)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return set()
    return {action.getName(i).lower() for i in range(action.nActions)}


def problems(node, shut=False, path=""):
    """What a screen reader would stumble on under `node`."""
    role, where = node.getRole(), f"{path}/{node.getRoleName()} '{node.name}'"
    found = []
    # A combo box's own list is named by the combo box, and shows only while it is open.
    if role in ACTIONS and not (role == R.ROLE_LIST and node.parent.getRole() == R.ROLE_COMBO_BOX):
        if not node.name.strip():
            found.append("unnamed " + where)
        if not shut and not showing(node):
            found.append("exposed while not showing " + where)
        wanted = ACTIONS[role]
        if wanted and node.getState().contains(R.STATE_ENABLED) and not wanted & actions(node):
            found.append(f"no {'/'.join(sorted(wanted))} action on {where}")
    if role in VIEWS:
        return found
    shut = shut or (role in SHUTTABLE and not showing(node))
    for child in children(node):
        found += problems(child, shut, where)
    return found


def check_tree(application, when):
    found = problems(application)
    check(not found, f"every control is named, showing and operable {when}"
          + "".join("\n    " + problem for problem in found))


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "toggle"):
            return action.doAction(i)
    sys.exit(f"FAILED: nothing to press on {node.getRoleName()} '{node.name}'")


def key(keysym):
    R.Registry.generateKeyboardEvent(keysym, None, R.KEY_SYM)


def run(application, frame):
    check_tree(application, "at start")

    toolbar = find(frame, R.ROLE_TOOL_BAR)
    popup = toolbar and find(toolbar, R.ROLE_COMBO_BOX)
    check(popup is not None and showing(popup), "the port pop-up is a combo box in the toolbar")
    if popup is not None:
        check("Serial Port" in (popup.name, popup.parent.name),
              f"it is named Serial Port, or held by a group of that name ('{popup.name}', "
              f"'{popup.parent.name}')")
        listed = find(popup, R.ROLE_LIST)
        items = [item.name for item in children(listed)] if listed else []
        check("Other Port…" in items and len([name for name in items if name]) > 1,
              f"its items are the ports and Other Port… {items}")

    # The range sheet, driven by its actions: registers 1 to 2 come down from the simulator.
    press(find(frame, R.ROLE_PUSH_BUTTON, "Download Registers"))
    sheet = wait_for("range sheet", lambda: next(
        (d for d in children(application) if d.getRole() == R.ROLE_DIALOG and showing(d)), None))
    check_tree(application, "with the range sheet open")
    press(find(sheet, R.ROLE_RADIO_BUTTON, "Range:"))
    for name, value in (("Last register", 2), ("First register", 1)):
        find(sheet, R.ROLE_SPIN_BUTTON, name).queryValue().currentValue = value
    press(find(sheet, R.ROLE_PUSH_BUTTON, "Download"))
    table = find(frame, R.ROLE_TABLE, "Registers").queryTable()
    wait_for("download of registers 1 to 2", lambda: table.nRows == 2 and not showing(sheet))

    # A click on register 001's A IN line activates the window and makes that field current.
    x, y, width, height = table.getAccessibleAt(0, 2).queryComponent().getExtents(R.DESKTOP_COORDS)
    R.Registry.generateMouseEvent(x + width // 2, y + height // 6, "b1c")
    wait_for("active window", lambda: frame.getState().contains(R.STATE_ACTIVE))
    key(F2)
    editor = wait_for("field editor", lambda: find(frame, R.ROLE_TEXT))
    check(editor.name == "A IN" and editor.description == "Register 001" and showing(editor),
          f"F2 opens the field editor, in the tree: '{editor.name}', '{editor.description}'")
    check_tree(application, "while a field is edited")

    editor.queryEditableText().setTextContents("99:99:99:99")
    key(RETURN)
    refusal = wait_for("refusal", lambda: find(frame, R.ROLE_LABEL,
                                               description="Why the value was refused"))
    check(refusal.name.startswith("The VRG-500 takes") and showing(refusal),
          f"a refused value's reason is in the tree: '{refusal.name}'")
    check_tree(application, "while a value is refused")
    key(ESCAPE)
    wait_for("editor to close", lambda: find(frame, R.ROLE_TEXT) is None)


def main():
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    tavrel = subprocess.Popen([sys.argv[1], "--demo"], env=environment)
    try:
        def started():
            if tavrel.poll() is not None:
                sys.exit(f"FAILED: Tavrel ended with status {tavrel.returncode}")
            desktop = R.Registry.getDesktop(0)
            for application in children(desktop):
                if application.get_process_id() == tavrel.pid:
                    frame = find(application, R.ROLE_FRAME)
                    return frame and showing(frame) and (application, frame)
            return None

        run(*wait_for("Tavrel on the accessibility bus", started))
        tavrel.send_signal(signal.SIGTERM)
        check(tavrel.wait(WAIT) == 0, "Tavrel quits with status 0")
    finally:
        if tavrel.poll() is None:
            tavrel.kill()
            tavrel.wait(WAIT)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
