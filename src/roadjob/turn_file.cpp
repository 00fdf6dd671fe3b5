#include "roadjob/turn_file.h"

#include <string_view>

#include "io/text_file_writer.h"

namespace itn {

namespace {

TTurnCoord CoordOf(const TStringList<TTurnCoord>* TurnCoords, std::string_view Toid) {
    const TTurnCoord* found = TurnCoords ? TurnCoords->Find(Toid) : nullptr;
    return found ? *found : TTurnCoord{};
}

std::vector<std::string> SplitAtBlanks(std::string_view Text) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < Text.size()) {
        while (i < Text.size() && Text[i] == ' ') ++i;
        const size_t start = i;
        while (i < Text.size() && Text[i] != ' ') ++i;
        if (i > start) parts.emplace_back(Text.substr(start, i - start));
    }
    return parts;
}

}  // namespace

std::pair<std::string, std::string> ResolveTurnSuffixes(const TTurnCoord& a, const TTurnCoord& b) {
    std::string sa = "  ", sb = "  ";
    const std::string lastA = "_" + std::to_string(a.N + 1);
    const std::string lastB = "_" + std::to_string(b.N + 1);
    if (a.coord1 == b.coord1) {
        sa = "_1";
        sb = "_1";
    } else if (a.coord1 == b.coordN) {
        sa = "_1";
        sb = lastB;
    } else if (a.coordN == b.coord1) {
        sa = lastA;
        sb = "_1";
    } else if (a.coordN == b.coordN) {
        sa = lastA;
        sb = lastB;
    }
    if (a.N == 0) sa = "  ";
    if (b.N == 0) sb = "  ";
    return {sa, sb};
}

void WriteTurnFile(const std::string& FileName, uint16_t Codepage, const TTurnRestrictions& Turns,
                   bool UrbanPathsPresent, const TStringList<TTurnCoord>* TurnCoords) {
    TTextFileWriter file(FileName, Codepage, false);
    std::string line;
    for (size_t i = 0; i < Turns.NoTurnFromList.size(); ++i) {
        const std::string& a = Turns.NoTurnFromList[i];
        const std::string& b = Turns.NoTurnToList[i];
        if (UrbanPathsPresent) {
            const auto [sa, sb] = ResolveTurnSuffixes(CoordOf(TurnCoords, a), CoordOf(TurnCoords, b));
            line = "0 " + a + sa + " " + b + sb + " -1";
        } else {
            line = "0 " + a + " " + b + " -1";
        }
        file.writeln(line);
    }
    for (size_t i = 0; i < Turns.MandatoryTurnFromList.size(); ++i) {
        const std::string& a = Turns.MandatoryTurnFromList[i];
        const std::string& b = Turns.MandatoryTurnToList[i];
        if (UrbanPathsPresent) {
            const auto [sa, sb] = ResolveTurnSuffixes(CoordOf(TurnCoords, a), CoordOf(TurnCoords, b));
            line = "3 " + a + sa + " " + b + sb;
        } else {
            line = "3 " + a + " " + b;
        }
        file.writeln(line);
    }
    for (const std::string& sequence : Turns.NoTurnSequenceList) {
        const std::vector<std::string> t = SplitAtBlanks(sequence);
        // A sequence of one link has no junction to resolve: it reads as without urban paths.
        if (!UrbanPathsPresent || t.size() < 2) {
            file.writeln("5 " + sequence + "-1");
            continue;
        }
        const size_t q = t.size() - 1;
        line = "5 " + t[0] + ResolveTurnSuffixes(CoordOf(TurnCoords, t[0]), CoordOf(TurnCoords, t[1])).first + " ";
        for (size_t k = 1; k < q; ++k) {
            const TTurnCoord inner = CoordOf(TurnCoords, t[k]);
            if (inner.N > 0) {
                for (int32_t piece = 1; piece <= inner.N + 1; ++piece) line += t[k] + "_" + std::to_string(piece) + " ";
            } else {
                line += t[k] + "   ";
            }
        }
        line += t[q] + ResolveTurnSuffixes(CoordOf(TurnCoords, t[q - 1]), CoordOf(TurnCoords, t[q])).second + " -1";
        file.writeln(line);
    }
    file.Close();
}

}  // namespace itn
