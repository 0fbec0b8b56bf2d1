#include "MessageLog.h"

#include <QAbstractTextDocumentLayout>
#include <QLocale>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTime>

MessageLog::MessageLog(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Memo1"));
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
    const QString line = QString::number(displayedLineCount() + 1) + QStringLiteral("   ")
        + QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat) + QStringLiteral("  :  ")
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
