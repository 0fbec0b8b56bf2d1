#include "ParamPages.h"

ParamPages::ParamPages(QTabWidget* pageControl1, PageContext context)
    : pageControl1_(pageControl1), context_(std::move(context))
{
}

ParamPages::~ParamPages() = default;

void ParamPages::query() {}
void ParamPages::setup() {}
void ParamPages::afterConnect() {}
