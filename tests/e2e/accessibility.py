"""Reads the program's windows over AT-SPI as a screen reader does, and fails on any control a
screen reader could not name, or on a preview picture it could not describe.
   accessibility.py PID"""
import re
import sys
import time

import pyatspi

INTERACTIVE = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
               pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_CHECK_BOX,
               pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER}
MAIN_NAMES = ["Name Of Raffle", "Raffle Draw", "1st Prize", "2nd Prize", "3rd Prize",
              "Present Raffle", "Any Donation",
              "How many tickets would you like to create? (Round up to 5)",
              "Start Creating Template", "Help", "Load Sample/Example Data",
              "First ticket number", "Order", "Paper", "Choose\u2026", "None"]
PREVIEW_NAMES = ["Zoom In", "Zoom Out", "< Back", "Save Results To Word File", "Print\u2026",
                 "Scroll the page across", "Scroll the page up and down"]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def until(what, seconds, find):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    fail(what)


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            pass
    return None


def everything(node):
    found = []
    for child in node:
        if child is not None:
            found.append(child)
            found.extend(everything(child))
    return found


def window_with(app, name):
    """The window holding a control of that name, with its controls."""
    for window in app:
        if window is None or not window.getState().contains(pyatspi.STATE_SHOWING):
            continue
        nodes = everything(window)
        if any(n.name == name for n in nodes):
            return window, nodes
    return None


def check_named(nodes, expected, where):
    unnamed = [n.getRoleName() for n in nodes if n.getRole() in INTERACTIVE and not n.name.strip()]
    if unnamed:
        fail("%s: controls without a name: %s" % (where, ", ".join(unnamed)))
    names = {n.name for n in nodes if n.getRole() in INTERACTIVE}
    missing = [name for name in expected if name not in names]
    if missing:
        fail("%s: no control is named %s (named: %s)" % (where, missing, sorted(names)))


def by_name(nodes, name, role):
    return next((n for n in nodes if n.name == name and n.getRole() == role), None)


def main():
    pid = int(sys.argv[1])
    app = until("the program never appeared on the accessibility bus", 60,
                lambda: application(pid))
    main_window, nodes = until("the main window never showed", 60,
                               lambda: window_with(app, "Start Creating Template"))
    check_named(nodes, MAIN_NAMES, "main window")
    for name, role in [("Order", pyatspi.ROLE_COMBO_BOX), ("Paper", pyatspi.ROLE_COMBO_BOX),
                       ("This run makes", pyatspi.ROLE_LABEL),
                       ("Progress", pyatspi.ROLE_PROGRESS_BAR), ("Picture", pyatspi.ROLE_LABEL)]:
        if by_name(nodes, name, role) is None:
            fail("main window: no %s named %r" % (role, name))
    progress = by_name(nodes, "Progress", pyatspi.ROLE_PROGRESS_BAR)
    progress.queryValue()  # its percentage is its value
    print("main window: %d controls, every one named" %
          sum(1 for n in nodes if n.getRole() in INTERACTIVE))

    start = by_name(nodes, "Start Creating Template", pyatspi.ROLE_PUSH_BUTTON)
    start.queryAction().doAction(0)
    picture = until("the preview never showed its picture", 180, lambda: next(
        (n for n in everything_of_shown(app) if n.name == "Ticket document"), None))
    if picture.getRole() != pyatspi.ROLE_IMAGE:
        fail("the preview's picture is a %s, not an image" % picture.getRoleName())
    if not re.fullmatch(r"Page 1 of 5, tickets 0001 to 0025, zoom 100 %", picture.description):
        fail("the preview's picture is described as %r" % picture.description)
    preview, nodes = window_with(app, "Ticket document")
    check_named(nodes, PREVIEW_NAMES, "preview")
    print("preview: %d controls, every one named; the picture: %s" %
          (sum(1 for n in nodes if n.getRole() in INTERACTIVE), picture.description))


def everything_of_shown(app):
    nodes = []
    for window in app:
        if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
            nodes.extend(everything(window))
    return nodes


main()
