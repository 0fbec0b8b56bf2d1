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
