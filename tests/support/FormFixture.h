// Shared helpers of the window tests over the device library's test double: a
// shown main window on a fresh fake reader. The operator's actions and the
// log's lines come from WindowProbe.h.
#pragma once

#include "FakeReader.h"
#include "WindowProbe.h"
#include "ErrorBox.h"
#include "MainWindow.h"

#include <QStringList>
#include <QTest>

#include <memory>

namespace formtest {

// A new window over a fresh test double, shown as at start-up.
inline std::unique_ptr<MainWindow> showForm(QStringList* errorBoxes = nullptr)
{
    fake::reset();
    setErrorBoxSinkForTesting([errorBoxes](const QString& text) {
        if (errorBoxes)
            errorBoxes->append(text);
    });
    auto form = std::make_unique<MainWindow>();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("window not exposed");
    return form;
}

} // namespace formtest
