#include "ParamPages.h"

#include "AntennaPowerPage.h"
#include "CommPortPage.h"
#include "FrameFormatPage.h"
#include "FrequencyPage.h"
#include "IoPage.h"
#include "SupportedProtocolPage.h"
#include "WorkModePage.h"

#include "NamedWidgets.h"

#include <QTabWidget>

namespace {
template <typename W = QWidget>
W* find(QWidget* root, const char* name)
{
    return findNamed<W>(root, name);
}
} // namespace

ParamPages::ParamPages(QTabWidget* pageControl1, PageContext context)
    : outerTabs_(pageControl1),
      rfTabs_(find<QTabWidget>(pageControl1, "PageControl5")),
      context_(std::move(context))
{
    if (!context_.stored)
        context_.stored = std::make_shared<StoredBytes>();
    QWidget* root = outerTabs_;
    workMode_ = std::make_unique<WorkModePage>(find<QTabWidget>(root, "PageControl2"), context_);
    antennaPower_ = std::make_unique<AntennaPowerPage>(find(root, "TabSheet17"), context_);
    frequency_ = std::make_unique<FrequencyPage>(find(root, "TabSheet18"), context_);
    protocol_ = std::make_unique<SupportedProtocolPage>(find(root, "TabSheet19"), context_);
    commPort_ = std::make_unique<CommPortPage>(find(root, "TabSheet4"), context_);
    frameFormat_ = std::make_unique<FrameFormatPage>(find(root, "TabSheet2"), context_);
    io_ = std::make_unique<IoPage>(find(root, "TabSheet9"), context_);
}

ParamPages::~ParamPages() = default;

Page ParamPages::showing() const
{
    return pageShowing(outerTabs_->currentIndex(), rfTabs_ ? rfTabs_->currentIndex() : -1);
}

PageTargets ParamPages::targets() const
{
    return PageTargets{workMode_.get(), antennaPower_.get(), frequency_.get(), protocol_.get(),
                       commPort_.get(), frameFormat_.get(), io_.get()};
}

void ParamPages::query()
{
    dispatchQuery(showing(), targets());
}

void ParamPages::setup()
{
    dispatchSetup(showing(), targets());
}

void ParamPages::afterConnect()
{
    frequency_->refreshLists();
    frequency_->readPlan();
}

void ParamPages::showStored(std::function<std::optional<std::vector<uint8_t>>(uint8_t address)> lookup)
{
    struct Restore {
        StoredBytes& stored;
        QTabWidget* readerTabs;
        int readerShowing;
        ~Restore()
        {
            stored.lookup = nullptr;
            if (readerTabs)
                readerTabs->setCurrentIndex(readerShowing);
        }
    };
    auto* readerTabs = find<QTabWidget>(outerTabs_, "PageControl2");
    Restore restore{*context_.stored, readerTabs, readerTabs ? readerTabs->currentIndex() : -1};
    context_.stored->lookup = std::move(lookup);

    // The "Reader" tab's routine takes the inner page showing only: show each in turn.
    for (int inner = 0; readerTabs && inner < readerTabs->count(); ++inner) {
        readerTabs->setCurrentIndex(inner);
        workMode_->query();
    }
    for (PageRoutines* page : std::initializer_list<PageRoutines*>{antennaPower_.get(), frequency_.get(),
                                                                   protocol_.get(), commPort_.get(),
                                                                   frameFormat_.get(), io_.get()})
        page->query();
}
