#pragma once

// The one door to the office engine. Everything the program asks of a word processor passes
// through these classes, which offer exactly the operations the ticket run and the picture
// export use, named as the word processor's automation model names them. The engine behind them
// is a headless LibreOffice Writer, one office process per Application; nothing outside this
// header's implementation sees how it is driven.
//
// Every operation either has the effect described here or throws word::Error, whose what() is a
// readable description for the error report.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace word {

class Error : public std::runtime_error
{
public:
    explicit Error(const QString& description) : std::runtime_error(description.toStdString()) {}
};

enum class WdReplace
{
    None = 0,
    One = 1,
    All = 2
};
enum class WdFindWrap
{
    Stop = 0,
    Continue = 1
};
enum class WdUnits
{
    Story = 6
};
enum class WdGoToItem
{
    Page = 1
};
enum class WdGoToDirection
{
    Next = 2,
    Previous = 3
};
enum class WdSaveOptions
{
    DoNotSaveChanges = 0
};
enum class WdExportFormat
{
    PDF = 17
};

// How far a long operation has come, in percent (0 to 100, never going back), or -1 while the
// office cannot tell. Called on the thread that called the operation, from inside it, a few times
// a second while the office works, so the handler may let the program's own events run. Never
// called after the operation returned.
using ProgressHandler = std::function<void(int percent)>;

// What a fixed-format export writes besides the pages.
struct FixedFormatOptions
{
    // The file's document information.
    QString title;
    QString subject;
    QString creator;
    ProgressHandler progress;
};

// One operation of a batch that failed: its place among the batch's operations, counted from 0,
// and the description its word::Error would have had.
struct BatchFailure
{
    int index = 0;
    QString description;
};

// Room kept free at both ends of the lines of some paragraph styles, in points.
struct KeptClear
{
    QStringList styles;
    double points = 0;
};

class Replacement
{
public:
    virtual ~Replacement() = default;
    // No formatting conditions remain on the replacement.
    virtual void ClearFormatting() = 0;
    // The replacement text, taken literally (no escape sequences are interpreted).
    virtual void setText(const QString& text) = 0;
};

// The search settings of the selection. Setters only record; Execute searches.
class Find
{
public:
    virtual ~Find() = default;
    // No formatting conditions remain: no style is asked for.
    virtual void ClearFormatting() = 0;
    virtual Replacement& replacement() = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setForward(bool forward) = 0;
    virtual void setWrap(WdFindWrap wrap) = 0;
    virtual void setFormat(bool format) = 0;
    virtual void setMatchCase(bool on) = 0;
    virtual void setMatchWholeWord(bool on) = 0;
    virtual void setMatchWildcards(bool on) = 0;
    virtual void setMatchSoundsLike(bool on) = 0;
    virtual void setMatchAllWordForms(bool on) = 0;
    // With Format on, only text in paragraphs of this paragraph style matches.
    virtual void setStyle(const QString& style) = 0;
    // With WdReplace::All: replaces every match (case ignored, the search text taken
    // literally) from the insertion point to the end of the document, and with
    // WdFindWrap::Continue from the start of the document as well. Returns whether anything
    // was replaced. Only case-blind searches are supported; other settings throw.
    //
    // Text that an earlier replace-all with WdFindWrap::Continue put into this document is
    // never matched, in whole or in part: what filling a template placed stays exactly as
    // given, even when it holds a later search's text. A pasted copy of it is new text.
    virtual bool Execute(WdReplace replace) = 0;
};

// The insertion point and selection of the active document.
class Selection
{
public:
    virtual ~Selection() = default;
    // The search object, taken anew each time (its settings persist, as in the word processor).
    virtual Find& find() = 0;
    // Selects the whole document.
    virtual void WholeStory() = 0;
    // The engine's own transfer holds the selection; the desktop clipboard is not touched, so
    // another program cannot spoil a run.
    virtual void Copy() = 0;
    // WdUnits::Story: insertion point at the end of the document.
    virtual void EndKey(WdUnits unit) = 0;
    // Inserts what Copy took at the insertion point.
    virtual void Paste() = 0;
    // Deletes the character before the insertion point. Right after a Paste at the end of the
    // document it removes the empty paragraph the paste left, so paste + backspace adds exactly
    // one page.
    virtual void TypeBackspace() = 0;
    // WdGoToItem::Page with Previous / Next and count 1: insertion point at the start of the
    // previous / next page.
    virtual void GoTo(WdGoToItem what, WdGoToDirection which, int count) = 0;

    // From now until EndBatch, the operations of this Selection (WholeStory, Copy, EndKey, Paste,
    // TypeBackspace, GoTo) and its Find's Execute are only gathered, with the Find's settings as
    // they are at the time: they return at once and throw nothing, and Execute returns false.
    // A batch that is begun again keeps what it gathered.
    virtual void BeginBatch() = 0;
    // Runs what was gathered, in the order it was asked, with the effects each operation has on
    // its own; the office does the whole batch in one go, without a round trip per operation.
    // Each runs on its own: one that fails does not stop those after it. Returns the failures in
    // order. Throws word::Error only when nothing could run (the office is gone, say). Gathering
    // ends either way.
    // meanwhile, when given, runs once on the caller's thread while the office works, whatever
    // happens (so the caller's own work overlaps the office's); it must not throw.
    virtual std::vector<BatchFailure> EndBatch(const std::function<void()>& meanwhile = {}) = 0;
};

class Range
{
public:
    virtual ~Range() = default;
    // A picture of the range's first page, 1200 pixels wide at 192 dpi. It is handed back rather
    // than put on the clipboard: the clipboard belongs to the person and every other program.
    virtual QImage CopyAsPicture() = 0;
    // The texts of the range's paragraphs in the given paragraph style, in reading order (the
    // run checks its ticket numbers with them).
    virtual QStringList paragraphTexts(const QString& style) = 0;
    // How many of the range's paragraphs are in the given paragraph style; cheaper than their
    // texts.
    virtual int paragraphCount(const QString& style) = 0;
    // The range's text, each paragraph ended by a paragraph mark ("\r"), read in one go. A line
    // break inside a paragraph reads as a mark too.
    virtual QString Text() = 0;
};

class Document
{
public:
    virtual ~Document() = default;
    // Always a Word 97-2003 document, whatever the name.
    virtual void SaveAs(const QString& path) = 0;
    // WdExportFormat::PDF: the document as it prints, as a PDF at path, whatever the name:
    // vector pages of the document's own size, text selectable, every font embedded, the
    // options' information in the file. Written whole or not at all: a failure leaves what was at
    // path as it was. Takes time in proportion to the pages, also when every page's header draws
    // the same art.
    virtual void ExportAsFixedFormat(const QString& path, WdExportFormat format,
                                     const FixedFormatOptions& options) = 0;
    virtual void Close() = 0;
    virtual void Close(WdSaveOptions saveChanges) = 0;
    // The whole document.
    virtual std::unique_ptr<Range> range() = 0;
    // Keeps every paragraph of the first page on one line: each paragraph style whose text would
    // run past the end of its line there gets smaller characters (down to 6 pt, then narrower
    // ones) just enough for its longest paragraph to fit, so the page keeps its lines and with
    // them its layout. A one-page document that the office still lays out on more pages gets
    // smaller characters again, a few times at most. Made for a one-page document about to be
    // copied: the copies share the styles. The lines of paragraphs in keptClear's styles keep
    // its points free at both ends as well (a picture stands beside them).
    virtual void FitTextToLines(const KeptClear& keptClear = {}) = 0;
    // Puts the picture (the bytes of a PNG, JPEG, BMP, GIF or SVG file) in place of every
    // drawing in the page headers named boxName and a number: scaled to fit the drawing's
    // bounds, its proportions kept, centred there. The document holds the picture once, however
    // many boxes show it. Throws when there is no such drawing, or the office cannot read the
    // picture.
    virtual void FillPictureBoxes(const QString& boxName, const QByteArray& picture) = 0;
    // Whether a field (a page number, a page count, a date, ...) is anywhere in the document,
    // headers and footers included: what it shows may depend on the rest of the document.
    virtual bool HasFields() = 0;
    // The document is about to grow to about this many pages, pasted at its end: a hint that
    // changes what no operation does, only how quickly they go. Never throws; an office that
    // cannot take the hint goes on without it.
    virtual void ExpectPages(int pages) = 0;
};

class Documents
{
public:
    virtual ~Documents() = default;
    // Opens the file; the returned document becomes the active one. A read-only document is
    // editable in memory but never saved over its own file; a visible one ends in an empty
    // paragraph (one is added when its last paragraph holds text), so that Copy of the whole
    // story, Paste at the end and TypeBackspace add exactly one copy with nothing cut off. A
    // missing or unreadable file throws.
    // An invisible document has no window at all, not even a hidden one: nothing lays it out
    // until an export needs its pages, so a long one opens at once and is laid out only by the
    // export. The Selection cannot work on it, nor can CopyAsPicture, nor can a range find its
    // paragraphs by their style: those throw.
    virtual std::shared_ptr<Document> Open(const QString& path, bool readOnly = false,
                                           bool visible = true) = 0;
};

// One running office instance. Destroying an Application that was not quit ends its process.
class Application
{
public:
    virtual ~Application() = default;

    // A new running instance, or word::Error. Goes through the factory below.
    static std::unique_ptr<Application> create();

    // Ends the instance at once, with whatever documents it still holds (nothing is saved
    // implicitly), and returns once its process is gone. Its files are removed once the event
    // loop runs, when called on its thread (so that a run's preview need not wait for them), and
    // at once otherwise; terminateAllInstances() removes them in any case.
    virtual void quit() = 0;
    virtual void setDisplayAlerts(bool on) = 0;
    // Opening and saving documents report how far they are here from now on, on the caller's
    // thread, which meanwhile runs its events (none: no reports, and the calls run right here).
    virtual void setProgress(ProgressHandler handler) { (void)handler; }
    virtual Documents& documents() = 0;
    virtual Selection& selection() = 0;
    // The document last opened and not closed; throws when there is none.
    virtual std::shared_ptr<Document> activeDocument() = 0;
};

// How create() makes an instance. The product uses the office engine; tests that inject
// failures install a scripted one and restore the default afterwards.
using ApplicationFactory = std::function<std::unique_ptr<Application>()>;
// A factory that only wraps the default one (to time it, say) tells so, and offices are then
// still started early for it.
void setApplicationFactory(ApplicationFactory factory, bool wrapsOfficeEngine = false);
ApplicationFactory defaultApplicationFactory();

// Starts offices now, in the background, until count are waiting for the next instances create()
// makes (those made ready by warmInstancesWith count among them), so that those need not wait
// for an office to start. Each instance still gets an office of its own that no other instance
// used; waiting ones are ended by terminateAllInstances(). A head start only: an office that
// fails to start here is not reported, and the instance that would have taken it starts one of
// its own. Does nothing unless the default factory, or one that wraps it, is installed. Call from
// the event loop's thread.
void startInstancesEarly(int count);

// From now on, while the event loop runs, offices started early are also made ready with this
// document as soon as they can take a connection: each is connected, then on a thread of its own
// opens the document and closes it (nothing is drawn), so that the instance that takes the
// office opens its own first document in about a third of the time. Only a saving: an office
// that cannot be connected, fails it or ends meanwhile is ended, with one line on standard
// error, and create() goes on without it; one for which the document cannot be written, or no
// thread started, is only connected. An empty document stops this for offices not yet begun.
// Does nothing unless the default factory, or one that wraps it, is installed. Call from the
// event loop's thread.
void warmInstancesWith(const QByteArray& document);

// Ends every office instance this process started, at once. Used when the program must end
// immediately while an instance is still running, so that none is left behind.
void terminateAllInstances();
// The same from any thread, for an ending that cannot wait for the thread that owns the
// instances (it waits on one that hangs): their processes are killed and their files removed,
// and nothing else of them is touched. The process is to end right after.
void terminateAllInstancesFromAnyThread();

} // namespace word
