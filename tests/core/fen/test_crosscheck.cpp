// Our checker against the verdicts of an independent chess library, on positions from random games
// and on copies of them with a king taken away or added, a pawn on a back rank, or the side in check
// no longer to move. The fixture and the script that made it are in tests/data/fen/.
#include "positions/PositionChecker.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Verdict {
    std::string fen;
    bool kingsOk;
    bool edgePawns;
    std::string notToMoveInCheck; // "1", "0", or "-" where the kings are wrong
};

std::vector<Verdict> LoadVerdicts()
{
    std::ifstream in(BRENNIX_TEST_DATA "/fen/crosscheck.tsv");
    std::vector<Verdict> verdicts;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        if (fields.size() != 5) {
            ADD_FAILURE() << "bad fixture line: " << line;
            continue;
        }
        verdicts.push_back({ fields[0], fields[2] == "ok", fields[3] == "1", fields[4] });
    }
    return verdicts;
}

TEST(CrossCheck, AgreesWithAnIndependentLibrary)
{
    std::vector<Verdict> verdicts = LoadVerdicts();
    ASSERT_GE(verdicts.size(), 300u);
    int inCheck = 0, kingFaults = 0, pawnFaults = 0;
    for (const Verdict& v : verdicts) {
        PositionChecker checker;
        LegalityCode code = checker.CheckFenPosition(v.fen);
        bool ourKingFault = code == Legality::KingMissing || code == Legality::TooManyKings;
        EXPECT_EQ(ourKingFault, !v.kingsOk) << v.fen << " gave " << code;
        if (!v.kingsOk) {
            ++kingFaults;
            continue;
        }
        EXPECT_EQ(code == Legality::PawnOnBackRank, v.edgePawns) << v.fen << " gave " << code;
        if (v.edgePawns) {
            ++pawnFaults;
            continue;
        }
        // Adjacent kings attack each other, so they are a check of the side not to move too.
        bool ourCheck = code == Legality::AdjacentKings || code == Legality::BothInCheck
            || code == Legality::WhiteInCheckNotToMove || code == Legality::BlackInCheckNotToMove;
        EXPECT_EQ(ourCheck, v.notToMoveInCheck == "1") << v.fen << " gave " << code;
        if (v.notToMoveInCheck == "1") {
            ++inCheck;
        } else {
            // Positions of real games: nothing but a warning may be raised.
            EXPECT_LE(code, 0) << v.fen;
        }
    }
    // The fixture exercises every rule.
    EXPECT_GT(inCheck, 20);
    EXPECT_GT(kingFaults, 20);
    EXPECT_GT(pawnFaults, 20);
}

} // namespace
