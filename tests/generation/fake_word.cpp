#include "fake_word.h"

#include "command_find.h"
#include "command_front.h"
#include "command_selection.h"
#include "document_model.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>

namespace {

FakeWord* gScript = nullptr;
// What the model follows of the last copy.
CopiedPage gCopied;

struct FakeDocument;

struct FakeState
{
    std::shared_ptr<FakeDocument> active;
};

struct FakeDocument : word::Document
{
    FakeState* state;
    QString text;
    QString path;
    bool readOnly;
    bool visible = true;
    bool open = true;
    // What the office layer would know of it, run by the same model.
    DocumentModel known;
    // Where the model's placed texts are, as (start, length).
    QList<std::pair<qsizetype, qsizetype>> placed;

    // Text inserted (delta > 0) or removed at offset at moves the placed text after it.
    void shiftPlaced(qsizetype at, qsizetype delta)
    {
        for (auto& p : placed) {
            p.first += p.first >= at ? delta : 0;
        }
    }
    // The paragraph style at offset at: the number mark stands for the ticket-number style.
    QString styleAt(qsizetype at) const
    {
        qsizetype line = at;
        while (line > 0 && text.at(line - 1) != '\n' && text.at(line - 1) != '\f') {
            --line;
        }
        return line < text.size() && text.at(line) == FakeWord::kNumberMark
                   ? QStringLiteral("Ticket No.")
                   : QStringLiteral("Normal");
    }

    FakeDocument(FakeState* s, QString t, QString p, bool ro)
        : state(s), text(std::move(t)), path(std::move(p)), readOnly(ro)
    {}
    // As the office: a closed document refuses everything.
    void requireOpen() const
    {
        if (!open) {
            throw word::Error("The document \"" + path + "\" has been closed.");
        }
    }
    void SaveAs(const QString& target) override
    {
        gScript->operation("SaveAs");
        requireOpen();
        QFile f(target);
        if (!f.open(QIODevice::WriteOnly)) {
            throw word::Error("Cannot save " + target);
        }
        f.write(text.toUtf8());
    }
    // A file that says what it stands for, written whole or not at all, as the office's is.
    void ExportAsFixedFormat(const QString& target, word::WdExportFormat,
                             const word::FixedFormatOptions& options) override
    {
        gScript->operation("ExportAsFixedFormat");
        QSaveFile f(target);
        f.setDirectWriteFallback(false);
        if (!f.open(QIODevice::WriteOnly)) {
            throw word::Error("Cannot export " + target);
        }
        f.write("%PDF-fake " + options.title.toUtf8() + "\n" + text.toUtf8());
        for (int percent : {0, 50, 100}) {
            if (options.progress) {
                options.progress(percent);
            }
        }
        gScript->operation("ExportAsFixedFormat written");
        if (!f.commit()) {
            throw word::Error("Cannot export " + target);
        }
    }
    void Close() override
    {
        gScript->operation("Close");
        open = false;
        state->active.reset();
    }
    void Close(word::WdSaveOptions) override
    {
        gScript->operation("Close");
        open = false;
        state->active.reset();
    }
    void FitTextToLines(const word::KeptClear&) override
    {
        gScript->operation("FitTextToLines");
        requireOpen();
    }
    void FillPictureBoxes(const QString&, const QByteArray&) override
    {
        gScript->operation("FillPictureBoxes");
        requireOpen();
    }
    // A field would stand as Word's field-begin mark.
    bool HasFields() override
    {
        gScript->operation("HasFields");
        requireOpen();
        return text.contains(QChar(0x13));
    }
    // A hint that changes nothing a script could see.
    void ExpectPages(int) override {}
    struct FakeRange : word::Range
    {
        FakeDocument* doc;
        explicit FakeRange(FakeDocument* d) : doc(d) {}
        // As the office: without a window, no picture and no search by style.
        void requireView() const
        {
            if (!doc->visible) {
                throw word::Error("The document was opened invisible.");
            }
        }
        QImage CopyAsPicture() override
        {
            gScript->operation("CopyAsPicture");
            requireView();
            QImage picture(1200, 1553, QImage::Format_RGB32);
            picture.fill(Qt::white);
            picture.setDotsPerMeterX(7559); // 192 dpi
            picture.setDotsPerMeterY(7559);
            return picture;
        }
        QStringList paragraphTexts(const QString& style) override
        {
            gScript->operation("paragraphTexts");
            requireView();
            return style == "Ticket No." ? FakeWord::ticketNumbers(doc->text) : QStringList();
        }
        int paragraphCount(const QString& style) override
        {
            gScript->operation("paragraphCount");
            requireView();
            return style == "Ticket No." ? FakeWord::ticketNumbers(doc->text).size() : 0;
        }
        QString Text() override
        {
            gScript->operation("Text");
            QString text;
            for (const QString& paragraph : doc->text.split(QRegularExpression("[\n\f]"))) {
                text +=
                    (paragraph.startsWith(FakeWord::kNumberMark) ? paragraph.mid(1) : paragraph) +
                    QLatin1Char('\r');
            }
            return text;
        }
    };
    std::unique_ptr<word::Range> range() override
    {
        gScript->operation("range");
        return std::make_unique<FakeRange>(this);
    }
};

// The Selection and Find are the layer's own front end (refusals, batching); each call of it is
// also an operation of the script, which may fail it.
struct FakeReplacement : word::Replacement
{
    word::Replacement* inner = nullptr;
    void ClearFormatting() override
    {
        gScript->operation("Replacement.ClearFormatting");
        inner->ClearFormatting();
    }
    void setText(const QString& t) override
    {
        gScript->operation("Replacement.setText");
        inner->setText(t);
    }
};

struct FakeFind : word::CommandFind
{
    FakeReplacement replace;

    explicit FakeFind(word::CommandFront& front) : CommandFind(front)
    {
        replace.inner = &CommandFind::replacement();
    }
    void ClearFormatting() override
    {
        gScript->operation("ClearFormatting");
        CommandFind::ClearFormatting();
    }
    word::Replacement& replacement() override
    {
        gScript->operation("replacement");
        return replace;
    }
    void setText(const QString& text) override
    {
        gScript->operation("setText");
        CommandFind::setText(text);
    }
    void setForward(bool on) override
    {
        gScript->operation("setForward");
        CommandFind::setForward(on);
    }
    void setWrap(word::WdFindWrap w) override
    {
        gScript->operation("setWrap");
        CommandFind::setWrap(w);
    }
    void setFormat(bool on) override
    {
        gScript->operation("setFormat");
        CommandFind::setFormat(on);
    }
    void setMatchCase(bool on) override
    {
        gScript->operation("setMatchCase");
        CommandFind::setMatchCase(on);
    }
    void setMatchWholeWord(bool on) override
    {
        gScript->operation("setMatchWholeWord");
        CommandFind::setMatchWholeWord(on);
    }
    void setMatchWildcards(bool on) override
    {
        gScript->operation("setMatchWildcards");
        CommandFind::setMatchWildcards(on);
    }
    void setMatchSoundsLike(bool on) override
    {
        gScript->operation("setMatchSoundsLike");
        CommandFind::setMatchSoundsLike(on);
    }
    void setMatchAllWordForms(bool on) override
    {
        gScript->operation("setMatchAllWordForms");
        CommandFind::setMatchAllWordForms(on);
    }
    void setStyle(const QString& s) override
    {
        gScript->operation("setStyle");
        CommandFind::setStyle(s);
    }
};

struct FakeSelection : word::CommandSelection
{
    FakeSelection(word::CommandFront& front, word::Find& find) : CommandSelection(front, find) {}
    word::Find& find() override
    {
        gScript->operation("find");
        return CommandSelection::find();
    }
    void BeginBatch() override
    {
        gScript->operation("BeginBatch");
        CommandSelection::BeginBatch();
    }
};

// The scripted office itself: what it does is to execute the front end's edit commands on the
// active document's text.
struct FakeApplication : word::Application, word::Documents, word::CommandFront
{
    FakeState state;
    FakeFind theFind{*this};
    FakeSelection sel{*this, theFind};
    bool running = true;
    qsizetype ip = 0;
    qsizetype selStart = 0;
    int pastes = 0;

    FakeApplication() { ++gScript->alive; }
    ~FakeApplication() override
    {
        if (running) {
            --gScript->alive;
        }
    }

    FakeDocument& doc()
    {
        if (!state.active) {
            throw word::Error("No document is open.");
        }
        return *state.active;
    }
    // As the office: copying and pasting select in the document's window.
    FakeDocument& viewed()
    {
        FakeDocument& d = doc();
        if (!d.visible) {
            throw word::Error("The document was opened invisible, without a window to select in.");
        }
        return d;
    }

    int runOne(const word::EditCommand& command) override
    {
        using Kind = word::EditCommand::Kind;
        switch (command.kind) {
        case Kind::WholeStory:
            wholeStory();
            return 0;
        case Kind::Copy:
            copy();
            return 0;
        case Kind::EndOfStory:
            gScript->operation("EndKey");
            doc().known.movedToEnd();
            ip = doc().text.size();
            return 0;
        case Kind::Paste:
            paste();
            return 0;
        case Kind::Backspace:
            backspace();
            return 0;
        case Kind::GoToPage:
            goToPage(command.direction);
            return 0;
        case Kind::Replace:
            return replaceAll(command.request) ? 1 : 0;
        case Kind::Fail:
            throw word::Error(command.failure);
        default:
            throw word::Error("The scripted office does not take this command.");
        }
    }
    // The gathered steps run before meanwhile, so a run's calls keep the order they had before
    // it overlapped its own work with the office's.
    std::vector<word::EditOutcome> runBatch(const std::vector<word::EditCommand>& commands,
                                            const std::function<void()>&) override
    {
        gScript->operation("EndBatch");
        std::vector<word::EditOutcome> outcomes(commands.size());
        for (std::size_t i = 0; i < commands.size(); ++i) {
            try {
                outcomes[i].value = runOne(commands[i]);
            } catch (const word::Error& e) {
                outcomes[i] = {true, QString::fromUtf8(e.what()), 0};
            }
        }
        return outcomes;
    }

    void wholeStory()
    {
        gScript->operation("WholeStory");
        doc().known.moved();
        selStart = 0;
        ip = doc().text.size();
    }
    void copy()
    {
        gScript->operation("Copy");
        const FakeDocument& d = viewed();
        gScript->transfer = d.text.mid(selStart, ip - selStart);
        auto paragraphs = std::make_shared<std::vector<CopiedParagraph>>();
        // The paragraph after a page break, here "\f", begins a page.
        CopiedPage::OnePage onePage(true);
        for (qsizetype at = selStart; at <= ip;) {
            const qsizetype end = std::min(
                ip, d.text.indexOf('\n', at) < 0 ? d.text.size() : d.text.indexOf('\n', at));
            const QString paragraph = d.text.mid(at, end - at);
            onePage.paragraph(at == 0 || d.text.at(at - 1) == '\f');
            if (paragraph.contains('\f')) {
                onePage.paragraph(true);
            }
            paragraphs->emplace_back(d.styleAt(at), paragraph.startsWith(FakeWord::kNumberMark)
                                                        ? paragraph.mid(1)
                                                        : paragraph);
            at = end + 1;
        }
        gCopied = CopiedPage::of(paragraphs, static_cast<int>(paragraphs->size()), onePage.holds());
    }
    void paste()
    {
        gScript->operation("Paste");
        viewed();
        ++pastes;
        QString page = gScript->transfer;
        if (gScript->brokenPaste == pastes) {
            page = page.left(page.lastIndexOf(FakeWord::kNumberMark)); // the last stub's number
        }
        FakeDocument& d = doc();
        const bool atEnd = d.known.atEnd() || ip == d.text.size();
        d.known.moved();
        d.text.insert(ip, "\f" + page + "\n");
        d.shiftPlaced(ip, page.size() + 2);
        ip += page.size() + 2;
        d.known.pasted(atEnd, gCopied);
    }
    void backspace()
    {
        gScript->operation("TypeBackspace");
        FakeDocument& d = doc();
        const bool atEnd = d.known.atEnd();
        d.known.typedBackspace(atEnd);
        if (ip > 0) {
            d.text.remove(ip - 1, 1);
            d.shiftPlaced(ip, -1);
            --ip;
        }
        if (atEnd) {
            d.known.movedToEnd();
        }
    }
    void goToPage(word::WdGoToDirection which)
    {
        gScript->operation("GoTo");
        doc().known.moved();
        const QString& t = doc().text;
        if (which == word::WdGoToDirection::Previous) {
            const qsizetype pageStart = t.lastIndexOf('\f', ip - 1);
            const qsizetype previous = pageStart <= 0 ? -1 : t.lastIndexOf('\f', pageStart - 1);
            ip = previous < 0 ? 0 : previous + 1;
        } else {
            const qsizetype next = t.indexOf('\f', ip);
            ip = next < 0 ? ip : next + 1;
        }
        doc().known.movedToPage(static_cast<int>(t.left(ip).count('\f')),
                                !t.mid(ip).contains('\f'));
    }
    bool replaceAll(const word::FindRequest& request)
    {
        gScript->operation("Execute");
        FakeDocument& d = doc();
        const QString& search = request.text;
        if (search.isEmpty()) {
            return false;
        }
        const bool everywhere = request.wrap == word::WdFindWrap::Continue;
        d.known.replaceBegins(!everywhere);
        const qsizetype from = everywhere ? 0 : ip;
        // The same decisions as the office layer's, over this text.
        const bool guard =
            everywhere ? d.known.guardsEverywhere(search)
                       : d.known.guardsFromInsertionPoint(search, [&] {
                             return std::any_of(d.placed.begin(), d.placed.end(),
                                                [&](auto p) { return p.first + p.second > from; });
                         });
        const QString& asked = request.style;
        const bool styleKnown =
            d.known.matchesOnlyInStyle(search, asked, [&] { return d.styleAt(from); });
        const QString& replacement = request.replacement;
        // The office ends a search at the count the model gives; here every match is still
        // replaced, and a count short of them is a fault of the model.
        const int atMost = everywhere ? -1 : d.known.matchesAtMost(search).value_or(-1);
        int matches = 0;
        bool found = false;
        for (qsizetype at = d.text.indexOf(search, from, Qt::CaseInsensitive); at >= 0;
             at = d.text.indexOf(search, at, Qt::CaseInsensitive)) {
            if (atMost >= 0 && ++matches > atMost) {
                qFatal("The document model counted %d matches of a search that finds more", atMost);
            }
            const bool inPlaced =
                guard && std::any_of(d.placed.begin(), d.placed.end(), [&](auto p) {
                    return at < p.first + p.second && p.first < at + search.size();
                });
            if (inPlaced || (!asked.isEmpty() && !styleKnown && d.styleAt(at) != asked)) {
                ++at;
                continue;
            }
            found = true;
            d.text.replace(at, search.size(), replacement);
            d.shiftPlaced(at + 1, replacement.size() - search.size());
            if (everywhere) {
                if (!replacement.isEmpty()) {
                    d.placed.append({at, replacement.size()});
                }
                d.known.placed(replacement);
            }
            at += replacement.size();
        }
        if (found && !everywhere) {
            d.known.replacedFromInsertionPoint(asked, replacement);
        }
        return found;
    }

    void quit() override
    {
        gScript->operation("quit");
        running = false;
        --gScript->alive;
        ++gScript->quit;
    }
    void setDisplayAlerts(bool) override { gScript->operation("setDisplayAlerts"); }
    word::Documents& documents() override
    {
        gScript->operation("documents");
        return *this;
    }
    word::Selection& selection() override
    {
        gScript->operation("selection");
        return sel;
    }
    std::shared_ptr<word::Document> activeDocument() override
    {
        gScript->operation("activeDocument");
        if (!state.active) {
            throw word::Error("No document is open.");
        }
        return state.active;
    }
    std::shared_ptr<word::Document> Open(const QString& path, bool readOnly, bool visible) override
    {
        gScript->operation("Open");
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            throw word::Error("The file " + path + " cannot be opened.");
        }
        const QByteArray bytes = f.readAll();
        gScript->openedBytes << QString::fromUtf8(bytes);
        // A template opens as the ticket page; a saved document as what was saved.
        const QString text =
            path.endsWith(".dot") ? FakeWord::templatePage() : QString::fromUtf8(bytes);
        state.active = std::make_shared<FakeDocument>(&state, text, path, readOnly);
        state.active->visible = visible;
        ip = 0;
        return state.active;
    }
};

} // namespace

FakeWord::FakeWord()
{
    gScript = this;
    word::setApplicationFactory([this]() -> std::unique_ptr<word::Application> {
        if (startFails) {
            throw word::Error("The office could not be started.");
        }
        ++created;
        return std::make_unique<FakeApplication>();
    });
}

FakeWord::~FakeWord()
{
    word::setApplicationFactory(word::defaultApplicationFactory());
    gScript = nullptr;
}

QString FakeWord::templatePage()
{
    QString page;
    for (int j = 1; j <= 5; ++j) {
        const QString number = kNumberMark + QStringLiteral("000%1").arg(j);
        page += number +
                "\n[Name of Raffle Event]\nDrawing Will Be Held at the End of the Night\n"
                "1st Prize\n2nd Prize\n3rd Prize\n$500\n$250\n$100\n"
                "Do not Have to Be Present to Win / Donation - $10\n"
                "[Name of Raffle Event]\nName:\nPhone:\nEmail:\n"
                "Do not Have to Be Present to Win / Donation - $10\n" +
                number + "\n";
    }
    return page;
}

QStringList FakeWord::ticketNumbers(const QString& text)
{
    QStringList numbers;
    for (const QString& paragraph : text.split(QRegularExpression("[\n\f]"))) {
        if (paragraph.startsWith(kNumberMark)) {
            numbers << paragraph.mid(1);
        }
    }
    return numbers;
}

void FakeWord::operation(const QString& name)
{
    ++mOperations;
    log << name;
    const int n = ++calls[name];
    if (onOperation) {
        onOperation(name);
    }
    if (mDieAfter >= 0 && mOperations > mDieAfter) {
        throw word::Error("The office instance has stopped.");
    }
    if (mFailures.value(name, 0) == n) {
        throw word::Error("Injected failure of " + name);
    }
}
