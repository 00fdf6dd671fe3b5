// inflate_speed: decompresses .gz files with the converter's inflater and discards the output.
// Prints the inflater (ISA-L igzip or zlib, fixed at build time), the bytes in and out, the
// time and MB/s of decompressed output.
//
//   inflate_speed [--thread] [--repeat N] FILE.gz...
//
// --thread    read through the queue of the second thread, as the XML reader does, instead of
//             calling the decoder directly
// --repeat N  decompress the files N times and report the best pass (warm cache)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "input/gz_input.h"

namespace {

template <typename TSource>
uint64_t Drain(TSource& Source) {
    constexpr size_t kChunk = size_t{256} << 10;  // the XML reader's page
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    uint64_t total = 0;
    while (const size_t n = Source.Read(buffer.get(), kChunk)) total += n;
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    bool threaded = false;
    int repeat = 1;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--thread") {
            threaded = true;
        } else if (arg == "--repeat" && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: inflate_speed [--thread] [--repeat N] FILE.gz...\n");
        return 2;
    }
    try {
        double best = 0;
        uint64_t in = 0, out = 0;
        for (int pass = 0; pass < repeat; ++pass) {
            in = out = 0;
            const auto start = std::chrono::steady_clock::now();
            for (const std::string& file : files) {
                const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
                if (fd < 0) {
                    std::fprintf(stderr, "cannot open %s: %s\n", file.c_str(), std::strerror(errno));
                    return 1;
                }
                in += static_cast<uint64_t>(::lseek(fd, 0, SEEK_END));
                ::lseek(fd, 0, SEEK_SET);
                if (threaded) {
                    itn::TGzReader reader(fd, file);
                    out += Drain(reader);
                } else {
                    itn::TGzDecoder decoder(fd, file);
                    out += Drain(decoder);
                }
                ::close(fd);
            }
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (pass == 0 || seconds < best) best = seconds;
        }
        std::printf("%s%s: %.1f MB in, %.1f MB out, %.3f s, %.0f MB/s\n", itn::GzInflaterName(),
                    threaded ? " (second thread)" : "", in / 1e6, out / 1e6, best, out / 1e6 / best);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
