// Ctrl+T opens the Tag Monitor (or brings it to the front), with no change to
// the main window's layout. At every Start the monitor takes its frame format
// from the Frame Format page and its server port from the Communication Port
// page, both as "Setup Para" would form them from the controls, and the
// address of the main window's link, so that it never takes the link's port.
#pragma once

#include <QObject>

class ConnectionPanel;
class ParamPages;
class QWidget;
class TagMonitorWindow;

class TagMonitorShortcut : public QObject {
    Q_OBJECT
public:
    TagMonitorShortcut(QWidget* window, ParamPages* pages, const ConnectionPanel* connection);

    // The monitor, made when first opened.
    TagMonitorWindow* open();

private:
    QWidget* window_;
    ParamPages* pages_;
    const ConnectionPanel* connection_;
    TagMonitorWindow* monitor_ = nullptr;
};
