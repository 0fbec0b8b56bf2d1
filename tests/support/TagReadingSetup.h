// readersim set up through the window's pages, as an operator would, to read
// its tags and send them to a Tag Monitor listening on this computer: the
// end-to-end test and the pictures of the monitor at work do it alike.
#pragma once

#include "WindowProbe.h"

#include "Reader.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabWidget>

#include <array>
#include <cstdint>

namespace tagreading {

inline void showSheet(QWidget* form, const char* tabs, int index)
{
    child<QTabWidget>(form, tabs)->setCurrentIndex(index);
}

inline void setText(QWidget* form, const char* field, const QString& text)
{
    child<QLineEdit>(form, field)->setText(text);
}

inline void setChecked(QWidget* form, const char* control, bool checked = true)
{
    child<QAbstractButton>(form, control)->setChecked(checked);
}

// The reader's reading, through the pages and "Setup Para": timing mode with
// every read sent (no ID pre-compare); frames of docs/tag-output.md's first
// example (the whole ID between 02 and 0D 0A) out on TCP/IP.
inline void setUpReading(QWidget* form)
{
    showSheet(form, "PageControl1", 0);
    showSheet(form, "PageControl2", 0);
    setChecked(form, "RadioButton4");   // "Timing Mode"
    setChecked(form, "CheckBox7", false);
    formtest::click(form, "BitBtn4");

    showSheet(form, "PageControl1", 3);
    setChecked(form, "CheckBox33");     // "TCP/IP"
    setChecked(form, "CheckBox44");
    setText(form, "Edit79", QStringLiteral("02"));
    setChecked(form, "CheckBox47");
    setText(form, "Edit80", QStringLiteral("0D0A"));
    formtest::choose(form, "ComboBox8", QStringLiteral("12"));
    formtest::click(form, "BitBtn4");
}

// The Communication Port page's server port, where the monitor is to listen.
inline void showServerPort(QWidget* form, uint16_t port)
{
    showSheet(form, "PageControl1", 2);
    setText(form, "Edit114", QString::number(port));
}

// Client mode to 127.0.0.1 at the page's server port. The server's address and
// port go through the library first, so that the reader, in client mode from
// the page's first write on, never tries the address it held before; then the
// Communication Port page's "Setup Para". False when the library refused.
inline bool sendToServer(QWidget* form, uint32_t handle, uint16_t port)
{
    const std::array<uint8_t, 6> server{127, 0, 0, 1, uint8_t(port >> 8), uint8_t(port & 0xFF)};
    if (SetParameter(handle, 26, 4, server.data()) != READER_OK || SetParameter(handle, 30, 2, server.data() + 4) != READER_OK)
        return false;
    showServerPort(form, port);
    setChecked(form, "CheckBox2");      // "Client Mode"
    const std::array<const char*, 4> address{"Edit112", "Edit111", "Edit110", "Edit113"};
    for (std::size_t i = 0; i < address.size(); ++i)
        setText(form, address[i], QString::number(server[i]));
    formtest::click(form, "BitBtn4");
    return true;
}

} // namespace tagreading
