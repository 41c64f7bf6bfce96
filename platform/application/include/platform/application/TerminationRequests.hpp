#pragma once
// SIGTERM and SIGINT turned into a call on the main thread, so the program ends through its event
// loop (and its "will terminate" work) instead of dying in the middle of a write.
//
// Contract:
// - Thread: construct and destroy on the main thread while the QCoreApplication exists; onRequest
//   runs there, from the event loop, once per delivered signal (signals that arrive together may
//   be reported once).
// - At most one instance per process: signal dispositions are process-wide. A second construction
//   throws std::logic_error. Destruction restores the dispositions found at construction.
// - The signal handler only writes one byte to a non-blocking pipe: it is async-signal-safe.

#include "platform/concurrency/LoopDescriptor.hpp"

#include <csignal>
#include <functional>
#include <memory>

namespace platform::application {

class TerminationRequests {
public:
    explicit TerminationRequests(std::function<void(int signal)> onRequest);
    ~TerminationRequests();
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;

private:
    void drain();

    int writeEnd_ = -1;
    std::unique_ptr<LoopDescriptor> readEnd_;
    std::function<void(int)> onRequest_;
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
};

} // namespace platform::application
