// What the text of a control needs and the room its style gives the text, at
// the control's present font: the check box's and radio button's text area,
// the drop-down list's edit field (for its widest item), the label's contents,
// the group box's title, the button's contents less a small inset.
#pragma once

#include <QString>

#include <optional>

class QLineEdit;
class QWidget;

struct TextRoom {
    int needed = 0;   // pixels the widest text takes
    int room = 0;     // pixels the style leaves it
    bool fits() const { return needed <= room; }
};

// Nothing for a control that shows no fixed text of its own (an edit field, a
// word-wrapped or empty label, a control of another kind).
std::optional<TextRoom> textRoom(const QWidget* control);

// What text needs in an edit field, the caret after it, and the room the
// field's style leaves it at the field's present width and font.
TextRoom fieldTextRoom(const QLineEdit* field, const QString& text);

// Everything the control's text depends on: its text, or all its items. A
// change of it means the control must be fitted again.
QString textKey(const QWidget* control);
