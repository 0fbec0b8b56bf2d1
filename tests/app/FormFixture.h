// Shared helpers of the window tests: a shown main window over the device
// library's test double, operator actions, and the message log's lines.
#pragma once

#include "FakeReader.h"
#include "app/ErrorBox.h"
#include "app/Main.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStringList>
#include <QLocale>
#include <QTest>
#include <QTime>

#include <memory>

namespace formtest {

template <typename T = QWidget>
T* child(QWidget* form, const char* name)
{
    T* widget = form->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no control named %s", name);
    return widget;
}

// A new window over a fresh test double, shown as at start-up.
inline std::unique_ptr<TForm1> showForm(QStringList* errorBoxes = nullptr)
{
    fake::reset();
    setErrorBoxSinkForTesting([errorBoxes](const QString& text) {
        if (errorBoxes)
            errorBoxes->append(text);
    });
    auto form = std::make_unique<TForm1>();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("window not exposed");
    return form;
}

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
    return child<QLabel>(form, qPrintable(QStringLiteral("StatusBar1Panel%1").arg(index)))->text();
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

// Whether text is the system's long time format of a moment between since and now.
inline bool isLongTimeSince(const QString& text, const QTime& since)
{
    const QTime now = QTime::currentTime();
    for (QTime t = since; t <= now.addSecs(1); t = t.addSecs(1)) {
        if (QLocale::system().toString(t, QLocale::LongFormat) == text)
            return true;
        if (t.secsTo(now) > 60)
            break;
    }
    return false;
}

inline QStringList logMessages(QWidget* form)
{
    QStringList out;
    for (const LogLine& line : logLines(form))
        out << line.message;
    return out;
}

} // namespace formtest
