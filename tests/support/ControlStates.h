// What every control of a page shows, as text, so that two windows can be
// compared page by page without naming their controls: each check box, radio
// button, drop-down list (selection and items), edit field, check list (items
// and their check marks), track bar, label and menu entry below the page, with
// its enabled state.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

struct ControlState {
    QString name;    // the designer name; "RadioGroup2/Single Tag" for an unnamed button of a named group
    QString kind;    // "check box", "list", ...
    QString state;   // "checked, enabled", "2 '57600bps' of [...], enabled", ...
};

// Every control below page, in the order they were made.
QList<ControlState> controlStates(QWidget* page);

// The first control whose state differs between left and right (or that only one
// of them has), as a sentence naming it and both states; nothing when they agree.
// Controls for which skip says true are left out.
std::optional<QString> firstDifference(const QList<ControlState>& left, const QList<ControlState>& right,
                                       const std::function<bool(const QString& name)>& skip = {});

// The page showing now: the current tab of the innermost tab control showing below root.
QWidget* pageShowing(QWidget* root);
