#include "LongReads.h"

#include "ParaCalls.h"

#include "Reader.h"

#include <algorithm>

namespace {

std::vector<const Para*> byAddress(std::vector<const Para*> paras)
{
    std::sort(paras.begin(), paras.end(), [](const Para* a, const Para* b) { return a->address < b->address; });
    paras.erase(std::unique(paras.begin(), paras.end()), paras.end());
    return paras;
}

int endOf(const Para& para)
{
    return para.address + para.readLength;
}

} // namespace

std::vector<std::pair<int, int>> longReadSpans(const std::vector<const Para*>& paras)
{
    std::vector<std::pair<int, int>> spans;
    for (const Para* para : byAddress(paras)) {
        if (!spans.empty() && endOf(*para) - spans.back().first <= longestRead) {
            spans.back().second = std::max(spans.back().second, endOf(*para));
            continue;
        }
        spans.emplace_back(para->address, endOf(*para));
    }
    return spans;
}

HeldParas readHeld(uint32_t handle, const std::vector<const Para*>& paras)
{
    HeldParas held;
    const std::vector<const Para*> sorted = byAddress(paras);
    auto next = sorted.begin();
    for (const auto& [first, end] : longReadSpans(sorted)) {
        const auto inSpan = std::find_if(next, sorted.end(), [end](const Para* p) { return p->address >= end; });
        ParaBytes span(std::size_t(end - first), 0);
        const bool whole = GetParameter(handle, uint8_t(first), uint8_t(end - first), span.data()) == READER_OK;
        for (; next != inSpan; ++next) {
            const Para& para = **next;
            if (whole) {
                const auto from = span.begin() + (para.address - first);
                held.bytes[&para].assign(from, from + para.readLength);
                continue;
            }
            ParaBytes bytes;
            if (const uint16_t status = readPara(handle, para, bytes); status == READER_OK)
                held.bytes[&para] = std::move(bytes);
            else
                held.failed[&para] = status;
        }
    }
    return held;
}
