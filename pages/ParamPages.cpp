#include "ParamPages.h"

#include <QStackedWidget>
#include <QTabWidget>

bool sheetShowing(const QWidget* sheet)
{
    for (const QWidget* w = sheet; w;) {
        // A tab control keeps its sheets in a stacked widget of its own.
        const QWidget* stack = w->parentWidget();
        const auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
        if (!tabs)
            return true;
        if (tabs->currentWidget() != w)
            return false;
        w = tabs->parentWidget();   // the sheet that holds an inner tab control, or the window
    }
    return false;
}

ParamPages::ParamPages(const PagePlaces& places, PageContext context)
{
    for (const PagePlace& place : places)
        pages_.push_back({place.sheet, place.build(place.sheet, context)});
}

ParamPages::~ParamPages() = default;

PageRoutines* ParamPages::showing() const
{
    for (const Built& built : pages_)
        if (sheetShowing(built.sheet))
            return built.page.get();
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

void ParamPages::afterConnect()
{
    for (const Built& built : pages_)
        built.page->afterConnect();
}

void ParamPages::showStored(const StoredLookup& lookup)
{
    for (const Built& built : pages_)
        built.page->showStored(lookup);
}
