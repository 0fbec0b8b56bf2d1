// Whether every text of a window fits its control, judged from what the style
// draws: the check box's, radio button's, button's and label's text, the
// group box's title, every item of a drop-down list, every item of a list
// (its text within the item, the item shown whole), and the widest value an
// edit field must show (its largest number, its longest code, an address of
// four three-digit parts), the cursor after it as typing leaves it. A control
// of the same kind, font and style draws the text once at the control's size
// and once with room to spare; a text drawn narrower at the control's size is cut, and
// a button's caption keeps kTextClearance pixels clear of its frame. So the
// check measures on its own, apart from the window's fitting code.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// One line for every shown control below root whose text is cut ("ComboBox2:
// '9600   bps' needs 58 px, has 55"), for every list item cut by its list's
// edge ("CheckListBox1: item 'Freq 19' shows only in part"), for every edit
// field whose widest value the check does not know, and for every two shown
// sibling controls that overlap. A label's footprint is where its text is drawn, with
// kTextClearance pixels on either side where it is placed by hand, so a label
// touching the control beside it counts as overlapping it. A control lying
// wholly inside a sibling container (a button in front of the tab pages) is
// not an overlap.
QStringList textFitFindings(QWidget* root);

constexpr int kTextClearance = 2;

// Shows every page of every tab control below root in turn, the inner tab
// controls' pages within each outer one, lets the window settle (layouts,
// painting) and calls visit with the page's tab captions ("RF Parameter /
// Antenna  Power"). Leaves the first tab of each control showing.
void forEachPage(QWidget* root, const std::function<void(const QString& page)>& visit);

// Delivers what showing or changing controls posted: layouts, fonts, painting.
void settle();
