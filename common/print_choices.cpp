#include "print_choices.h"

#include <QPageRanges>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>

namespace {

// Where the desktop's print dialog keeps the printing service's own options of a printer object
// (pages per side, odd or even pages, banner pages, ...): name and value after one another.
constexpr auto kServiceOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

QString pagesOf(const QPrinter& printer)
{
    if (printer.printRange() != QPrinter::PageRange) {
        return {};
    }
    QStringList ranges;
    for (const QPageRanges::Range& range : printer.pageRanges().toRangeList()) {
        ranges << (range.from == range.to ? QString::number(range.from)
                                          : QStringLiteral("%1-%2").arg(range.from).arg(range.to));
    }
    if (ranges.isEmpty() && printer.fromPage() > 0) {
        ranges << QStringLiteral("%1-%2").arg(printer.fromPage()).arg(printer.toPage());
    }
    return ranges.join(QLatin1Char(','));
}

} // namespace

PrintRequest PrintChoices::read(QPrinter& printer)
{
    PrintRequest request;
    request.printer = printer.printerName();
    request.copies = printer.copyCount();
    request.pages = pagesOf(printer);
    switch (printer.duplex()) {
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto: // the printer's own two-sided way, which for a portrait page is this
        request.sides = PrintRequest::Sides::LongEdge;
        break;
    case QPrinter::DuplexShortSide:
        request.sides = PrintRequest::Sides::ShortEdge;
        break;
    case QPrinter::DuplexNone:
        request.sides = PrintRequest::Sides::OneSided;
        break;
    }
    request.collate = printer.collateCopies();
    request.grey = printer.colorMode() == QPrinter::GrayScale;
    request.reverse = printer.pageOrder() == QPrinter::LastPageFirst;
    const QStringList options = printer.printEngine()->property(kServiceOptions).toStringList();
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        request.options.append(qMakePair(options[i], options[i + 1]));
    }
    return request;
}

void PrintChoices::apply(const PrintRequest& request, QPrinter& printer)
{
    if (!request.printer.isEmpty()) {
        printer.setPrinterName(request.printer);
    }
    printer.setCopyCount(request.copies);
    switch (request.sides) {
    case PrintRequest::Sides::LongEdge:
        printer.setDuplex(QPrinter::DuplexLongSide);
        break;
    case PrintRequest::Sides::ShortEdge:
        printer.setDuplex(QPrinter::DuplexShortSide);
        break;
    case PrintRequest::Sides::OneSided:
        printer.setDuplex(QPrinter::DuplexNone);
        break;
    }
    printer.setCollateCopies(request.collate);
    printer.setColorMode(request.grey ? QPrinter::GrayScale : QPrinter::Color);
    printer.setPageOrder(request.reverse ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
    QStringList options;
    for (const auto& [name, value] : request.options) {
        options << name << value;
    }
    printer.printEngine()->setProperty(kServiceOptions, options);
}
