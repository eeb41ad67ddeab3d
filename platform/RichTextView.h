#pragma once

#include "RtfReader.h"

#include <QFrame>
#include <string>
#include <vector>

// Shows the RTF text of a board the way the program writes it: lines of runs, each run in its font
// and size. Runs in a chess font (or in a font the text's font table does not name) are drawn byte by
// byte in square cells, so the board's rows line up. It never takes the focus, and its copy puts the
// same RTF on the clipboard.
class RichTextView : public QFrame {
    Q_OBJECT
public:
    explicit RichTextView(QWidget* parent = nullptr);

    // Replaces the shown text (the stream-in of the rich-text control).
    void SetRtf(const std::string& rtf);
    const std::string& RtfText() const { return rtf; }
    const std::vector<Rtf::Line>& Lines() const { return lines; }
    // The text without its fonts, one entry a line.
    std::vector<std::string> PlainLines() const;

    // The chess font for runs that name none of their own.
    void SetChessFace(const std::string& face);

    // Selects everything and copies it: the RTF and, as text, the lines joined by CR LF.
    bool Copy();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool IsChessRun(const Rtf::Run& run) const;
    QSize TextSize() const;
    std::string rtf;
    std::vector<Rtf::Line> lines;
    std::string chessFace = "Chess Alpha";
};
