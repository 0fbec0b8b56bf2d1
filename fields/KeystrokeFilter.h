// A character filter for an edit field: each character is kept, changed into
// another, or discarded. As a validator it filters everything that reaches the
// field (typed, pasted, dropped, or set by a routine); on its field it also
// swallows a typed key whose characters it would all discard, so that such a
// key does nothing at all (a selection stays selected).
#pragma once

#include <QChar>
#include <QValidator>

class QLineEdit;

class KeystrokeFilter : public QValidator {
    Q_OBJECT
public:
    // The character the field takes in place of c, or a null QChar to discard c.
    virtual QChar admit(QChar c) const = 0;

    // Every character of text passed through admit(), the discarded ones dropped.
    QString filtered(const QString& text) const;

    // Makes this filter the validator of field (which becomes its parent) and
    // lets it see the field's key presses.
    void installOn(QLineEdit* field);

    State validate(QString& input, int& pos) const override;

protected:
    explicit KeystrokeFilter(QObject* parent = nullptr) : QValidator(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
};
