// The tab-page tree of the window: the outer tab control PageControl1 with its
// five tab sheets and the inner tab controls of "Reader" and "RF Parameter".
// The pages themselves are filled by the parameter page modules.
#pragma once

class QTabWidget;
class QWidget;

QTabWidget* buildPageTree(QWidget* parent);
