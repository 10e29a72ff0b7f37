#include "office_application.h"

#include "editor_library.h"
#include "in_office_editing.h"
#include "model_loader.h"
#include "pdf_in_parts.h"
#include "reporting_call.h"
#include "uno_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <algorithm>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace word {

using namespace word::uno;

namespace {

// Starting an office with a fresh profile takes one to two seconds; a slow machine gets more.
constexpr int kConnectTimeoutMs = 30000;
// One on a copy of the kept profile answers in a second; past this it starts again without it.
constexpr int kSeededConnectTimeoutMs = 10000;
constexpr int kGoneGraceMs = 2000;

} // namespace

OfficeApplication::OfficeApplication(std::unique_ptr<OfficeProcess> started)
    : mProcess(std::move(started))
{
    if (!mProcess) {
        mProcess = std::make_unique<OfficeProcess>();
    }
    try {
        connect();
    } catch (...) {
        mBridge.dispose();
        mDesktop.clear();
        mProcess->kill();
        throw;
    }
}

OfficeApplication::~OfficeApplication()
{
    try {
        endProcess();
    } catch (...) {
        // A destructor must not throw; the process is gone either way.
    }
}

void OfficeApplication::connect()
{
    if (!mProcess->startedOnSeed()) {
        connectWithin(kConnectTimeoutMs);
    } else {
        // A copy of the kept profile is only a saving: an office that does not come up on it
        // starts again at once on a fresh profile of its own.
        try {
            connectWithin(kSeededConnectTimeoutMs);
        } catch (const Error& failure) {
            disconnect();
            mProcess->restartOnFreshProfile(
                QStringLiteral("an office did not come up on a copy of it (%1)")
                    .arg(QString::fromUtf8(failure.what())));
            connectWithin(kConnectTimeoutMs);
        }
    }
    chooseEditing();
}

// Whether this office edits inside itself. Registering loads the editing library, before any
// document is open, so one that takes the office down as it loads (cut short by an interrupted
// install) or hangs in its first call costs only an office that holds nothing: a fresh office
// edits from the program instead, and that library is not loaded again until it changes.
void OfficeApplication::chooseEditing()
{
    const QString library = editor_library::besideRegistration(InOfficeEditing::registrationFile());
    const bool required = InOfficeEditing::requestedWay() == InOfficeEditing::Way::InOffice;
    if (const QString earlier = editor_library::refusedEarlier(library);
        !earlier.isEmpty() && !required) {
        mEditing.decide([&] { return earlier; });
        return;
    }
    try {
        mEditing.decide(
            [this] { return watched([&] { return InOfficeEditing::registerWith(mRemote); }); });
        if (mProcess->running()) {
            return;
        }
    } catch (const Error&) {
        if (mProcess->running() || required) {
            throw;
        }
    }
    if (required) {
        throw Error(
            QStringLiteral("The office ended as it loaded the editing library %1.").arg(library));
    }
    // An office killed meanwhile says nothing about the library: it is tried again next time.
    const bool killed = mProcess->endedByKill();
    if (!killed) {
        editor_library::rememberRefused(library);
    }
    disconnect();
    mProcess->restart();
    connectWithin(kConnectTimeoutMs);
    const QString why =
        killed ? QStringLiteral("an office was killed as it loaded the editing library %1; a fresh "
                                "office started in its place")
                     .arg(library)
               : QStringLiteral("the editing library %1 took an office down as it loaded; a fresh "
                                "office started in its place, and the library is not loaded again "
                                "until it is installed anew")
                     .arg(library);
    mEditing = EditingChoice();
    mEditing.decide([&] { return why; });
}

void OfficeApplication::disconnect()
{
    mDesktop.clear();
    mRemote.clear();
    mBridge.dispose();
}

void OfficeApplication::connectWithin(int timeoutMs)
{
    const auto connection = OfficeBridge::waitForConnection(*mProcess, timeoutMs);
    watched([&] {
        guarded(QStringLiteral("Connecting to the office"), [&] {
            const Reference<css::uno::XComponentContext> remote = mBridge.open(connection);
            mDesktop = css::frame::Desktop::create(remote);
            mRemote = remote;
        });
    });
    // An office that found its profile in use hands the connection to the other one and ends;
    // this instance must be ours alone.
    if (!mProcess->running()) {
        throw Error(QStringLiteral("The office program ended right after starting."));
    }
}

void OfficeApplication::requireRunning() const
{
    if (!mDesktop.is()) {
        throw Error(QStringLiteral("The office instance has already been quit."));
    }
}

QString OfficeApplication::notAnswering() const
{
    return QStringLiteral("The office did not answer within %1 seconds and was stopped.")
        .arg(mProcess->watchdog().limitMs() / 1000.0);
}

void OfficeApplication::requireAnswering()
{
    if (mProcess->watchdog().stoppedOffice()) {
        throw Error(notAnswering());
    }
    if (mDesktop.is() && mProcess->ended()) {
        throw Error(QStringLiteral("The office program is no longer running: it ended "
                                   "unexpectedly."));
    }
}

void OfficeApplication::explainFailure()
{
    if (mProcess->watchdog().stoppedOffice()) {
        throw Error(notAnswering());
    }
    // A killed office breaks the connection a moment before its end can be seen: a disposed
    // object, or a runtime failure once the bridge itself has gone, waits that moment, so the
    // report says what happened.
    QString detail;
    bool connectionLost = false;
    try {
        throw;
    } catch (const RuntimeFailure& e) {
        detail = QString::fromUtf8(e.what());
        connectionLost = e.disposed() || mBridge.gone();
    } catch (const css::lang::DisposedException& e) {
        detail = toQ(e.Message);
        connectionLost = true;
    } catch (const css::uno::RuntimeException& e) {
        detail = toQ(e.Message);
        connectionLost = mBridge.gone();
    } catch (const std::exception& e) {
        detail = QString::fromUtf8(e.what());
    } catch (...) {
    }
    if (mDesktop.is() &&
        (!mProcess->running() || (connectionLost && mProcess->waitForExit(kGoneGraceMs)))) {
        throw Error(QStringLiteral("The office program ended unexpectedly (%1).").arg(detail));
    }
    if (connectionLost) {
        throw Error(QStringLiteral("The connection to the office was lost (%1).").arg(detail));
    }
    throw;
}

void OfficeApplication::removeSaveLeftovers(const QString& path) const
{
    // An office that ends in the middle of a save leaves its scratch file and a lock file beside
    // the target; the scratch file carries the office's process id, the lock file the name of
    // the document being written.
    const QFileInfo target(QDir::current().absoluteFilePath(path));
    QDir folder = target.dir();
    const QStringList names =
        folder.entryList({QStringLiteral("lu%1*.tmp").arg(mProcess->startedPid()),
                          QStringLiteral(".~lock..~%1.*#").arg(target.fileName())},
                         QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        struct stat info = {};
        const QByteArray native = QFile::encodeName(folder.filePath(name));
        if (::lstat(native.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid()) {
            ::unlink(native.constData());
        }
    }
}

QString OfficeApplication::scratchFolder() const
{
    requireRunning();
    return mProcess->folder();
}

bool OfficeApplication::usable()
{
    return mDesktop.is() && !mBridge.gone() && !mProcess->watchdog().stoppedOffice() &&
           mProcess->running();
}

void OfficeApplication::endProcess()
{
    for (const auto& document : mOpen) {
        document->abandon();
    }
    mOpen.clear();
    *mCopied = {};
    dropBatch();
    // Nothing is ever saved implicitly, and the process's private profile and scratch files go
    // with its folder, so the office is not asked to end: tearing down its documents and its
    // own state would only keep the person waiting.
    mDesktop.clear();
    mRemote.clear();
    // The process goes before the bridge, so that the bridge does not wait for an answer.
    OfficeProcess::endSoon(mProcess);
    mBridge.dispose();
}

void OfficeApplication::quit()
{
    requireRunning();
    endProcess();
}

std::shared_ptr<OfficeDocument> OfficeApplication::activeOfficeDocument()
{
    requireRunning();
    if (mOpen.empty()) {
        throw Error(QStringLiteral("No document is open."));
    }
    return mOpen.back();
}

std::shared_ptr<Document> OfficeApplication::activeDocument()
{
    return activeOfficeDocument();
}

void OfficeApplication::forget(OfficeDocument* document)
{
    std::erase_if(mOpen, [&](const auto& open) { return open.get() == document; });
}

void OfficeApplication::attachHiddenWindow(const Reference<css::frame::XModel>& model)
{
    ModelLoader::attachHiddenWindow(mDesktop, model);
}

std::shared_ptr<Document> OfficeApplication::Open(const QString& path, bool readOnly, bool visible)
{
    requireRunning();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        throw Error(
            QStringLiteral("The document \"%1\" could not be opened: there is no such file.")
                .arg(path));
    }
    if (!info.isFile() || !info.isReadable()) {
        throw Error(QStringLiteral("The document \"%1\" could not be opened: it is not a readable "
                                   "file.")
                        .arg(path));
    }
    const QString action = QStringLiteral("Opening \"%1\"").arg(path);
    // A long document opened invisible is opened for an export, which a second office may
    // share: it begins reading the file now, beside this one.
    std::unique_ptr<PdfInParts::ReadAhead> ahead;
    if (readOnly && !visible && !mSecondOffice) {
        ahead = PdfInParts::readAhead(info.absoluteFilePath());
    }
    auto document = watched([&] {
        return guarded(action, [&] {
            // A Word document's import tells no progress, and a long one takes many seconds.
            const rtl::OUString url = fileUrl(info.absoluteFilePath());
            Reference<css::lang::XComponent> component = reportingCall(mProgress, nullptr, [&] {
                return ModelLoader::load(mDesktop, mRemote, url, readOnly, visible);
            });
            Reference<css::text::XTextDocument> text(component, UNO_QUERY);
            if (!text.is()) {
                Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
                if (closeable.is()) {
                    closeable->close(true);
                }
                throw Error(QStringLiteral("The document \"%1\" could not be opened: it is not a "
                                           "word-processing document the office can read.")
                                .arg(path));
            }
            const Reference<css::frame::XModel> model(component, UNO_QUERY_THROW);
            std::unique_ptr<DocumentEditing> editor =
                mEditing.makeEditor(mRemote, model, mCopied, path, mProcess->startedPid());
            auto opened = std::make_shared<OfficeDocument>(*this, model, path, std::move(editor));
            // Only a document to edit through the selection needs it; one opened for an export
            // would get an empty page more.
            if (readOnly && visible) {
                opened->endWithEmptyParagraph();
            }
            return opened;
        });
    });
    document->readAhead(std::move(ahead));
    mOpen.push_back(document);
    return document;
}

int OfficeApplication::runOne(const EditCommand& command)
{
    return watched([&] { return activeOfficeDocument()->edit(command); });
}

std::vector<EditOutcome> OfficeApplication::runBatch(const std::vector<EditCommand>& commands,
                                                     const std::function<void()>& meanwhile)
{
    return watched([&] {
        const std::shared_ptr<OfficeDocument> document = activeOfficeDocument();
        if (!meanwhile) {
            return document->edit(commands);
        }
        // Only the office's objects are touched over there; this thread waits for the batch
        // however meanwhile ends.
        auto running = mWorker.run([&] { return document->edit(commands); });
        try {
            meanwhile();
        } catch (...) {
            running.wait();
            throw;
        }
        return running.get();
    });
}

} // namespace word
