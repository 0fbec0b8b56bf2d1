#include "PageHarness.h"

#include "PageTree.h"
#include "WindowFont.h"

#include <QTest>

PageHarness::PageHarness() : window(new QWidget)
{
    window->setFont(windowFont());
    window->resize(740, 560);
    pageControl1 = buildPageTree(window.get(), places);
    pageControl2 = pageControl1->findChild<QTabWidget*>(QStringLiteral("PageControl2"));
    pageControl5 = pageControl1->findChild<QTabWidget*>(QStringLiteral("PageControl5"));
}

void PageHarness::show(int outer, int inner)
{
    pageControl1->setCurrentIndex(outer);
    if (outer == 0)
        pageControl2->setCurrentIndex(inner);
    if (outer == 1)
        pageControl5->setCurrentIndex(inner);
}

bool PageHarness::showWindow(int outer, int inner)
{
    show(outer, inner);
    window->show();
    return QTest::qWaitForWindowExposed(window.get());
}

QString roomShortfall(QWidget* sheet)
{
    const QSize needed = sheet->minimumSizeHint();
    if (needed.width() <= sheet->width() && needed.height() <= sheet->height())
        return QString();
    return QStringLiteral("%1 needs %2x%3, its tab area is %4x%5")
        .arg(sheet->objectName()).arg(needed.width()).arg(needed.height()).arg(sheet->width()).arg(sheet->height());
}

PageContext RecordingContext::context()
{
    PageContext context;
    context.handle = [] { return uint32_t(7); };
    context.log = [this](const QString& line) { lines.append(line); };
    return context;
}

ClosingLineTexts closingLines(const QString& subject)
{
    return {QStringLiteral("Setup %1 Successfully !").arg(subject), QStringLiteral("Setup %1 Failed !").arg(subject),
            QStringLiteral("Query %1 Successfully !").arg(subject), QStringLiteral("Query %1 Failed !").arg(subject)};
}
