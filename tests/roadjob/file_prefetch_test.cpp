#include "roadjob/file_prefetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace itn {
namespace {

// The work only ends once the waiting side has pumped: a Wait that did not pump would hang.
TEST(FilePrefetch, WaitPumpsUntilTheWorkEndsAndRaisesItsError) {
    std::atomic<bool> pumped{false};
    TFilePrefetch prefetch;
    prefetch.Start(1, [&pumped] {
        while (!pumped) std::this_thread::yield();
        throw std::runtime_error("bad file");
    });
    EXPECT_TRUE(prefetch.Holds(1));
    try {
        prefetch.Wait([&pumped] { pumped = true; });
        FAIL() << "the work's error was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "bad file");
    }
    EXPECT_FALSE(prefetch.Holds(1));
}

}  // namespace
}  // namespace itn
