#pragma once
// Work spread over the host's CPU threads through its multithread suite.

namespace OFX {
namespace MultiThread {

class Processor {
 public:
    virtual ~Processor() = default;

    // Runs the share of thread `threadIndex` out of `threadCount`.
    virtual void multiThreadFunction(unsigned int threadIndex, unsigned int threadCount) = 0;

    // Runs multiThreadFunction on `threadCount` threads (0: one per host CPU) and returns
    // when all are done. One thread runs inline on the caller. An exception raised on a
    // host thread is carried back and raised here once every thread has finished.
    virtual void multiThread(unsigned int threadCount = 0);
};

// The host's CPU count; 1 without the suite or when the host cannot say.
unsigned int getNumCPUs();

}  // namespace MultiThread
}  // namespace OFX
