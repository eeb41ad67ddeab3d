#pragma once

#include <functional>

class QPainter;
class QPrinter;
class QWidget;

// The print loop of the program: the view says how many pages there are and where to start, then
// draws one page at a time on the printer's painter, through a device context in twips (1/1440 inch)
// with y growing upward from the page top (negative below it).
struct CPrintInfo {
    int minPage = 1;
    int maxPage = 1;
    int currentPage = 1; // the page being drawn; in the preview, the page shown when it closes
    bool preview = false;
    // The printable area in twips: left 0, top 0, right = width, bottom = -height.
    int drawRight = 0;
    int drawBottom = 0;
};

namespace Print {

using DrawPage = std::function<void(QPainter&, CPrintInfo&)>;

// Fills in the printable area of the page in twips.
void BeginTwips(QPainter& painter, QPrinter& printer, CPrintInfo& info);

// Asks for a printer (the dialog can be cancelled: false) and prints every page of the range.
bool PrintDocument(QWidget* parent, CPrintInfo& info, const DrawPage& draw);

// Shows the print preview; when it closes, info.currentPage holds the page the user was looking at.
void PrintPreview(QWidget* parent, CPrintInfo& info, const DrawPage& draw);

// Printer set-up (File > Print Setup).
void PrintSetup(QWidget* parent);

// Tests print into this printer instead of asking the user (a PDF file printer, say).
extern QPrinter* scriptedPrinter;

} // namespace Print
