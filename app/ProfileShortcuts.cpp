#include "ProfileShortcuts.h"

#include "ErrorBox.h"
#include "ParamPages.h"
#include "PrintableText.h"
#include "ProfileFormat.h"
#include "ReaderIdentity.h"
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

// Every fault of a refused profile on the one line the log gives it.
QString faultsText(const ProfileError& error)
{
    QString text;
    for (const ProfileFault& fault : error.faults())
        text += (text.isEmpty() ? QString() : QStringLiteral("; ")) + fromStd(fault.message());
    return text;
}

// Bytes a page shows, by address: the whole field, as a read gives it once the
// value is written (a short code and its fill).
using StoredBytes = std::map<uint8_t, std::vector<uint8_t>>;

void store(StoredBytes& stored, const Para& para, const ParaValue& value)
{
    stored[para.address] = *bytesFromValue(para, value).result;   // checked when the profile was read
}

StoredLookup lookupIn(const StoredBytes& stored)
{
    return [&stored](uint8_t address) -> std::optional<std::vector<uint8_t>> {
        const auto found = stored.find(address);
        if (found == stored.end())
            return std::nullopt;
        return found->second;
    };
}

// "Load Profile Kept MAC address, IP address, reader number : the profile is another reader's (...) !"
QString keptLine(const char* action, const WritePlan& plan)
{
    QString fields;
    for (const PlannedValue* kept : plan.kept())
        fields += (fields.isEmpty() ? QString() : QStringLiteral(", ")) + QString::fromLatin1(kept->para->meaning);
    return QStringLiteral("%1 Kept %2 : %3 !").arg(QLatin1String(action), fields, fromStd(plan.reason));
}

// Runs work, which saves, loads or writes a profile (action: "Save Profile", ...). No
// exception may cross Qt's event loop: running out of memory is a log line too.
void logWhatEscapes(const std::function<void(const QString&)>& log, const char* action, const std::function<void()>& work)
{
    try {
        work();
    } catch (const std::exception& error) {
        log(QStringLiteral("%1 Failed : %2 !").arg(QLatin1String(action), QString::fromLocal8Bit(error.what())));
    }
}
} // namespace

ProfileShortcuts::ProfileShortcuts(QWidget* window, ParamPages* pages, ReaderLink link,
                                   std::function<void(const QString&)> log)
    : QObject(window), window_(window), pages_(pages), link_(std::move(link)), log_(std::move(log))
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
    // Enter presses the button with the focus; with Ctrl+Shift, "Setup Para" on every page.
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* writeKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | enter), window);
        connect(writeKey, &QShortcut::activated, this, &ProfileShortcuts::writeEveryPage);
    }
}

void ProfileShortcuts::save()
{
    if (const QString path = chooseFile_(true); !path.isEmpty())
        runReaderOperation(window_, [&] { saveReaderTo(path); });
}

void ProfileShortcuts::load()
{
    const QString path = chooseFile_(false);
    if (path.isEmpty())
        return;
    // With a reader connected, loading reads its own values.
    if (link_.open())
        runReaderOperation(window_, [&] { loadIntoPages(path); });
    else
        loadIntoPages(path);
}

void ProfileShortcuts::writeEveryPage()
{
    if (!loaded_) {
        log_(QStringLiteral("Setup Every Page Failed : No Profile Loaded (Ctrl+O) !"));
        return;
    }
    if (!link_.open()) {
        log_(QStringLiteral("Setup Every Page Failed : No Reader Connected !"));
        return;
    }
    runReaderOperation(window_, [this] { logWhatEscapes(log_, "Setup Every Page", [this] { writePages(); }); });
}

void ProfileShortcuts::saveReaderTo(const QString& path)
{
    logWhatEscapes(log_, "Save Profile", [&] { saveReader(path); });
}

void ProfileShortcuts::loadIntoPages(const QString& path)
{
    logWhatEscapes(log_, "Load Profile", [&] { loadProfileIntoPages(path); });
}

void ProfileShortcuts::saveReader(const QString& path)
{
    const ReadOutcome read = readReader(link_.handle());
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
    Profile profile;
    try {
        profile = loadProfile(path.toStdString());
    } catch (const ProfileError& error) {
        log_(QStringLiteral("Load Profile Failed : %1 !").arg(faultsText(error)));
        return;
    }
    const std::vector<const Para*> atStake = ownValuesAtStake(profile, {});
    OwnValues own;
    if (link_.open())
        own = readOwnValues(link_.handle(), atStake);
    else if (!atStake.empty())
        own.unread[atStake.front()] = "no reader is connected";
    const WritePlan plan = planWrite(profile, {}, own);
    StoredBytes stored;
    for (const PlannedValue& value : plan.planned)
        if (value.target)   // a kept value the reader did not give leaves its field as it is
            store(stored, *value.para, *value.target);
    try {
        pages_->showStored(lookupIn(stored));
    } catch (const ConversionError& error) {
        // A profile without the start frequency rebuilds the channel lists from
        // the field as the operator left it: one holding no number ends the load
        // where it stands, as it ends "Query Para".
        showErrorBox(window_, conversionErrorMessage(error));
        log_(QStringLiteral("Load Profile Failed : %1 !").arg(shownPath(path)));
        return;
    }
    loaded_ = std::move(profile);
    log_(QStringLiteral("Load Profile %1 Successfully !").arg(shownPath(path)));
    if (!plan.kept().empty())
        log_(keptLine("Load Profile", plan));
}

void ProfileShortcuts::writePages()
{
    const std::vector<const Para*> atStake = ownValuesAtStake(*loaded_, {});
    const OwnValues own = readOwnValues(link_.handle(), atStake);
    const WritePlan plan = planWrite(*loaded_, {}, own);
    if (!plan.kept().empty()) {
        // The fields of the reader's own values show what it holds, so that the
        // routines write those back; one it did not give stops the whole write.
        StoredBytes stored;
        for (const PlannedValue* kept : plan.kept()) {
            if (!kept->target) {
                const auto why = own.unread.find(kept->para);
                log_(QStringLiteral("Setup Every Page Failed : %1 Not Read (%2) !")
                         .arg(QString::fromLatin1(kept->para->meaning),
                              fromStd(why == own.unread.end() ? std::string() : why->second)));
                return;
            }
            store(stored, *kept->para, *kept->target);
        }
        pages_->showStored(lookupIn(stored));
        log_(keptLine("Setup Every Page", plan));
    }
    pages_->setupEvery();
}
