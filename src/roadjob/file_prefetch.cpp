#include "roadjob/file_prefetch.h"

#include <chrono>
#include <utility>

namespace itn {

TFilePrefetch::~TFilePrefetch() {
    if (FThread.joinable()) FThread.join();
}

void TFilePrefetch::Start(int32_t Index, std::function<void()> Work) {
    FIndex = Index;
    FError = nullptr;
    FDone = false;
    FThread = std::thread([this, Work = std::move(Work)] {
        try {
            Work();
        } catch (...) {
            FError = std::current_exception();
        }
        std::lock_guard<std::mutex> guard(FLock);
        FDone = true;
        FDoneSignal.notify_all();
    });
}

void TFilePrefetch::Wait(const std::function<void()>& Pump) {
    if (FThread.joinable() && Pump) {
        std::unique_lock<std::mutex> lock(FLock);
        while (!FDoneSignal.wait_for(lock, std::chrono::milliseconds(40), [this] { return FDone; })) {
            lock.unlock();
            Pump();
            lock.lock();
        }
    }
    if (FThread.joinable()) FThread.join();
    FIndex = -1;
    if (FError) std::rethrow_exception(std::exchange(FError, nullptr));
}

}  // namespace itn
