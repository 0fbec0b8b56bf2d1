"""Works the program by keyboard alone, reading it over AT-SPI as a screen reader does: Space on "Connect"; on every
page Enter on "Query Para", the names of every shown control, one Tab round; Ctrl+Tab or Ctrl+PageDown on. Then
Ctrl+T: the Tag Monitor's names, one Tab round, Escape."""
import subprocess
import sys
import time

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402
import Xlib.display  # noqa: E402
import Xlib.X  # noqa: E402

TAB, RETURN, SPACE, PAGE_DOWN, ESCAPE, LETTER_T, CONTROL = 0xFF09, 0xFF0D, 0x20, 0xFF56, 0xFF1B, 0x74, 1 << 2
CONTROLS = {"push button", "check box", "radio button", "combo box", "text", "list", "slider", "table"}
FIELDS = {"combo box", "text", "list", "slider"}
WHOLE = ("combo box", "list", "page tab list", "table")   # one tab stop, whatever part of it takes the focus
findings, focus = [], [None]


def pump(seconds, until):
    end = time.monotonic() + seconds
    while not until() and time.monotonic() < end:
        while GLib.MainContext.default().pending():
            GLib.MainContext.default().iteration(False)
        time.sleep(0.005)
    return until()


def kids(acc):
    return [c for c in acc if c is not None]


def shown(acc):
    for child in (c for c in kids(acc) if c.getState().contains(pyatspi.STATE_SHOWING)):
        yield child
        if child.getRoleName() not in WHOLE:
            yield from shown(child)


def related(acc, relation):
    return [r.getTarget(i) for r in acc.getRelationSet() if r.getRelationType() == relation for i in range(r.getNTargets())]


def ancestors(acc):
    while (acc := acc.parent) is not None:
        yield acc


def on_focus(event):
    if event.detail1:
        focus[0] = next((a for a in [event.source, *ancestors(event.source)] if a.getRoleName() in WHOLE), event.source)


def key(keysym, control=False):
    Atspi.generate_keyboard_event(CONTROL, None, Atspi.KeySynthType.LOCKMODIFIERS) if control else None
    Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
    Atspi.generate_keyboard_event(CONTROL, None, Atspi.KeySynthType.UNLOCKMODIFIERS) if control else None


def tab():
    """Tab once: where the focus went, None where it stayed."""
    focus[0] = None
    key(TAB)
    return focus[0] if pump(2, lambda: focus[0] is not None) else None


def tab_to(name):
    for _ in range(300):
        if focus[0] is not None and focus[0].name == name:
            return
        if tab() is None:
            break
    sys.exit(f"Tab does not reach '{name}'")


def check_names(page, controls):
    units = {acc.description for acc in controls}
    for acc in controls:
        kind, name = acc.getRoleName(), acc.name
        if kind == "label" and acc.parent.getRoleName() != "status bar" and name not in units \
                and not related(acc, pyatspi.RELATION_LABEL_FOR):
            findings.append(f"{page}: label '{name}' names no control and is no control's unit")
        if kind not in CONTROLS:
            continue
        # Named by the label tied to it ("IP Address", "IP Address, octet 2"), never by its group or content.
        labels = [label.name for label in related(acc, pyatspi.RELATION_LABELLED_BY) if label.getRoleName() == "label"]
        own = [a.name for a in ancestors(acc) if a.getRoleName() == "panel"][:1] if kind in FIELDS else []
        own += [i.name for items in ([acc] if kind == "list" else kids(acc)) for i in kids(items) if kind in FIELDS]
        own += [acc.queryText().getText(0, -1)] if kind == "text" else []
        if not name.strip() or name in own or any(name != l and not name.startswith(l + ", ") for l in labels):
            findings.append(f"{page}: {kind} '{name}' is not named by its label {labels} but by its group or content")


def check_tab_round(page, controls, tab_pages):
    """One Tab round reaches every enabled control (a set of radio buttons once) and enters the pages through their tab bars."""
    stop = lambda acc: acc.parent if acc.getRoleName() == "radio button" else acc  # noqa: E731
    wanted = {stop(a): a.name for a in controls if a.getRoleName() in CONTROLS | {"page tab list"}
              and a.getState().contains(pyatspi.STATE_SENSITIVE) and a.getState().contains(pyatspi.STATE_FOCUSABLE)}
    walk = [focus[0]]
    while len(walk) < 2 * len(wanted) + 10 and (reached := tab()) not in (walk[0], None):
        walk.append(reached)
    inside = [tab_pages in ancestors(a) for a in walk]
    entries = [a.getRoleName() for i, a in enumerate(walk) if inside[i] and not inside[i - 1]]
    missed = [wanted[m] for m in set(wanted) - {stop(a) for a in walk}]
    if reached != walk[0] or missed or entries != ["page tab list"]:
        findings.append(f"{page}: Tab round {[a.name for a in walk]} misses {missed} or enters the pages not by their tab bars")


def walk_pages(app):
    def find(name, kind):
        return pyatspi.findDescendant(app, lambda a: a.name == name and a.getRoleName() == kind)

    def tab_names(tab_list):
        return [t.name for t in kids(tab_list) if t.getRoleName() == "page tab"]

    log, query = find("Message log", "text").queryText(), find("Query Para", "push button")
    outer_tabs = find("Reader", "page tab").parent
    tab_pages, outers = outer_tabs.parent, tab_names(outer_tabs)
    tab_to("Connect")
    key(SPACE)
    if not pump(10, lambda: query.getState().contains(pyatspi.STATE_SENSITIVE)):
        sys.exit("Space on 'Connect' did not connect")
    for outer in outers:   # the window's pages as its tab bars show them, the inner ones within each outer one
        if not pump(5, lambda: outer_tabs.name == outer):
            sys.exit(f"the keys did not lead to {outer}")
        tab_lists = [a for a in shown(app) if a.getRoleName() == "page tab list"]
        inners = next((names for names in map(tab_names, tab_lists) if names != outers), [None])
        for inner in inners:
            page = f"{outer} / {inner}" if inner else outer
            tab_to("Query Para")
            lines = log.getText(0, -1).count("\n")
            key(RETURN)
            if not pump(10, lambda: log.getText(0, -1).count("\n") > lines):
                findings.append(f"{page}: Enter on 'Query Para' did not query")
            controls = list(shown(app))
            if not {outer, inner or outer} <= {a.name for a in controls if a.getRoleName() == "page tab list"}:
                sys.exit(f"the keys did not lead to {page}")
            check_names(page, controls)
            check_tab_round(page, controls, tab_pages)
            if inner == "Frequency":   # Space checks the channel the list's cursor is on
                tab_to("Hopping channels")
                checked = lambda: [i for i in kids(focus[0]) if i.getState().contains(pyatspi.STATE_CHECKED)]  # noqa
                before = checked()
                key(SPACE)
                findings.extend([] if pump(5, lambda: checked() != before) else [f"{page}: Space checks no channel"])
                key(SPACE)
            tab_to(inner if inner and inner != inners[-1] else "Query Para")   # an inner tab bar, or outside the pages
            key(TAB if inner and inner != inners[-1] else PAGE_DOWN, control=True)
            print(f"{page}: walked")


def walk_monitor(app):
    """Ctrl+T: the Tag Monitor named as the pages are, every enabled control one Tab round away, Escape closes it."""
    key(LETTER_T, control=True)
    found = []
    if not pump(10, lambda: found.extend(w for w in kids(app) if w.name == "Tag Monitor"
                                         and w.getState().contains(pyatspi.STATE_SHOWING)) or found):
        sys.exit("Ctrl+T did not open the Tag Monitor")
    monitor = found[0]
    controls = list(shown(monitor))
    check_names("Tag Monitor", controls)
    stop = lambda acc: acc.parent if acc.getRoleName() == "radio button" else acc  # noqa: E731
    wanted = {stop(a): a.name for a in controls if a.getRoleName() in CONTROLS
              and a.getState().contains(pyatspi.STATE_SENSITIVE) and a.getState().contains(pyatspi.STATE_FOCUSABLE)}
    inside = lambda acc: any(a.name == "Tag Monitor" and a.parent.getRoleName() == "application" for a in ancestors(acc))  # noqa
    walk = [None]
    for _ in range(20):   # the window is shown before the X server maps it and can give it the keyboard
        give_keyboard()
        if (walk := [tab()])[0] is not None and inside(walk[0]):
            break
        pump(0.2, lambda: False)
    else:
        sys.exit("the keyboard does not reach the Tag Monitor")
    while len(walk) < 2 * len(wanted) + 10 and (reached := tab()) not in (walk[0], None):
        walk.append(reached)
    missed = [wanted[m] for m in set(wanted) - {stop(a) for a in walk}]
    if reached != walk[0] or missed:
        findings.append(f"Tag Monitor: Tab round {[a.name for a in walk if a]} misses {missed} or does not come round")
    key(ESCAPE)
    if not pump(5, lambda: not monitor.getState().contains(pyatspi.STATE_SHOWING)):
        findings.append("Tag Monitor: Escape does not close it")
    print("Tag Monitor: walked")


def give_keyboard():
    """The keyboard to the program's newest window, as a window manager gives it."""
    x = Xlib.display.Display()
    for window in x.screen().root.query_tree().children:
        if window.get_attributes().map_state == Xlib.X.IsViewable:
            window.set_input_focus(Xlib.X.RevertToParent, Xlib.X.CurrentTime)
    x.close()


def main(program):
    process = subprocess.Popen([program])
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    app = []
    pump(30, lambda: app.extend(a for a in kids(pyatspi.Registry.getDesktop(0)) if a.get_process_id() == process.pid
                                and a.childCount) or app)
    try:
        if not app:
            sys.exit(f"the window did not show on the AT-SPI bus (program status {process.poll()})")
        give_keyboard()
        walk_pages(app[0])
        walk_monitor(app[0])
    finally:
        process.terminate()
        process.wait(10)
    print(f"{len(findings)} findings", *findings, sep="\n")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
