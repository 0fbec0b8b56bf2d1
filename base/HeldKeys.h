// A key held down repeats itself for as long as it is held, some thirty times
// a second. Every operation on the reader starts from one press of a button or
// of a shortcut, and each repeat would start it again: a held Return on "Setup
// Para" would rewrite the reader's stored settings until the key is let go.
// So in the window a repeat presses no button and fires no shortcut (Ctrl+S,
// Ctrl+O): one press, one operation, however long the key is held. Repeats
// still type into a field and move through a list or the tab pages.
#pragma once

class QWidget;

// Keeps the repeats of a held key from pressing window's buttons and from
// firing its shortcuts.
void ignoreHeldKeys(QWidget* window);
