// Reader profiles in the window, with no change to its layout: Ctrl+S saves
// what the reader holds to a profile file (read through the library), Ctrl+O
// shows a profile's values in the pages' controls without writing anything
// (the operator then presses "Setup Para" on each page as usual). Each logs one line.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class ParamPages;
class QWidget;

class ProfileShortcuts : public QObject {
    Q_OBJECT
public:
    ProfileShortcuts(QWidget* window, ParamPages* pages, std::function<uint32_t()> handle,
                     std::function<void(const QString&)> log);

    // Asks for the file; forSaving tells which dialog. An empty path cancels. Tests replace it.
    using FileChooser = std::function<QString(bool forSaving)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // Reads every parameter from the reader and saves them to path. Nothing is
    // saved unless every parameter was read.
    void saveReaderTo(const QString& path);
    // Shows the profile at path in the pages' controls; a refused profile changes
    // none. A field the pages need as a number that holds none (the start
    // frequency, for a profile without it) shows the error box and ends the load.
    void loadIntoPages(const QString& path);

private:
    void save();
    void load();
    void saveReader(const QString& path);
    void loadProfileIntoPages(const QString& path);

    QWidget* window_;
    ParamPages* pages_;
    std::function<uint32_t()> handle_;
    std::function<void(const QString&)> log_;
    FileChooser chooseFile_;
};
