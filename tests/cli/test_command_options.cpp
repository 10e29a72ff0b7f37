#include "command_options.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

QString packagingFile(const char* name)
{
    QFile file(QStringLiteral(TICKETWRIGHT_SOURCE_DIR "/packaging/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The long options a text names ("--name", in troff with escaped dashes too).
QSet<QString> longOptionsIn(QString text)
{
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    QSet<QString> names;
    const QRegularExpression option(QStringLiteral("--([a-z0-9][a-z0-9-]*)"));
    for (const QRegularExpressionMatch& match : option.globalMatch(text)) {
        names << match.captured(1);
    }
    return names;
}

} // namespace

class TestCommandOptions : public QObject
{
    Q_OBJECT

private slots:
    // What is taken, and the one line that says what is wrong.
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("error");
        using Kind = ParsedCommand::Kind;
        QTest::newRow("help") << QStringList{"--help"} << int(Kind::Help) << "";
        QTest::newRow("help, short") << QStringList{"-h"} << int(Kind::Help) << "";
        QTest::newRow("version") << QStringList{"--version"} << int(Kind::Version) << "";
        QTest::newRow("all") << QStringList{"--event", "GALA", "--count=20", "--output", "a.DOC"}
                             << int(Kind::Run) << "";
        QTest::newRow("no output") << QStringList{"--count", "20"} << int(Kind::Wrong)
                                   << "--output FILE.doc or --output FILE.pdf is needed.";
        QTest::newRow("another kind") << QStringList{"--output", "a.docx"} << int(Kind::Wrong)
                                      << "The output's name must end in .doc or .pdf: 'a.docx'.";
        QTest::newRow("unknown") << QStringList{"--colour", "red", "--output", "a.doc"}
                                 << int(Kind::Wrong) << "Unknown option 'colour'.";
        QTest::newRow("no value") << QStringList{"--output"} << int(Kind::Wrong)
                                  << "Missing value after '--output'.";
        QTest::newRow("twice") << QStringList{"--count", "5", "--count", "6", "--output", "a.doc"}
                               << int(Kind::Wrong)
                               << "The option '--count' is given more than once.";
        QTest::newRow("a stray word") << QStringList{"--output", "a.doc", "extra"}
                                      << int(Kind::Wrong) << "Unexpected argument 'extra'.";
        QTest::newRow("an order") << QStringList{"--order", "diagonal", "--output", "a.doc"}
                                  << int(Kind::Wrong)
                                  << "--order takes sequence or cut-and-stack, not 'diagonal'.";
        QTest::newRow("a paper") << QStringList{"--paper", "A5", "--output", "a.pdf"}
                                 << int(Kind::Wrong) << "--paper takes letter or a4, not 'A5'.";
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, kind);
        QFETCH(QString, error);
        const ParsedCommand parsed = command_line::parse(arguments);
        QCOMPARE(parsed.error, error);
        QCOMPARE(int(parsed.kind), kind);
    }

    void valuesReachTheRun()
    {
        const ParsedCommand parsed = command_line::parse(
            {"--event", "", "--count", "500", "--first-number", "501", "--order", "Cut-And-Stack",
             "--paper", "a4", "--output", "book.PDF", "--force", "--quiet"});
        QCOMPARE(int(parsed.kind), int(ParsedCommand::Kind::Run));
        const CommandOptions& o = parsed.options;
        QCOMPARE(o.fields[0], std::optional<QString>(QString())); // given empty, not missing
        QCOMPARE(o.fields[1], std::nullopt);
        QCOMPARE(o.fields[7], std::optional<QString>("500"));
        QCOMPARE(o.firstNumber, std::optional<QString>("501"));
        QVERIFY(o.order == TicketOrder::CutAndStack && o.paper == Paper::A4);
        QVERIFY(o.pdf && o.force && o.quiet && !o.remember);
    }

    // The usage, the help, the manual page and the completion name exactly the options the
    // parser takes, and the same order and paper names.
    void everyListNamesTheSameOptions()
    {
        QSet<QString> parsed;
        for (const QString& name : command_line::optionNames()) {
            if (name.size() > 1) {
                parsed << name;
            }
        }
        QCOMPARE(parsed.size(), 20);
        const QSet<QString> inUsage =
            longOptionsIn(command_line::usage()) + QSet<QString>{"help", "version"};
        QCOMPARE(inUsage, parsed);
        QCOMPARE(longOptionsIn(command_line::help()), parsed);
        const QString manual = packagingFile("ticketwright.1");
        const QString options =
            manual.section(QStringLiteral(".SH OPTIONS"), 1).section(QStringLiteral(".SH "), 0, 0);
        QCOMPARE(longOptionsIn(options), parsed);
        const QString completion = packagingFile("ticketwright.bash-completion");
        const QString words = completion.section(QStringLiteral("compgen -W \"--"), 1)
                                  .section(QLatin1Char('"'), 0, 0);
        QCOMPARE(longOptionsIn(QStringLiteral("--") + words), parsed);
        const QString manualText =
            QString(options).replace(QStringLiteral("\\-"), QStringLiteral("-"));
        const auto between = [](const QString& text, const QString& from, const QString& to) {
            return text.section(from, 1).section(to, 0, 0);
        };
        const QList<std::pair<QString, QStringList>> choices = {
            {"order", OrderNames::all(kOrderNames, &OrderNames::option)},
            {"paper", PaperNames::all(kPaperNames, &PaperNames::option)}};
        for (const auto& [name, names] : choices) {
            QCOMPARE(between(command_line::usage(), "[--" + name + ' ', "]"), names.join('|'));
            QCOMPARE(between(manualText, "--" + name + " \" ", "\""), names.join('|'));
            QCOMPARE(between(between(completion, "--" + name + ')', ";;"), "-W \"", "\""),
                     names.join(' '));
        }
    }

    void helpListsEveryStatus()
    {
        const QString help = command_line::help();
        for (const char* status : {"  0 ", "  1 ", "  2 ", "  3 ", "128+N"}) {
            QVERIFY2(help.contains(QLatin1String(status)), status);
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandOptions)
#include "test_command_options.moc"
