#include "job_options.h"

#include <QStringList>

#include <algorithm>

namespace {

QByteArray sidesOf(PrintRequest::Sides sides)
{
    switch (sides) {
    case PrintRequest::Sides::LongEdge:
        return "two-sided-long-edge";
    case PrintRequest::Sides::ShortEdge:
        return "two-sided-short-edge";
    case PrintRequest::Sides::OneSided:
        break;
    }
    return "one-sided";
}

} // namespace

bool JobOptions::ownedByTheProgram(const QString& name)
{
    static const QStringList owned{QStringLiteral("copies"),
                                   QStringLiteral("page-ranges"),
                                   QStringLiteral("sides"),
                                   QStringLiteral("Duplex"),
                                   QStringLiteral("collate"),
                                   QStringLiteral("Collate"),
                                   QStringLiteral("multiple-document-handling"),
                                   QStringLiteral("print-color-mode"),
                                   QStringLiteral("ColorModel"),
                                   QStringLiteral("outputorder"),
                                   QStringLiteral("output-order"),
                                   QStringLiteral("media"),
                                   QStringLiteral("PageSize"),
                                   QStringLiteral("PageRegion"),
                                   QStringLiteral("media-size"),
                                   QStringLiteral("landscape"),
                                   QStringLiteral("orientation-requested"),
                                   QStringLiteral("fit-to-page"),
                                   QStringLiteral("scaling")};
    return owned.contains(name, Qt::CaseInsensitive);
}

QList<JobOptions::Option> JobOptions::of(const PrintRequest& request, Paper paper)
{
    QList<Option> options{
        {"copies", QByteArray::number(std::max(request.copies, 1))},
        {"sides", sidesOf(request.sides)},
        {"multiple-document-handling", request.collate ? "separate-documents-collated-copies"
                                                       : "separate-documents-uncollated-copies"},
        {"print-color-mode", request.grey ? "monochrome" : "color"},
        // The document's own paper, whatever the printer's default.
        {"media", paper == Paper::A4 ? "iso_a4_210x297mm" : "na_letter_8.5x11in"}};
    QString pages = request.pages;
    pages.remove(QLatin1Char(' '));
    if (!pages.isEmpty()) {
        options.append(Option("page-ranges", pages.toLatin1()));
    }
    if (request.reverse) {
        options.append(Option("outputorder", "reverse"));
    }
    for (const auto& [name, value] : request.options) {
        if (!ownedByTheProgram(name)) {
            options.append(Option(name.toUtf8(), value.toUtf8()));
        }
    }
    return options;
}
