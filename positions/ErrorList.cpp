#include "ErrorList.h"

void OpenErrorList::Clear()
{
    entries.clear();
    StartWalk();
}

void OpenErrorList::Add(int lineNumber, LegalityCode code)
{
    entries.push_back({ lineNumber, code, -1 });
}

const ErrorListEntry* OpenErrorList::NextToCorrect()
{
    while (errorListCursor < static_cast<int>(entries.size())) {
        const ErrorListEntry& entry = entries[static_cast<size_t>(errorListCursor)];
        // Lines that were never read as a position have no diagram to correct.
        if (entry.code < Legality::SlashCount && entry.diagramIndex >= 0) return &entry;
        ++errorListSkipped;
        ++errorListCursor;
    }
    return nullptr;
}

int ErrorMessageId(LegalityCode code)
{
    if (code == BadBlockValue) return 40400;
    if (code == LineTooLong) return 41400;
    if (!Legality::IsError(code) || code == Legality::TooManyBadLines || code == Legality::OutOfMemory)
        return 0;
    return Legality::MessageFor(code).stringId;
}
