// write --only-differing and the long reads: a reader is read first in one
// request, sent only the values it does not hold yet and read back in one
// more, so a second run sends nothing; read and verify take one request a
// reader; read --json reads a fleet. A reader that hears no more after so
// many frames (--drop-after; the first frame stops its RF work) shows how many
// requests went out.
#include "CliFixture.h"

#include <sys/stat.h>

namespace only_differing_test {

// readersim holds the buzzer on and channel 1 at 30 dBm, and relay 1's delay at 1 s already.
const std::string threeValues = "format = 1\n[io_parameter]\nbuzzer = false\nrelay1_delay = 1\n"
                                "[antenna_power]\nchannel1_power = 20\n";

class OnlyDifferingTest : public CliFixture {};

ino_t inodeOf(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

TEST_F(OnlyDifferingTest, aSecondRunSendsNothing)
{
    startReader();
    writeText(file("three.toml"), threeValues);
    const std::vector<std::string> write = {"write", file("three.toml"), "--port", "COM1", "--only-differing",
                                            "--verify", "--json"};
    expectJsonRun({write, exit_status::ok, {
        {{"port", "COM1"}, {"result", "ok"}, {"sent", 2}, {"done", 3}, {"values", {
            {{"name", "io_parameter.buzzer"}, {"before", true}, {"reader", false}, {"result", "written"}},
            {{"name", "io_parameter.relay1_delay"}, {"before", 1}, {"reader", 1}, {"result", "agrees"}},
            {{"name", "antenna_power.channel1_power"}, {"before", "30"}, {"reader", "20"}, {"result", "written"}}}}},
        {{"type", "summary"}, {"ok", 1}}}});

    // readersim saves an accepted write by renaming a new file over the old one.
    const std::string memory = fileText(stateFile(1));
    const ino_t saved = inodeOf(stateFile(1));
    expectJsonRun({write, exit_status::ok, {
        {{"result", "ok"}, {"sent", 0}, {"done", 3}, {"values", {
            {{"before", false}, {"result", "agrees"}}, {{"result", "agrees"}}, {{"before", "20"}, {"result", "agrees"}}}}},
        {{"type", "summary"}, {"ok", 1}}}});
    EXPECT_EQ(inodeOf(stateFile(1)), saved) << "the reader took a write";
    EXPECT_EQ(fileText(stateFile(1)), memory);
}

// Each command against a reader of its own that hears `frames` frames and no more.
struct RequestCase {
    const char* what;
    std::vector<std::string> args;   // "PROFILE" stands for the whole profile the first row reads
    int frames;
};

TEST_F(OnlyDifferingTest, aWholeProfileTakesOneRequestToRead)
{
    const RequestCase cases[] = {
        {"read of every parameter", {"read", "--port", "COM1", "--output", "PROFILE"}, 2},
        {"verify of every parameter", {"verify", "PROFILE", "--port", "COM2"}, 2},
        {"write --only-differing of a profile the reader holds, read back",
         {"write", "PROFILE", "--port", "COM3", "--only-differing", "--verify"}, 3},
    };
    for (const RequestCase& row : cases) {
        startReader({"--drop-after", std::to_string(row.frames)}, false);
        std::vector<std::string> args = row.args;
        std::replace(args.begin(), args.end(), std::string("PROFILE"), file("whole.toml"));
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, exit_status::ok) << row.what << "\n" << run.out << run.err;
    }
}

TEST_F(OnlyDifferingTest, readJsonReadsAFleetAProfileALine)
{
    startReader();
    startReader();
    writeText(file("three.toml"), threeValues);
    ASSERT_EQ(runTool({"write", file("three.toml"), "--port", "COM1"}).status, exit_status::ok);
    expectJsonRun({{"read", "--json", "--port", "COM1", "--port", "COM2"}, exit_status::ok, {
        {{"port", "COM1"}, {"result", "ok"}, {"profile", {{"antenna_power", {{"channel1_power", "20"}}}}}},
        {{"port", "COM2"}, {"result", "ok"}, {"profile", {{"antenna_power", {{"channel1_power", "30"}}}}}},
        {{"type", "summary"}, {"command", "read"}, {"readers", 2}, {"ok", 2}}}});
    EXPECT_EQ(runTool({"read", "--port", "COM1", "--port", "COM2"}).status, exit_status::refused)
        << "without --json a read gives one profile";
}

} // namespace only_differing_test
