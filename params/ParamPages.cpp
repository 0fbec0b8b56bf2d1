#include "ParamPages.h"

#include "AntennaPowerPage.h"
#include "CommPortPage.h"
#include "FrameFormatPage.h"
#include "FrequencyPage.h"
#include "IoPage.h"
#include "ProtocolPage.h"
#include "WorkModePage.h"

#include <QTabWidget>

namespace {
template <typename W = QWidget>
W* find(QWidget* root, const char* name)
{
    W* widget = root->findChild<W*>(QString::fromLatin1(name));
    Q_ASSERT_X(widget, "ParamPages", name);
    return widget;
}
} // namespace

ParamPages::ParamPages(QTabWidget* pageControl1, PageContext context)
    : pageControl1_(pageControl1),
      pageControl5_(find<QTabWidget>(pageControl1, "PageControl5")),
      context_(std::move(context))
{
    QWidget* root = pageControl1_;
    workMode_ = std::make_unique<WorkModePage>(find<QTabWidget>(root, "PageControl2"), context_);
    antennaPower_ = std::make_unique<AntennaPowerPage>(find(root, "TabSheet17"), context_);
    frequency_ = std::make_unique<FrequencyPage>(find(root, "TabSheet18"), context_);
    protocol_ = std::make_unique<ProtocolPage>(find(root, "TabSheet19"), context_);
    commPort_ = std::make_unique<CommPortPage>(find(root, "TabSheet4"), context_);
    frameFormat_ = std::make_unique<FrameFormatPage>(find(root, "TabSheet2"), context_);
    io_ = std::make_unique<IoPage>(find(root, "TabSheet9"), context_);
}

ParamPages::~ParamPages() = default;

Page ParamPages::showing() const
{
    return pageShowing(pageControl1_->currentIndex(), pageControl5_ ? pageControl5_->currentIndex() : -1);
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
