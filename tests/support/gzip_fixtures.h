// gzip test inputs: members made with zlib, and a table of good and bad .gz files that both
// XML readers are run over.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

namespace itn::test {

// One gzip member holding Data; StoredName goes into the header when not empty.
inline std::string GzipMember(const std::string& Data, const std::string& StoredName = "") {
    z_stream zs{};
    EXPECT_EQ(deflateInit2(&zs, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    gz_header header{};
    std::string name = StoredName;
    if (!name.empty()) {
        header.name = reinterpret_cast<Bytef*>(name.data());
        EXPECT_EQ(deflateSetHeader(&zs, &header), Z_OK);
    }
    std::string out(deflateBound(&zs, Data.size()) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data.data()));
    zs.avail_in = static_cast<uInt>(Data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

// An XML document of about Size bytes whose elements carry varied numbers, so that it
// compresses poorly enough to span several buffers of the inflater and of the readers.
inline std::string SampleDocument(size_t Size, unsigned Seed) {
    std::mt19937 rng(Seed);
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osgb:FeatureCollection>\n";
    while (s.size() < Size) {
        s += "<osgb:version n=\"" + std::to_string(rng() % 100000) + "\">" + std::to_string(rng()) +
             "</osgb:version>\n";
    }
    return s + "</osgb:FeatureCollection>\n";
}

// A .gz file's bytes and what reading it must give: the plain text, or an error whose message
// holds Expected and "byte <Offset>".
struct TGzCase {
    std::string What;
    std::string Bytes;
    std::string Plain;     // for good files
    std::string Expected;  // for bad files: part of the message
    long long Offset = -1; // for bad files: the compressed byte named, when it is exact
    bool Good() const { return Expected.empty(); }
};

// The table of .gz inputs. Documents split across members are cut between elements and
// inside them; SmallSize keeps the members small for the slower document reader.
inline std::vector<TGzCase> GzCases(size_t Size) {
    const std::string doc = SampleDocument(Size, 7);
    const std::string member = GzipMember(doc);
    const size_t third = doc.size() / 3;
    std::vector<TGzCase> cases = {
        {"single member, no stored name", member, doc, "", -1},
        {"single member, stored name", GzipMember(doc, "something-else.xml"), doc, "", -1},
        {"several members, cut inside elements",
         GzipMember(doc.substr(0, third)) + GzipMember(doc.substr(third, third), "b.gml") +
             GzipMember(doc.substr(2 * third)),
         doc, "", -1},
        {"empty members before, between and after",
         GzipMember("") + GzipMember(doc.substr(0, third)) + GzipMember("") + GzipMember(doc.substr(third)) +
             GzipMember(""),
         doc, "", -1},
        {"trailing zero padding", member + std::string(1000, '\0'), doc, "", -1},
    };
    std::string flipped = member;
    flipped[flipped.size() / 2] ^= 0x55;
    std::string badCrc = member;
    badCrc[badCrc.size() - 6] ^= 0x01;
    cases.push_back({"damaged data", flipped, "", "damaged", -1});
    cases.push_back({"wrong checksum", badCrc, "", "damaged", -1});
    cases.push_back({"not gzip at all", doc, "", "not in gzip format", 0});
    cases.push_back({"empty file", "", "", "empty", -1});
    cases.push_back({"garbage after the member", member + "garbage", "", "unexpected data after the end",
                     static_cast<long long>(member.size())});
    cases.push_back({"zero padding then garbage", member + std::string(8, '\0') + "x", "",
                     "unexpected data after the end", static_cast<long long>(member.size() + 8)});
    for (const size_t cut : {size_t{1}, size_t{2}, size_t{5}, size_t{12}, member.size() / 3, member.size() - 8,
                             member.size() - 3}) {
        cases.push_back({"truncated to " + std::to_string(cut) + " bytes", member.substr(0, cut), "", "truncated",
                         static_cast<long long>(cut)});
    }
    return cases;
}

}  // namespace itn::test
