// What every page test over the test double starts from: a fresh test double,
// the window's page tree, a log that keeps the page's lines, and the page built
// into its tab sheet (or, for a tab with inner pages, its tab widget).
#pragma once

#include "ControlFinder.h"
#include "FakeReader.h"
#include "PageHarness.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <type_traits>

template <typename Page, typename Sheet = QWidget>
struct FakePageFixture {
    std::unique_ptr<PageHarness> tree;
    std::unique_ptr<RecordingContext> rec;
    std::unique_ptr<Page> page;
    Sheet* sheet = nullptr;

    // Resets the test double and builds the page into the tree's sheet named
    // sheetName (a test of a whole tab builds its pages itself).
    void build(const char* sheetName)
    {
        tearDown();
        fake::reset();
        tree = std::make_unique<PageHarness>();
        rec = std::make_unique<RecordingContext>();
        sheet = child<Sheet>(tree->pageControl1, sheetName);
        if constexpr (std::is_constructible_v<Page, Sheet*, PageContext>)
            page = std::make_unique<Page>(sheet, rec->context());
    }
    // The page goes before the tree that holds its controls.
    void tearDown()
    {
        page.reset();
        tree.reset();
    }

    // A control of the page tree by designer name.
    template <typename W = QWidget>
    W* at(const QString& name)
    {
        return child<W>(tree->pageControl1, name);
    }
};
