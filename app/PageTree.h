// The tab-page tree of the window: the outer tab control PageControl1 with its
// five tab sheets and the inner tab controls of "Reader" and "RF Parameter".
// Each parameter page module is placed on its sheet here, one line a page.
#pragma once

#include "PagePlaces.h"

class QTabWidget;
class QWidget;

// Builds the tree into parent; places receives where each parameter page
// stands, in the tree's order.
QTabWidget* buildPageTree(QWidget* parent, PagePlaces& places);
