#include "LogoImage.h"

#include "JpegImage.h"

#include <QFile>
#include <QPixmap>

namespace {
const QString kLogoResource = QStringLiteral(":/logo/tagdesk-logo.jpg");
}

LogoImage::LogoImage(QWidget* parent, const QRect& geometry)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setGeometry(geometry);
    setScaledContents(true);
    QFile file(kLogoResource);
    if (file.open(QIODevice::ReadOnly))
        showJpeg(file.readAll());
}

void LogoImage::showJpeg(const QByteArray& jpegBytes)
{
    const QImage image = decodeJpeg(jpegBytes, size());
    if (image.isNull())
        clear();
    else
        setPixmap(QPixmap::fromImage(image));
}
