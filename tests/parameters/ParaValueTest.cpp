// The parameter table's conversions between a parameter's bytes and the value
// a person reads, in both directions, and the values a write refuses.
#include "HexText.h"
#include "PageKeys.h"
#include "ParaValue.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
using Numbers = std::vector<long long>;

struct Conversion {
    int address;
    ParaBytes bytes;
    ParaValue value;
};

class BytesAndValues : public testing::TestWithParam<Conversion> {};

TEST_P(BytesAndValues, convertBothWays)
{
    const Conversion& c = GetParam();
    const Para& para = *findPara(c.address);
    const Converted<ParaValue> value = valueFromBytes(para, c.bytes);
    ASSERT_TRUE(value) << value.error;
    EXPECT_EQ(*value.result, c.value) << valueText(*value.result);
    const Converted<ParaBytes> bytes = bytesFromValue(para, c.value);
    ASSERT_TRUE(bytes) << bytes.error;
    EXPECT_EQ(*bytes.result, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, BytesAndValues, testing::Values(
    Conversion{80, {0x17, 0x70}, 92000LL},                        // start frequency: 86000 + offset
    Conversion{80, {0x00, 0x00}, 86000LL},
    Conversion{148, {0x01, 0x2C}, 300LL},                         // 16-bit, high byte first
    Conversion{148, {0xFF, 0xFF}, 65535LL},
    Conversion{129, {0xFF}, 255LL},
    Conversion{101, {1}, true},
    Conversion{101, {0}, false},
    Conversion{192, {10}, std::string("27.5")},                   // power code: position + 2
    Conversion{240, {2}, std::string("20")},
    Conversion{128, {3}, std::string("triggering")},
    Conversion{131, {4}, std::string("115200")},
    Conversion{153, {0x05}, Strings{"antenna1", "antenna3"}},
    Conversion{71, {0xF0}, Strings{"end_code", "tag_id", "reader_number", "preamble"}},
    Conversion{145, {0xF5}, Strings{"trigger1", "trigger3", "bit4", "bit5", "bit6", "bit7"}},
    Conversion{162, {0xFF, 0xFF, 0x0F, 0, 0, 0, 0x80},
               Numbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 56}},
    Conversion{162, {0, 0, 0, 0, 0, 0, 0}, Numbers{}},
    Conversion{6, {0x02, 0x54, 0x44, 0x00, 0xAB, 0x01}, std::string("02544400AB01")},
    Conversion{12, {192, 168, 1, 200}, std::string("192.168.1.200")},
    Conversion{72, {0x02, 0x00, 0x00, 0x00}, std::string("02000000")}));

struct Refusal {
    int address;
    ParaValue value;
    std::string reason;   // a fragment of the message
};

class RefusedValues : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedValues, giveNoBytesAndSayWhy)
{
    const Refusal& r = GetParam();
    const Converted<ParaBytes> bytes = bytesFromValue(*findPara(r.address), r.value);
    EXPECT_FALSE(bytes) << valueText(r.value);
    EXPECT_NE(bytes.error.find(r.reason), std::string::npos) << bytes.error;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, RefusedValues, testing::Values(
    Refusal{80, 85999LL, "out of range 86000 to 96000"},
    Refusal{80, 96001LL, "out of range"},
    Refusal{129, 256LL, "out of range 0 to 255"},
    Refusal{129, -1LL, "out of range"},
    Refusal{161, 4LL, "out of range 5 to 100"},
    Refusal{148, 65536LL, "out of range 0 to 65535"},
    Refusal{129, true, "takes a whole number"},
    Refusal{101, 1LL, "takes true or false"},
    Refusal{192, std::string("31"), "is none of"},
    Refusal{128, std::string("Timing"), "is none of"},
    Refusal{153, Strings{"antenna5"}, "is none of its bits"},
    Refusal{162, Numbers{0}, "channel 0 is out of range 1 to 56"},
    Refusal{162, Numbers{57}, "out of range"},
    Refusal{72, std::string("ABC"), "odd number"},
    Refusal{72, std::string("0G"), "not hexadecimal"},
    Refusal{72, std::string(""), "0 bytes, not 1 to 4"},
    Refusal{72, std::string("0102030405"), "5 bytes, not 1 to 4"},
    Refusal{6, std::string("0102030405"), "5 bytes, not 6"},
    Refusal{12, std::string("192.168.1"), "not a dotted address"},
    Refusal{12, std::string("192.168.1.256"), "not a dotted address"},
    Refusal{12, std::string("192.168.1.2.3"), "not a dotted address"}));

TEST(ParaValue, aShortCodeFillsItsField)
{
    const Converted<ParaBytes> bytes = bytesFromValue(*findPara(76), std::string("0d0a"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes.result, (ParaBytes{0x0D, 0x0A, 0xFF, 0xFF}));
}

TEST(ParaValue, aChoiceCodeWithoutSettingIsNotGuessed)
{
    const Converted<ParaValue> value = valueFromBytes(*findPara(192), {0});
    EXPECT_FALSE(value);
    EXPECT_NE(value.error.find("holds 0"), std::string::npos) << value.error;
}

TEST(ParaValue, aFlagReadsOnExactlyWhenItsByteIsOne)
{
    EXPECT_EQ(*valueFromBytes(*findPara(4), {2}).result, ParaValue(false));
}

// What a reader holds comes back byte for byte when written again, for every
// parameter and a spread of byte patterns (flags aside: their 2..255 read as off).
TEST(ParaValue, everyParameterRoundTripsWhatItCanShow)
{
    for (const Para& para : paraTable) {
        for (const uint8_t fill : {0x00, 0x01, 0x02, 0x0A, 0x55, 0xA0, 0xFF}) {
            const ParaBytes bytes(para.readLength, fill);
            const Converted<ParaValue> value = valueFromBytes(para, bytes);
            if (!value)
                continue;   // a choice code without a setting
            const Converted<ParaBytes> back = bytesFromValue(para, *value.result);
            if (!back)
                continue;   // a number outside the range a write may carry
            if (para.kind == ValueKind::Flag)
                EXPECT_EQ(back.result->front(), fill == 1 ? 1 : 0) << qualifiedName(para);
            else
                EXPECT_EQ(*back.result, bytes) << qualifiedName(para) << " " << int(fill);
        }
    }
}

// The forms a page's controls take: a field's number keeps its low bits where a
// profile's value is refused; list positions past the last as the policy says.
TEST(ParaValue, windowFormsBesideTheProfileForms)
{
    const struct {
        int address;
        long long number;
        ParaBytes lowBits;
        bool refused;
    } numbers[] = {
        {129, 300, {0x2C}, true},
        {129, -1, {0xFF}, true},
        {129, 200, {0xC8}, false},
        {148, 70000, {0x11, 0x70}, true},
        {80, 85999, {0xFF, 0xFF}, true},
        {80, 92000, {0x17, 0x70}, false},
    };
    for (const auto& n : numbers) {
        const Para& para = *findPara(n.address);
        EXPECT_EQ(*numberBytes(para, n.number, OutOfRange::LowBits).result, n.lowBits) << n.number;
        EXPECT_EQ(!numberBytes(para, n.number, OutOfRange::Refuse), n.refused) << n.number;
    }
    EXPECT_EQ(*ipv4Bytes({192, 256, -1, 7}, OutOfRange::LowBits).result, (ParaBytes{192, 0, 255, 7}));
    EXPECT_FALSE(ipv4Bytes({192, 256, 0, 7}, OutOfRange::Refuse));

    const Para& power = *findPara(192);      // codes 2 to 15, fourteen items
    const Para& matchLength = *findPara(179); // a number 1 to 6, six items
    EXPECT_EQ(codeAtPosition(power, 0), 2);
    EXPECT_EQ(codeAtPosition(matchLength, 5), 6);
    EXPECT_EQ(positionOfCode(power, 15, 14, PastLast::None), 13);
    EXPECT_EQ(positionOfCode(power, 16, 14, PastLast::None), -1);
    EXPECT_EQ(positionOfCode(power, 255, 14, PastLast::Last), 13);
    EXPECT_EQ(positionOfCode(power, 1, 14, PastLast::Last), -1);
    EXPECT_EQ(positionOfCode(matchLength, 1, 6, PastLast::None), 0);
}

TEST(HexText, oddDigitsAsThePolicySays)
{
    using Bytes = std::optional<ParaBytes>;
    const struct {
        const char* text;
        Bytes refuse, drop, lowNibble;
    } cases[] = {
        {"A1b2", ParaBytes{0xA1, 0xB2}, ParaBytes{0xA1, 0xB2}, ParaBytes{0xA1, 0xB2}},
        {"0AFF1", std::nullopt, ParaBytes{0x0A, 0xFF}, ParaBytes{0x0A, 0xFF, 0x01}},
        {"F", std::nullopt, ParaBytes{}, ParaBytes{0x0F}},
        {"", ParaBytes{}, ParaBytes{}, ParaBytes{}},
        {"G1", std::nullopt, std::nullopt, std::nullopt},
        {"1 ", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bytesFromHex(c.text, OddDigit::Refuse), c.refuse) << c.text;
        EXPECT_EQ(bytesFromHex(c.text, OddDigit::Drop), c.drop) << c.text;
        EXPECT_EQ(bytesFromHex(c.text, OddDigit::LowNibble), c.lowNibble) << c.text;
    }
    EXPECT_EQ(hexText({0xA1, 0x05}), "A105");
}

TEST(ParaTable, namesAndPagesFindTheirParameter)
{
    EXPECT_EQ(findParaNamed(Page::Frequency, "start_frequency"), findPara(80));
    EXPECT_EQ(findParaNamed(Page::Reader, "start_frequency"), nullptr);
    EXPECT_EQ(qualifiedName(*findPara(208)), "antenna_power.channel2_power");
    for (const PageKey& key : pageKeys)
        EXPECT_EQ(pageFromKey(key.key), key.page);
    EXPECT_EQ(pageFromKey("antenna"), std::nullopt);
}

} // namespace
