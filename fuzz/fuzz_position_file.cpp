// Whole position files (BNX with its header and record blocks, EPD, FEN, text), read as File Open reads
// them, then re-read for correction as "Correct errors" does, and written back in every kind.
//
// Options byte: bits 0-1 the file's extension (bnx, epd, fen, txt), bit 2 legality check, bit 3 fairy
// mode, bit 4 letter family 2, bit 5 Save As (only the mark slots in use), bit 6 read back what was
// written as BNX.

#include "FuzzSupport.h"

#include "positions/PositionFile.h"

#include <sstream>
#include <string>

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

    std::string bnx;
    for (const char* extension : { "bnx", "epd", "fen", "txt", "pgn" }) {
        WriteOptions write;
        write.extension = extension;
        write.allMarkSlots = !input.flag(5);
        write.fairyMode = fairy;
        write.legalPosition = !first.headerSwitchesLegalOff;
        std::ostringstream out;
        FUZZ_CHECK(WriteList(list, write, out));
        if (write.extension == "bnx") bnx = out.str();
    }

    if (input.flag(6)) {
        ReadOptions back;
        back.legalCheckActive = false;
        back.fairyMode = fairy;
        back.letterFamily2 = options.letterFamily2;
        DiagramList reread;
        read(bnx, back, reread);
        // What the program wrote, it reads back: every diagram of the list.
        FUZZ_CHECK(reread.DiagramCount() == list.DiagramCount());
    }
    return 0;
}
