#include "SimReader.h"

#include "Protocol.h"

namespace sim {

void SimReader::start(Clock::time_point now)
{
    tags_.restart(state_.memory(), now);
    server_.follow(state_.memory(), now);
}

std::optional<frame::Frame> SimReader::handle(const frame::Frame& request, Clock::time_point now)
{
    auto answer = state_.handle(request);
    if (answer && answer->status == static_cast<uint8_t>(proto::ReaderStatus::Ok))
        follow(request.command, now);
    return answer;
}

frame::Frame SimReader::settleSave(bool saved, Clock::time_point now)
{
    frame::Frame answer = state_.settleSave(saved);
    if (answer.status == static_cast<uint8_t>(proto::ReaderStatus::Ok))
        follow(static_cast<uint8_t>(answer.command & ~proto::kAnswerBit), now);
    return answer;
}

void SimReader::follow(uint8_t command, Clock::time_point now)
{
    switch (static_cast<proto::Command>(command)) {
    case proto::Command::StopRfWork:
        tags_.stop();
        break;
    case proto::Command::ResetReader:
        tags_.restart(state_.memory(), now);
        break;
    case proto::Command::SetParameter:
        tags_.follow(state_.memory(), now);
        server_.follow(state_.memory(), now);
        break;
    default:
        break;
    }
}

void SimReader::setTriggerInput(unsigned input, bool active, Clock::time_point now)
{
    tags_.setTriggerInput(input, active, state_.memory(), now);
}

std::optional<SimReader::Clock::time_point> SimReader::nextDue() const
{
    const auto tags = tags_.nextDue();
    const auto server = server_.nextDue();
    if (tags && server)
        return std::min(*tags, *server);
    return tags ? tags : server;
}

void SimReader::runDue(Clock::time_point now, const TagReading::Send& send)
{
    server_.runDue(now);
    tags_.run(state_.memory(), now, send);
}

std::string SimReader::status() const
{
    static const char* const serverStates[] = {"off", "waiting", "connecting", "connected"};
    return std::string("reading=") + (tags_.reading() ? "yes" : "no") + " reads=" + std::to_string(tags_.reads())
         + " sent=" + std::to_string(counts_.sent) + " dropped=" + std::to_string(counts_.dropped + server_.lost())
         + " server=" + serverStates[static_cast<int>(server_.state())];
}

} // namespace sim
