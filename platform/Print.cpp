#include "Print.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <memory>

namespace Print {

QPrinter* scriptedPrinter = nullptr;

namespace {
QPrinter& SharedPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}
}

void BeginTwips(QPainter& painter, QPrinter& printer, CPrintInfo& info)
{
    QRectF area = printer.pageRect(QPrinter::DevicePixel);
    double perTwipX = printer.logicalDpiX() / 1440.0;
    double perTwipY = printer.logicalDpiY() / 1440.0;
    (void)painter; // the device context maps twips itself
    info.drawRight = static_cast<int>(area.width() / perTwipX);
    info.drawBottom = -static_cast<int>(area.height() / perTwipY);
}

static void PrintPages(QPrinter& printer, CPrintInfo& info, const DrawPage& draw)
{
    QPainter painter;
    if (!painter.begin(&printer)) return;
    int from = printer.fromPage() > 0 ? printer.fromPage() : info.minPage;
    int to = printer.toPage() > 0 ? printer.toPage() : info.maxPage;
    for (int page = from; page <= to; ++page) {
        if (page > from) printer.newPage();
        info.currentPage = page;
        painter.save();
        BeginTwips(painter, printer, info);
        draw(painter, info);
        painter.restore();
    }
    painter.end();
}

bool PrintDocument(QWidget* parent, CPrintInfo& info, const DrawPage& draw)
{
    if (scriptedPrinter) {
        PrintPages(*scriptedPrinter, info, draw);
        return true;
    }
    QPrinter& printer = SharedPrinter();
    printer.setFromTo(info.minPage, info.maxPage);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(info.minPage, info.maxPage);
    if (dialog.exec() != QDialog::Accepted) return false;
    PrintPages(printer, info, draw);
    return true;
}

void PrintPreview(QWidget* parent, CPrintInfo& info, const DrawPage& draw)
{
    QPrinter& printer = scriptedPrinter ? *scriptedPrinter : SharedPrinter();
    printer.setFromTo(0, 0);
    info.preview = true;
    const int start = info.currentPage;
    QPrintPreviewDialog dialog(&printer, parent);
    auto* widget = dialog.findChild<QPrintPreviewWidget*>();
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        CPrintInfo pageInfo = info;
        PrintPages(*target, pageInfo, draw);
    });
    if (widget)
        QObject::connect(widget, &QPrintPreviewWidget::previewChanged, widget, [widget, start] {
            if (widget->currentPage() == 1 && start > 1) widget->setCurrentPage(start);
        });
    if (scriptedPrinter) {
        // A preview in a test renders the pages and closes on the start page.
        CPrintInfo pageInfo = info;
        PrintPages(*scriptedPrinter, pageInfo, draw);
        info.currentPage = start;
        info.preview = false;
        return;
    }
    dialog.exec();
    info.currentPage = widget ? widget->currentPage() : start;
    info.preview = false;
}

void PrintSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&SharedPrinter(), parent);
    dialog.exec();
}

} // namespace Print
