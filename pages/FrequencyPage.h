// The "Frequency" page: the reader's frequency plan (start frequency, channel
// step, number of channels) and its hopping settings (one fixed channel, or
// hopping over a set of channels with a time per hop). The channel lists are
// rebuilt from the plan each time the number of channels is read.
#pragma once

#include "StepPage.h"

#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSlider;
class QWidget;

class FrequencyPage : public StepPage {
public:
    // sheet is TabSheet18; the page's controls are built into it.
    FrequencyPage(QWidget* sheet, PageContext context);
    // The rules hold the address of the page's controls.
    FrequencyPage(const FrequencyPage&) = delete;
    FrequencyPage& operator=(const FrequencyPage&) = delete;

    void query() override;
    // The setup routine, then the channel lists refreshed from the reader.
    void setup() override;
    // The list refresh, then the plan read.
    void afterConnect() override;

    // Reads the frequency plan and the hopping settings back into the page and
    // rebuilds the channel lists; logs nothing.
    void refreshLists();

    // Reads the three plan parameters again after a connect, logging only the
    // reads that fail.
    void readPlan();

    // The fixed-channel list's item for channel n of a plan read from the
    // reader: "2----920.25 MHz" for start 92000 and step 25 (both in 10 kHz),
    // with the user's decimal separator.
    static QString channelItem(int channel, qint32 start, qint32 step);
    // The same item as the window opens, before any read: "2----903.0MHz".
    static QString initialChannelItem(int channel);

    static constexpr int initialChannels = 50;

    struct Controls {
        QCheckBox* mustSetting = nullptr;
        QLineEdit* start = nullptr;
        QLineEdit* step = nullptr;
        QLineEdit* points = nullptr;
        QRadioButton* fixed = nullptr;
        QRadioButton* hopping = nullptr;
        QComboBox* fixedChannel = nullptr;
        QListWidget* hoppingChannels = nullptr;
        QSlider* hopInterval = nullptr;
        QLineEdit* hopIntervalMs = nullptr;
        QAction* selectAll = nullptr;
        QAction* unselectAll = nullptr;
    };

private:
    // Runs a routine that reads the page back: a mode read of 0 (hopping) is
    // what lets the hopping mask be read after it.
    void readBack(const Routine& routine);
    void rebuildChannelLists(int channels);
    void showMode(uint8_t mode);

    Controls c_;
    Routine refresh_;
    Routine planRead_;
    bool hoppingModeRead_ = false;
};
