// How long the library waits for the reader.
#pragma once

namespace readerlib {

constexpr int kAnswerTimeoutMs = 500;      // a call's wait for its answer
// The wait once a call on the link timed out with nothing from the reader,
// until it sends again; counted from when the request and the first byte of
// its answer can have crossed the line. 500 + 18 x 20 ms keeps a page of 19
// reads of a dead reader under 1 s; a reader whose first byte comes within it
// gets the full wait, however long its answer takes on a slow line.
constexpr int kRecoveryWaitMs = 20;
// How long sending may wait for a peer that does not take data. A request is
// a few hundred bytes at most, so this only waits for a reader that reads very slowly.
constexpr int kSendTimeoutMs = 1000;

// kAnswerTimeoutMs, or READER_TIMEOUT_MS (1..60000) when set; read on every
// call so a test can shorten it.
int answerTimeoutMs();

// proto::kTcpConnectTimeoutMs, or READER_CONNECT_TIMEOUT_MS (1..60000) when set; read
// on every open, so a program looking for readers over a whole address range
// (tagdesk-cli scan) need not give each silent address 2.5 s.
int tcpConnectTimeoutMs();

} // namespace readerlib
