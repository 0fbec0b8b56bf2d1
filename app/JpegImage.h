// Decoding a JPEG held in memory with libjpeg itself (not Qt's image plugins).
#pragma once

#include <QByteArray>
#include <QImage>

// The picture as a 24-bit RGB image, or a null image when the bytes are not a
// JPEG that libjpeg can turn into RGB (damaged, empty, CMYK, absurdly large).
QImage decodeJpeg(const QByteArray& bytes);
