// Whole runs from the main window against the real office, read back by an independent reader.

#include "form1.h"
#include "form2.h"
#include "generation_run.h"
#include "main_window_run.h"
#include "office_probe.h"
#include "picture_box.h"
#include "program_launcher.h"
#include "random_bytes.h"
#include "reports.h"
#include "scripted_seams.h"
#include "test_files.h"
#include "ticket_book.h"
#include "ticket_number_check.h"
#include "ticket_template.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <elf.h>
#include <memory>

using probe::ticketNumbers;

// The library cut in the middle of what the loader maps (a build's debug information, at the
// end, is never mapped), as an interrupted install leaves it.
static QByteArray cutInLoadedPart(const QByteArray& elf)
{
    Elf64_Ehdr header = {};
    std::memcpy(&header, elf.constData(), sizeof header);
    qint64 end = 0;
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment = {};
        std::memcpy(&segment, elf.constData() + header.e_phoff + i * header.e_phentsize,
                    sizeof segment);
        if (segment.p_type == PT_LOAD) {
            end = std::max(end, static_cast<qint64>(segment.p_offset + segment.p_filesz));
        }
    }
    return elf.left(end / 2);
}

class TestGenerationOffice : public QObject, private RealRuns
{
    Q_OBJECT

    QString run(const QStringList& fields, const BookChoices& book = {})
    {
        return runFromMainWindow(mForm, fields, book);
    }

    // The document as the office itself reads it back.
    static QString officeText(const QString& path)
    {
        QTemporaryDir profile;
        return probe::officeAlone(profile.path(), {QStringLiteral("--cat"), path});
    }

    QString reports() const { return reports::readable(mSeams->messageTexts()); }

    // A person's own template.dot in TEMP: five tickets in plain paragraphs, each numbered twice
    // (or not at all) with the sample wording, made by the office from a flat document.
    void plantOwnTemplate(bool numbered)
    {
        QString body;
        for (int n = 1; n <= 5; ++n) {
            const QString number = numbered ? QLatin1Char(' ') + ticket_numbers::format(n) : "";
            for (const QString& line :
                 {"Ticket" + number, QStringLiteral("[Name of Raffle Event]"),
                  QStringLiteral("Drawing Will Be Held at the End of the Night"),
                  QStringLiteral("1st Prize $500, 2nd Prize $250, 3rd Prize $100"),
                  QStringLiteral("Do not Have to Be Present to Win / Donation - $10"),
                  "Stub" + number + ": [Name of Raffle Event]"}) {
                body += "<text:p>" + line.toHtmlEscaped() + "</text:p>";
            }
        }
        QTemporaryDir folder;
        QFile source(folder.filePath(QStringLiteral("own.fodt")));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write(
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document "
                           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                           "office:version=\"1.2\" "
                           "office:mimetype=\"application/vnd.oasis.opendocument.text\">"
                           "<office:body><office:text>%1</office:text></office:body>"
                           "</office:document>")
                .arg(body)
                .toUtf8());
        source.close();
        probe::officeAlone(folder.path() + QStringLiteral("/profile"),
                           {QStringLiteral("--convert-to"),
                            QStringLiteral("dot:MS Word 97 Vorlage"), QStringLiteral("--outdir"),
                            folder.path(), source.fileName()},
                           120000);
        QVERIFY(QFile::copy(folder.filePath(QStringLiteral("own.dot")),
                            mTemp->filePath(QStringLiteral("template.dot"))));
    }

private slots:
    void initTestCase() { useOwnSettingsAndTemplate(); }
    void init() { freshCase(); }
    void cleanup() { endCase(); }

    void ticketsAreNumberedThroughout_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("tickets");
        QTest::newRow("one page") << "3" << 5;
        QTest::newRow("negative") << "-7" << 5;
        QTest::newRow("two pages") << "6" << 10;
        QTest::newRow("five pages") << "23" << 25;
    }
    void ticketsAreNumberedThroughout()
    {
        QFETCH(QString, count);
        QFETCH(int, tickets);
        QGuiApplication::clipboard()->setText(QStringLiteral("the person's own text"));
        const QString path = run(
            {"Spring Fair", "Drawn at noon", "A bike", "A kite", "A book", "Be there", "2", count});
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reports()));
        const QString text = probe::docText(QStringLiteral("antiword"), path);
        QList<int> expected;
        for (int n = 1; n <= tickets; ++n) {
            expected << n << n;
        }
        QCOMPARE(ticketNumbers(text), expected);
        QCOMPARE(text.count(QStringLiteral("Spring Fair")), 2 * tickets);
        QCOMPARE(text.count(QStringLiteral("Be there / DONATION - 2")), 2 * tickets);
        QVERIFY(!text.contains(QStringLiteral("Raffle Event"), Qt::CaseInsensitive));
        QVERIFY(!text.contains(QStringLiteral("$500")));
        QCOMPARE(text.count(QStringLiteral("2nd Prize")), tickets);
        QCOMPARE(text.count(QStringLiteral("3rd Prize")), tickets);
        QVERIFY(!text.contains(QStringLiteral("PRize")));
        // The run and the picture each quit their office; only the result is left.
        QCOMPARE(QDir(mTemp->path()).entryList(QDir::Files),
                 QStringList{QFileInfo(path).fileName()});
        QTRY_VERIFY(probe::officeChildrenOf(QCoreApplication::applicationPid()).isEmpty());
        // Copy, paste and the picture go through the office's own transfer.
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("the person's own text"));
        QVERIFY(mForm->isHidden());
        QVERIFY(mForm->preview()->isVisible());
        QVERIFY(!mForm->mBusy);
    }

    // The pages made inside the office are the pages made over the pipe, word for word, and the
    // picture drawn while they are added is the one drawn after the save, to the pixel. An editor
    // library that the office cannot load costs only the saving: the same document, no report.
    void everyWayMakesTheSameDocument_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<BookChoices>("book");
        QTest::newRow("10 tickets") << "10" << BookChoices();
        QTest::newRow("1,000 tickets") << "1000" << BookChoices();
        QTest::newRow("1,000 tickets from 9501, cut and stack on A4")
            << "1000" << BookChoices{"9501", TicketOrder::CutAndStack, Paper::A4, {}};
    }
    void everyWayMakesTheSameDocument()
    {
        QFETCH(QString, count);
        QFETCH(BookChoices, book);
        const QStringList fields = {"Spring Fair", "Drawn at noon", "A bike", "A kite",
                                    "A book",      "Be there",      "$5",     count};
        // The registration, beside a library that is no library, and beside the real one cut
        // short, as an interrupted install leaves it: the office dies loading that.
        const QString built =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../../office/in_office/");
        QTemporaryDir broken;
        QTemporaryDir cutShort;
        QFile library(built + QStringLiteral("libticketwright_editor.so"));
        QVERIFY(library.open(QIODevice::ReadOnly));
        writeBytes(cutShort.filePath(QStringLiteral("libticketwright_editor.so")),
                   cutInLoadedPart(library.readAll()));
        writeBytes(broken.filePath(QStringLiteral("libticketwright_editor.so")), randomBytes(3));
        for (const QTemporaryDir* folder : {&broken, &cutShort}) {
            QVERIFY(QFile::copy(built + QStringLiteral("ticketwright-editor.rdb"),
                                folder->filePath(QStringLiteral("ticketwright-editor.rdb"))));
        }
        enum Way
        {
            InOffice,
            OverPipe,
            LibraryUnloadable,
            LibraryCutShort
        };
        QString text[4];
        QImage picture[4];
        for (const Way way : {InOffice, OverPipe, LibraryUnloadable, LibraryCutShort}) {
            if (way == OverPipe) {
                qputenv("TICKETWRIGHT_PAGE_LOOP", "pipe");
            } else if (way != InOffice) {
                const QTemporaryDir& folder = way == LibraryUnloadable ? broken : cutShort;
                qputenv(
                    "TICKETWRIGHT_EDITOR_REGISTRATION",
                    QFile::encodeName(folder.filePath(QStringLiteral("ticketwright-editor.rdb"))));
            }
            PictureInAdvance::setEnabled(way != OverPipe);
            const QString path = run(fields, book);
            PictureInAdvance::setEnabled(true);
            qunsetenv("TICKETWRIGHT_PAGE_LOOP");
            qunsetenv("TICKETWRIGHT_EDITOR_REGISTRATION");
            QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reports()));
            text[way] = probe::docText(QStringLiteral("antiword"), path);
            picture[way] = mForm->preview()->Picture1->picture();
            QVERIFY(QFile::remove(path));
        }
        QList<int> expected;
        const TicketBook numbers(book.firstNumber.toInt(), count.toInt(), book.order);
        for (int i = 0; i < numbers.count(); ++i) {
            expected << numbers.inDocumentOrder(i) << numbers.inDocumentOrder(i);
        }
        QCOMPARE(ticketNumbers(text[InOffice]), expected);
        QVERIFY(text[InOffice] == text[OverPipe]);
        QVERIFY(text[InOffice] == text[LibraryUnloadable]);
        QVERIFY(text[InOffice] == text[LibraryCutShort]);
        // Remembered, so that later runs and starts do not load it again.
        QFile memory(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                     QStringLiteral("/ticketwright-editor-refused"));
        QVERIFY(memory.open(QIODevice::ReadOnly));
        QVERIFY(memory.readAll().contains(
            QFile::encodeName(cutShort.filePath(QStringLiteral("libticketwright_editor.so")))));
        QVERIFY(!picture[InOffice].isNull());
        // The preview shows the paper chosen: 297 by 210 mm, or 11 by 8.5 in.
        QCOMPARE(qRound(100.0 * picture[InOffice].height() / picture[InOffice].width()),
                 book.paper == Paper::A4 ? 141 : 129);
        QVERIFY(picture[InOffice] == picture[OverPipe]);
        QVERIFY(picture[InOffice] == picture[LibraryUnloadable]);
        QVERIFY(picture[InOffice] == picture[LibraryCutShort]);
    }

    // What people type reaches the document as typed.
    void wordingArrivesLiterally()
    {
        const QStringList fields = {
            QString::fromUtf8("Fête ^p ^& \\n & $1 抽奖 مرحبا 🎟"),
            QStringLiteral("  leading and trailing  "),
            QString(),
            QStringLiteral("$250"),
            QString(3000, QLatin1Char('x')),
            QStringLiteral("Present"),
            QString(),
            QStringLiteral("5")};
        const QString path = run(fields);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reports()));
        // antiword drops some scripts; the office reads everything back.
        const QString text = officeText(path);
        QCOMPARE(text.count(fields[0]), 10);
        QCOMPARE(text.count(QStringLiteral("  leading and trailing  ")), 5);
        QCOMPARE(text.count(QString(3000, QLatin1Char('x'))), 5);
        QCOMPARE(text.count(QStringLiteral("Present")), 10);
        QVERIFY(!text.contains(QStringLiteral("DONATION")));
    }

    // Wording that holds a later placeholder or a later page's ticket number stays as typed.
    void typedTextIsNeverRewritten()
    {
        const QStringList fields = {"RAFFLE 0003 OF 2027",
                                    "WIN $500 IN VOUCHERS",
                                    "$250",
                                    "$100",
                                    "$50",
                                    "Be there",
                                    "$100",
                                    "15"};
        const QString path = run(fields);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reports()));
        const QString text = officeText(path);
        QCOMPARE(text.count(fields[0]), 30);
        QCOMPARE(text.count(fields[1]), 15);
        QCOMPARE(text.count(QRegularExpression("\\$250\\s+\\$100\\s+\\$50\\s")), 15);
        QCOMPARE(text.count(QStringLiteral("Be there / DONATION - $100")), 30);
        QList<int> expected;
        for (int n = 1; n <= 15; ++n) {
            expected << n << n;
        }
        QCOMPARE(ticketNumbers(QString(text).remove(fields[0])), expected);
    }

    // Without the ticket-number style the numbers are found by their text; wording that holds
    // one stays as typed.
    void ownTemplateNumberedInPlainText()
    {
        plantOwnTemplate(true);
        const QString event = QStringLiteral("RAFFLE 0003 OF 2027");
        const QString path =
            run({event, "Drawn at noon", "A bike", "A kite", "A book", "Be there", "", "15"});
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reports()));
        const QString text = officeText(path);
        QCOMPARE(text.count(event), 30);
        const QString numbers = QString(text).remove(event);
        QCOMPARE(numbers.count(QRegularExpression(QStringLiteral("\\b\\d{4}\\b"))), 30);
        for (int n = 1; n <= 15; ++n) {
            QCOMPARE(numbers.count(ticket_numbers::format(n)), 2);
        }
        QVERIFY(!QFile::exists(mTemp->filePath(QStringLiteral("template.dot"))));
    }

    void ownTemplateWithoutNumbersIsReportedOnce()
    {
        plantOwnTemplate(false);
        const QString path = run({"Fair", "", "", "", "", "", "", "10"});
        QCOMPARE(reports::labels(mSeams->messageTexts()), QStringList{QStringLiteral("398")});
        QVERIFY2(reports().contains(QStringLiteral("holds no ticket numbers")),
                 qPrintable(reports()));
        QVERIFY(QFile::exists(path));
        QVERIFY(mForm->preview()->isVisible());
        QCOMPARE(officeText(path).count(QStringLiteral("Fair")), 20);
    }

    void templateAlreadyThereIsUsedAndRemoved()
    {
        QFile planted(mTemp->filePath(QStringLiteral("template.dot")));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.write(ticketTemplateBytes());
        planted.close();
        const QString path = run({"Fair", "", "", "", "", "", "", "5"});
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reports()));
        QVERIFY(!QFile::exists(planted.fileName()));
        QVERIFY(QFile::exists(path));
    }
};

QTEST_MAIN(TestGenerationOffice)
#include "test_generation_office.moc"
