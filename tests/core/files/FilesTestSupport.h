#pragma once
// Small helpers the file tests share: walking a read list and reading a text as a file.
#include "positions/DiagramList.h"
#include "positions/PositionFile.h"

#include <sstream>
#include <stdexcept>
#include <string>

inline int Count(const DiagramList& list)
{
    int n = 0;
    for (DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next) ++n;
    return n;
}

// A missing diagram fails the test through the exception instead of a null dereference.
inline DiagramRecord& Nth(const DiagramList& list, int index)
{
    DiagramRecord* r = list.m_pFirstDiagram;
    while (r && index-- > 0) r = r->next;
    if (!r) throw std::out_of_range("no such diagram");
    return *r;
}

inline PositionFile::ReadOptions OptionsFor(const std::string& extension, bool legal = true)
{
    PositionFile::ReadOptions o;
    o.extension = extension;
    o.legalCheckActive = legal;
    return o;
}

inline PositionFile::ReadResult ReadText(
    const std::string& text, const PositionFile::ReadOptions& options, DiagramList& list)
{
    std::istringstream in(text);
    return PositionFile::ReadList(in, options, list);
}
