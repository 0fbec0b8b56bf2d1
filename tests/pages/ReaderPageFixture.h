// What every page test over the virtual reader starts from: readersim with the
// row's options, the real device library opened on it over TCP, the window's
// page tree, and a page context on that handle that keeps the log's lines.
// And what a sheet's controls show, to compare after a setup and a query.
#pragma once

#include "ControlFinder.h"
#include "PageHarness.h"
#include "PageRoutines.h"
#include "SimArguments.h"
#include "SimProcess.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class ReaderPageFixture {
public:
    // Starts readersim with simOptions and opens the reader on its TCP port.
    explicit ReaderPageFixture(const QStringList& simOptions = {});
    // Closes the reader if it is still open; readersim stops after it.
    ~ReaderPageFixture();

    ReaderPageFixture(const ReaderPageFixture&) = delete;
    ReaderPageFixture& operator=(const ReaderPageFixture&) = delete;

    // Empty once readersim serves TCP and the reader is open; else what went wrong.
    const QString& failure() const { return failure_; }
    uint32_t handle() const { return handle_; }
    void closeReader();

    // The round trip of a page through the reader: choose() sets its controls
    // and the page is set up; then change() sets every control to something
    // else, so the query that follows has to bring each one back.
    void setupThenQuery(PageRoutines& page, const std::function<void()>& choose, const std::function<void()>& change);

    // A tab sheet, or a tab widget, of the page tree by designer name.
    template <typename Sheet = QWidget>
    Sheet* sheet(const char* name) const
    {
        return child<Sheet>(tree.pageControl1, name);
    }

    PageHarness tree;
    RecordingContext rec;
    PageContext context;   // rec's log, this reader's handle

private:
    SimProcess sim_;
    uint32_t handle_ = 0;
    QString failure_;
};

// Every value control under sheet as "key=value", in creation order: a check
// box or radio button "1" or "0", a list its item index, an edit field its
// text. The key is the designer name, or "RadioGroupN/caption" for a radio
// group's button, which has none.
QStringList sheetValues(QWidget* sheet);

// Sets the controls named in "key=value" settings, in that form, as the operator would.
void applySheetValues(QWidget* sheet, const QStringList& settings);
