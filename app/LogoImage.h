// Image1: the program's logo in the top-left corner, stretched to its box.
#pragma once

#include <QLabel>

class LogoImage : public QLabel {
    Q_OBJECT
public:
    // The box at geometry in parent, showing the program's logo.
    LogoImage(QWidget* parent, const QRect& geometry);

    // Shows the picture decoded from jpegBytes, no larger than the box needs;
    // a picture that does not decode leaves the box empty.
    void showJpeg(const QByteArray& jpegBytes);
};
