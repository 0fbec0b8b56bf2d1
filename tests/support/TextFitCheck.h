// Whether every text of a window fits its control as the style draws it: the
// check box's and radio button's text area, the drop-down list's edit field
// (the current item and every other one), the label's contents, the group
// box's title, the button's contents, a list item's text area (and the item
// shown whole where its list shows it). Measured here on its own, apart from the
// window's fitting code, so that the check does not share its mistakes.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// One line for every shown control below root whose text is wider than its
// room ("ComboBox2: '9600   bps' needs 58 px, has 55"), for every list item cut
// by its list's edge ("CheckListBox1: item 'Freq 19' shows only in part"), and for every two shown
// sibling controls that overlap. A label's footprint is where its text stands,
// with kTextClearance pixels on either side where it is placed by hand, so a
// label touching the control beside it counts as overlapping it. A control lying wholly inside a sibling
// container (a button in front of the tab pages) is not an overlap.
QStringList textFitFindings(QWidget* root);

constexpr int kTextClearance = 2;

// Shows every page of every tab control below root in turn, the inner tab
// controls' pages within each outer one, lets the window settle (layouts,
// painting) and calls visit with the page's tab captions ("RF Parameter /
// Antenna  Power"). Leaves the first tab of each control showing.
void forEachPage(QWidget* root, const std::function<void(const QString& page)>& visit);

// Delivers what showing or changing controls posted: layouts, fonts, painting.
void settle();
