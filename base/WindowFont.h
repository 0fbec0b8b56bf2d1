// The window's font: "MS Sans Serif" 8 pt where the machine has it, else the
// platform's sans serif at 8 pt.
#pragma once

#include <QFont>

QFont windowFont();
