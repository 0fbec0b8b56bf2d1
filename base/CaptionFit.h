// Captions sized for the designer's narrow 8-point font can be wider in the
// platform's sans serif. Rather than clip such a caption, the control gets the
// same font narrowed just enough to fit its fixed width.
#pragma once

class QAbstractButton;
class QLabel;

// A button's caption within the button's width.
void fitCaption(QAbstractButton* button);

// A label's text within availableWidth (up to the control beside it).
void fitCaption(QLabel* label, int availableWidth);
