// The parameter pages of the window: builds each page's controls into its tab
// sheet and routes "Query Para" / "Setup Para" to the routine of the page showing.
#pragma once

#include "PageContext.h"

class QTabWidget;

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

private:
    QTabWidget* pageControl1_;
    PageContext context_;
};
