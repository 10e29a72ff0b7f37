#include "command_run.h"

#include "app_error.h"
#include "app_identity.h"
#include "console_host.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "generation_run.h"
#include "ini_text.h"
#include "is_installed.h"
#include "number_text.h"
#include "program_session.h"
#include "save_doc_as_pdf.h"
#include "seams.h"
#include "ticket_book.h"
#include "ticket_fields.h"
#include "ticket_picture.h"
#include "working_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QTime>

#include <cstdio>
#include <cstdlib>
#include <memory>
namespace {

void say(const QString& text)
{
    std::fprintf(stderr, "ticketwright: %s\n", qPrintable(text));
    std::fflush(stderr);
}

} // namespace

int command_line::main(const QStringList& arguments)
{
    const ParsedCommand parsed = parse(arguments);
    switch (parsed.kind) {
    case ParsedCommand::Kind::Help:
        std::fputs(qPrintable(help()), stdout);
        return kDone;
    case ParsedCommand::Kind::Version:
        std::printf("ticketwright %s\n", TICKETWRIGHT_VERSION);
        return kDone;
    case ParsedCommand::Kind::Wrong:
        say(parsed.error);
        std::fprintf(stderr, "%s\n", qPrintable(usage()));
        return kWrongArguments;
    case ParsedCommand::Kind::Run:
        break;
    }
    return CommandRun(parsed.options).exec();
}

int CommandRun::exec()
{
    using Check = QString (CommandRun::*)();
    for (const Check check :
         {&CommandRun::settleFields, &CommandRun::checkValues, &CommandRun::checkPicture,
          &CommandRun::checkOutput, &CommandRun::remember}) {
        const QString problem = (this->*check)();
        if (!problem.isEmpty()) {
            say(problem);
            return check == &CommandRun::remember ? command_line::kRunFailed
                                                  : command_line::kWrongArguments;
        }
    }
    return runAndWrite();
}

// The saved wording, then the fields file, then the options.
QString CommandRun::settleFields()
{
    // A store that cannot be read costs nothing while every field is given another way.
    QString unreadable;
    try {
        for (int i = 0; i < ticket_fields::kCount; ++i) {
            mFields[static_cast<size_t>(i)] = ticket_fields::read(i);
        }
        mChoices = BookChoices::read();
    } catch (const AppError& failure) {
        unreadable = failure.description();
        for (int i = 0; i < ticket_fields::kCount; ++i) {
            mFields[static_cast<size_t>(i)] =
                QString::fromUtf8(ticket_fields::all()[static_cast<size_t>(i)].defaultValue);
        }
        mChoices = BookChoices();
    }
    mFromFile = {};
    if (!mOptions.fieldsFile.isEmpty()) {
        const QString problem = readFieldsFile();
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    bool allGiven = true;
    for (size_t i = 0; i < mFields.size(); ++i) {
        if (mOptions.fields[i]) {
            mFields[i] = *mOptions.fields[i];
        }
        allGiven = allGiven && (mOptions.fields[i] || mFromFile[i]);
    }
    if (!unreadable.isEmpty()) {
        if (!allGiven) {
            return unreadable + QStringLiteral(" Give every field as an option or with --fields.");
        }
        say(unreadable + QStringLiteral(" The choices not given are the defaults."));
    }
    mChoices.firstNumber = mOptions.firstNumber.value_or(mChoices.firstNumber);
    mChoices.order = mOptions.order.value_or(mChoices.order);
    mChoices.paper = mOptions.paper.value_or(mChoices.paper);
    if (mOptions.picture) {
        mChoices.picture = mOptions.picture->isEmpty()
                               ? QString()
                               : QFileInfo(*mOptions.picture).absoluteFilePath();
    }
    return {};
}

QString CommandRun::readFieldsFile()
{
    const QString path = mOptions.fieldsFile;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("The fields file '%1' cannot be read.").arg(path);
    }
    // Far more than eight fields and three choices ever need; a larger file is another file.
    constexpr qint64 kMostBytes = 1 << 20;
    const QByteArray bytes = file.read(kMostBytes + 1);
    if (bytes.size() > kMostBytes) {
        return QStringLiteral("The fields file '%1' is larger than 1 MiB; it is not a fields file.")
            .arg(path);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    if (utf8.hasError() || decoded.contains(QChar(u'\0'))) {
        return QStringLiteral("The fields file '%1' is not text in UTF-8.").arg(path);
    }
    const QHash<QString, ini_text::Value> values =
        ini_text::section(decoded, identity::kSettingsSection);
    // Another file given by mistake (a document, say) would otherwise make tickets from the saved
    // wording without a word.
    if (values.isEmpty()) {
        return QStringLiteral("The fields file '%1' has no [%2] section with fields.")
            .arg(path, identity::kSettingsSection);
    }
    QHash<QString, QString> texts;
    for (auto value = values.cbegin(); value != values.cend(); ++value) {
        if (!value->has_value()) {
            return QStringLiteral("In '%1', the value of %2 is not text.").arg(path, value.key());
        }
        texts.insert(value.key(), **value);
    }
    for (int i = 0; i < ticket_fields::kCount; ++i) {
        const QString key =
            QString::fromLatin1(ticket_fields::all()[static_cast<size_t>(i)].settingsKey);
        if (texts.contains(key)) {
            mFields[static_cast<size_t>(i)] = texts.value(key);
            mFromFile[static_cast<size_t>(i)] = true;
        }
    }
    const QString problem = mChoices.takeFrom(texts);
    if (!problem.isEmpty()) {
        return QStringLiteral("In '%1', %2").arg(path, problem);
    }
    // A picture named from the fields file is found beside it.
    if (!mChoices.picture.isEmpty()) {
        mChoices.picture = QFileInfo(path).dir().absoluteFilePath(mChoices.picture);
    }
    return {};
}

// The count and the first number, as the window checks them.
QString CommandRun::checkValues()
{
    const QString& count = mFields[7];
    const TicketCountCheck counted = checkTicketCount(count);
    if (counted.outcome == TicketCountCheck::Outcome::NotNumeric) {
        return QStringLiteral("The ticket count '%1': Must be numeric.").arg(count);
    }
    if (counted.outcome == TicketCountCheck::Outcome::OutOfRange) {
        return ticketCountRangeMessage();
    }
    const QString tooMany = ticketCountProblem(ticketsMade(count));
    if (!tooMany.isEmpty()) {
        return QStringLiteral("The ticket count '%1': %2").arg(count, tooMany);
    }
    const FirstNumberCheck first = checkFirstNumber(mChoices.firstNumber, ticketsMade(count));
    if (first.outcome != FirstNumberCheck::Outcome::Accepted) {
        return QStringLiteral("%1 (given: '%2')").arg(first.message, mChoices.firstNumber);
    }
    return {};
}

// The picture, read before any office starts; a saved one that has gone is refused too.
QString CommandRun::checkPicture()
{
    if (mChoices.picture.isEmpty()) {
        return {};
    }
    const TicketPicture picture = TicketPicture::read(mChoices.picture);
    mPicture = picture.bytes();
    return picture.ok() ? QString()
                        : picture.problem() + QStringLiteral(" (--no-picture makes "
                                                             "tickets without one)");
}

// A folder that takes the file, and no file there unless it may be replaced.
QString CommandRun::checkOutput()
{
    const QFileInfo output(mOptions.output);
    mOutput = output.absoluteFilePath();
    const QFileInfo folder(output.absolutePath());
    if (!folder.isDir()) {
        return QStringLiteral("The folder '%1' does not exist.").arg(folder.filePath());
    }
    // Permissions alone do not tell (root, read-only mounts, special file systems): a file is
    // made there and removed.
    QTemporaryFile probe(QDir(folder.filePath()).filePath(QStringLiteral(".ticketwright-XXXXXX")));
    if (!probe.open()) {
        return QStringLiteral("The folder '%1' cannot be written: %2")
            .arg(folder.filePath(), probe.errorString());
    }
    if (output.isDir()) {
        return QStringLiteral("'%1' is a folder.").arg(mOutput);
    }
    // A link counts as there, even one that leads nowhere; it is never written through.
    if (FileExists(mOutput) && !mOptions.force) {
        return QStringLiteral("'%1' exists; --force replaces it.").arg(mOutput);
    }
    // A rename would replace even a read-only file; the person's protection wins.
    if (IsReadOnlyFile(mOutput)) {
        return QStringLiteral("'%1' is read-only; it is not replaced.").arg(mOutput);
    }
    return {};
}

QString CommandRun::remember()
{
    if (!mOptions.remember) {
        return {};
    }
    try {
        for (int i = 0; i < ticket_fields::kCount; ++i) {
            ticket_fields::write(i, mFields[static_cast<size_t>(i)]);
        }
        BookChoices::writeFirstNumber(mChoices.firstNumber);
        BookChoices::writeOrder(mChoices.order);
        BookChoices::writePaper(mChoices.paper);
        BookChoices::writePicture(mChoices.picture);
    } catch (const AppError& failure) {
        return failure.description();
    }
    return {};
}

// Reports as a command has them: a report reads as the window shows it, with its location and
// line label, on standard error; no web site opens.
Seams CommandRun::commandSeams()
{
    Seams::installProduct();
    Seams seams = Seams::current();
    seams.messageBox = [this](const QString& text, const QString& title, MsgStyle) {
        mHost->endProgressLine();
        say(title + QStringLiteral(": ") +
            QString(text).replace(QRegularExpression(QStringLiteral("[\r\n]+")),
                                  QStringLiteral(" ")));
        ++mReports;
        return MsgAnswer::Ok;
    };
    seams.openUrl = [](const QUrl&) { return false; };
    return seams;
}

int CommandRun::runAndWrite()
{
    mHost = std::make_unique<ConsoleHost>(mFields, mChoices, mOptions.quiet);
    mHost->givePicture(mPicture);
    // Every ending removes the output being written and the run's document (the run's own files
    // go with its offices).
    ProgramSession session(
        commandSeams(),
        [this] {
            DeleteFileQuietly(mScratch);
            if (!mHost->result().wordFile.isEmpty()) {
                DeleteFileQuietly(mHost->result().wordFile);
            }
        },
        [this](int) { mHost->endProgressLine(); });
    session.sweep();
    // The document's name is drawn as the window draws it, seeded by the time and this process,
    // so that commands started together never draw the same name.
    Seams::current().seedRandom(
        static_cast<quint32>(QTime::currentTime().msecsSinceStartOfDay() / 1000));
    // As the window does at its start: one clear message when no office can start, rather than
    // a report from every step of a run without one. The office that passed is the run's, the
    // only one a .doc needs.
    session.setStatus(command_line::kNoOffice);
    mHost->giveOffice(StartCheckedOffice());
    session.setStatus(command_line::kRunFailed);
    GenerationRun::PushButton6_Click(*mHost);
    mHost->endProgressLine();
    if (mReports > 0 || mHost->result().wordFile.isEmpty()) {
        session.cleanUp();
        say(QStringLiteral("Nothing was written."));
        return command_line::kRunFailed;
    }
    const int status = writeOutput();
    session.cleanUp();
    return status;
}

// The run's document at the output, copied or as a PDF, whole or not at all: written beside it
// and given its name in one step, which without --force never replaces a file, however late it
// appeared.
int CommandRun::writeOutput()
{
    try {
        mScratch = MakeScratchBeside(mOutput);
        working_files::add(mScratch);
        if (mOptions.pdf) {
            SaveDocAsPDF(mHost->result().wordFile, mScratch, mHost->result().eventName,
                         [this](int percent) {
                             mHost->progress(QStringLiteral("Writing the PDF"), percent);
                             // A signal meanwhile ends the command at once.
                             mHost->processEvents();
                         });
            mHost->endProgressLine();
        } else {
            CopyFileContent(mHost->result().wordFile, mScratch);
        }
        if (!MoveIntoPlace(mScratch, mOutput, mOptions.force)) {
            return keepBeside();
        }
        working_files::forget(mScratch);
        mScratch.clear();
    } catch (const std::exception& failure) {
        mHost->endProgressLine();
        say(QStringLiteral("%1 could not be written: %2")
                .arg(mOutput, QString::fromUtf8(failure.what())));
        return command_line::kRunFailed;
    }
    if (!mOptions.quiet) {
        say(QStringLiteral("%1, written to %2").arg(bookRange(), mOutput));
    }
    return command_line::kDone;
}

// Something took the output's name while the tickets were made: they are kept under a name of
// their own beside it, and the command says where.
int CommandRun::keepBeside()
{
    const QFileInfo output(mOutput);
    const QString suffix =
        output.suffix().isEmpty() ? QString() : QLatin1Char('.') + output.suffix();
    for (int n = 1; n < 1000; ++n) {
        const QString kept = output.dir().filePath(
            QStringLiteral("%1 (%2)%3").arg(output.completeBaseName()).arg(n).arg(suffix));
        if (MoveIntoPlace(mScratch, kept, false)) {
            working_files::forget(mScratch);
            mScratch.clear();
            say(QStringLiteral("'%1' appeared while the tickets were made and was not replaced "
                               "(--force replaces it). %2 are in '%3'.")
                    .arg(mOutput, bookRange(), kept));
            return command_line::kRunFailed;
        }
    }
    say(QStringLiteral("'%1' appeared while the tickets were made and was not replaced; no free "
                       "name was found beside it. Nothing was written.")
            .arg(mOutput));
    return command_line::kRunFailed;
}

QString CommandRun::bookRange() const
{
    return mHost->result().book.rangeText();
}
