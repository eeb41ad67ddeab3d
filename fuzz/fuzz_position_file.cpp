// Whole position files (BNX with its header and record blocks, EPD, FEN, text), read as File Open reads
// them, then re-read for correction as "Correct errors" does, and written back in every kind. What is
// written as BNX, EPD, FEN or text is read again and compared field by field with what that kind keeps.
//
// Options byte: bits 0-1 the file's extension (bnx, epd, fen, txt), bit 2 legality check, bit 3 fairy
// mode, bit 4 letter family 2, bit 5 Save As (only the mark slots in use), bit 6 read back what was
// written also in the kinds other than BNX.

#include "FuzzSupport.h"

#include "positions/FenLine.h"
#include "positions/PositionFile.h"
#include "tests/support/LineTexts.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace PositionFile;

void checkRead(const DiagramList& list, const ReadResult& result)
{
    CheckListLinks(list, result.diagramsMade);
    FUZZ_CHECK(list.DiagramCount() == result.diagramsMade);
    // Every page of nine diagrams has its node.
    int pages = 0;
    for (const PrintHeaderNode* p = list.m_pFirstPage; p; p = p->next) ++pages;
    FUZZ_CHECK(pages >= (result.diagramsMade + 8) / 9);
    // Every faulty line is kept for correction; the dialog lists the first hundred.
    FUZZ_CHECK(result.errors.ListedCount() <= OpenErrorList::Capacity);
    FUZZ_CHECK(result.errors.ListedCount() + size_t(result.errors.MoreCount()) == result.errors.Entries().size());
    FUZZ_CHECK(result.diagramsMade == 0 || list.m_pCurrentDiagram == list.m_pFirstDiagram);
}

ReadResult read(std::string_view text, const ReadOptions& options, DiagramList& list)
{
    std::istringstream in { std::string(text) };
    ReadResult result = ReadList(in, options, list);
    checkRead(list, result);
    return result;
}

// The piece field in FEN letters; empty when the board holds a letter no FEN letter names, which no
// kind but the fairy BNX form can keep.
std::string fenPieces(const DiagramList& list, const DiagramRecord& r)
{
    std::string fen = FenLine::BuildFenText(list, r, false, false);
    fen.resize(fen.find(' '));
    for (char c : fen)
        if (std::isalpha(static_cast<unsigned char>(c))
            && std::string_view("KQRBNPkqrbnp").find(c) == std::string_view::npos)
            return {};
    return fen;
}

std::vector<MarkSlot> usedMarks(const DiagramRecord& r)
{
    std::vector<MarkSlot> used;
    for (const MarkSlot& m : r.marks)
        if (m.from != 0) used.push_back(m);
    std::sort(used.begin(), used.end(), [](const MarkSlot& a, const MarkSlot& b) {
        return std::tie(a.from, a.to, a.type) < std::tie(b.from, b.to, b.type);
    });
    return used;
}

const std::string& pageText(const PrintHeaderNode* page, int which)
{
    static const std::string none;
    if (!page) return none;
    return which == 0 ? page->title : which == 1 ? page->topText : page->infoText;
}

// What `kind` keeps of `list` is in `back`, read from the file written.
void compareKept(const DiagramList& list, const DiagramList& back, Kind kind, bool fairyForm)
{
    FUZZ_CHECK(back.DiagramCount() == list.DiagramCount());
    const DiagramRecord* b = back.m_pFirstDiagram;
    for (const DiagramRecord* a = list.m_pFirstDiagram; a && b; a = a->next, b = b->next) {
        if (kind == Kind::Bnx && fairyForm) {
            FUZZ_CHECK(a->board == b->board);
            FUZZ_CHECK(a->rotations == b->rotations);
        } else if (std::string pieces = fenPieces(list, *a); !pieces.empty()) {
            FUZZ_CHECK(fenPieces(back, *b) == pieces);
        }
        FUZZ_CHECK((a->blackToMove != 0) == (b->blackToMove != 0));
        FUZZ_CHECK(a->castleWhiteShort == b->castleWhiteShort && a->castleWhiteLong == b->castleWhiteLong);
        FUZZ_CHECK(a->castleBlackShort == b->castleBlackShort && a->castleBlackLong == b->castleBlackLong);
        FUZZ_CHECK(a->enPassantFile == b->enPassantFile);
        if (kind == Kind::Fen) {
            FUZZ_CHECK(LineTexts::Counter(a->halfmoveClock, "0") == LineTexts::Counter(b->halfmoveClock, "0"));
            FUZZ_CHECK(LineTexts::Counter(a->fullmoveNumber, "1") == LineTexts::Counter(b->fullmoveNumber, "1"));
            continue;
        }
        if (b->fenForm && !a->fenForm) {
            // Operations that would read as counters are written after the counters as fields.
            FUZZ_CHECK(LineTexts::Counter(a->halfmoveClock, "0") == b->halfmoveClock);
            FUZZ_CHECK(LineTexts::Counter(a->fullmoveNumber, "1") == b->fullmoveNumber);
        } else {
            FUZZ_CHECK(a->halfmoveClock == b->halfmoveClock);
            FUZZ_CHECK(a->fullmoveNumber == b->fullmoveNumber);
        }
        // Every operation, and the comment, in a BNX, EPD or text file.
        FUZZ_CHECK((kind == Kind::Epd ? LineTexts::BreaksAsBlanks(a->comment) : a->comment) == b->comment);
        if (!a->comment.empty()) FUZZ_CHECK(a->commentOpcode == b->commentOpcode);
        FUZZ_CHECK(a->epdOpsBefore == b->epdOpsBefore);
        FUZZ_CHECK(a->epdOpsMiddle == b->epdOpsMiddle);
        FUZZ_CHECK(a->epdOpsAfter == b->epdOpsAfter);
        if (kind != Kind::Bnx) continue;
        FUZZ_CHECK(a->colours == b->colours);
        FUZZ_CHECK(a->colouredCount == b->colouredCount);
        FUZZ_CHECK(usedMarks(*a) == usedMarks(*b));
        FUZZ_CHECK(a->markCount == b->markCount);
        FUZZ_CHECK(a->flipped == b->flipped);
        FUZZ_CHECK(a->warningsAccepted == b->warningsAccepted);
    }
    if (kind != Kind::Bnx) return;
    FUZZ_CHECK(back.m_nStartNumber == list.m_nStartNumber);
    const PrintHeaderNode* p = list.m_pFirstPage;
    const PrintHeaderNode* q = back.m_pFirstPage;
    while (p || q) {
        for (int which = 0; which < 3; ++which) FUZZ_CHECK(pageText(p, which) == pageText(q, which));
        if (p) p = p->next;
        if (q) q = q->next;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    ReadOptions options;
    options.extension = PositionExtensions[input.pick(0)];
    options.legalCheckActive = input.flag(2);
    options.fairyMode = input.flag(3);
    options.letterFamily2 = input.flag(4);

    DiagramList list;
    ReadResult first = read(input.text, options, list);
    const bool fairy = options.fairyMode || first.headerSwitchesFairyOn;

    if (!first.errors.Empty()) {
        // "Correct errors": the same file again, the listed lines with a legality error taken unchecked.
        ReadOptions again = options;
        again.correct = &first.errors;
        again.legalCheckActive = false;
        again.fairyMode = fairy;
        DiagramList corrected;
        ReadResult second = read(input.text, again, corrected);
        FUZZ_CHECK(second.corrected.Entries().size() == first.errors.Entries().size());
        for (const ErrorListEntry& e : second.corrected.Entries())
            FUZZ_CHECK(e.diagramIndex < second.diagramsMade);
    }

    for (const char* extension : { "bnx", "epd", "fen", "txt", "pgn" }) {
        WriteOptions write;
        write.extension = extension;
        write.allMarkSlots = !input.flag(5);
        write.fairyMode = fairy;
        write.legalPosition = !first.headerSwitchesLegalOff;
        std::ostringstream out;
        FUZZ_CHECK(WriteList(list, write, out));
        const Kind kind = KindOf(extension);
        if (kind == Kind::Pgn || (kind != Kind::Bnx && !input.flag(6))) continue;

        // What the program wrote, it reads back: every diagram, with what the kind keeps of it.
        ReadOptions back;
        back.extension = extension;
        back.legalCheckActive = false;
        back.fairyMode = fairy;
        back.letterFamily2 = options.letterFamily2;
        DiagramList reread;
        ReadResult again = read(out.str(), back, reread);
        FUZZ_CHECK(again.errors.Empty());
        FUZZ_CHECK(!again.corrupted);
        compareKept(list, reread, kind, kind == Kind::Bnx && FairyForm(list, fairy));
    }
    return 0;
}
