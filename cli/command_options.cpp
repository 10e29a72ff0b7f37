#include "command_options.h"

#include <QCommandLineParser>

namespace {

// The options that give fields 1 to 8, in the fields' order.
const char* const kFieldOptions[] = {"event",  "draw",      "prize1",   "prize2",
                                     "prize3", "condition", "donation", "count"};

// "first (default) or second", for an option's help.
template <typename Names, std::size_t N> QString choicesHelp(const std::array<Names, N>& table)
{
    QStringList names = Names::all(table, &Names::option);
    names.first() += QStringLiteral(" (default)");
    return names.join(QStringLiteral(" or ")) + QLatin1Char('.');
}

QList<QCommandLineOption> allOptions()
{
    QList<QCommandLineOption> options;
    const char* const fieldHelp[] = {"The name of the raffle event.",
                                     "The line about the draw.",
                                     "The first prize.",
                                     "The second prize.",
                                     "The third prize.",
                                     "The \"present to win\" condition.",
                                     "The donation; empty for none.",
                                     "How many tickets (rounded up to a multiple of 5)."};
    for (int i = 0; i < 8; ++i) {
        options << QCommandLineOption(QString::fromLatin1(kFieldOptions[i]),
                                      QString::fromLatin1(fieldHelp[i]),
                                      i == 7 ? QStringLiteral("N") : QStringLiteral("TEXT"));
    }
    options << QCommandLineOption(QStringLiteral("first-number"),
                                  QStringLiteral("The first ticket number (default 1)."),
                                  QStringLiteral("N"))
            << QCommandLineOption(QStringLiteral("order"), choicesHelp(kOrderNames),
                                  QStringLiteral("ORDER"))
            << QCommandLineOption(QStringLiteral("paper"), choicesHelp(kPaperNames),
                                  QStringLiteral("PAPER"))
            << QCommandLineOption(QStringLiteral("picture"),
                                  QStringLiteral("Put the picture in FILE (PNG, JPEG, SVG, BMP, "
                                                 "GIF) on every ticket."),
                                  QStringLiteral("FILE"))
            << QCommandLineOption(QStringLiteral("no-picture"),
                                  QStringLiteral("No picture, whatever was saved."))
            << QCommandLineOption(QStringLiteral("fields"),
                                  QStringLiteral("Read the fields from FILE, in the settings' own "
                                                 "format (a [Ticketwright] section with Text1 to "
                                                 "Text8, FirstNumber, Order, Paper, Picture)."),
                                  QStringLiteral("FILE"))
            << QCommandLineOption(QStringLiteral("output"),
                                  QStringLiteral("The file to write: FILE.doc or FILE.pdf."),
                                  QStringLiteral("FILE"))
            << QCommandLineOption(QStringLiteral("remember"),
                                  QStringLiteral("Save the wording and choices as the window's."))
            << QCommandLineOption(QStringLiteral("force"),
                                  QStringLiteral("Replace the output if it exists (a link is "
                                                 "replaced by the file, never written through; "
                                                 "a read-only file is never replaced)."))
            << QCommandLineOption(QStringLiteral("quiet"), QStringLiteral("Show no progress."))
            << QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."))
            << QCommandLineOption(QStringLiteral("version"),
                                  QStringLiteral("Show the version and exit."));
    return options;
}

ParsedCommand wrong(const QString& error)
{
    ParsedCommand parsed;
    parsed.error = error;
    return parsed;
}

// The choice --name gives, or what is wrong with it; nothing when it is not given.
template <typename Choice, std::size_t N>
QString takeChoice(const QCommandLineParser& parser, const QString& name,
                   const std::array<ChoiceNames<Choice>, N>& table, std::optional<Choice>& into)
{
    if (!parser.isSet(name)) {
        return {};
    }
    using Names = ChoiceNames<Choice>;
    into = Names::named(table, parser.value(name), &Names::option, Qt::CaseInsensitive);
    if (!into) {
        return QStringLiteral("--%1 takes %2, not '%3'.")
            .arg(name, Names::all(table, &Names::option).join(QStringLiteral(" or ")),
                 parser.value(name));
    }
    return {};
}

// The order and the paper; an empty text, or what is wrong.
QString takeChoices(const QCommandLineParser& parser, CommandOptions& options)
{
    const QString order = takeChoice(parser, QStringLiteral("order"), kOrderNames, options.order);
    return !order.isEmpty()
               ? order
               : takeChoice(parser, QStringLiteral("paper"), kPaperNames, options.paper);
}

// The fields file and the output, whose name says its kind.
QString takeOutput(const QCommandLineParser& parser, CommandOptions& options)
{
    options.fieldsFile = parser.value(QStringLiteral("fields"));
    options.output = parser.value(QStringLiteral("output"));
    if (options.output.isEmpty()) {
        return QStringLiteral("--output FILE.doc or --output FILE.pdf is needed.");
    }
    const QString suffix = options.output.section(QLatin1Char('.'), -1).toLower();
    if (!options.output.contains(QLatin1Char('.')) ||
        (suffix != QLatin1String("doc") && suffix != QLatin1String("pdf"))) {
        return QStringLiteral("The output's name must end in .doc or .pdf: '%1'.")
            .arg(options.output);
    }
    options.pdf = suffix == QLatin1String("pdf");
    return {};
}

} // namespace

bool command_line::isCommand(int argc, char** argv)
{
    return argc > 1 && argv[1][0] == '-' && argv[1][1] != '\0';
}

ParsedCommand command_line::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(allOptions());
    if (!parser.parse(QStringList{QStringLiteral("ticketwright")} + arguments)) {
        return wrong(parser.errorText());
    }
    ParsedCommand parsed;
    if (parser.isSet(QStringLiteral("help"))) {
        parsed.kind = ParsedCommand::Kind::Help;
        return parsed;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parsed.kind = ParsedCommand::Kind::Version;
        return parsed;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return wrong(
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    }
    // Given twice is a mistake, not a choice of the last.
    for (const QString& name : parser.optionNames()) {
        if (parser.optionNames().count(name) > 1) {
            return wrong(QStringLiteral("The option '--%1' is given more than once.").arg(name));
        }
    }
    CommandOptions& options = parsed.options;
    for (int i = 0; i < 8; ++i) {
        const QString name = QString::fromLatin1(kFieldOptions[i]);
        if (parser.isSet(name)) {
            options.fields[static_cast<size_t>(i)] = parser.value(name);
        }
    }
    if (parser.isSet(QStringLiteral("first-number"))) {
        options.firstNumber = parser.value(QStringLiteral("first-number"));
    }
    if (parser.isSet(QStringLiteral("picture")) && parser.isSet(QStringLiteral("no-picture"))) {
        return wrong(QStringLiteral("--picture and --no-picture cannot both be given."));
    }
    if (parser.isSet(QStringLiteral("picture"))) {
        options.picture = parser.value(QStringLiteral("picture"));
    } else if (parser.isSet(QStringLiteral("no-picture"))) {
        options.picture = QString();
    }
    for (const auto take : {takeChoices, takeOutput}) {
        const QString error = take(parser, options);
        if (!error.isEmpty()) {
            return wrong(error);
        }
    }
    options.force = parser.isSet(QStringLiteral("force"));
    options.remember = parser.isSet(QStringLiteral("remember"));
    options.quiet = parser.isSet(QStringLiteral("quiet"));
    parsed.kind = ParsedCommand::Kind::Run;
    return parsed;
}

QString command_line::usage()
{
    QStringList parts{QStringLiteral("Usage: ticketwright")};
    for (const QCommandLineOption& option : allOptions()) {
        const QString name = option.names().constLast();
        if (name == QLatin1String("help") || name == QLatin1String("version") ||
            name == QLatin1String("output")) {
            continue;
        }
        QString value = option.valueName();
        if (name == QLatin1String("order")) {
            value = OrderNames::all(kOrderNames, &OrderNames::option).join(QLatin1Char('|'));
        } else if (name == QLatin1String("paper")) {
            value = PaperNames::all(kPaperNames, &PaperNames::option).join(QLatin1Char('|'));
        }
        parts << QStringLiteral("[--%1%2]").arg(name, value.isEmpty() ? value : ' ' + value);
    }
    // The one option every run needs.
    return parts.join(QLatin1Char(' ')) + QStringLiteral(" --output FILE.doc|FILE.pdf");
}

QStringList command_line::optionNames()
{
    QStringList names;
    for (const QCommandLineOption& option : allOptions()) {
        names << option.names();
    }
    return names;
}

QString command_line::help()
{
    QString text =
        usage() + QStringLiteral("\n\nMakes one document of numbered raffle tickets without a "
                                 "window, and exits. Started without options, ticketwright "
                                 "opens its window.\nA field not given comes from --fields "
                                 "FILE, or else from the wording saved by the window, which "
                                 "is left as it was unless --remember is given.\n\nOptions:\n");
    for (const QCommandLineOption& option : allOptions()) {
        QString names;
        for (const QString& name : option.names()) {
            names += (names.isEmpty() ? QString() : QStringLiteral(", ")) +
                     (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        }
        if (!option.valueName().isEmpty()) {
            names += QLatin1Char(' ') + option.valueName();
        }
        text += QStringLiteral("  %1 %2\n").arg(names, -22).arg(option.description());
    }
    text += QStringLiteral(
        "\nExit status:\n"
        "  0    done: the output file is written\n"
        "  1    the run failed; nothing is written. Or the output appeared while the run went "
        "on: it is kept, and the tickets are written beside it as 'NAME (1).doc'\n"
        "  2    wrong arguments, or an output that cannot be written or exists (without "
        "--force); nothing was done\n"
        "  3    no office could start\n"
        "  128+N  ended by signal N (SIGINT, SIGTERM, SIGHUP); nothing is left behind\n"
        "\nExample, a second book of 500 tickets on A4, cut and stack:\n"
        "  ticketwright --event \"SPRING GALA\" --count 500 --first-number 501 \\\n"
        "      --order cut-and-stack --paper a4 --output gala-0501.pdf\n");
    return text;
}
