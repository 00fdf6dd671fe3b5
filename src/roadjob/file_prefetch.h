// Runs the reading of one road file on a second thread while the caller reads another.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace itn {

class TFilePrefetch {
public:
    TFilePrefetch() = default;
    // Waits for a read in progress; its error is dropped.
    ~TFilePrefetch();
    TFilePrefetch(const TFilePrefetch&) = delete;
    TFilePrefetch& operator=(const TFilePrefetch&) = delete;

    bool Holds(int32_t Index) const { return FIndex == Index; }
    void Start(int32_t Index, std::function<void()> Work);
    // Waits for the work to end and raises its error, if any. While waiting, Pump (when given)
    // is called every 40 ms.
    void Wait(const std::function<void()>& Pump = {});

private:
    int32_t FIndex = -1;
    std::mutex FLock;
    std::condition_variable FDoneSignal;
    bool FDone = false;
    std::exception_ptr FError;
    std::thread FThread;
};

}  // namespace itn
