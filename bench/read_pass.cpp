// read_pass: one reading pass of the streaming XML reader over road files, with handlers that
// do what phase 1 of the road job does: the highest version per feature, the
// departed features, the vehicle use and type vocabularies, and Delete on every finished node
// of depth 1 or more. Prints bytes, time, MB/s and peak memory.
//
//   read_pass [--no-tables] [--page BYTES] [--repeat N] FILE...
//
// --no-tables  the handlers do the same reads but keep no per-feature table (VersionList,
//              DepartedFeatures), so that peak memory shows the reader alone.
// --repeat N   read the files N times and report the best pass (warm cache).
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "input/native_xml.h"

namespace {

struct TCaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    }
};

inline unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

// A hashed list keyed by text without regard to ASCII letter case, first addition wins, built
// like the road job's (src/roadjob/string_lists.h): keys in one character arena, an
// open-addressing table of entry numbers.
class TFoldedHashList {
public:
    int32_t* Find(std::string_view Key) {
        if (FSlots.empty()) return nullptr;
        const uint32_t h = Hash(Key);
        const size_t mask = FSlots.size() - 1;
        for (size_t s = h & mask;; s = (s + 1) & mask) {
            const uint32_t slot = FSlots[s];
            if (slot == 0) return nullptr;
            const TEntry& e = FEntries[slot - 1];
            if (e.Hash == h && Equal(std::string_view(FText.data() + e.Offset, e.Length), Key)) return &FValues[slot - 1];
        }
    }
    void Add(std::string_view Key, int32_t Value) {
        if (Find(Key)) return;
        if ((FEntries.size() + 1) * 2 > FSlots.size()) Grow();
        const uint32_t h = Hash(Key);
        FEntries.push_back(TEntry{FText.size(), static_cast<uint32_t>(Key.size()), h});
        FText.append(Key);
        FValues.push_back(Value);
        Place(static_cast<uint32_t>(FEntries.size() - 1), h);
    }
    size_t Count() const { return FEntries.size(); }

private:
    struct TEntry {
        uint64_t Offset;
        uint32_t Length;
        uint32_t Hash;
    };
    static uint32_t Hash(std::string_view s) {
        uint32_t h = 2166136261u;
        for (unsigned char c : s) h = (h ^ Fold(c)) * 16777619u;
        return h;
    }
    static bool Equal(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
        return true;
    }
    void Place(uint32_t index, uint32_t h) {
        const size_t mask = FSlots.size() - 1;
        size_t s = h & mask;
        while (FSlots[s] != 0) s = (s + 1) & mask;
        FSlots[s] = index + 1;
    }
    void Grow() {
        FSlots.assign(FSlots.empty() ? 16 : FSlots.size() * 2, 0);
        for (uint32_t i = 0; i < FEntries.size(); ++i) Place(i, FEntries[i].Hash);
    }
    std::string FText;
    std::vector<TEntry> FEntries;
    std::vector<int32_t> FValues;
    std::vector<uint32_t> FSlots;
};

// The phase 1 handlers of the road job.
struct TPhase1 {
    bool KeepTables = true;
    std::string CurrentFid;
    TFoldedHashList VersionList;
    std::set<std::string, TCaseLess> DepartedFeatures, VehicleUseList, VehicleTypeList;
    uint64_t Nodes = 0, Versions = 0, Departed = 0;

    static std::string FidOf(const itn::TXmlNode& Node) {
        if (!Node.HasAttribute("fid")) return std::string();
        const std::string fid = Node.AttributeByName("fid");
        return fid.size() > 4 ? fid.substr(4, 16) : std::string();
    }

    void NodeNew(itn::TXmlNode& Node) {
        if (Node.HasAttribute("fid")) CurrentFid = FidOf(Node);
        if (Node.Name() == "osgb:DepartedFeature") {
            ++Departed;
            if (KeepTables) DepartedFeatures.insert(CurrentFid);
        }
    }

    void NodeLoaded(itn::TXmlNode& Node) {
        ++Nodes;
        const std::string& name = Node.Name();
        if (name == "osgb:version") {
            const int32_t v = Node.ValueAsInteger();
            ++Versions;
            if (KeepTables) {
                if (int32_t* known = VersionList.Find(CurrentFid)) {
                    if (v > *known) *known = v;
                } else {
                    VersionList.Add(CurrentFid, v);
                }
            }
        }
        const int depth = Node.TreeDepth();
        if (name == "osgb:use" && depth == 4) {
            VehicleUseList.insert(Node.ValueAsString());
        } else if (name == "osgb:type" && depth == 4) {
            VehicleTypeList.insert(Node.ValueAsString());
        } else if (depth >= 1) {
            Node.Delete();
        }
    }
};

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

long PeakRssKiB() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;  // KiB on Linux
}

int Usage() {
    std::fprintf(stderr, "Usage: read_pass [--no-tables] [--page BYTES] [--repeat N] FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool keep_tables = true;
    size_t page = 0;
    int repeat = 1;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--no-tables") keep_tables = false;
        else if (a == "--page" && i + 1 < argc) page = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--repeat" && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
        else if (a.rfind("--", 0) == 0) return Usage();
        else files.push_back(a);
    }
    if (files.empty()) return Usage();

    uint64_t bytes = 0;
    for (const auto& f : files) bytes += std::filesystem::file_size(f);

    double best = 1e300, best_cpu = 1e300;
    TPhase1 last;
    size_t allocated_nodes = 0;
    try {
        for (int r = 0; r < repeat; ++r) {
            TPhase1 phase;
            phase.KeepTables = keep_tables;
            itn::TNativeXml xml;
            if (page) xml.SetPageSize(page);
            xml.EncodingString = "UTF-8";
            uint64_t progress_events = 0;
            xml.OnProgress = [&](itn::TNativeXml&, int32_t) { ++progress_events; };
            xml.OnNodeNew = [&](itn::TNativeXml&, itn::TXmlNode& n) { phase.NodeNew(n); };
            xml.OnNodeLoaded = [&](itn::TNativeXml&, itn::TXmlNode& n) { phase.NodeLoaded(n); };
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = CpuSeconds();
            for (const auto& f : files) xml.LoadFromFile(f);
            const double c = CpuSeconds() - c0;
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            best = std::min(best, s);
            best_cpu = std::min(best_cpu, c);
            allocated_nodes = std::max(allocated_nodes, xml.AllocatedNodeCount());
            last = std::move(phase);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "read_pass: %s\n", e.what());
        return 1;
    }
    std::printf("files             %zu\n", files.size());
    std::printf("bytes             %llu\n", static_cast<unsigned long long>(bytes));
    std::printf("handlers          phase 1%s\n", keep_tables ? "" : " (no per-feature tables)");
    std::printf("nodes_loaded      %llu\n", static_cast<unsigned long long>(last.Nodes));
    std::printf("versions          %llu (features in VersionList: %zu)\n", static_cast<unsigned long long>(last.Versions),
                last.VersionList.Count());
    std::printf("departed          %llu\n", static_cast<unsigned long long>(last.Departed));
    std::printf("vehicle_uses      %zu\n", last.VehicleUseList.size());
    std::printf("vehicle_types     %zu\n", last.VehicleTypeList.size());
    std::printf("reader_node_objs  %zu\n", allocated_nodes);
    std::printf("best_seconds      %.3f\n", best);
    std::printf("MB_per_s          %.1f\n", static_cast<double>(bytes) / best / 1e6);
    std::printf("MiB_per_s         %.1f\n", static_cast<double>(bytes) / best / (1024.0 * 1024.0));
    // CPU time of the process (user + system): the throughput of one core, unaffected by
    // other processes waiting for the same cores.
    std::printf("best_cpu_seconds  %.3f\n", best_cpu);
    std::printf("MB_per_cpu_s      %.1f\n", static_cast<double>(bytes) / best_cpu / 1e6);
    std::printf("peak_rss_kib      %ld\n", PeakRssKiB());
    return 0;
}
