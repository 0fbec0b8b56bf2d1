// Texts laid out for the designer's narrow 8-point font can be wider in the
// platform's sans serif. Rather than clip such a text, the control gets the
// same font narrowed just enough, down to a floor, to fit the room its style
// gives the text. A control placed by hand whose text does not fit even then
// takes a few pixels more width where nothing stands beside it; a label
// placed by hand takes the width of its text, up to the control beside it.
#pragma once

#include "TextRoom.h"

#include <QWidget>

#include <functional>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

// A button's caption within the button's width.
void fitCaption(QAbstractButton* button);

// A label's text within availableWidth (up to the control beside it); the
// label takes the size of its text.
void fitCaption(QLabel* label, int availableWidth);

// Narrows control's present font, down to the floor every fitted text keeps,
// until measure() says its text fits; whether it fits in the end. For a
// control that measures its text its own way (a list fitting its columns).
bool narrowFontToFit(QWidget* control, const std::function<TextRoom()>& measure);

// An edit field's widest value shown whole: the field widens to it, up to
// mostWidth pixels where its room is bounded (a field placed by hand), and
// its font narrows for what is still missing, down to the floor. The field
// never becomes narrower than it is.
void fitWidestValue(QLineEdit* field, const QString& widest, int mostWidth = QWIDGETSIZE_MAX);

// Fits every caption, label, list item, check box and radio button text and
// group title below root, and keeps them fitted: a control whose text has
// changed, or no longer fits its room, is fitted again before it is next
// painted. So a control is fitted once its page shows and its layout has
// given it its room, and again after a query rewrites its text or items.
// Run again after adding controls to root.
void keepCaptionsFitted(QWidget* root);
