// Reader profiles in the window, with no change to its layout: Ctrl+S saves
// what the reader holds to a profile file (read through the library), Ctrl+O
// shows a profile's values in the pages' controls without writing anything,
// and Ctrl+Shift+Enter then runs every page's setup routine in turn, as
// "Setup Para" on each page would. Neither gives the connected reader another
// reader's own values (its MAC address, IP address, reader number:
// profiles/ReaderIdentity.h): a profile of another reader leaves the reader's
// own in their fields, and one log line says which were kept.
#pragma once

#include "Profile.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class ParamPages;
class QWidget;

// The window's link to its reader.
struct ReaderLink {
    std::function<uint32_t()> handle;   // the window's one reader handle
    std::function<bool()> open;         // whether a reader is connected
};

class ProfileShortcuts : public QObject {
    Q_OBJECT
public:
    ProfileShortcuts(QWidget* window, ParamPages* pages, ReaderLink link, std::function<void(const QString&)> log);

    // Asks for the file; forSaving tells which dialog. An empty path cancels. Tests replace it.
    using FileChooser = std::function<QString(bool forSaving)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // Reads every parameter from the reader and saves them to path. Nothing is
    // saved unless every parameter was read.
    void saveReaderTo(const QString& path);
    // Shows the profile at path in the pages' controls; a refused profile changes
    // none. A field the pages need as a number that holds none (the start
    // frequency, for a profile without it) shows the error box and ends the load.
    // The connected reader's own values are read and shown in place of another
    // reader's; with no reader connected, their fields keep what they show.
    void loadIntoPages(const QString& path);
    // Every page's setup routine in turn, once a profile is loaded and a reader
    // connected; the pages' fields of the reader's own values are first set to
    // what the reader holds unless the loaded profile is the reader's own.
    void writeEveryPage();

private:
    void save();
    void load();
    void saveReader(const QString& path);
    void loadProfileIntoPages(const QString& path);
    void writePages();

    QWidget* window_;
    ParamPages* pages_;
    ReaderLink link_;
    std::function<void(const QString&)> log_;
    FileChooser chooseFile_;
    std::optional<Profile> loaded_;   // the profile Ctrl+O last showed
};
