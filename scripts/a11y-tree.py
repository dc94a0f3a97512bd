#!/usr/bin/python3
# Reads the zelk windows over AT-SPI as a screen reader would (scripts/a11y-tree.sh).
import sys, time, pyatspi

def find_app(name, tries=50):
    for _ in range(tries):
        desk = pyatspi.Registry.getDesktop(0)
        for app in desk:
            if app and app.name and name in app.name.lower():
                return app
        time.sleep(0.2)
    return None

def line(acc, depth):
    role = acc.getRoleName()
    name = acc.name or ""
    desc = acc.description or ""
    states = acc.getState()
    flags = []
    for st, tag in [(pyatspi.STATE_FOCUSABLE, "focusable"), (pyatspi.STATE_FOCUSED, "FOCUSED"),
                    (pyatspi.STATE_SHOWING, "showing"), (pyatspi.STATE_ENABLED, "enabled")]:
        if states.contains(st): flags.append(tag)
    labels = []
    for rel in acc.getRelationSet():
        if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            labels += [rel.getTarget(i).name for i in range(rel.getNTargets())]
    actions = []
    try:
        ai = acc.queryAction()
        actions = [ai.getName(i) for i in range(ai.nActions)]
    except NotImplementedError:
        pass
    value = ""
    try:
        t = acc.queryText()
        value = t.getText(0, min(t.characterCount, 60))
    except NotImplementedError:
        pass
    out = "  " * depth + f"[{role}] {name!r}"
    if desc: out += f" desc={desc!r}"
    if labels: out += f" labelled-by={labels}"
    if actions: out += f" actions={actions}"
    if value and value != name: out += f" text={value!r}"
    out += " " + ",".join(flags)
    print(out)

def walk(acc, depth=0):
    if acc is None: return
    states = acc.getState()
    if not states.contains(pyatspi.STATE_SHOWING) and depth > 1:
        return
    line(acc, depth)
    for child in acc:
        walk(child, depth + 1)

app = find_app(sys.argv[1] if len(sys.argv) > 1 else "zelk")
if not app:
    print("application not found"); sys.exit(1)
for win in app:
    walk(win)

# Switch the mode through the accessibility bus, as a screen reader user
# would, and read the captions again.
if len(sys.argv) > 2 and sys.argv[2] == "switch":
    main = app[0]
    radios = [c for c in main if c.getRoleName() == "radio button"]
    target = radios[0] if not radios[0].getState().contains(pyatspi.STATE_CHECKED) else radios[1]
    print("== pressing", target.name)
    ai = target.queryAction()
    ai.doAction(0)
    time.sleep(1.5)
    for c in main:
        if c.getRoleName() == "push button" and c.getState().contains(pyatspi.STATE_SHOWING):
            print("  after switch:", repr(c.name))
