#pragma once
#include "platform/Print.h"
#include "tests/support/TestEnvironment.h"

#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>

// A list to print: the checks are off, so that boards of the start position can be added quickly.
class PrintListTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        SettingsState::legalCheckActive = false;
    }
    // The list printed through File > Print into stem.pdf on A4 with margins of 15 mm, its page `page` read
    // back by poppler at `dpi` dots per inch; a null picture when poppler failed.
    QImage PrintedPage(const QString& stem, int page, int dpi)
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(stem + ".pdf");
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        Print::scriptedPrinter = &printer;
        View().OnFilePrint();
        Print::scriptedPrinter = nullptr;
        QProcess poppler;
        poppler.start("pdftoppm",
            { "-r", QString::number(dpi), "-png", "-singlefile", "-f", QString::number(page), "-l",
                QString::number(page), stem + ".pdf", stem });
        if (!poppler.waitForFinished(60000) || poppler.exitCode() != 0) return {};
        return QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
    }
    void MakeDiagrams(int count)
    {
        CPlaviaView& view = View();
        view.SetBoardPosition(1);
        for (int i = 1; i < count; ++i) {
            view.OnAddDiagram();
            view.SetBoardPosition(1);
        }
    }
};
