#include "ProfileShortcuts.h"

#include "ErrorBox.h"
#include "ParamPages.h"
#include "PrintableText.h"
#include "ProfileFormat.h"
#include "ReaderOperation.h"
#include "ReaderTransfer.h"
#include "WholeFile.h"

#include <QFileDialog>
#include <QShortcut>
#include <QWidget>

#include <map>

namespace {
const QString profileFilter = QStringLiteral("Reader profiles (*.toml);;All files (*)");

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// A file's name as the log shows it: a name may hold line breaks or a
// terminal's escape sequences, which would forge or break log lines.
QString shownPath(const QString& path)
{
    return fromStd(escapedText(path.toStdString()));
}

QString failures(const std::vector<TransferFailure>& failed)
{
    QString text = fromStd(failed.front().name + ": " + failed.front().reason);
    if (failed.size() > 1)
        text += QStringLiteral(" (and %1 more)").arg(failed.size() - 1);
    return text;
}

// Runs work, which saves or loads a profile (action: "Save" or "Load"). No
// exception may cross Qt's event loop: running out of memory is a log line too.
void logWhatEscapes(const std::function<void(const QString&)>& log, const char* action, const std::function<void()>& work)
{
    try {
        work();
    } catch (const std::exception& error) {
        log(QStringLiteral("%1 Profile Failed : %2 !").arg(QLatin1String(action), QString::fromLocal8Bit(error.what())));
    }
}
} // namespace

ProfileShortcuts::ProfileShortcuts(QWidget* window, ParamPages* pages, std::function<uint32_t()> handle,
                                   std::function<void(const QString&)> log)
    : QObject(window), window_(window), pages_(pages), handle_(std::move(handle)), log_(std::move(log))
{
    setObjectName(QStringLiteral("ProfileShortcuts"));
    chooseFile_ = [this](bool forSaving) {
        return forSaving ? QFileDialog::getSaveFileName(window_, QStringLiteral("Save Profile"), {}, profileFilter)
                         : QFileDialog::getOpenFileName(window_, QStringLiteral("Load Profile"), {}, profileFilter);
    };
    auto* saveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), window);
    auto* loadKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), window);
    connect(saveKey, &QShortcut::activated, this, &ProfileShortcuts::save);
    connect(loadKey, &QShortcut::activated, this, &ProfileShortcuts::load);
}

void ProfileShortcuts::save()
{
    if (const QString path = chooseFile_(true); !path.isEmpty())
        runReaderOperation(window_, [&] { saveReaderTo(path); });
}

void ProfileShortcuts::load()
{
    if (const QString path = chooseFile_(false); !path.isEmpty())
        loadIntoPages(path);
}

void ProfileShortcuts::saveReaderTo(const QString& path)
{
    logWhatEscapes(log_, "Save", [&] { saveReader(path); });
}

void ProfileShortcuts::loadIntoPages(const QString& path)
{
    logWhatEscapes(log_, "Load", [&] { loadProfileIntoPages(path); });
}

void ProfileShortcuts::saveReader(const QString& path)
{
    const ReadOutcome read = readReader(handle_());
    if (!read.failures.empty()) {
        log_(QStringLiteral("Save Profile Failed : %1 !").arg(failures(read.failures)));
        return;
    }
    const std::string text = profileText(read.profile, "Read by the Tagdesk window.");
    if (const std::string why = writeWholeFile(path.toStdString(), text); !why.empty()) {
        log_(QStringLiteral("Save Profile Failed : %1 cannot be written (%2) !").arg(shownPath(path), fromStd(why)));
        return;
    }
    log_(QStringLiteral("Save Profile %1 Successfully !").arg(shownPath(path)));
}

void ProfileShortcuts::loadProfileIntoPages(const QString& path)
{
    std::map<uint8_t, std::vector<uint8_t>> stored;
    try {
        const Profile profile = loadProfile(path.toStdString());
        for (const ProfileEntry& entry : profile.entries) {
            // Checked when the profile was read; the bytes of the whole field, as a
            // read gives them once the profile is written (a short code and its fill).
            stored[entry.para->address] = *bytesFromValue(*entry.para, entry.value).result;
        }
    } catch (const ProfileError& error) {
        log_(QStringLiteral("Load Profile Failed : %1 !").arg(fromStd(error.what())));
        return;
    }
    try {
        pages_->showStored([&stored](uint8_t address) -> std::optional<std::vector<uint8_t>> {
            const auto found = stored.find(address);
            if (found == stored.end())
                return std::nullopt;
            return found->second;
        });
    } catch (const ConversionError& error) {
        // A profile without the start frequency rebuilds the channel lists from
        // the field as the operator left it: one holding no number ends the load
        // where it stands, as it ends "Query Para".
        showErrorBox(window_, conversionErrorMessage(error));
        log_(QStringLiteral("Load Profile Failed : %1 !").arg(shownPath(path)));
        return;
    }
    log_(QStringLiteral("Load Profile %1 Successfully !").arg(shownPath(path)));
}
