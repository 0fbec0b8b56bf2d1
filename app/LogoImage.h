// Image1: the program's logo in the top-left corner, stretched to its box.
#pragma once

#include <QLabel>

class LogoImage : public QLabel {
    Q_OBJECT
public:
    explicit LogoImage(QWidget* parent = nullptr);

    // Shows the picture decoded from jpegBytes; a picture that does not decode
    // leaves the box empty.
    void showJpeg(const QByteArray& jpegBytes);
};
