// The message log's line format and numbering: the number is the count of
// lines the log displays plus one, whatever put them there.
#include "TestClasses.h"
#include "FormFixture.h"

#include "MessageLog.h"

#include <QDateTime>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

using namespace formtest;

namespace {

MessageLog* memo(QWidget* form)
{
    return child<MessageLog>(form, "Memo1");
}

// The operator types at the end of the log; '\n' is the Enter key.
void typeAtEnd(QWidget* form, const QString& text)
{
    MessageLog* log = memo(form);
    log->moveCursor(QTextCursor::End);
    for (QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(log, Qt::Key_Return);
        else
            QTest::keyClicks(log, QString(c));
    }
}

// How many lines the widget shows for the last block, measured from the
// caret's rectangle at its first and last character.
int displayedLinesOfLastBlock(MessageLog* log)
{
    QTextCursor cursor(log->document()->lastBlock());
    const QRect first = log->cursorRect(cursor);
    cursor.movePosition(QTextCursor::EndOfBlock);
    const QRect last = log->cursorRect(cursor);
    return (last.top() - first.top()) / first.height() + 1;
}

} // namespace

class MessageLogTest : public QObject {
    Q_OBJECT
private slots:
    void numbering_data();
    void numbering();
    void wrappedLineCountsPerDisplayedLine();
    void lineFormat();
    void timeWithoutZone_data();
    void timeWithoutZone();
    void scrollsToNewLine();
    void clearInfoLogsNothing();
};

void MessageLogTest::numbering_data()
{
    QTest::addColumn<QStringList>("actions"); // "log:<message>", "type:<text>", "clear"
    QTest::addColumn<int>("nextNumber");
    QTest::addColumn<QString>("lastLines"); // the log's last lines without numbers and times, '|' between

    QTest::newRow("after start") << QStringList{} << 2 << "Program Running !";
    QTest::newRow("counts up") << QStringList{"log:a", "log:b"} << 4 << "Program Running !|a|b";
    QTest::newRow("Clear Info restarts at 1") << QStringList{"log:a", "clear"} << 1 << "";
    QTest::newRow("Clear Info twice") << QStringList{"clear", "log:a", "clear"} << 1 << "";
    QTest::newRow("typed line counts") << QStringList{"type:\nhello"} << 3 << "Program Running !|hello";
    QTest::newRow("typed lines count") << QStringList{"type:\nx\ny\nz"} << 5 << "Program Running !|x|y|z";
    QTest::newRow("empty last line does not count, and is filled")
        << QStringList{"type:\n"} << 2 << "Program Running !";
    QTest::newRow("typed into an empty log") << QStringList{"clear", "type:note"} << 2 << "note";
    QTest::newRow("typed onto the last line counts nothing") << QStringList{"type: more"} << 2 << "Program Running ! more";
}

void MessageLogTest::numbering()
{
    QFETCH(QStringList, actions);
    QFETCH(int, nextNumber);
    QFETCH(QString, lastLines);

    auto form = showForm();
    for (const QString& action : actions) {
        if (action == QLatin1String("clear"))
            click(form.get(), "BitBtn2");
        else if (action.startsWith(QLatin1String("log:")))
            form->log(action.mid(4));
        else
            typeAtEnd(form.get(), action.mid(5));
    }
    QStringList before;
    for (const LogLine& line : logLines(form.get()))
        before << line.message;
    QCOMPARE(before.join(u'|'), lastLines);

    form->log(QStringLiteral("next"));
    const QList<LogLine> lines = logLines(form.get());
    QCOMPARE(lines.last().message, QStringLiteral("next"));
    QCOMPARE(lines.last().number, nextNumber);
    QVERIFY2(!memo(form.get())->toPlainText().contains(QStringLiteral("\n\n")), "no blank line is left before the new one");
}

void MessageLogTest::wrappedLineCountsPerDisplayedLine()
{
    auto form = showForm();
    QString longMessage;
    for (int i = 0; i < 60; ++i)
        longMessage += QStringLiteral("word%1 ").arg(i);
    form->log(longMessage);
    const int wrapped = displayedLinesOfLastBlock(memo(form.get()));
    QVERIFY2(wrapped >= 2, "the message is long enough to wrap");

    form->log(QStringLiteral("after"));
    // "Program Running !" takes one line, the long message `wrapped` lines.
    QCOMPARE(logLines(form.get()).last().number, 1 + wrapped + 1);
}

void MessageLogTest::lineFormat()
{
    auto form = showForm();
    click(form.get(), "BitBtn2");
    const QTime before = QTime::currentTime();
    form->log(QStringLiteral("Open Reader Successfully !"));
    const QString text = memo(form.get())->toPlainText();
    const QString time = logLines(form.get()).first().time;
    QCOMPARE(text, QStringLiteral("1   ") + time + QStringLiteral("  :  Open Reader Successfully !"));
    QVERIFY2(isLongTimeSince(time, before), qPrintable(time));
    // The operator's clock carries no time zone ("21:41:23", not "21:41:23 UTC").
    const QString zone = QDateTime::currentDateTime().timeZoneAbbreviation();
    QVERIFY2(zone.isEmpty() || !time.contains(zone), qPrintable(time));
}

void MessageLogTest::timeWithoutZone_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zone at the end, as Qt gives it on Linux") << "HH:mm:ss t" << "HH:mm:ss";
    QTest::newRow("no zone") << "HH:mm:ss" << "HH:mm:ss";
    QTest::newRow("zone first") << "t HH:mm:ss" << "HH:mm:ss";
    QTest::newRow("zone between time and AM/PM") << "h:mm:ss t AP" << "h:mm:ss AP";
    QTest::newRow("long zone names") << "HH:mm:ss tttt" << "HH:mm:ss";
    QTest::newRow("quoted t kept") << "H 'hat' mm 'time' t" << "H 'hat' mm 'time'";
    QTest::newRow("escaped quote kept") << "HH'''t''' t" << "HH'''t'''";
}

void MessageLogTest::timeWithoutZone()
{
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(timeFormatWithoutZone(format), expected);
}

void MessageLogTest::scrollsToNewLine()
{
    auto form = showForm();
    for (int i = 0; i < 40; ++i)
        form->log(QStringLiteral("line %1").arg(i));
    QScrollBar* bar = memo(form.get())->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    click(form.get(), "BitBtn2");
    QCOMPARE(bar->value(), 0);
}

void MessageLogTest::clearInfoLogsNothing()
{
    auto form = showForm();
    form->log(QStringLiteral("a"));
    click(form.get(), "BitBtn2");
    QCOMPARE(memo(form.get())->toPlainText(), QString());
    QVERIFY2(fake::callsOf().empty(), "Clear Info calls no library function");
}

TEST_CLASS(MessageLogTest)
#include "MessageLogTest.moc"
