#include "PageDispatch.h"

PageShowing pageShowing(int outerIndex, int rfInnerIndex)
{
    switch (outerIndex) {
    case 0:
        return PageShowing::Reader;
    case 1:
        switch (rfInnerIndex) {
        case 0:
            return PageShowing::AntennaPower;
        case 1:
            return PageShowing::Frequency;
        case 2:
            return PageShowing::SupportedProtocol;
        default:
            return PageShowing::None;
        }
    case 2:
        return PageShowing::CommunicationPort;
    case 3:
        return PageShowing::FrameFormat;
    case 4:
        return PageShowing::IoParameter;
    default:
        return PageShowing::None;
    }
}

namespace {
PageRoutines* routinesOf(PageShowing page, const PageTargets& targets)
{
    switch (page) {
    case PageShowing::Reader:
        return targets.reader;
    case PageShowing::AntennaPower:
        return targets.antennaPower;
    case PageShowing::Frequency:
        return targets.frequency;
    case PageShowing::SupportedProtocol:
        return targets.supportedProtocol;
    case PageShowing::CommunicationPort:
        return targets.communicationPort;
    case PageShowing::FrameFormat:
        return targets.frameFormat;
    case PageShowing::IoParameter:
        return targets.ioParameter;
    case PageShowing::None:
        break;
    }
    return nullptr;
}
} // namespace

void dispatchQuery(PageShowing page, const PageTargets& targets)
{
    if (PageRoutines* routines = routinesOf(page, targets))
        routines->query();
}

void dispatchSetup(PageShowing page, const PageTargets& targets)
{
    PageRoutines* routines = routinesOf(page, targets);
    if (!routines)
        return;
    routines->setup();
    if (page == PageShowing::Frequency)
        targets.frequency->refreshLists();
}
