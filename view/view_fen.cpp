#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "positions/FenLine.h"

std::string CPlaviaView::BuildFenText(bool forDisplay)
{
    if (!m_pCurrentDiagram) return {};
    return FenLine::BuildFenText(*this, *m_pCurrentDiagram, forDisplay, GlobalModes::fairyMode);
}

std::string CPlaviaView::AppendEpdOperations(bool fileMode)
{
    std::string operations;
    if (m_pCurrentDiagram) FenLine::AppendEpdOperations(operations, *this, *m_pCurrentDiagram, fileMode);
    return operations;
}
