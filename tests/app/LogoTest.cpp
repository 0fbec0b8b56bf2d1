// The logo: decoded by libjpeg from the program's resources, shown stretched
// in Image1; bytes that are not a usable JPEG show nothing and crash nothing.
#include "TestClasses.h"
#include "FormFixture.h"

#include "JpegImage.h"
#include "LogoImage.h"

#include <QFile>

using namespace formtest;

namespace {

QByteArray logoBytes()
{
    QFile file(QStringLiteral(":/logo/tagdesk-logo.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class LogoTest : public QObject {
    Q_OBJECT
private slots:
    void embeddedLogoIsColour640x480();
    void shownStretchedInImage1();
    void unusableBytes_data();
    void unusableBytes();
};

void LogoTest::embeddedLogoIsColour640x480()
{
    const QByteArray bytes = logoBytes();
    QVERIFY2(!bytes.isEmpty(), "the logo is among the program's resources");
    const QImage image = decodeJpeg(bytes);
    QCOMPARE(image.size(), QSize(640, 480));
    QVERIFY2(!image.isGrayscale(), "a colour picture");
    // Decoded for a box: the smallest eighth that covers it, never more than the whole.
    QCOMPARE(decodeJpeg(bytes, QSize(155, 102)).size(), QSize(160, 120));
    QCOMPARE(decodeJpeg(bytes, QSize(161, 102)).size(), QSize(240, 180));
    QCOMPARE(decodeJpeg(bytes, QSize(1000, 10)).size(), QSize(640, 480));
}

void LogoTest::shownStretchedInImage1()
{
    auto form = showForm();
    auto* image1 = child<LogoImage>(form.get(), "Image1");
    QVERIFY(image1->hasScaledContents());
    QCOMPARE(image1->pixmap().size(), QSize(160, 120));   // the 640 x 480 picture decoded for the 155 x 102 box
}

void LogoTest::unusableBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray logo = logoBytes();

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a JPEG") << QByteArray("GIF89a this is not a jpeg at all");
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("header cut short") << logo.left(40);
    QTest::newRow("frame header damaged") << [&] {
        QByteArray damaged = logo;
        const int sof = damaged.indexOf(QByteArray("\xFF\xC0", 2));
        if (sof >= 0)
            damaged.replace(sof + 5, 4, QByteArray(4, '\0')); // zero width and height
        return damaged;
    }();
}

void LogoTest::unusableBytes()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(decodeJpeg(bytes).isNull());

    auto form = showForm();
    auto* image1 = child<LogoImage>(form.get(), "Image1");
    image1->showJpeg(bytes);
    QVERIFY2(image1->pixmap().isNull(), "nothing is shown");
}

TEST_CLASS(LogoTest)
#include "LogoTest.moc"
