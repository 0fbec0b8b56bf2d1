// The input rules of the page fields (keystroke filters, range rules, maximum
// lengths), looked up by each field's name.
#pragma once

class QWidget;

// Gives every edit field below root that has a rule its rule, by objectName.
// The window calls it on its own controls and on each page's sheet as the
// page is built.
void attachFieldRules(QWidget* root);
