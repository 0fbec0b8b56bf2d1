// Every text of the window fits its control, every edit field shows the
// widest value it may hold, and no two controls overlap, on every page: at
// start, with "TCP/IP" chosen (the reader's address), and after "Connect" and
// "Query Para" against readersim through the real device library.
#include "TestClasses.h"
#include "SimProcess.h"
#include "TextFitCheck.h"
#include "WindowProbe.h"
#include "ErrorBox.h"
#include "MainWindow.h"

#include <QTest>

using namespace formtest;

namespace {

// Each finding once, with the first place it was seen.
struct Findings {
    QStringList lines;
    QStringList seen;

    void add(const QString& where, const QStringList& found)
    {
        for (const QString& finding : found) {
            if (seen.contains(finding))
                continue;
            seen << finding;
            lines << finding + QStringLiteral("   [") + where + u']';
        }
    }
};

} // namespace

class TextFitTest : public QObject {
    Q_OBJECT
private slots:
    void everyPageBeforeAndAfterQuery();
};

void TextFitTest::everyPageBeforeAndAfterQuery()
{
    SimProcess sim;
    qputenv("READER_TCP_PORT", QByteArray::number(sim.tcpPort()));
    qputenv("READER_COM1", QByteArray::fromStdString(sim.ptyPath()));
    QStringList errorBoxes;
    setErrorBoxSinkForTesting([&](const QString& text) { errorBoxes << text; });

    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Findings findings;
    int pages = 0;

    forEachPage(&form, [&](const QString& page) {
        ++pages;
        findings.add(QStringLiteral("at start, ") + page, textFitFindings(&form));
    });

    choose(&form, "ComboBox1", QStringLiteral("TCP/IP"));
    settle();
    findings.add(QStringLiteral("TCP/IP chosen"), textFitFindings(&form));
    choose(&form, "ComboBox1", QStringLiteral("COM1"));

    click(&form, "Button1");
    QVERIFY2(logMessages(&form).contains(QStringLiteral("Open Reader Successfully !")), qPrintable(logMessages(&form).join(" | ")));
    forEachPage(&form, [&](const QString& page) {
        findings.add(QStringLiteral("after Connect, ") + page, textFitFindings(&form));
        click(&form, "BitBtn3");
        settle();
        findings.add(QStringLiteral("after Query Para, ") + page, textFitFindings(&form));
    });

    QVERIFY2(pages >= 7, qPrintable(QStringLiteral("%1 pages walked").arg(pages)));
    QVERIFY2(errorBoxes.isEmpty(), qPrintable(errorBoxes.join(" | ")));
    QVERIFY2(findings.lines.isEmpty(), qPrintable(u'\n' + findings.lines.join(u'\n')));
}

TEST_CLASS(TextFitTest)
#include "TextFitTest.moc"
