// The window's tab-page tree, empty and in the window's font, for the page
// tests; and a page context that records the log.
#pragma once

#include "PageContext.h"
#include "PagePlaces.h"

#include <QStringList>
#include <QTabWidget>

#include <memory>

struct PageHarness {
    PageHarness();

    std::unique_ptr<QWidget> window;      // stands for the main window: owns the tree
    QTabWidget* pageControl1 = nullptr;
    QTabWidget* pageControl2 = nullptr;   // "Work Mode", "Other Function"
    QTabWidget* pageControl5 = nullptr;   // "Antenna  Power", "Frequency", "Supported Protocol"
    PagePlaces places;                    // where the tree places each page (none is built)

    // Shows outer page outer and, where there is one, inner page inner.
    void show(int outer, int inner = 0);
    // The same with the window shown; whether the window got on screen.
    bool showWindow(int outer, int inner = 0);
};

// Empty when what sheet holds fits its tab area; else how much room it needs and has.
QString roomShortfall(QWidget* sheet);

// The reader handle 7 (the fake reader's) and a log kept in lines.
struct RecordingContext {
    QStringList lines;
    PageContext context();
};

// The lines a page's setup and query end with, for a subject such as "I/O Parameter".
struct ClosingLineTexts {
    QString setupOk, setupFailed, queryOk, queryFailed;
};
ClosingLineTexts closingLines(const QString& subject);
