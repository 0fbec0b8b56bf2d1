// What the window's tests do and read as the operator would, whatever library
// stands behind the window: choose a list item, click a button, read a status
// bar panel, the message log's lines and which pages the window has.
#pragma once

#include "ControlFinder.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QList>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStringList>
#include <QTabWidget>
#include <QTest>
#include <QTime>

#include <functional>

namespace formtest {

// The operator picks an item of a drop-down list.
inline void choose(QWidget* form, const char* comboName, const QString& item)
{
    auto* combo = child<QComboBox>(form, comboName);
    const int index = combo->findText(item);
    if (index < 0)
        qFatal("no item %s", qPrintable(item));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

inline void click(QWidget* form, const char* buttonName)
{
    QTest::mouseClick(child(form, buttonName), Qt::LeftButton);
}

inline QString panel(QWidget* form, int index)
{
    return child<QLabel>(form, QStringLiteral("StatusBar1Panel%1").arg(index))->text();
}

struct LogLine {
    int number = 0;
    QString time;
    QString message;
};

// Every line of the log split into number, time and message; a line not in
// the log's format gives number 0 and the whole text as message.
inline QList<LogLine> logLines(QWidget* form)
{
    static const QRegularExpression format(QStringLiteral("^(\\d+)   (.+?)  :  (.*)$"));
    QList<LogLine> out;
    const QStringList lines = child<QPlainTextEdit>(form, "Memo1")->toPlainText().split(u'\n');
    for (const QString& text : lines) {
        if (text.isEmpty())
            continue;
        const auto match = format.match(text);
        if (match.hasMatch())
            out.append({match.captured(1).toInt(), match.captured(2), match.captured(3)});
        else
            out.append({0, QString(), text});
    }
    return out;
}

// Whether text is the system's long time format of a moment between since and
// now, without the time zone that format carries on Linux ("21:41:23", not
// "21:41:23 UTC").
inline bool isLongTimeSince(const QString& text, const QTime& since)
{
    const QString zone = QDateTime::currentDateTime().timeZoneAbbreviation();
    if (!zone.isEmpty() && text.contains(zone))
        return false;
    // Seconds since `since`, across midnight too (addSecs wraps the same way).
    const int elapsed = (since.secsTo(QTime::currentTime()) + 86400) % 86400;
    for (int s = 0; s <= elapsed + 1 && s <= 61; ++s) {
        QString withZone = QLocale::system().toString(since.addSecs(s), QLocale::LongFormat);
        if (!zone.isEmpty())
            withZone.remove(zone);
        if (withZone.simplified() == text)
            return true;
    }
    return false;
}

// The window's pages: the sheets of its tab tree that hold no tab control of
// their own, in the tree's order.
inline QList<QWidget*> pageSheets(QWidget* form)
{
    QList<QWidget*> pages;
    const std::function<void(QTabWidget*)> walk = [&](QTabWidget* tabs) {
        for (int i = 0; i < tabs->count(); ++i) {
            QWidget* sheet = tabs->widget(i);
            if (auto* inner = sheet->findChild<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly))
                walk(inner);
            else
                pages << sheet;
        }
    };
    walk(child<QTabWidget>(form, "PageControl1"));
    return pages;
}

// Those of wanted that list holds, in list's order: what the window's own pages
// make found among whatever pages it has.
inline QStringList inOrderOf(const QStringList& list, const QStringList& wanted)
{
    QStringList found;
    for (const QString& item : list)
        if (wanted.contains(item))
            found << item;
    return found;
}

// The log's messages without line numbers and times.
inline QStringList logMessages(QWidget* form)
{
    QStringList out;
    for (const LogLine& line : logLines(form))
        out << line.message;
    return out;
}

} // namespace formtest
