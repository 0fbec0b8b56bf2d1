// The order in which Tab visits the controls of the window.
#pragma once

class QTabWidget;
class QWidget;

// The tab control sheet is a page of, or nullptr.
QTabWidget* tabControlOf(const QWidget* sheet);

// Tab goes from the tab bar of the tab control holding sheet into the
// controls of sheet, in the order they have among themselves. A page built
// after the rest of the window would otherwise be reached only after the
// message log, its tab bar after it.
void tabIntoSheetFromItsTabs(QWidget* sheet);
