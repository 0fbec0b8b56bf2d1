// Where the window's parameter pages stand. The tab tree places each page on
// its tab sheet with one line (app/PageTree.cpp); "Query Para" and "Setup Para"
// find the page showing among these places, and each place can build its page
// when it is wanted.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"
#include "TabOrder.h"

#include <memory>
#include <type_traits>
#include <vector>

class QWidget;

struct PagePlace {
    QWidget* sheet = nullptr;   // the tab sheet the page's controls go into
    std::unique_ptr<PageRoutines> (*build)(QWidget* sheet, const PageContext& context) = nullptr;
    // The page reads the reader after every connect, so a connect needs it built.
    bool readsAfterConnect = false;
};

// In the order of the tab tree.
using PagePlaces = std::vector<PagePlace>;

// Builds a page module P into its sheet. Tab enters the page from its tab bar.
template <typename P>
std::unique_ptr<PageRoutines> makePage(QWidget* sheet, const PageContext& context)
{
    auto page = std::make_unique<P>(sheet, context);
    tabIntoSheetFromItsTabs(sheet);
    return page;
}

// The builder of a page module P, for the tab tree to give a sheet. A module
// reads after a connect exactly when it overrides PageRoutines::afterConnect.
template <typename P>
constexpr PagePlace buildPage{nullptr, makePage<P>,
                              !std::is_same_v<decltype(&P::afterConnect), void (PageRoutines::*)()>};
