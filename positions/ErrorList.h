#pragma once

#include "Legality.h"

#include <cstddef>
#include <vector>

// A position line that a file reading could not take.
struct ErrorListEntry {
    int lineNumber = 0; // the position line's number in the file, from 1
    LegalityCode code = 0;
    // Where the correction re-read put this line's diagram (index in the list read), -1 when it made none.
    int diagramIndex = -1;
};

// A value of a colour, mark or rotation line outside what those lines may hold: that value is left out,
// the diagram is taken.
constexpr LegalityCode BadBlockValue = 21;
// A line longer than any position file holds.
constexpr LegalityCode LineTooLong = 22;

// The faulty lines of the last file read, every one of them: the error dialog lists the first Capacity
// and counts the rest. In correction mode a cursor walks the entries from one faulty diagram to the next.
class OpenErrorList {
public:
    static constexpr size_t Capacity = 100;

    void Clear();
    void Add(int lineNumber, LegalityCode code);
    bool Empty() const { return entries.empty(); }
    const std::vector<ErrorListEntry>& Entries() const { return entries; }
    std::vector<ErrorListEntry>& Entries() { return entries; }
    // The entries the dialog lists, and the faulty lines beyond them.
    size_t ListedCount() const { return entries.size() < Capacity ? entries.size() : Capacity; }
    int MoreCount() const { return static_cast<int>(entries.size() - ListedCount()); }
    int FaultyLineCount() const { return static_cast<int>(entries.size()); }

    // The correction walk: from the cursor, entries of lines that could not be read at all (codes 15 and
    // up) are passed over and counted in `skipped`; returns the entry reached, or nullptr at the end of the
    // list. The cursor stays on the entry returned.
    const ErrorListEntry* NextToCorrect();
    void StartWalk()
    {
        errorListCursor = 0;
        errorListSkipped = 0;
    }

    int errorListCursor = 0;
    int errorListSkipped = 0;

private:
    std::vector<ErrorListEntry> entries;
};

// Whether a listed line still gave its diagram: its fault was only a value the reading left out.
constexpr bool DiagramKept(LegalityCode code)
{
    return code == BadBlockValue;
}

// The string-table text that the error list shows for a code, 0 for none.
int ErrorMessageId(LegalityCode code);
