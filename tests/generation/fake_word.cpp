#include "fake_word.h"

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
    void FitTextToLines() override
    {
        gScript->operation("FitTextToLines");
        requireOpen();
    }
    // A field would stand as Word's field-begin mark.
    bool HasFields() override
    {
        gScript->operation("HasFields");
        requireOpen();
        return text.contains(QChar(0x13));
    }
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

struct FakeReplacement : word::Replacement
{
    QString text;
    void ClearFormatting() override { gScript->operation("Replacement.ClearFormatting"); }
    void setText(const QString& t) override
    {
        gScript->operation("Replacement.setText");
        text = t;
    }
};

struct FakeFind : word::Find
{
    std::function<FakeDocument&()> doc;
    std::function<qsizetype&()> ip;
    QString search;
    FakeReplacement replace;
    word::WdFindWrap wrap = word::WdFindWrap::Stop;
    bool format = false;
    QString style;
    // Settings the office refuses to search with: backwards, or anything but case-blind text.
    bool refused[6] = {};

    void ClearFormatting() override
    {
        gScript->operation("ClearFormatting");
        format = false;
        style.clear();
    }
    word::Replacement& replacement() override
    {
        gScript->operation("replacement");
        return replace;
    }
    void setText(const QString& text) override
    {
        gScript->operation("setText");
        search = text;
    }
    void setForward(bool forward) override { record("setForward", 5, !forward); }
    void setWrap(word::WdFindWrap w) override
    {
        gScript->operation("setWrap");
        wrap = w;
    }
    void setFormat(bool on) override
    {
        gScript->operation("setFormat");
        format = on;
    }
    void record(const char* operation, int setting, bool on)
    {
        gScript->operation(operation);
        refused[setting] = on;
    }
    void setMatchCase(bool on) override { record("setMatchCase", 0, on); }
    void setMatchWholeWord(bool on) override { record("setMatchWholeWord", 1, on); }
    void setMatchWildcards(bool on) override { record("setMatchWildcards", 2, on); }
    void setMatchSoundsLike(bool on) override { record("setMatchSoundsLike", 3, on); }
    void setMatchAllWordForms(bool on) override { record("setMatchAllWordForms", 4, on); }
    void setStyle(const QString& s) override
    {
        gScript->operation("setStyle");
        style = s;
    }
    // Set by the selection: in a batch, takes the operation to run when the batch ends.
    std::function<bool(std::function<void()>)> gather;

    bool Execute(word::WdReplace how) override
    {
        // The settings as they are now, as the office layer takes them.
        if (gather([settings = *this, how]() mutable { settings.Execute(how); })) {
            return false;
        }
        gScript->operation("Execute");
        if (how != word::WdReplace::All ||
            std::any_of(std::begin(refused), std::end(refused), [](bool r) { return r; })) {
            throw word::Error("Find.Execute supports only forward, case-blind replace-all.");
        }
        FakeDocument& d = doc();
        if (search.isEmpty()) {
            return false;
        }
        const bool everywhere = wrap == word::WdFindWrap::Continue;
        d.known.replaceBegins(!everywhere);
        const qsizetype from = everywhere ? 0 : ip();
        // The same decisions as the office layer's, over this text.
        const bool guard =
            everywhere ? d.known.guardsEverywhere(search)
                       : d.known.guardsFromInsertionPoint(search, [&] {
                             return std::any_of(d.placed.begin(), d.placed.end(),
                                                [&](auto p) { return p.first + p.second > from; });
                         });
        const QString asked = format ? style : QString();
        const bool styleKnown =
            d.known.matchesOnlyInStyle(search, asked, [&] { return d.styleAt(from); });
        bool found = false;
        for (qsizetype at = d.text.indexOf(search, from, Qt::CaseInsensitive); at >= 0;
             at = d.text.indexOf(search, at, Qt::CaseInsensitive)) {
            const bool inPlaced =
                guard && std::any_of(d.placed.begin(), d.placed.end(), [&](auto p) {
                    return at < p.first + p.second && p.first < at + search.size();
                });
            if (inPlaced || (!asked.isEmpty() && !styleKnown && d.styleAt(at) != asked)) {
                ++at;
                continue;
            }
            found = true;
            d.text.replace(at, search.size(), replace.text);
            d.shiftPlaced(at + 1, replace.text.size() - search.size());
            if (everywhere) {
                if (!replace.text.isEmpty()) {
                    d.placed.append({at, replace.text.size()});
                }
                d.known.placed(replace.text);
            }
            at += replace.text.size();
        }
        if (found && !everywhere) {
            d.known.replacedFromInsertionPoint(asked);
        }
        return found;
    }
};

struct FakeSelection : word::Selection
{
    std::function<FakeDocument&()> doc;
    qsizetype ip = 0;
    qsizetype selStart = 0;
    FakeFind theFind;
    int pastes = 0;
    bool gathering = false;
    std::vector<std::function<void()>> gathered;

    // As the office: copying and pasting select in the document's window.
    FakeDocument& viewed()
    {
        FakeDocument& d = doc();
        if (!d.visible) {
            throw word::Error("The document was opened invisible, without a window to select in.");
        }
        return d;
    }

    bool gather(std::function<void()> operation)
    {
        if (gathering) {
            gathered.push_back(std::move(operation));
        }
        return gathering;
    }
    void BeginBatch() override
    {
        gScript->operation("BeginBatch");
        gathering = true;
    }
    // The gathered steps run before meanwhile, so a run's calls keep the order they had before
    // it overlapped its own work with the office's.
    std::vector<word::BatchFailure> EndBatch(const std::function<void()>& meanwhile) override
    {
        const auto callMeanwhile = qScopeGuard([&] {
            if (meanwhile) {
                meanwhile();
            }
        });
        gathering = false;
        const auto operations = std::move(gathered);
        gathered.clear();
        gScript->operation("EndBatch");
        std::vector<word::BatchFailure> failures;
        for (std::size_t i = 0; i < operations.size(); ++i) {
            try {
                operations[i]();
            } catch (const word::Error& e) {
                failures.push_back({static_cast<int>(i), QString::fromUtf8(e.what())});
            }
        }
        return failures;
    }

    word::Find& find() override
    {
        gScript->operation("find");
        return theFind;
    }
    void WholeStory() override
    {
        if (gather([this] { WholeStory(); })) {
            return;
        }
        gScript->operation("WholeStory");
        doc().known.moved();
        selStart = 0;
        ip = doc().text.size();
    }
    void Copy() override
    {
        if (gather([this] { Copy(); })) {
            return;
        }
        gScript->operation("Copy");
        const FakeDocument& d = viewed();
        gScript->transfer = d.text.mid(selStart, ip - selStart);
        auto paragraphs = std::make_shared<std::vector<CopiedParagraph>>();
        for (qsizetype at = selStart; at <= ip;) {
            const qsizetype end = std::min(
                ip, d.text.indexOf('\n', at) < 0 ? d.text.size() : d.text.indexOf('\n', at));
            const QString paragraph = d.text.mid(at, end - at);
            paragraphs->emplace_back(d.styleAt(at), paragraph.startsWith(FakeWord::kNumberMark)
                                                        ? paragraph.mid(1)
                                                        : paragraph);
            at = end + 1;
        }
        const bool onePage =
            (selStart == 0 || d.text.at(selStart - 1) == '\f') && !gScript->transfer.contains('\f');
        gCopied = CopiedPage::of(paragraphs, static_cast<int>(paragraphs->size()), onePage);
    }
    void EndKey(word::WdUnits unit) override
    {
        if (gather([this, unit] { EndKey(unit); })) {
            return;
        }
        gScript->operation("EndKey");
        if (const QString refusal = word::selection_rules::refusedEndKey(unit);
            !refusal.isEmpty()) {
            throw word::Error(refusal);
        }
        doc().known.movedToEnd();
        ip = doc().text.size();
    }
    void Paste() override
    {
        if (gather([this] { Paste(); })) {
            return;
        }
        gScript->operation("Paste");
        viewed();
        ++pastes;
        QString page = gScript->transfer;
        if (gScript->brokenPaste == pastes) {
            page = page.left(page.lastIndexOf(FakeWord::kNumberMark + QString("0005")));
        }
        FakeDocument& d = doc();
        const bool atEnd = d.known.atEnd() || ip == d.text.size();
        d.known.moved();
        d.text.insert(ip, "\f" + page + "\n");
        d.shiftPlaced(ip, page.size() + 2);
        ip += page.size() + 2;
        d.known.pasted(atEnd, gCopied);
    }
    void TypeBackspace() override
    {
        if (gather([this] { TypeBackspace(); })) {
            return;
        }
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
    void GoTo(word::WdGoToItem what, word::WdGoToDirection which, int count) override
    {
        if (gather([=, this] { GoTo(what, which, count); })) {
            return;
        }
        gScript->operation("GoTo");
        if (const QString refusal = word::selection_rules::refusedGoTo(what, which);
            !refusal.isEmpty()) {
            throw word::Error(refusal);
        }
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
};

struct FakeApplication : word::Application, word::Documents
{
    FakeState state;
    FakeSelection sel;
    bool running = true;

    FakeApplication()
    {
        sel.doc = [this]() -> FakeDocument& {
            if (!state.active) {
                throw word::Error("No document is open.");
            }
            return *state.active;
        };
        sel.theFind.doc = sel.doc;
        sel.theFind.gather = [this](std::function<void()> operation) {
            return sel.gather(std::move(operation));
        };
        sel.theFind.ip = [this]() -> qsizetype& { return sel.ip; };
        ++gScript->alive;
    }
    ~FakeApplication() override
    {
        if (running) {
            --gScript->alive;
        }
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
        sel.ip = 0;
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
