// The profile file: what a profile's text says comes back as written; every
// kind of refusal names the file, the line and the entry.
#include "PageKeys.h"
#include "ProfileDiff.h"
#include "ProfileFormat.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string sample = R"(# a profile for the test
format = 1

[antenna_power]
channel1_power = "27.5"
channel2_power = 30        # a number names the same setting as its text
work_antennas = ["antenna1", "antenna3"]

[frequency]
start_frequency = 92000
hopping_channels = [1, 2, 3]

[reader]
offline_function = true
id_feature_value = "A1B2"

[communication_port]
ip_address = "10.0.0.7"
)";

ParaValue valueOf(const Profile& profile, int address)
{
    const ProfileEntry* entry = profile.find(*findPara(address));
    return entry ? entry->value : ParaValue(std::string("(absent)"));
}

TEST(ProfileFormat, readsEveryKindInThePagesUnits)
{
    const Profile profile = parseProfile(sample, "sample.toml");
    ASSERT_EQ(profile.entries.size(), 8u);
    EXPECT_EQ(valueOf(profile, 192), ParaValue(std::string("27.5")));
    EXPECT_EQ(valueOf(profile, 208), ParaValue(std::string("30")));
    EXPECT_EQ(valueOf(profile, 153), ParaValue(std::vector<std::string>{"antenna1", "antenna3"}));
    EXPECT_EQ(valueOf(profile, 80), ParaValue(92000LL));
    EXPECT_EQ(valueOf(profile, 162), ParaValue(std::vector<long long>{1, 2, 3}));
    EXPECT_EQ(valueOf(profile, 87), ParaValue(true));
    EXPECT_EQ(profile.find(*findPara(208))->line, 6);
    // Held in the table's order, which is the order of writing.
    for (std::size_t i = 1; i < profile.entries.size(); ++i)
        EXPECT_LT(profile.entries[i - 1].para->address, profile.entries[i].para->address);
}

TEST(ProfileFormat, itsOwnTextReadsBackTheSame)
{
    const Profile profile = parseProfile(sample, "sample.toml");
    const std::string text = profileText(profile, "Written by the test.");
    const Profile again = parseProfile(text, "again.toml");
    EXPECT_TRUE(profileDifferences(profile, again).empty()) << text;
    EXPECT_EQ(profileText(again, "Written by the test."), text);
    EXPECT_NE(text.find("# power of channel 1, in dBm"), std::string::npos) << text;
}

struct Refused {
    const char* what;
    std::string text;
    int line;            // of the first fault
    std::string name;
    std::string reason;
    std::size_t faults = 1;   // every fault of the file, reported together

    friend void PrintTo(const Refused& r, std::ostream* out) { *out << r.what; }
};

class RefusedProfiles : public testing::TestWithParam<Refused> {};

TEST_P(RefusedProfiles, nameFileLineAndEntry)
{
    const Refused& r = GetParam();
    try {
        parseProfile(r.text, "site.toml");
        FAIL() << r.what << ": not refused";
    } catch (const ProfileError& error) {
        const std::string message = error.what();
        EXPECT_EQ(error.file(), "site.toml");
        EXPECT_EQ(error.line(), r.line) << message;
        EXPECT_EQ(error.name(), r.name) << message;
        EXPECT_NE(message.find("site.toml:" + std::to_string(r.line) + ": "), std::string::npos) << message;
        EXPECT_NE(message.find(r.reason), std::string::npos) << message;
        // A line a fault; what the file says is escaped: nothing reaches a terminal or log as a control.
        EXPECT_EQ(error.faults().size(), r.faults) << message;
        for (const ProfileFault& fault : error.faults()) {
            const std::string line = fault.message();
            EXPECT_NE(message.find(line), std::string::npos) << message;
            EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
                << line;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, RefusedProfiles, testing::Values(
    Refused{"syntax", "format = 1\n[frequency]\nstart_frequency = = 2\n", 3, "", "not a TOML file"},
    Refused{"no version", "[frequency]\nstart_frequency = 92000\n", 1, "format", "missing"},
    Refused{"other version", "\nformat = 2\n", 2, "format", "format 1 only"},
    Refused{"version as text", "format = \"1\"\n", 1, "format", "format 1 only"},
    Refused{"unknown page", "format = 1\n[antenna]\nwork_antennas = []\n", 2, "antenna", "not a page"},
    Refused{"unknown name", "format = 1\n[frequency]\nstart_frequency = 92000\nstop_frequency = 93000\n", 4,
            "frequency.stop_frequency", "no parameter of this name"},
    Refused{"name of another page", "format = 1\n[reader]\nstart_frequency = 92000\n", 3,
            "reader.start_frequency", "no parameter of this name on this page; it is on [frequency]"},
    Refused{"misspelt name", "format = 1\n[antenna_power]\nwork_antenna = []\n", 3, "antenna_power.work_antenna",
            "did you mean work_antennas?"},
    Refused{"misspelt page", "format = 1\n[antena_power]\nwork_antennas = []\n", 2, "antena_power",
            "not a page of the reader's parameters; did you mean antenna_power?"},
    Refused{"a near name of another page", "format = 1\n[reader]\nchannel_mod = 3\n", 3, "reader.channel_mod",
            "did you mean frequency.channel_mode?"},
    Refused{"three faults, in the file's order", "format = 1\n[io_parameter]\nbuzer = true\nrelay1_delay = 300\n"
            "[frequency]\nchannel_mode = \"7\"\n", 3, "io_parameter.buzer", "did you mean buzzer?", 3},
    Refused{"out of range", "format = 1\n[frequency]\nhopping_interval = 101\n", 3, "frequency.hopping_interval",
            "101 is out of range 5 to 100"},
    Refused{"power without a setting", "format = 1\n[antenna_power]\nchannel1_power = 31\n", 3,
            "antenna_power.channel1_power", "is none of"},
    Refused{"wrong kind", "format = 1\n[io_parameter]\nbuzzer = \"on\"\n", 3, "io_parameter.buzzer",
            "takes true or false"},
    Refused{"mixed list", "format = 1\n[frequency]\nhopping_channels = [1, \"2\"]\n", 3,
            "frequency.hopping_channels", "takes a list of channel numbers"},
    Refused{"page not a table", "format = 1\nfrequency = 3\n", 2, "frequency", "not a page"},
    Refused{"fixed channel beyond the plan", "format = 1\n[frequency]\nchannel_mode = 21\nfrequency_points = 20\n", 3,
            "frequency.channel_mode", "fixed on channel 21 of a plan of 20 channels"},
    Refused{"hopping channels beyond the plan",
            "format = 1\n[frequency]\nfrequency_points = 20\nhopping_channels = [1, 30, 56]\n", 4,
            "frequency.hopping_channels", "hops over channel(s) 30, 56 of a plan of 20 channels"},
    Refused{"escape sequence in a key", "format = 1\n[frequency]\n\"\\u001b[2J\" = 1\n", 3,
            "frequency.\\x1B[2J", "no parameter of this name"},
    Refused{"line break in a key", "format = 1\n[io_parameter]\n\"x\\nio_parameter.buzzer: fine\" = 1\n", 3,
            "io_parameter.x\\nio_parameter.buzzer: fine", "no parameter of this name"},
    Refused{"NUL in a value", "format = 1\n[antenna_power]\nchannel1_power = \"30\\u0000\"\n", 3,
            "antenna_power.channel1_power", "\"30\\x00\" is none of"}));

// The depth bound judges keys and nesting as TOML reads them: dots and brackets
// in comments and strings, or an array over several lines, are no depth.
TEST(ProfileFormat, textThatOnlyLooksDeepIsRead)
{
    const std::string many(20, '.');
    const std::string text = "format = 1 # a" + many + "b [[[[[[[[[[[[[[[[[[[[\n"
                             "[ frequency ]   # [[" + many + "]]\n"
                             "hopping_channels = [\n  1, # [[[[[[[[[[[[[[[[[[[[\n  2,\n]\n"
                             "\"start_frequency\" = 92000\n"
                             "[frame_format]\nend_code = '''0D0A''' # \"" + many + "\"\n"
                             "preamble_code = \"\"\"0\\\n2\"\"\"\n";
    EXPECT_EQ(parseProfile(text, "spaced.toml").entries.size(), 4u);
}

TEST(ProfileFormat, anUnreadableOrEndlessFileIsRefused)
{
    EXPECT_THROW(loadProfile("/nonexistent/site.toml"), ProfileError);
    EXPECT_THROW(loadProfile("/dev/zero"), ProfileError);   // read only as far as the size bound
}

TEST(ProfileDiff, namesWhatDiffersAndWhatOnlyOneGives)
{
    const Profile left = parseProfile("format = 1\n[antenna_power]\nchannel1_power = 30\nchannel2_power = 20\n"
                                      "work_antennas = [\"antenna3\", \"antenna1\"]\n", "a");
    const Profile right = parseProfile("format = 1\n[antenna_power]\nchannel1_power = \"30\"\nchannel2_power = 21\n"
                                       "work_antennas = [\"antenna1\", \"antenna3\"]\n[io_parameter]\nbuzzer = true\n",
                                       "b");
    const std::vector<ValueDifference> differences = profileDifferences(left, right);
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].name, "io_parameter.buzzer");   // address 101 comes first
    EXPECT_EQ(differences[0].left, "(absent)");
    EXPECT_EQ(differences[0].right, "true");
    EXPECT_EQ(differences[1].name, "antenna_power.channel2_power");
    EXPECT_EQ(differences[1].left, "\"20\"");
    EXPECT_EQ(differences[1].right, "\"21\"");
}

} // namespace
