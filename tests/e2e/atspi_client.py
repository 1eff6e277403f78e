"""The screen reader's side of accessibility_test.sh: finds orlit_cfs on the accessibility bus,
checks its tree, fills the fields through EditableText, follows focus and text events while
xdotool types, and reads the result and the log through Text. argv[1]: the terminal mode's lines
for the same fields (the expected log). Prints how long a walk over the whole tree takes."""
import os
import statistics
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# The terminal prints the log's seven lines, then the result once more.
printed = open(sys.argv[1], encoding="utf-8").read().splitlines()
expected_log, expected_result = printed[:-1], printed[-1]
failures = []
events = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: {got!r} != {want!r}")


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_until(condition, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        pump(0.1)
    return condition()


def find_application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "orlit_cfs":
            return app
    return None


def walk(node, visit):
    visit(node)
    for child in node:
        if child is not None:
            walk(child, visit)


def attributes(node):
    return dict(a.split(":", 1) for a in node.getAttributes() if ":" in a)


def key(*names):
    if os.environ.get("ORLIT_BACKEND") == "wayland":
        for name in names:
            subprocess.run(["wtype", "-k", name], check=True)
            time.sleep(0.06)
    else:
        subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True)


if not wait_until(lambda: find_application() is not None, 15):
    sys.exit("orlit_cfs did not appear on the accessibility bus")
app = find_application()
frame = app[0]
check("frame", (frame.getRole(), frame.name), (pyatspi.ROLE_FRAME, "Orlit_CFS by Orlit Soft"))

controls = {}
walk(frame, lambda n: controls.setdefault(attributes(n).get("id", ""), n))
tree = [
    ("cxMaskEdit1", pyatspi.ROLE_ENTRY, "Data de final a perioadei"),
    ("cxTextEdit1", pyatspi.ROLE_ENTRY, "Nr zile CFS"),
    ("cxTextEdit2", pyatspi.ROLE_ENTRY, "Nr zile lucratoare/lunä"),
    ("cxTextEdit3", pyatspi.ROLE_ENTRY, "End of the period (the result)"),
    ("cxMemo2", pyatspi.ROLE_TEXT, "Calculation log"),
    ("cxLabel1", pyatspi.ROLE_LABEL, "Nr zile CFS"),
    ("cxGroupBox2", pyatspi.ROLE_PANEL, "Promovare"),
    ("cxImage1", pyatspi.ROLE_IMAGE, "Orlit Soft logo"),
    ("stri3", pyatspi.ROLE_PUSH_BUTTON, "Minimise"),
    ("stri5", pyatspi.ROLE_PUSH_BUTTON, "Close"),
]
for name, role, label in tree:
    node = controls.get(name)
    check(name, (node.getRole(), node.name) if node else None, (role, label))
if "cxTextEdit1" in controls:
    relations = controls["cxTextEdit1"].getRelationSet()
    labelled_by = [r.getTarget(0).name for r in relations
                   if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    check("cxTextEdit1 labelled by", labelled_by, ["Nr zile CFS"])
    states = controls["cxTextEdit1"].getState()
    check("cxTextEdit1 editable", states.contains(pyatspi.STATE_EDITABLE), True)
    check("cxMemo2 read-only", controls["cxMemo2"].getState().contains(pyatspi.STATE_READ_ONLY),
          True)
    check("stri4 sensitive", controls["stri4"].getState().contains(pyatspi.STATE_SENSITIVE), False)

samples = []
for _ in range(10):
    start = time.monotonic()
    walk(frame, lambda n: (n.name, n.getRole(), n.getState(), n.childCount))
    samples.append((time.monotonic() - start) * 1000)
print(f"tree walk: median {statistics.median(samples):.1f} ms over {len(samples)} runs")

print("== fields through EditableText")
fields = [("cxMaskEdit1", "15.03.24"), ("cxTextEdit1", "20"), ("cxTextEdit2", "21")]
for name, value in fields:
    controls[name].queryEditableText().setTextContents(value)
    text = controls[name].queryText()
    if not wait_until(lambda: text.getText(0, -1) == value, 5):
        failures.append(f"{name} reads {text.getText(0, -1)!r} after setting {value!r}")


def record(event):
    events.append((event.type, event.source.name if event.source else "", event.detail1,
                   event.any_data if isinstance(event.any_data, str) else ""))


pyatspi.Registry.registerEventListener(record, "object:state-changed:focused",
                                       "object:text-changed:insert")
print("== a focus event for each Tab")
controls["cxMaskEdit1"].queryComponent().grabFocus()
wait_until(lambda: controls["cxMaskEdit1"].getState().contains(pyatspi.STATE_FOCUSED), 5)
pump(0.3)
events.clear()
for _ in range(3):
    key("Tab")
    pump(0.3)
focused = [source for kind, source, on, _ in events if kind.endswith("focused") and on == 1]
check("focus per Tab", focused,
      ["Nr zile CFS", "Nr zile lucratoare/lunä", "End of the period (the result)"])

print("== Enter through the chain with real keys")
controls["cxMaskEdit1"].queryComponent().grabFocus()
wait_until(lambda: controls["cxMaskEdit1"].getState().contains(pyatspi.STATE_FOCUSED), 5)
pump(0.3)
events.clear()
for _ in range(3):
    key("Return")
    pump(0.3)
result = controls["cxTextEdit3"].queryText()
wait_until(lambda: result.getText(0, -1) == expected_result, 5)
check("result", result.getText(0, -1), expected_result)
log = controls["cxMemo2"].queryText()
check("log", log.getText(0, -1).splitlines(), expected_log)
wait_until(lambda: any(s == "Calculation log" for k, s, _, _ in events if "insert" in k), 3)
log_inserts = [data for kind, source, _, data in events
               if kind.endswith("insert") and source == "Calculation log"]
check("log lines in one insertion", [d.splitlines() for d in log_inserts], [expected_log])

print("== the character under a point")
# The middle of a character's box leads back to that character, in a field and across the
# log's rows, in both coordinate systems.
for text, offsets in [(result, range(len(expected_result))),
                      (log, [0, 1, len(expected_log[0]) + 1])]:
    for offset in offsets:
        for coords in (pyatspi.DESKTOP_COORDS, pyatspi.WINDOW_COORDS):
            x, y, w, h = text.getCharacterExtents(offset, coords)
            check(f"offset at the middle of {offset}",
                  text.getOffsetAtPoint(x + w // 2, y + h // 2, coords) if w > 0 else None, offset)

pyatspi.Registry.deregisterEventListener(record, "object:state-changed:focused",
                                         "object:text-changed:insert")
print("\n".join(failures))
sys.exit(1 if failures else 0)
