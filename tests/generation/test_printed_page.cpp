// Prints real generations the way a user would (the saved .doc, turned into a PDF by a fresh
// office) and checks the printed pages from what the PDF holds: text lines as pdftotext boxes
// them, and the borders, tear lines and art as the PDF draws them. The PDF that "Save Results"
// writes through its PDF filter must pass the same checks, and be a PDF a print shop can use.

#include "form1.h"
#include "form2.h"
#include "generation_run.h"
#include "main_window_run.h"
#include "office_probe.h"
#include "sample_fields.h"
#include "scripted_seams.h"
#include "ticket_book.h"
#include "ticket_number_check.h"
#include "ticket_template.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTransform>
#include <QXmlStreamReader>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// What a printer can reach: nothing printed nearer to a paper edge than this.
constexpr double kPrintableMargin = 7.0 * kPointsPerMm;
const QSizeF kA4(210.0 * kPointsPerMm, 297.0 * kPointsPerMm);
// Text this near a rule counts as touching it.
constexpr double kTouch = 0.25;

struct Line
{
    QRectF box;
    QString text;
};

// A border or tear line as drawn: the area its stroke covers.
struct Rule
{
    QRectF box;
    bool dashed = false;
};

struct Shape
{
    QRectF box;
    QColor fill;
};

struct Page
{
    QSizeF size;
    QList<Line> lines;
    QList<Rule> rules;
    QList<Shape> shapes;
    QList<QRectF> pictures;
    // Where it comes from, for a closer look at a part of it.
    QString pdf;
    int number = 0;
};

// One ticket as its horizontal rules show it: top border, tear line, bottom border.
struct Ticket
{
    Rule top;
    Rule tear;
    Rule bottom;
    QRectF outline() const { return top.box.united(bottom.box); }
    QRectF inside() const
    {
        return QRectF(QPointF(top.box.left(), top.box.bottom()),
                      QPointF(top.box.right(), bottom.box.top()));
    }
    QRectF mainPart() const
    {
        return QRectF(QPointF(top.box.left(), top.box.bottom()),
                      QPointF(top.box.right(), tear.box.top()));
    }
};

using probe::output;

QString toPdf(const QString& document, const QString& folder)
{
    QTemporaryDir profile;
    probe::officeAlone(profile.path(), {QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                        QStringLiteral("--outdir"), folder, document});
    return QDir(folder).filePath(QFileInfo(document).completeBaseName() + QStringLiteral(".pdf"));
}

// Every page's size and text lines.
QList<Page> textPages(const QString& pdf)
{
    QList<Page> pages;
    QXmlStreamReader xml(output(QStringLiteral("pdftotext"),
                                {QStringLiteral("-bbox-layout"), pdf, QStringLiteral("-")}));
    const auto number = [&xml](const char* name) {
        return xml.attributes().value(QLatin1String(name)).toDouble();
    };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("page")) {
            pages.append({QSizeF(number("width"), number("height")), {}, {}, {}, {}, {}, 0});
        } else if (xml.name() == QLatin1String("line") && !pages.isEmpty()) {
            Line line{QRectF(QPointF(number("xMin"), number("yMin")),
                             QPointF(number("xMax"), number("yMax"))),
                      {}};
            while (xml.readNextStartElement()) {
                line.text +=
                    (line.text.isEmpty() ? QString() : QStringLiteral(" ")) + xml.readElementText();
            }
            pages.last().lines.append(line);
        }
    }
    return pages;
}

QTransform transformOf(QStringView text)
{
    static const QRegularExpression matrix(QStringLiteral("matrix\\(([^)]*)\\)"));
    const auto match = matrix.match(text);
    if (!match.hasMatch()) {
        return {};
    }
    const QStringList v = match.captured(1).split(QLatin1Char(','));
    return v.size() == 6 ? QTransform(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(),
                                      v[3].toDouble(), v[4].toDouble(), v[5].toDouble())
                         : QTransform();
}

QColor colorOf(const QString& text)
{
    static const QRegularExpression rgb(
        QStringLiteral("rgb\\(([0-9.]+)%,([0-9.]+)%,([0-9.]+)%\\)"));
    const auto match = rgb.match(text);
    return match.hasMatch() ? QColor::fromRgbF(match.captured(1).toFloat() / 100,
                                               match.captured(2).toFloat() / 100,
                                               match.captured(3).toFloat() / 100)
                            : QColor(text);
}

// The rules and filled shapes of one page, from the PDF drawn as SVG (glyphs are left out).
void readDrawing(const QString& pdf, int pageNumber, Page& page)
{
    QXmlStreamReader xml(
        output(QStringLiteral("pdftocairo"),
               {QStringLiteral("-svg"), QStringLiteral("-f"), QString::number(pageNumber),
                QStringLiteral("-l"), QString::number(pageNumber), pdf, QStringLiteral("-")}));
    static const QRegularExpression token(QStringLiteral("[MLCZ]|-?[0-9.]+(?:e-?[0-9]+)?"));
    QList<QTransform> groups{QTransform()};
    int inDefinitions = 0;
    QHash<QString, QSizeF> images; // by id; drawn where a use outside the definitions puts them
    while (!xml.atEnd()) {
        const auto type = xml.readNext();
        if (type == QXmlStreamReader::EndElement) {
            if (xml.name() == QLatin1String("g")) {
                groups.removeLast();
            } else if (xml.name() == QLatin1String("defs")) {
                --inDefinitions;
            }
            continue;
        }
        if (type != QXmlStreamReader::StartElement) {
            continue;
        }
        const auto attributes = xml.attributes();
        if (xml.name() == QLatin1String("defs")) {
            ++inDefinitions;
        } else if (xml.name() == QLatin1String("g")) {
            groups.append(transformOf(attributes.value(QLatin1String("transform"))) *
                          groups.last());
        }
        if (xml.name() == QLatin1String("image")) {
            images.insert(attributes.value(QLatin1String("id")).toString(),
                          QSizeF(attributes.value(QLatin1String("width")).toDouble(),
                                 attributes.value(QLatin1String("height")).toDouble()));
        } else if (xml.name() == QLatin1String("use") && inDefinitions == 0) {
            const QString id = attributes.value(QLatin1String("xlink:href")).toString().mid(1);
            if (images.contains(id)) {
                page.pictures.append(
                    (transformOf(attributes.value(QLatin1String("transform"))) * groups.last())
                        .mapRect(QRectF(QPointF(), images.value(id))));
            }
        }
        if (xml.name() != QLatin1String("path") || inDefinitions > 0) {
            continue;
        }
        QHash<QString, QString> style;
        for (const QString& item :
             attributes.value(QLatin1String("style")).toString().split(QLatin1Char(';'))) {
            const int colon = static_cast<int>(item.indexOf(QLatin1Char(':')));
            if (colon > 0) {
                style.insert(item.left(colon).trimmed(), item.mid(colon + 1).trimmed());
            }
        }
        const QTransform transform =
            transformOf(attributes.value(QLatin1String("transform"))) * groups.last();
        QList<QString> tokens;
        for (auto it = token.globalMatch(attributes.value(QLatin1String("d"))); it.hasNext();) {
            tokens << it.next().captured();
        }
        // Straight stroked segments are rules; anything filled is art.
        QPolygonF outline;
        QChar command;
        QPointF current;
        const double width = style.value(QStringLiteral("stroke-width")).toDouble();
        const bool stroked = style.value(QStringLiteral("fill")) == QLatin1String("none") &&
                             style.contains(QStringLiteral("stroke")) &&
                             style.value(QStringLiteral("stroke")) != QLatin1String("none");
        for (int i = 0; i < tokens.size();) {
            if (tokens[i][0].isLetter()) {
                command = tokens[i++][0];
                continue;
            }
            if (i + 1 >= tokens.size()) {
                break;
            }
            const QPointF point =
                transform.map(QPointF(tokens[i].toDouble(), tokens[i + 1].toDouble()));
            i += 2;
            outline << point;
            if (stroked && command == QLatin1Char('L')) {
                const QRectF span = QRectF(current, point).normalized();
                if (span.height() < 0.01 || span.width() < 0.01) {
                    page.rules.append({span.adjusted(span.width() < 0.01 ? -width / 2 : 0,
                                                     span.height() < 0.01 ? -width / 2 : 0,
                                                     span.width() < 0.01 ? width / 2 : 0,
                                                     span.height() < 0.01 ? width / 2 : 0),
                                       style.contains(QStringLiteral("stroke-dasharray"))});
                }
            }
            current = point;
        }
        if (!stroked &&
            style.value(QStringLiteral("fill"), QStringLiteral("none")) != QLatin1String("none") &&
            !outline.isEmpty()) {
            page.shapes.append(
                {outline.boundingRect(), colorOf(style.value(QStringLiteral("fill")))});
        }
    }
}

// The first page drawn at 50 dpi.
QImage render(const QString& pdf, const QString& folder)
{
    const QString stem = QDir(folder).filePath(QFileInfo(pdf).completeBaseName());
    output(QStringLiteral("pdftoppm"),
           {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-singlefile"),
            QStringLiteral("-png"), QStringLiteral("-f"), QStringLiteral("1"), pdf, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

int differingPixels(const QImage& a, const QImage& b)
{
    if (a.isNull() || a.size() != b.size()) {
        return std::numeric_limits<int>::max();
    }
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            differing +=
                qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q)) >
                48;
        }
    }
    return differing;
}

bool sameColor(const QColor& a, const QColor& b)
{
    return qAbs(a.redF() - b.redF()) + qAbs(a.greenF() - b.greenF()) + qAbs(a.blueF() - b.blueF()) <
           0.03;
}

// The text drawn inside area, in drawing order. Read an area at a time: over a whole page, the
// reader drops characters once tens of thousands of tiny ones (wording shrunk to 1 pt) crowd it.
QString drawnText(const Page& page, const QRectF& area)
{
    const QRect pixels = area.toAlignedRect(); // at the reader's 72 dpi, a pixel is a point
    return QString::fromUtf8(
        output(QStringLiteral("pdftotext"),
               {QStringLiteral("-raw"), QStringLiteral("-f"), QString::number(page.number),
                QStringLiteral("-l"), QString::number(page.number), QStringLiteral("-x"),
                QString::number(pixels.x()), QStringLiteral("-y"), QString::number(pixels.y()),
                QStringLiteral("-W"), QString::number(pixels.width()), QStringLiteral("-H"),
                QString::number(pixels.height()), page.pdf, QStringLiteral("-")}));
}

// Text as compared: white space and direction marks left out (the PDF's words are spaced by
// position, right-to-left runs come embedded) and case folded (some lines print in capitals).
QString comparable(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (!c.isSpace() && c.category() != QChar::Other_Format) {
            out += c;
        }
    }
    return out.toCaseFolded();
}

qsizetype occurrences(const QString& needle, const QString& haystack)
{
    qsizetype count = 0;
    for (qsizetype at = haystack.indexOf(needle); !needle.isEmpty() && at >= 0;
         at = haystack.indexOf(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

// What every ticket prints of the fields, and how often: the event name on the ticket and its
// stub, the draw line and the prizes once, the condition with its donation on both.
QList<std::pair<QString, int>> wordingOfATicket(const QStringList& fields)
{
    const QString terms =
        fields[5] +
        (fields[6].isEmpty() ? QString() : QStringLiteral(" / DONATION - ") + fields[6]);
    QList<std::pair<QString, int>> wording{{fields[0], 2}, {fields[1], 1}, {fields[2], 1},
                                           {fields[3], 1}, {fields[4], 1}, {terms, 2}};
    for (auto& [text, times] : wording) {
        text = comparable(text);
    }
    return wording;
}

// What pdfinfo says of a page of the paper.
QString paperSize(Paper paper)
{
    return paper == Paper::A4 ? QStringLiteral("pts (A4)")
                              : QStringLiteral("612 x 792 pts (letter)");
}

QString describe(const QRectF& r)
{
    return QStringLiteral("(%1, %2)-(%3, %4)")
        .arg(r.left(), 0, 'f', 1)
        .arg(r.top(), 0, 'f', 1)
        .arg(r.right(), 0, 'f', 1)
        .arg(r.bottom(), 0, 'f', 1);
}

} // namespace

class TestPrintedPage : public QObject, private RealRuns
{
    Q_OBJECT

    // The page of tickets numbered top to bottom, as the PDF shows it.
    void checkPage(const Page& page, const QList<int>& numbers,
                   const QList<std::pair<QString, int>>& wording, bool withPicture)
    {
        const QString where =
            QStringLiteral("page of %1: ").arg(ticket_numbers::format(numbers.first()));
        QList<Rule> across;
        for (const Rule& rule : page.rules) {
            if (rule.box.width() > page.size.width() / 2) {
                across.append(rule);
            }
        }
        std::sort(across.begin(), across.end(),
                  [](const Rule& a, const Rule& b) { return a.box.top() < b.box.top(); });
        QCOMPARE(across.size(), 15);
        QList<Ticket> tickets;
        for (int k = 0; k < 5; ++k) {
            tickets.append({across[3 * k], across[3 * k + 1], across[3 * k + 2]});
            QVERIFY2(
                !tickets[k].top.dashed && tickets[k].tear.dashed && !tickets[k].bottom.dashed,
                qPrintable(where +
                           QStringLiteral("ticket %1 is not solid, dashed, solid").arg(k + 1)));
            QVERIFY2(k == 0 || tickets[k - 1].outline().bottom() < tickets[k].outline().top(),
                     qPrintable(where +
                                QStringLiteral("ticket %1 runs into the one before").arg(k + 1)));
        }

        // Every line inside one ticket, clear of every rule.
        for (const Line& line : page.lines) {
            const auto holds = [&](const Ticket& t) { return t.inside().contains(line.box); };
            QVERIFY2(std::count_if(tickets.cbegin(), tickets.cend(), holds) == 1,
                     qPrintable(where + QStringLiteral("\"%1\" at %2 is not inside a ticket")
                                            .arg(line.text.left(40), describe(line.box))));
            for (const Rule& rule : page.rules) {
                QVERIFY2(!rule.box.adjusted(-kTouch, -kTouch, kTouch, kTouch).intersects(line.box),
                         qPrintable(where + QStringLiteral("\"%1\" at %2 touches the rule at %3")
                                                .arg(line.text.left(40), describe(line.box),
                                                     describe(rule.box))));
            }
        }

        // Each ticket carries its number twice, on the ticket and on its stub.
        for (int k = 0; k < 5; ++k) {
            const QString number = ticket_numbers::format(numbers[k]);
            int inside = 0;
            for (const Line& line : page.lines) {
                if (line.text == number) {
                    QVERIFY2(tickets[k].inside().contains(line.box),
                             qPrintable(where + number + QStringLiteral(" outside its ticket")));
                    ++inside;
                }
            }
            QCOMPARE(inside, 2);
        }

        // Each ticket prints the wording whole. A text found inside another counts there too.
        for (int k = 0; k < 5; ++k) {
            const QString printed = comparable(drawnText(page, tickets[k].outline()));
            for (const auto& [text, times] : wording) {
                qsizetype expected = 0;
                for (const auto& [other, otherTimes] : wording) {
                    expected += otherTimes * occurrences(text, other);
                }
                QVERIFY2(occurrences(text, printed) >= expected,
                         qPrintable(where + QStringLiteral("ticket %1 does not print \"%2\" whole "
                                                           "%3 times")
                                                .arg(k + 1)
                                                .arg(text.left(40))
                                                .arg(expected)));
            }
        }

        // The art: a fill behind each main part, two stars in it.
        int fills = 0;
        int stars = 0;
        for (const Shape& shape : page.shapes) {
            const bool fill = sameColor(shape.fill, QColor(0xfd, 0xf1, 0xd3));
            const bool star = sameColor(shape.fill, QColor(0xfb, 0xbf, 0x24));
            if (!fill && !star) {
                continue;
            }
            QVERIFY2(std::any_of(tickets.cbegin(), tickets.cend(),
                                 [&](const Ticket& t) { return t.mainPart().contains(shape.box); }),
                     qPrintable(where + QStringLiteral("art at %1 outside a ticket's main part")
                                            .arg(describe(shape.box))));
            fills += fill;
            stars += star;
        }
        QCOMPARE(fills, 5);
        QCOMPARE(stars, 10);

        // The picture: once on each ticket, in its main part at the left, as large as its box
        // lets it be, clear of every line of text, every rule and the stars.
        QCOMPARE(page.pictures.size(), withPicture ? 5 : 0);
        for (const QRectF& picture : page.pictures) {
            const auto holds = [&](const Ticket& t) {
                return t.mainPart().contains(picture) &&
                       picture.right() < t.mainPart().left() + t.mainPart().width() / 4;
            };
            QVERIFY2(std::count_if(tickets.cbegin(), tickets.cend(), holds) == 1,
                     qPrintable(where + QStringLiteral("picture at %1 not at the left of one "
                                                       "ticket's main part")
                                            .arg(describe(picture))));
            QVERIFY2(picture.width() > 50 || picture.height() > 38,
                     qPrintable(where + QStringLiteral("picture at %1 does not fill its box")
                                            .arg(describe(picture))));
            for (const Line& line : page.lines) {
                QVERIFY2(!picture.intersects(line.box),
                         qPrintable(where + QStringLiteral("picture at %1 covers \"%2\" at %3")
                                                .arg(describe(picture), line.text.left(40),
                                                     describe(line.box))));
            }
            for (const Rule& rule : page.rules) {
                QVERIFY2(!picture.intersects(rule.box),
                         qPrintable(where + QStringLiteral("picture at %1 crosses the rule at %2")
                                                .arg(describe(picture), describe(rule.box))));
            }
            for (const Shape& shape : page.shapes) {
                QVERIFY2(!sameColor(shape.fill, QColor(0xfb, 0xbf, 0x24)) ||
                             !picture.intersects(shape.box),
                         qPrintable(
                             where +
                             QStringLiteral("picture at %1 covers a star").arg(describe(picture))));
            }
        }

        // Everything printed stays where printers reach; a Letter page on A4 paper too, whether
        // the printer puts the page at the paper's corner or in its middle.
        QRectF printed;
        for (const Ticket& t : tickets) {
            printed |= t.outline();
        }
        for (const Line& line : page.lines) {
            printed |= line.box;
        }
        const QRectF letter =
            QRectF(QPointF(), page.size)
                .adjusted(kPrintableMargin, kPrintableMargin, -kPrintableMargin, -kPrintableMargin);
        const QRectF a4 =
            QRectF(QPointF(), kA4)
                .adjusted(kPrintableMargin, kPrintableMargin, -kPrintableMargin, -kPrintableMargin);
        const QPointF centred((kA4.width() - page.size.width()) / 2,
                              (kA4.height() - page.size.height()) / 2);
        QVERIFY2(letter.contains(printed), qPrintable(where + describe(printed)));
        if (page.size.height() > kA4.height() - 1) {
            return; // an A4 page
        }
        QVERIFY2(a4.contains(printed),
                 qPrintable(where + QStringLiteral("A4 ") + describe(printed)));
        QVERIFY2(a4.contains(printed.translated(centred)),
                 qPrintable(where + QStringLiteral("A4 centred ") + describe(printed)));
    }

    // Through the preview's button and its dialog's PDF filter, as a person saves it.
    QString saveAsPdf(const QString& folder)
    {
        const QString path = QDir(folder).filePath(QStringLiteral("saved tickets"));
        mSeams->savePaths = {path};
        mSeams->saveFilters = {QStringLiteral("PDF Files (*.pdf)")};
        mForm->preview()->PushButton6->click();
        [&] { QCOMPARE(mSeams->messageTexts(), QStringList{QStringLiteral("Done.")}); }();
        // Nothing of the save is left running or in the temporary folder: only the run's document.
        [&] {
            QVERIFY(probe::officeChildrenOf(QCoreApplication::applicationPid()).isEmpty());
            QCOMPARE(QDir(mTemp->path())
                         .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QStringList{QFileInfo(mForm->preview()->mWordFile).fileName()});
            QCOMPARE(
                QDir(folder).entryList({QStringLiteral("*saved*")}, QDir::Files | QDir::Hidden),
                QStringList{QFileInfo(path).fileName()});
        }();
        return path;
    }

    // Pages of the paper chosen, every font embedded, the text selectable, and the file's
    // information.
    static void checkPdfFile(const QString& pdf, const QStringList& fields, const TicketBook& book,
                             Paper paper)
    {
        const QString info = QString::fromUtf8(output(QStringLiteral("pdfinfo"), {pdf}));
        const int tickets = fields[7].toInt();
        QVERIFY2(
            info.contains(QRegularExpression(QStringLiteral("Pages: +%1\\n").arg(tickets / 5))),
            qPrintable(info));
        QVERIFY2(info.contains(paperSize(paper)), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Creator: +Ticketwright\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("Raffle Tickets: ") + fields[0].left(20)),
                 qPrintable(info));
        const QStringList fonts = QString::fromUtf8(output(QStringLiteral("pdffonts"), {pdf}))
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                      .mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString& font : fonts) {
            // name, type, encoding, then "yes" under "emb"
            QVERIFY2(font.contains(QRegularExpression(
                         QStringLiteral("\\s+yes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"))),
                     qPrintable(font));
        }
        const QString text =
            QString::fromUtf8(output(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
        for (int n = book.first(); n <= book.last(); ++n) {
            QCOMPARE(probe::occurrences(text, ticket_numbers::format(n)), 2);
        }
        if (fields[0] == QStringLiteral("CHRISTMAS RAFFLE")) {
            for (const QString& field : fields.mid(0, 7)) {
                QVERIFY2(probe::occurrences(text, field) >= tickets, qPrintable(field));
            }
        }
    }

    // A 4:3 picture, transparent but for a disc, in a folder of the test's own.
    QString logoFile() const
    {
        const QString path = mPictures.filePath(QStringLiteral("logo.png"));
        if (!QFile::exists(path)) {
            QImage logo(400, 300, QImage::Format_ARGB32);
            logo.fill(Qt::transparent);
            QPainter painter(&logo);
            painter.setBrush(QColor(0x1d, 0x4e, 0xd8));
            painter.drawEllipse(QRect(0, 0, 400, 300));
            painter.end();
            logo.save(path);
        }
        return path;
    }
    QTemporaryDir mPictures;

private slots:
    void initTestCase() { useOwnSettingsAndTemplate(); }

    void init() { freshCase(); }
    void cleanup() { endCase(); }

    void ticketsStayInTheirBoxes_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<BookChoices>("book");
        QTest::newRow("sample wording") << sampleFields(QStringLiteral("110")) << BookChoices();
        // Across the step from four digits to five, in an order where page 2 holds 0002-like
        // numbers, on the other paper.
        QTest::newRow("A4, cut and stack from 9996")
            << sampleFields(QStringLiteral("110"))
            << BookChoices{QStringLiteral("9996"), TicketOrder::CutAndStack, Paper::A4, {}};
        const QStringList longWording{
            "ST. BARTHOLOMEW'S ANNUAL SPRING GALA, AUCTION & GRAND RAFFLE",
            "DRAWING AT 9 PM IN THE MAIN BALLROOM!!!",
            "$1,500 CASH!",
            "$750 GIFT CD",
            "$250 DINNER!",
            "NEED NOT BE PRESENT; WINNERS CALLED!!!!",
            "$25 PER TIX!",
            "110"};
        QTest::newRow("long wording") << longWording << BookChoices();
        // A wide logo with transparency; the heading lines shrink to keep clear of it.
        QTest::newRow("long wording beside a picture")
            << longWording << BookChoices{"1", TicketOrder::Sequence, Paper::Letter, logoFile()};
        QTest::newRow("A4 with a picture")
            << sampleFields(QStringLiteral("110"))
            << BookChoices{"1", TicketOrder::Sequence, Paper::A4, logoFile()};
        const QString han = QString::fromUtf8("春季盛大抽奖晚会").repeated(8);
        QTest::newRow("other scripts")
            << QStringList{han,
                           QString::fromUtf8("مرحبا بكم في السحب الكبير ").repeated(3),
                           QString::fromUtf8("🎟🎟 $1,500 现金"),
                           QString::fromUtf8("Fête ^p ^& 🎟🎟"),
                           QString::fromUtf8("$250 مرحبا"),
                           han,
                           QString::fromUtf8("¥25 每张票!"),
                           "110"}
            << BookChoices();
        const QString huge = QStringLiteral("WIDE WORDING ").repeated(231);
        QTest::newRow("3,000 characters in every field")
            << QStringList{huge, huge, huge, huge, huge, huge, huge, "110"} << BookChoices();
    }
    void ticketsStayInTheirBoxes()
    {
        QFETCH(QStringList, fields);
        QFETCH(BookChoices, book);
        const QString document = runFromMainWindow(mForm, fields, book);
        const TicketBook numbers(book.firstNumber.toInt(), fields[7].toInt(), book.order);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messages.value(0).text));
        // The prints stay beside the test for a look.
        const QString folder = QDir::current().absoluteFilePath(
            QStringLiteral("printed-page/") + QString::fromLatin1(QTest::currentDataTag())
                                                  .replace(QLatin1Char(' '), QLatin1Char('-')));
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        const QString saved = saveAsPdf(folder);
        QVERIFY(!QTest::currentTestFailed());
        const QString printed = toPdf(document, folder);
        // The saved PDF looks like the print: art under the text, where the print has it.
        QVERIFY2(differingPixels(render(printed, folder), render(saved, folder)) < 200,
                 "the saved PDF's first page does not look like the printed one");
        // Long enough to be saved as a long document is; its first and last page are checked.
        const int last = fields[7].toInt() / 5;
        for (const QString& pdf : {printed, saved}) {
            QList<Page> pages = textPages(pdf);
            QCOMPARE(pages.size(), last);
            for (int n : {1, last}) {
                readDrawing(pdf, n, pages[n - 1]);
                pages[n - 1].pdf = pdf;
                pages[n - 1].number = n;
                QVERIFY2(qAbs(pages[n - 1].size.height() -
                              (book.paper == Paper::A4 ? kA4.height() : 792)) < 1,
                         qPrintable(pdf + QStringLiteral(": not a page of the paper chosen")));
                QList<int> onPage;
                for (int k = 1; k <= 5; ++k) {
                    onPage << numbers.numberAt(n, k);
                }
                checkPage(pages[n - 1], onPage, wordingOfATicket(fields), !book.picture.isEmpty());
                if (QTest::currentTestFailed()) {
                    qWarning("in %s", qPrintable(pdf));
                    return;
                }
            }
        }
        checkPdfFile(saved, fields, numbers, book.paper);
    }
};

QTEST_MAIN(TestPrintedPage)
#include "test_printed_page.moc"
