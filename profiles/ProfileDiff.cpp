#include "ProfileDiff.h"

#include "PageKeys.h"

namespace {
const std::string absent = "(absent)";
}

std::vector<ValueDifference> profileDifferences(const Profile& left, const Profile& right)
{
    std::vector<ValueDifference> differences;
    for (const Para& para : paraTable) {
        const ProfileEntry* a = left.find(para);
        const ProfileEntry* b = right.find(para);
        if (!a && !b)
            continue;
        // Compared as the bytes they put into the reader, so "30" and 30 or two
        // orders of the same bits are one value.
        if (a && b && bytesFromValue(para, a->value).result == bytesFromValue(para, b->value).result)
            continue;
        ValueDifference difference{qualifiedName(para), a ? valueText(a->value) : absent, b ? valueText(b->value) : absent};
        if (a)
            difference.leftValue = a->value;
        if (b)
            difference.rightValue = b->value;
        differences.push_back(std::move(difference));
    }
    return differences;
}
