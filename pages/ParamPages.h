// The parameter pages of the window: builds each page into the tab sheet the
// tab tree placed it on when the page is first wanted, and routes "Query Para"
// / "Setup Para" to the page showing.
//
// The Page* types of pages/, and which is what:
//   ParamPages      all the pages, this file: which runs, when each is built
//   PagePlace(s)    where a page stands (its sheet) and how it is built (PagePlaces.h)
//   PageRoutines    one page as the window calls it: query, setup, stored bytes
//   StepPage        a page of one setup and one query routine, most pages' base
//   PageStep.h      a routine's steps and the rows (ParaRow) a page describes its parameters by
//   PageContext     what a routine needs from the window: the handle, the log
//   PageWidgets.h   how a page builds its controls: grid, number field, label-with-field row
//   <Name>Page      one tab page: its controls, rules, rows and routines
#pragma once

#include "PageContext.h"
#include "PagePlaces.h"
#include "PageStep.h"

#include <functional>
#include <memory>
#include <vector>

class QObject;

class ParamPages {
public:
    // Builds no page yet: a page's controls are built as its sheet first
    // shows, or when a routine, a profile or a connect first needs them.
    // whenBuilt, if given, runs on a sheet once its page stands in it.
    ParamPages(const PagePlaces& places, PageContext context, std::function<void(QWidget* sheet)> whenBuilt = {});
    ~ParamPages();

    // Run the query or setup routine of the page showing now; nothing when no
    // page shows. A conversion error escapes as ConversionError; the caller
    // shows the error box.
    void query();
    void setup();
    // Runs the setup routine of every page in turn, in the tree's order, each
    // with its own lines, as "Setup Para" on each would.
    void setupEvery();

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

    // The bytes "Setup Para" on para's page would write to para now, formed
    // from the page's controls through its own setup step, without a call:
    // empty when there is nothing to write (an empty code field), nullopt when
    // the value is missing (a list showing no selection) or no page writes
    // para. Builds the pages it looks at. A ConversionError of the field leaves.
    std::optional<ParaBytes> setupBytes(const Para& para);

    // Builds every page not built yet, in the tree's order.
    void buildAll();

private:
    struct Place {
        PagePlace where;
        std::unique_ptr<PageRoutines> page;   // none until first wanted
    };
    PageRoutines& built(Place& place);
    PageRoutines* showing();

    PageContext context_;
    std::function<void(QWidget*)> whenBuilt_;
    std::vector<Place> places_;
    std::unique_ptr<QObject> firstShowWatcher_;
};
