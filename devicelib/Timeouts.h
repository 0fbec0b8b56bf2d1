// How long the library waits for the reader.
#pragma once

namespace readerlib {

constexpr int kAnswerTimeoutMs = 500;      // a call's wait for its answer
constexpr int kRecoveryWaitMs = 50;        // the wait once a call on the link timed out, until the reader answers again
// Long enough for one lost SYN: the system resends it after 1 s, and its answer
// still comes within this. The second resend (at 3 s) is not waited for.
constexpr int kTcpConnectTimeoutMs = 2500;

// kAnswerTimeoutMs, or READER_TIMEOUT_MS (1..60000) when set; read on every
// call so a test can shorten it.
int answerTimeoutMs();

} // namespace readerlib
