// The parameter pages of the window: builds each page into the tab sheet the
// tab tree placed it on, and routes "Query Para" / "Setup Para" to the page showing.
#pragma once

#include "PageContext.h"
#include "PagePlaces.h"
#include "PageStep.h"

#include <memory>
#include <vector>

class ParamPages {
public:
    // Builds the page of every place into its sheet, in the tree's order.
    ParamPages(const PagePlaces& places, PageContext context);
    ~ParamPages();

    // Run the query or setup routine of the page showing now; nothing when no
    // page shows. A conversion error escapes as ConversionError; the caller
    // shows the error box.
    void query();
    void setup();

    // After a successful connect: what each page reads then (the frequency
    // list refresh and the frequency plan read, so the channel lists match the reader).
    void afterConnect();

    // Puts stored bytes (a profile's) into every page's controls through the
    // pages' own query routines, without calling the library and without
    // logging. Addresses lookup has no bytes for keep what their controls show;
    // a value the query would skip in the mode shown (the server's address and
    // port outside client mode, the hopping mask on a fixed channel) is shown
    // all the same, in its greyed-out controls.
    void showStored(const StoredLookup& lookup);

private:
    PageRoutines* showing() const;

    struct Built {
        QWidget* sheet;
        std::unique_ptr<PageRoutines> page;
    };
    std::vector<Built> pages_;
};
