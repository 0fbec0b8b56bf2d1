#include "MessageLog.h"

#include "AccessibleNames.h"

#include <QAbstractTextDocumentLayout>
#include <QLocale>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTime>

QString timeFormatWithoutZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't') {
            out += c;
            continue;
        }
        // A run of 't' is the zone (its name, offset or id): drop it and one blank beside it.
        while (i + 1 < format.size() && format.at(i + 1) == u't')
            ++i;
        if (out.endsWith(u' '))
            out.chop(1);
        else if (i + 1 < format.size() && format.at(i + 1) == u' ')
            ++i;
    }
    return out.trimmed();
}

MessageLog::MessageLog(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Memo1"));
    nameControl(this, QStringLiteral("Message log"));
    // Tab leaves the log: it takes no tab characters, so it holds no keyboard user.
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The designer's placeholder content; the window clears it when first shown.
    setPlainText(QStringLiteral("Memo1"));
}

int MessageLog::displayedLineCount() const
{
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const QTextBlock last = document()->lastBlock();
    int lines = 0;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        if (block == last && block.text().isEmpty())
            break;
        // Asking for the block's rectangle makes the layout wrap the block at
        // the current width, also when it is scrolled out of view.
        layout->blockBoundingRect(block);
        const QTextLayout* blockLayout = block.layout();
        lines += blockLayout && blockLayout->lineCount() > 0 ? blockLayout->lineCount() : 1;
    }
    return lines;
}

void MessageLog::log(const QString& message)
{
    const QLocale locale = QLocale::system();
    const QString time = locale.toString(QTime::currentTime(), timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
    const QString line = QString::number(displayedLineCount() + 1) + QStringLiteral("   ") + time + QStringLiteral("  :  ")
        + message;

    // Append without moving the operator's caret; an empty last line takes the
    // new text itself, as it is not counted as a line.
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!cursor.block().text().isEmpty())
        cursor.insertBlock();
    cursor.insertText(line);

    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

void MessageLog::clearLog()
{
    clear();
    verticalScrollBar()->setValue(0);
}
