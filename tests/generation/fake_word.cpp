#include "fake_word.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

namespace {

FakeWord* gScript = nullptr;

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
    bool open = true;
    // Text placed by a replace-all over the whole document, as (start, length).
    QList<std::pair<qsizetype, qsizetype>> placed;

    FakeDocument(FakeState* s, QString t, QString p, bool ro)
        : state(s), text(std::move(t)), path(std::move(p)), readOnly(ro)
    {}
    void SaveAs(const QString& target) override
    {
        gScript->operation("SaveAs");
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
    void FitTextToLines() override {}
    bool HasFields() override { return false; }
    struct FakeRange : word::Range
    {
        FakeDocument* doc;
        explicit FakeRange(FakeDocument* d) : doc(d) {}
        QImage CopyAsPicture() override
        {
            gScript->operation("CopyAsPicture");
            QImage picture(1200, 1553, QImage::Format_RGB32);
            picture.fill(Qt::white);
            picture.setDotsPerMeterX(7559); // 192 dpi
            picture.setDotsPerMeterY(7559);
            return picture;
        }
        QStringList paragraphTexts(const QString& style) override
        {
            gScript->operation("paragraphTexts");
            return style == "Ticket No." ? FakeWord::ticketNumbers(doc->text) : QStringList();
        }
        int paragraphCount(const QString& style) override
        {
            gScript->operation("paragraphCount");
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
    void setForward(bool) override { gScript->operation("setForward"); }
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
    void setMatchCase(bool) override { gScript->operation("setMatchCase"); }
    void setMatchWholeWord(bool) override { gScript->operation("setMatchWholeWord"); }
    void setMatchWildcards(bool) override { gScript->operation("setMatchWildcards"); }
    void setMatchSoundsLike(bool) override { gScript->operation("setMatchSoundsLike"); }
    void setMatchAllWordForms(bool) override { gScript->operation("setMatchAllWordForms"); }
    void setStyle(const QString& s) override
    {
        gScript->operation("setStyle");
        style = s;
    }
    bool Execute(word::WdReplace) override
    {
        gScript->operation("Execute");
        FakeDocument& d = doc();
        const bool everywhere = wrap == word::WdFindWrap::Continue;
        const bool numbersOnly = format && style == "Ticket No.";
        bool found = false;
        for (qsizetype at = d.text.indexOf(search, everywhere ? 0 : ip(), Qt::CaseInsensitive);
             at >= 0 && !search.isEmpty(); at = d.text.indexOf(search, at, Qt::CaseInsensitive)) {
            qsizetype line = at;
            while (line > 0 && d.text.at(line - 1) != '\n' && d.text.at(line - 1) != '\f') {
                --line;
            }
            const bool inPlaced = std::any_of(d.placed.begin(), d.placed.end(), [&](auto p) {
                return at < p.first + p.second && p.first < at + search.size();
            });
            if (inPlaced || (numbersOnly && d.text.at(line) != FakeWord::kNumberMark)) {
                ++at;
                continue;
            }
            found = true;
            d.text.replace(at, search.size(), replace.text);
            const qsizetype shift = replace.text.size() - search.size();
            for (auto& p : d.placed) {
                p.first += p.first > at ? shift : 0;
            }
            if (everywhere && !replace.text.isEmpty()) {
                d.placed.append({at, replace.text.size()});
            }
            at += replace.text.size();
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

    word::Find& find() override
    {
        gScript->operation("find");
        return theFind;
    }
    void WholeStory() override
    {
        gScript->operation("WholeStory");
        selStart = 0;
        ip = doc().text.size();
    }
    void Copy() override
    {
        gScript->operation("Copy");
        gScript->transfer = doc().text.mid(selStart, ip - selStart);
    }
    void EndKey(word::WdUnits) override
    {
        gScript->operation("EndKey");
        ip = doc().text.size();
    }
    void Paste() override
    {
        gScript->operation("Paste");
        ++pastes;
        QString page = gScript->transfer;
        if (gScript->brokenPaste == pastes) {
            page = page.left(page.lastIndexOf(FakeWord::kNumberMark + QString("0005")));
        }
        doc().text.insert(ip, "\f" + page + "\n");
        ip += page.size() + 2;
    }
    void TypeBackspace() override
    {
        gScript->operation("TypeBackspace");
        if (ip > 0) {
            doc().text.remove(ip - 1, 1);
            --ip;
        }
    }
    void GoTo(word::WdGoToItem, word::WdGoToDirection which, int) override
    {
        gScript->operation("GoTo");
        const QString& t = doc().text;
        if (which == word::WdGoToDirection::Previous) {
            const qsizetype pageStart = t.lastIndexOf('\f', ip - 1);
            const qsizetype previous = pageStart <= 0 ? -1 : t.lastIndexOf('\f', pageStart - 1);
            ip = previous < 0 ? 0 : previous + 1;
        } else {
            const qsizetype next = t.indexOf('\f', ip);
            ip = next < 0 ? ip : next + 1;
        }
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
    std::shared_ptr<word::Document> Open(const QString& path, bool readOnly, bool) override
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
                "1st Prize\n2nd PRize\n3rd PRize\n$500\n$250\n$100\n"
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
