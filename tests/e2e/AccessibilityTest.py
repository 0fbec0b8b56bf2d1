"""The window as a screen reader sees it and as the keyboard alone works it.

Run by AccessibilityTest.sh inside a session bus, under Xvfb, with readersim
behind "COM1". Starts the program and works it by keyboard only: Tab to
"Connect" and Space; on every page Tab to "Query Para" and Enter, then
  - names: every shown field, list, check box, radio button, slider and button
    is named; a control a label stands for is named by that label's text
    ("IP Address" or "IP Address, octet 2"); no field or list is named after
    its group or its own content; every shown label names a control or is the
    unit (description) of one;
  - keyboard: one Tab round from "Query Para" back to it reaches every enabled
    control, a set of radio buttons counting once, with the tab pages' controls
    in one run; the focus never stays put;
then Ctrl+Tab (inner pages) or Ctrl+PageDown (outer pages) to the next page.
On the Frequency page Space checks and clears a channel of the check list.
"""
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402
import Xlib.display  # noqa: E402
import Xlib.X  # noqa: E402

KEY_TAB, KEY_RETURN, KEY_SPACE, KEY_PAGE_DOWN = 0xFF09, 0xFF0D, 0x20, 0xFF56
CONTROL_MASK = 1 << 2
# Outer tab caption, then its inner pages' captions (none: the page itself).
PAGES = [
    ("Reader", ["Work Mode", "Other Function"]),
    ("RF Parameter", ["Antenna  Power", "Frequency", "Supported Protocol"]),
    ("Communication Port", []),
    ("Frame Format", []),
    ("I/O Parameter", []),
]
CONTROLS = {"push button", "check box", "radio button", "combo box", "text", "list", "slider"}
FIELDS = {"combo box", "text", "list", "slider"}   # named by a label or a name of their own
TAB_STOPS = CONTROLS | {"page tab list"}

failures = []


def fail(page, message):
    failures.append(f"{page}: {message}")


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.005)


def role(acc):
    return acc.getRoleName()


def has(acc, state):
    return acc.getState().contains(state)


def children(acc):
    return [c for c in acc if c is not None]


def shown_tree(acc):
    """Every shown accessible below acc; the items of lists and drop-down lists stay out."""
    for child in children(acc):
        if not has(child, pyatspi.STATE_SHOWING):
            continue
        yield child
        if role(child) not in ("combo box", "list", "page tab list"):
            yield from shown_tree(child)


def related(acc, relation):
    for r in acc.getRelationSet():
        if r.getRelationType() == relation:
            yield from (r.getTarget(i) for i in range(r.getNTargets()))


def stop_of(acc):
    """The tab stop a focus event stands for: a tab for its tab bar, a list's
    item or a drop-down list's part for the list."""
    up = acc
    while up is not None:
        if role(up) in ("combo box", "list", "page tab list"):
            return up
        up = up.parent
    return acc


class Window:
    def __init__(self, program):
        self.process = subprocess.Popen([program])
        self.focus = None
        pyatspi.Registry.registerEventListener(self._focused, "object:state-changed:focused")
        self.app = self._find_app()
        self.log = self.named("Message log", "text").queryText()

    def _focused(self, event):
        if event.detail1 and event.source is not None:
            self.focus = stop_of(event.source)

    def _find_app(self):
        for _ in range(600):
            pump(0.05)
            if self.process.poll() is not None:
                sys.exit(f"the program ended at start with status {self.process.returncode}")
            for app in children(pyatspi.Registry.getDesktop(0)):
                if app.get_process_id() == self.process.pid and app.childCount:
                    return app
        sys.exit("the window did not show on the AT-SPI bus within 30 s")

    def take_keyboard(self):
        """What a window manager does for a new window: give it the keyboard."""
        x = Xlib.display.Display()
        pid = x.intern_atom("_NET_WM_PID")
        for candidate in x.screen().root.query_tree().children:
            owner = candidate.get_full_property(pid, Xlib.X.AnyPropertyType)
            if owner and owner.value[0] == self.process.pid and \
                    candidate.get_attributes().map_state == Xlib.X.IsViewable:
                candidate.set_input_focus(Xlib.X.RevertToParent, Xlib.X.CurrentTime)
        x.close()

    def named(self, name, wanted_role):
        return next(a for a in pyatspi.findAllDescendants(self.app, lambda a: a.name == name and role(a) == wanted_role))

    def key(self, keysym, control=False):
        if control:
            Atspi.generate_keyboard_event(CONTROL_MASK, None, Atspi.KeySynthType.LOCKMODIFIERS)
        Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
        if control:
            Atspi.generate_keyboard_event(CONTROL_MASK, None, Atspi.KeySynthType.UNLOCKMODIFIERS)

    def tab(self):
        """Tab once; the control that has the focus afterwards (None if it stayed put)."""
        before = self.focus
        self.focus = None
        self.key(KEY_TAB)
        for _ in range(200):
            pump(0.01)
            if self.focus is not None:
                return self.focus
        self.focus = before
        return None

    def tab_to(self, name, wanted_role, page):
        for _ in range(300):
            if self.focus is not None and self.focus.name == name and role(self.focus) == wanted_role:
                return True
            if self.tab() is None:
                fail(page, f"the focus stays put on {describe(self.focus)}")
                return False
        fail(page, f"Tab never reaches '{name}'")
        return False

    def log_text(self):
        return self.log.getText(0, -1)

    def wait_until(self, condition, seconds=10):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            pump(0.05)
            if condition():
                return True
        return False

    def close(self):
        self.process.terminate()
        self.process.wait(10)


def describe(acc):
    return f"{role(acc)} '{acc.name}'" if acc is not None else "nothing"


def group_title(acc):
    up = acc.parent
    while up is not None and role(up) != "panel":
        up = up.parent
    return up.name if up is not None else None


def check_names(page, shown):
    descriptions = {acc.description for acc in shown if acc.description}
    for acc in shown:
        kind, name = role(acc), acc.name.strip()
        if kind == "label":
            if role(acc.parent) != "status bar" and not list(related(acc, pyatspi.RELATION_LABEL_FOR)) \
                    and acc.name not in descriptions:
                fail(page, f"label '{acc.name}' names no control and is no control's unit")
            continue
        if kind not in CONTROLS:
            continue
        if not name:
            fail(page, f"a {kind} without a name, beside {describe(acc.parent)}")
            continue
        labels = [l.name for l in related(acc, pyatspi.RELATION_LABELLED_BY) if role(l) == "label"]
        for label in labels:
            if acc.name != label and not acc.name.startswith(label + ", "):
                fail(page, f"{describe(acc)} does not carry its label '{label}'")
        if kind not in FIELDS:
            continue
        if acc.name == group_title(acc):
            fail(page, f"{describe(acc)} is named after its group")
        lists = [acc] if kind == "list" else [c for c in children(acc) if role(c) == "list"]
        own = [item.name for items in lists for item in children(items)]
        if kind == "text":
            own.append(acc.queryText().getText(0, -1))
        if acc.name in own:
            fail(page, f"{describe(acc)} is named after its own content")


def check_keyboard(page, window, shown, pages_tree):
    """One Tab round from the focused control back to it."""
    start = window.focus
    expected = {}
    for acc in shown:
        if role(acc) in TAB_STOPS and has(acc, pyatspi.STATE_SENSITIVE) and has(acc, pyatspi.STATE_FOCUSABLE):
            # Radio buttons of one set are one stop: Tab enters the set, arrows move within.
            key = acc.parent if role(acc) == "radio button" else acc
            expected.setdefault(key, describe(acc))
    round_ = [start]
    while True:
        reached = window.tab()
        if reached is None:
            fail(page, f"the focus stays put on {describe(round_[-1])}")
            return
        if reached == start:
            break
        round_.append(reached)
        if len(round_) > 3 * len(expected) + 10:
            fail(page, f"Tab never comes back to {describe(start)}")
            return
    print(f"{page}: Tab round of {len(round_)}: " + ", ".join(describe(a) for a in round_))
    seen = {acc.parent if role(acc) == "radio button" else acc for acc in round_}
    for key, what in expected.items():
        if key not in seen:
            fail(page, f"Tab never reaches {what}")
    # The tab pages come in one run, entered through their tab bars.
    inside = [pages_tree in ancestors(acc) for acc in round_]
    entries = [i for i in range(len(round_)) if inside[i] and not inside[i - 1]]
    if len(entries) != 1 or role(round_[entries[0]]) != "page tab list":
        fail(page, "Tab does not go through the tab bars into the page and out: "
             + ", ".join(describe(a) for a in round_))


def ancestors(acc):
    up = acc.parent
    while up is not None:
        yield up
        up = up.parent


def check_channel_space(page, window):
    """Space checks the channel the check list's cursor stands on, and clears it again."""
    channels = window.named("Hopping channels", "list")
    if not window.tab_to(channels.name, "list", page):
        return

    def checked():
        return [item.name for item in children(channels) if has(item, pyatspi.STATE_CHECKED)]

    before = checked()
    window.key(KEY_SPACE)
    if not window.wait_until(lambda: checked() != before, 5):
        fail(page, "Space does not check a channel of the check list")
        return
    window.key(KEY_SPACE)
    if not window.wait_until(lambda: checked() == before, 5):
        fail(page, "Space does not clear the channel again")


def main(program):
    window = Window(program)
    try:
        window.take_keyboard()
        if not window.wait_until(lambda: has(window.app[0], pyatspi.STATE_ACTIVE)):
            sys.exit("the window never took the keyboard focus")
        window.tab_to("Connect", "push button", "start")
        window.key(KEY_SPACE)
        query = window.named("Query Para", "push button")
        if not window.wait_until(lambda: has(query, pyatspi.STATE_SENSITIVE)):
            sys.exit("Space on \"Connect\" did not connect: " + window.log_text())
        pages_tree = window.named("Reader", "page tab").parent.parent
        walked = 0
        for outer, inners in PAGES:
            for inner in inners or [None]:
                page = outer + (" / " + inner if inner else "")
                tab_lists = [a for a in shown_tree(window.app) if role(a) == "page tab list"]
                showing = [t.name for t in tab_lists]
                if outer not in showing or (inner and inner not in showing):
                    fail(page, f"the keys led to {showing}")
                    continue
                window.tab_to("Query Para", "push button", page)
                lines = window.log_text().count("\n")
                window.key(KEY_RETURN)
                if not window.wait_until(lambda: "Query" in window.log_text().splitlines()[-1]
                                         and window.log_text().count("\n") > lines):
                    fail(page, "Enter on \"Query Para\" did not query the page")
                shown = list(shown_tree(window.app))
                check_names(page, shown)
                check_keyboard(page, window, shown, pages_tree)
                if inner == "Frequency":
                    check_channel_space(page, window)
                walked += 1
                if inner and inner != inners[-1]:
                    # Ctrl+Tab, as Qt gives every tab control, from within the inner page.
                    window.tab_to(inner, "page tab list", page)
                    window.key(KEY_TAB, control=True)
                else:
                    window.tab_to("Query Para", "push button", page)
                    window.key(KEY_PAGE_DOWN, control=True)
                pump(0.3)
        print(f"{walked} pages walked, {len(failures)} findings")
    finally:
        window.close()
    for finding in failures:
        print(finding)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
