// The application's error box: the one dialog of the program, shown when an
// operation meets a text that is not a whole number. Caption "Setup", error
// icon, one OK button.
#pragma once

#include "IntegerText.h"

#include <QString>

#include <functional>

class QWidget;

// Shows the box with message, a full stop appended when it does not end in one.
void showErrorBox(QWidget* parent, const QString& message);

// The box's text for a conversion error: "'abc' is not a valid integer value."
QString conversionErrorMessage(const ConversionError& error);

// Tests replace the modal box with a recorder; pass an empty function to restore it.
// The recorder receives the finished text, full stop included.
void setErrorBoxSinkForTesting(std::function<void(const QString&)> sink);

// Runs an operator-facing handler; a conversion error ends it where it stands
// and shows the error box. Nothing is logged and no exception leaves the handler.
template <typename Handler>
void runGuarded(QWidget* parent, Handler&& handler)
{
    try {
        handler();
    } catch (const ConversionError& error) {
        showErrorBox(parent, conversionErrorMessage(error));
    }
}
