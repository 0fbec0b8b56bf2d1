// The parameter pages of the window: builds each page's controls into its tab
// sheet and routes "Query Para" / "Setup Para" to the routine of the page showing.
#pragma once

#include "PageContext.h"
#include "PageDispatch.h"

#include <memory>

class QTabWidget;
class WorkModePage;
class AntennaPowerPage;
class FrequencyPage;
class SupportedProtocolPage;
class CommPortPage;
class FrameFormatPage;
class IoPage;

class ParamPages {
public:
    // pageControl1 is the window's outer tab control, with every tab sheet
    // already in place and named (TabSheet1 .. TabSheet19).
    ParamPages(QTabWidget* pageControl1, PageContext context);
    ~ParamPages();

    // Run the query or setup routine of the page showing now. A conversion
    // error escapes as ConversionError; the caller shows the error box.
    void query();
    void setup();

    // After a successful connect: the frequency list refresh and the frequency
    // plan read, so the channel lists match the reader.
    void afterConnect();

    // Puts stored bytes (a profile's) into every page's controls through the
    // pages' own query routines, without calling the library and without
    // logging. Addresses lookup has no bytes for keep what their controls show;
    // a value the query would skip in the mode shown (the server's address and
    // port outside client mode, the hopping mask on a fixed channel) is shown
    // all the same, in its greyed-out controls.
    void showStored(std::function<std::optional<std::vector<uint8_t>>(uint8_t address)> lookup);

private:
    Page showing() const;
    PageTargets targets() const;

    QTabWidget* outerTabs_;
    QTabWidget* rfTabs_;
    PageContext context_;
    std::unique_ptr<WorkModePage> workMode_;
    std::unique_ptr<AntennaPowerPage> antennaPower_;
    std::unique_ptr<FrequencyPage> frequency_;
    std::unique_ptr<SupportedProtocolPage> protocol_;
    std::unique_ptr<CommPortPage> commPort_;
    std::unique_ptr<FrameFormatPage> frameFormat_;
    std::unique_ptr<IoPage> io_;
};
