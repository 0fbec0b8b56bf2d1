// tagdesk-cli monitor as the server of a readersim that reads its tag field in
// timing mode and sends, in client mode, what it reads: the reads are the tags
// readersim was given, decoded by the frame format read from the reader; a
// format that is not the reader's (ASCII code while it sends HEX) reads nothing
// and counts the bytes that made no frame.
#include "CliFixture.h"

#include "Reader.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const std::set<std::string> fieldIds = {"E2006816123456789ABCDEF0", "E2006816123456789ABCDEF1",
                                        "300833B2DDD9014000000001"};

// A port on 127.0.0.1 that nobody listens at: one the system chose, given back at once.
uint16_t unusedPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const bool bound = ::bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0
        && ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    ::close(probe);
    return bound ? ntohs(address.sin_port) : 0;
}

class MonitorTest : public CliFixture {};

TEST_F(MonitorTest, hearsTheTagsAReaderInClientModeSendsByItsFrameFormat)
{
    std::string tags;
    for (const std::string& id : fieldIds)
        tags += id + " * 5\n";   // every antenna, five reads a second
    writeText(file("tags.txt"), tags);
    const SimProcess& reader = startReader({"--tags", file("tags.txt")});
    const std::string readerPort = "tcp:127.0.0.1:" + std::to_string(reader.tcpPort());
    const std::string server = std::to_string(unusedPort());
    writeText(file("client.toml"), "format = 1\n[reader]\nwork_mode = \"timing\"\n[communication_port]\n"
                                   "connection_mode = \"client\"\nserver_ip_address = \"127.0.0.1\"\nserver_port = "
                                       + server + "\n[frame_format]\noutput_ports = [\"tcp_ip\"]\n");
    ASSERT_EQ(runTool({"write", file("client.toml"), "--port", readerPort}).status, exit_status::ok);
    // The write stopped the reader's RF work, as "Connect" does; a reset starts it reading again.
    uint32_t handle = 0;
    ASSERT_EQ(OpenReader(&handle, READER_PORT_TCP, readerPort.substr(4).c_str()), READER_OK);
    ASSERT_EQ(ResetReader(handle), READER_OK);
    CloseReader(handle);
    writeText(file("ascii.toml"), "format = 1\n[frame_format]\ndata_format = \"ascii\"\ntag_id_window = 12\n"
                                  "frame_fields = [\"end_code\", \"tag_id\", \"reader_number\", \"preamble\"]\n"
                                  "preamble_code = \"02\"\nend_code = \"0D0A\"\n");

    struct Case {
        const char* what;
        std::vector<std::string> format;
        std::set<std::string> ids;
        int status;
    };
    const Case cases[] = {
        {"the format read from the reader", {"--format-from-reader=" + readerPort}, fieldIds, exit_status::ok},
        {"ASCII code while the reader sends HEX", {"--profile", file("ascii.toml")}, {}, exit_status::failed},
    };
    for (const Case& row : cases) {
        // The reader tries its server every 3 s: within the first half, it is heard.
        std::vector<std::string> args = {"monitor", "--listen", "tcp:127.0.0.1:" + server, "--duration", "5", "--json"};
        args.insert(args.end(), row.format.begin(), row.format.end());
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, row.status) << row.what << "\n" << run.err;
        const std::vector<Json> lines = jsonLines(run.out);
        ASSERT_FALSE(lines.empty()) << row.what << "\n" << run.err;
        std::set<std::string> ids;
        std::size_t reads = 0;
        for (const Json& line : lines) {
            if (line["type"] != "read")
                continue;
            ++reads;
            ids.insert(line["id"].get<std::string>());
            EXPECT_TRUE(holds(line, {{"source", "127.0.0.1"}, {"reader", 1}})) << line.dump();
        }
        EXPECT_EQ(ids, row.ids) << row.what;
        const Json& summary = lines.back();
        EXPECT_TRUE(holds(summary, {{"type", "summary"}, {"reads", reads}, {"tags", row.ids.size()}})) << summary.dump();
        if (row.ids.empty()) {
            // What came instead: HEX frames, one's end code before the next one's preamble and reader number.
            EXPECT_GT(summary["stray_bytes"].get<uint64_t>(), 0u) << row.what;
            EXPECT_NE(summary["stray_last"].get<std::string>().find("0D0A0201"), std::string::npos) << summary.dump();
        } else {
            EXPECT_EQ(summary["stray_bytes"], 0) << row.what << "\n" << run.out;
        }
    }
}

} // namespace
