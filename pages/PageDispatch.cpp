#include "PageDispatch.h"

Page pageShowing(int outerIndex, int rfInnerIndex)
{
    switch (outerIndex) {
    case 0:
        return Page::Reader;
    case 1:
        switch (rfInnerIndex) {
        case 0:
            return Page::AntennaPower;
        case 1:
            return Page::Frequency;
        case 2:
            return Page::SupportedProtocol;
        default:
            return Page::None;
        }
    case 2:
        return Page::CommunicationPort;
    case 3:
        return Page::FrameFormat;
    case 4:
        return Page::IoParameter;
    default:
        return Page::None;
    }
}

namespace {
PageRoutines* routinesOf(Page page, const PageTargets& targets)
{
    switch (page) {
    case Page::Reader:
        return targets.reader;
    case Page::AntennaPower:
        return targets.antennaPower;
    case Page::Frequency:
        return targets.frequency;
    case Page::SupportedProtocol:
        return targets.supportedProtocol;
    case Page::CommunicationPort:
        return targets.communicationPort;
    case Page::FrameFormat:
        return targets.frameFormat;
    case Page::IoParameter:
        return targets.ioParameter;
    case Page::None:
        break;
    }
    return nullptr;
}
} // namespace

void dispatchQuery(Page page, const PageTargets& targets)
{
    if (PageRoutines* routines = routinesOf(page, targets))
        routines->query();
}

void dispatchSetup(Page page, const PageTargets& targets)
{
    PageRoutines* routines = routinesOf(page, targets);
    if (!routines)
        return;
    routines->setup();
    if (page == Page::Frequency)
        targets.frequency->refreshLists();
}
