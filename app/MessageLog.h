// The message log (Memo1): every outcome of the program becomes one numbered,
// time-stamped line here. The operator may type into it too.
#pragma once

#include <QPlainTextEdit>

class MessageLog : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MessageLog(QWidget* parent = nullptr);

    // Appends "n   <long time>  :  message" and scrolls to it; n is the number
    // of lines displayed now plus one.
    void log(const QString& message);

    // Removes every line; the next line is numbered 1 again.
    void clearLog();

    // Lines as displayed: a wrapped line counts once per displayed line, an
    // empty last line not at all.
    int displayedLineCount() const;
};

// A time format without its time zone: on Linux Qt's long time format ends in
// the zone ("HH:mm:ss t"), which the operator's clock does not show. Quoted
// literal text is kept as it is.
QString timeFormatWithoutZone(const QString& format);
