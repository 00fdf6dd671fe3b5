#include "roadjob/file_prefetch.h"

#include <utility>

namespace itn {

TFilePrefetch::~TFilePrefetch() {
    if (FThread.joinable()) FThread.join();
}

void TFilePrefetch::Start(int32_t Index, std::function<void()> Work) {
    FIndex = Index;
    FError = nullptr;
    FThread = std::thread([this, Work = std::move(Work)] {
        try {
            Work();
        } catch (...) {
            FError = std::current_exception();
        }
    });
}

void TFilePrefetch::Wait() {
    if (FThread.joinable()) FThread.join();
    FIndex = -1;
    if (FError) std::rethrow_exception(std::exchange(FError, nullptr));
}

}  // namespace itn
