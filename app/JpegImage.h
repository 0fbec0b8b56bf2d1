// Decoding a JPEG held in memory with libjpeg itself (not Qt's image plugins).
#pragma once

#include <QByteArray>
#include <QImage>

#include <QSize>

// The picture as a 24-bit RGB image, or a null image when the bytes are not a
// JPEG that libjpeg can turn into RGB (damaged, empty, CMYK, absurdly large).
// With atLeast given, the picture is decoded at the smallest of libjpeg's
// scales (an eighth to the whole) that still covers atLeast: a picture shown
// smaller than it is costs less to decode and to keep.
QImage decodeJpeg(const QByteArray& bytes, QSize atLeast = {});
