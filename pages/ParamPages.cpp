#include "ParamPages.h"

#include "TabOrder.h"

#include <QEvent>
#include <QLayout>
#include <QTabWidget>

namespace {

// Whether sheet shows: it is the current page of its tab control, and so is
// every sheet holding that control, up to the outermost.
bool sheetShowing(const QWidget* sheet)
{
    for (const QWidget* w = sheet; w;) {
        const QTabWidget* tabs = tabControlOf(w);
        if (!tabs)
            return true;
        if (tabs->currentWidget() != w)
            return false;
        w = tabs->parentWidget();   // the sheet that holds an inner tab control, or the window
    }
    return false;
}

// Calls onShow when a watched sheet is shown.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(std::function<void(QWidget*)> onShow) : onShow_(std::move(onShow)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            onShow_(static_cast<QWidget*>(watched));
        return false;
    }

private:
    std::function<void(QWidget*)> onShow_;
};

// A page built into a sheet that shows already: Qt lays out and shows a
// sheet's controls as the sheet shows, so here that is done by hand (the
// controls the page hid on purpose stay hidden).
void layOutAndShow(QWidget* sheet)
{
    if (QLayout* layout = sheet->layout())
        layout->activate();
    for (QObject* object : sheet->children()) {
        auto* control = qobject_cast<QWidget*>(object);
        if (control && !control->isWindow() && !control->testAttribute(Qt::WA_WState_ExplicitShowHide))
            control->show();
    }
}

} // namespace

ParamPages::ParamPages(const PagePlaces& places, PageContext context, std::function<void(QWidget*)> whenBuilt)
    : context_(std::move(context)), whenBuilt_(std::move(whenBuilt))
{
    firstShowWatcher_ = std::make_unique<ShowWatcher>([this](QWidget* sheet) {
        for (Place& place : places_)
            if (place.where.sheet == sheet)
                built(place);
    });
    for (const PagePlace& where : places)
        places_.push_back({where, nullptr});
    for (Place& place : places_) {
        if (place.where.sheet->isVisible())
            built(place);
        else
            place.where.sheet->installEventFilter(firstShowWatcher_.get());
    }
}

ParamPages::~ParamPages() = default;

PageRoutines& ParamPages::built(Place& place)
{
    if (!place.page) {
        QWidget* sheet = place.where.sheet;
        sheet->removeEventFilter(firstShowWatcher_.get());
        place.page = place.where.build(sheet, context_);
        // Before the controls show, so that texts are fitted once laid out, not in the room of a control just made.
        if (whenBuilt_)
            whenBuilt_(sheet);
        if (sheet->isVisible())
            layOutAndShow(sheet);
    }
    return *place.page;
}

PageRoutines* ParamPages::showing()
{
    for (Place& place : places_)
        if (sheetShowing(place.where.sheet))
            return &built(place);
    return nullptr;
}

void ParamPages::query()
{
    if (PageRoutines* page = showing())
        page->query();
}

void ParamPages::setup()
{
    if (PageRoutines* page = showing())
        page->setup();
}

void ParamPages::setupEvery()
{
    for (Place& place : places_)
        built(place).setup();
}

void ParamPages::afterConnect()
{
    for (Place& place : places_)
        if (place.page || place.where.readsAfterConnect)
            built(place).afterConnect();
}

void ParamPages::showStored(const StoredLookup& lookup)
{
    for (Place& place : places_)
        built(place).showStored(lookup);
}

std::optional<ParaBytes> ParamPages::setupBytes(const Para& para)
{
    for (Place& place : places_) {
        const std::optional<StepValue> value = built(place).setupValue(para);
        if (!value)
            continue;
        switch (value->kind()) {
        case StepValue::Kind::Bytes:
            return value->data();
        case StepValue::Kind::Nothing:
            return ParaBytes{};
        case StepValue::Kind::Missing:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void ParamPages::buildAll()
{
    for (Place& place : places_)
        built(place);
}
