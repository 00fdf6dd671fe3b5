#include "roadjob/turn_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace itn {
namespace {

std::string ReadAll(const std::string& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TempFile(const char* Name) {
    return (std::filesystem::temp_directory_path() / (std::string("roadjob_") + Name)).string();
}

TEST(TurnFileTest, SuffixesAtTheCommonPoint) {
    const TTurnCoord a3{2, {0, 0}, {10, 0}};   // divided into three pieces
    const TTurnCoord b{0, {10, 0}, {20, 0}};   // undivided
    const TTurnCoord b2{1, {30, 0}, {0, 0}};   // two pieces, ends where a3 starts
    const TTurnCoord far{1, {50, 50}, {60, 60}};
    EXPECT_EQ(ResolveTurnSuffixes(a3, b), std::make_pair(std::string("_3"), std::string("  ")));
    EXPECT_EQ(ResolveTurnSuffixes(a3, b2), std::make_pair(std::string("_1"), std::string("_2")));
    EXPECT_EQ(ResolveTurnSuffixes(b2, a3), std::make_pair(std::string("_2"), std::string("_1")));
    EXPECT_EQ(ResolveTurnSuffixes(a3, far), std::make_pair(std::string("  "), std::string("  ")));
    const TTurnCoord sameStart{1, {0, 0}, {5, 5}};
    EXPECT_EQ(ResolveTurnSuffixes(a3, sameStart), std::make_pair(std::string("_1"), std::string("_1")));
}

TEST(TurnFileTest, LinesWithoutUrbanPathsInKindOrder) {
    TTurnRestrictions turns;
    turns.NoTurnSequenceList = {"E F G ", "H "};
    turns.MandatoryTurnFromList = {"C"};
    turns.MandatoryTurnToList = {"D"};
    turns.NoTurnFromList = {"A"};
    turns.NoTurnToList = {"B"};
    const std::string file = TempFile("turn_plain.txt");
    WriteTurnFile(file, 1252, turns, false, nullptr);
    EXPECT_EQ(ReadAll(file), "0 A B -1\r\n3 C D\r\n5 E F G -1\r\n5 H -1\r\n");
    std::filesystem::remove(file);
}

TEST(TurnFileTest, LinesWithUrbanPathsNamePieces) {
    TStringList<TTurnCoord> coords;
    coords.Add("A", TTurnCoord{2, {0, 0}, {10, 0}});
    coords.Add("B", TTurnCoord{0, {10, 0}, {20, 0}});
    coords.Add("F", TTurnCoord{1, {20, 0}, {30, 0}});
    coords.Add("G", TTurnCoord{1, {40, 0}, {30, 0}});
    TTurnRestrictions turns;
    turns.NoTurnFromList = {"A"};
    turns.NoTurnToList = {"B"};
    turns.MandatoryTurnFromList = {"B"};
    turns.MandatoryTurnToList = {"A"};
    turns.NoTurnSequenceList = {"B F G ", "B X G ", "A "};
    const std::string file = TempFile("turn_urban.txt");
    WriteTurnFile(file, 1252, turns, true, &coords);
    EXPECT_EQ(ReadAll(file),
              "0 A_3 B   -1\r\n"
              "3 B   A_3\r\n"
              "5 B   F_1 F_2 G_2 -1\r\n"
              "5 B   X   G   -1\r\n"
              "5 A -1\r\n");
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace itn
