#include "TagFormat.h"

#include "HexText.h"
#include "PageKeys.h"

#include <algorithm>

namespace tagframe {

namespace {

constexpr uint8_t asciiCode = 1;
constexpr const Para& frameFields = paraNamed(Page::FrameFormat, "frame_fields");
constexpr uint8_t preambleFlag = maskBitNamed(frameFields, "preamble");
constexpr uint8_t readerNumberFlag = maskBitNamed(frameFields, "reader_number");
constexpr uint8_t tagIdFlag = maskBitNamed(frameFields, "tag_id");
constexpr uint8_t endCodeFlag = maskBitNamed(frameFields, "end_code");

// A code's bytes up to its first fill byte, when its flag is on.
std::size_t takeCode(const ParaBytes& code, bool on, std::array<uint8_t, 4>& into)
{
    if (!on)
        return 0;
    const auto end = std::find(code.begin(), code.begin() + std::ptrdiff_t(std::min(code.size(), into.size())),
                               para_detail::codeEnd);
    std::copy(code.begin(), end, into.begin());
    return std::size_t(end - code.begin());
}

std::string spacedHex(std::span<const uint8_t> bytes)
{
    std::string text;
    for (const uint8_t byte : bytes)
        text += (text.empty() ? "" : " ") + hexText({byte});
    return text;
}

} // namespace

const std::array<const Para*, 5>& formatParas()
{
    static const std::array<const Para*, 5> paras{
        &paraNamed(Page::FrameFormat, "data_format"),   &paraNamed(Page::FrameFormat, "tag_id_window"),
        &paraNamed(Page::FrameFormat, "frame_fields"),  &paraNamed(Page::FrameFormat, "preamble_code"),
        &paraNamed(Page::FrameFormat, "end_code"),
    };
    return paras;
}

Converted<FormatBytes> formatBytesFrom(const ParaBytesSource& source)
{
    std::array<ParaBytes, 5> got;
    for (std::size_t i = 0; i < got.size(); ++i) {
        const Para& para = *formatParas()[i];
        std::optional<ParaBytes> bytes = source(para);
        if (!bytes)
            return Converted<FormatBytes>::fail(qualifiedName(para) + ": no value");
        // A code may be shorter than its field, or empty (a page's field left
        // empty); every other parameter comes whole.
        const std::size_t least = para.writeMin == para.readLength ? para.readLength : 0;
        if (bytes->size() < least || bytes->size() > para.readLength)
            return Converted<FormatBytes>::fail(qualifiedName(para) + ": " + std::to_string(bytes->size())
                                                + " bytes where it has " + std::to_string(para.readLength));
        got[i] = std::move(*bytes);
    }
    return Converted<FormatBytes>::ok({got[0][0], got[1][0], got[2][0], std::move(got[3]), std::move(got[4])});
}

Format::Format(const FormatBytes& bytes)
    : ascii_(bytes.dataFormat == asciiCode), readerNumber_((bytes.frameFields & readerNumberFlag) != 0)
{
    preambleSize_ = takeCode(bytes.preambleCode, (bytes.frameFields & preambleFlag) != 0, preamble_);
    endCodeSize_ = takeCode(bytes.endCode, (bytes.frameFields & endCodeFlag) != 0, endCode_);
    if ((bytes.frameFields & tagIdFlag) != 0) {
        windowStart_ = bytes.tagIdWindow >> 4;
        const std::size_t length = bytes.tagIdWindow & 0x0F;
        // Bytes past the ID's end are not sent.
        windowLength_ = windowStart_ >= idSize ? 0 : std::min(length, idSize - windowStart_);
    }
}

std::size_t Format::frameSize() const
{
    return preambleSize_ + (readerNumber_ ? charsPerByte() : 0) + windowLength_ * charsPerByte() + endCodeSize_;
}

std::string Format::description() const
{
    std::string text = std::string(ascii_ ? "ASCII" : "HEX") + " code, ";
    if (frameSize() == 0)
        return text + "no frame: the reader sends nothing";
    text += std::to_string(frameSize()) + " bytes a frame:";
    std::string parts;
    const auto add = [&parts](const std::string& part) { parts += (parts.empty() ? " " : ", ") + part; };
    if (preambleSize_ > 0)
        add("preamble " + spacedHex(preamble()));
    if (readerNumber_)
        add("reader number");
    if (windowLength_ > 0)
        add("ID bytes " + std::to_string(windowStart_) + " to " + std::to_string(windowStart_ + windowLength_ - 1));
    if (endCodeSize_ > 0)
        add("end code " + spacedHex(endCode()));
    return text + parts;
}

} // namespace tagframe
