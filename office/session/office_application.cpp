#include "office_application.h"

#include "in_office_editing.h"
#include "notice.h"
#include "reporting_call.h"
#include "uno_support.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <algorithm>
#include <cppuhelper/implbase1.hxx>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace word {

using namespace word::uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

// Starting an office with a fresh profile takes one to two seconds; a slow machine gets more.
constexpr int kConnectTimeoutMs = 30000;
// One on a copy of the kept profile answers in a second; past this it starts again without it.
constexpr int kSeededConnectTimeoutMs = 10000;
constexpr int kGoneGraceMs = 2000;

// Told by the bridge when the connection to the office is gone.
class BridgeWatch : public cppu::WeakImplHelper1<css::lang::XEventListener>
{
public:
    explicit BridgeWatch(std::shared_ptr<std::atomic<bool>> gone) : mGone(std::move(gone)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override { *mGone = true; }

private:
    std::shared_ptr<std::atomic<bool>> mGone;
};

} // namespace

OfficeApplication::OfficeApplication(std::unique_ptr<OfficeProcess> started)
    : mProcess(std::move(started)), mBridgeGone(std::make_shared<std::atomic<bool>>(false)),
      mSelection(*this)
{
    if (!mProcess) {
        mProcess = std::make_unique<OfficeProcess>();
    }
    try {
        connect();
    } catch (...) {
        mBridge.clear();
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
        chooseEditing();
        return;
    }
    // A copy of the kept profile is only a saving: an office that does not come up on it starts
    // again at once on a fresh profile of its own.
    try {
        connectWithin(kSeededConnectTimeoutMs);
    } catch (const Error& failure) {
        disconnect();
        mProcess->restartOnFreshProfile(
            QStringLiteral("an office did not come up on a copy of it (%1)")
                .arg(QString::fromUtf8(failure.what())));
        connectWithin(kConnectTimeoutMs);
    }
    chooseEditing();
}

void OfficeApplication::chooseEditing()
{
    using Way = InOfficeEditing::Way;
    if (InOfficeEditing::requestedWay() == Way::InProgram) {
        mEditing = Editing::InProgram;
        mEditingWhy = QStringLiteral("TICKETWRIGHT_PAGE_LOOP=pipe asks for it");
        return;
    }
    const QString refused = watched([&] { return InOfficeEditing::registerWith(mRemote); });
    if (refused.isEmpty()) {
        return;
    }
    if (InOfficeEditing::requestedWay() == Way::InOffice) {
        throw Error(QStringLiteral("The editor cannot run inside the office: %1").arg(refused));
    }
    mEditing = Editing::InProgram;
    mEditingWhy = refused;
}

std::unique_ptr<DocumentEditing>
OfficeApplication::makeEditor(const Reference<css::frame::XModel>& model, const QString& path)
{
    if (mEditing != Editing::InProgram) {
        try {
            auto editor = std::make_unique<InOfficeEditing>(mRemote, model, path);
            mEditing = Editing::InOffice;
            tellEditingWay();
            return editor;
        } catch (const Error& failure) {
            if (InOfficeEditing::requestedWay() == InOfficeEditing::Way::InOffice) {
                throw;
            }
            // Only a saving: the same editor runs here instead, for this office's documents.
            mEditing = Editing::InProgram;
            mEditingWhy = QString::fromUtf8(failure.what());
        }
    }
    tellEditingWay();
    return std::make_unique<DocumentEditor>(model, mCopied, path);
}

void OfficeApplication::tellEditingWay()
{
    if (std::exchange(mToldEditingWay, true)) {
        return;
    }
    if (mEditing == Editing::InOffice) {
        notice::line(QStringLiteral("office %1 edits its documents inside the office (%2)")
                         .arg(mProcess->startedPid())
                         .arg(InOfficeEditing::registrationFile()));
    } else {
        notice::line(QStringLiteral("office %1 edits its documents from the program, over its "
                                    "pipe: %2")
                         .arg(mProcess->startedPid())
                         .arg(mEditingWhy));
    }
}

void OfficeApplication::disconnect()
{
    mDesktop.clear();
    mRemote.clear();
    if (mBridge.is()) {
        try {
            mBridge->dispose();
        } catch (...) {
        }
        mBridge.clear();
    }
    *mBridgeGone = false;
}

void OfficeApplication::connectWithin(int timeoutMs)
{
    const auto context = localContext();
    const rtl::OUString description = toOU(mProcess->connectionDescription());
    const QDeadlineTimer deadline(timeoutMs);
    int restarts = 0;
    Reference<css::connection::XConnection> connection;
    while (!connection.is()) {
        if (!mProcess->running()) {
            if (mProcess->exitCode() == OfficeProcess::kRestartRequested && restarts < 3) {
                ++restarts;
                mProcess->restart();
                continue;
            }
            throw Error(QStringLiteral("The office program \"%1\" ended while starting (exit "
                                       "code %2).")
                            .arg(OfficeProcess::programPath())
                            .arg(mProcess->exitCode()));
        }
        try {
            connection = css::connection::Connector::create(context)->connect(description);
        } catch (const css::connection::NoConnectException&) {
            if (deadline.hasExpired()) {
                throw Error(QStringLiteral("The office program \"%1\" did not answer within %2 "
                                           "seconds.")
                                .arg(OfficeProcess::programPath())
                                .arg(timeoutMs / 1000));
            }
            QThread::msleep(10);
        } catch (...) {
            rethrowAsWordError(QStringLiteral("Connecting to the office"));
        }
    }
    watched([&] {
        guarded(QStringLiteral("Connecting to the office"), [&] {
            auto bridge = css::bridge::BridgeFactory::create(context)->createBridge(
                rtl::OUString(), "urp", connection, nullptr);
            mBridge.set(bridge, UNO_QUERY);
            mBridge->addEventListener(new BridgeWatch(mBridgeGone));
            Reference<css::uno::XComponentContext> remote(
                bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
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
        connectionLost = e.disposed() || *mBridgeGone;
    } catch (const css::lang::DisposedException& e) {
        detail = toQ(e.Message);
        connectionLost = true;
    } catch (const css::uno::RuntimeException& e) {
        detail = toQ(e.Message);
        connectionLost = *mBridgeGone;
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

void OfficeApplication::endProcess()
{
    for (const auto& document : mOpen) {
        document->abandon();
    }
    mOpen.clear();
    *mCopied = {};
    mGathered.clear();
    mGathering = false;
    // Nothing is ever saved implicitly, and the process's private profile and scratch files go
    // with its folder, so the office is not asked to end: tearing down its documents and its
    // own state would only keep the person waiting.
    mDesktop.clear();
    mRemote.clear();
    if (mBridge.is()) {
        mProcess->kill(); // before dispose, so that the bridge does not wait for an answer
        try {
            mBridge->dispose();
        } catch (...) {
        }
        mBridge.clear();
    }
    mProcess->kill();
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

Reference<css::lang::XComponent> OfficeApplication::load(const rtl::OUString& url, bool readOnly,
                                                         bool visible)
{
    // Read-only: an untitled copy, editable in memory, that can never be stored over the file it
    // came from.
    std::initializer_list<std::pair<const char*, Any>> common = {
        {"AsTemplate", Any(readOnly)},
        {"MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)},
        {"UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)},
    };
    if (visible) {
        auto arguments = properties(common);
        arguments.realloc(arguments.getLength() + 1);
        arguments.getArray()[arguments.getLength() - 1] = properties({{"Hidden", Any(true)}})[0];
        return Reference<css::frame::XComponentLoader>(mDesktop, UNO_QUERY_THROW)
            ->loadComponentFromURL(url, "_blank", 0, arguments);
    }
    // A document in a window, even a hidden one, is laid out as soon as the office is idle, which
    // for a long document with header art takes longer than everything else. A bare model is
    // laid out only when an export asks for its pages.
    Reference<css::document::XTypeDetection> detection(
        mRemote->getServiceManager()->createInstanceWithContext(
            "com.sun.star.document.TypeDetection", mRemote),
        UNO_QUERY_THROW);
    css::uno::Sequence<css::beans::PropertyValue> type;
    Reference<css::container::XNameAccess>(detection, UNO_QUERY_THROW)
        ->getByName(detection->queryTypeByURL(url)) >>= type;
    Any filter;
    for (const auto& property : type) {
        filter = property.Name == "PreferredFilter" ? property.Value : filter;
    }
    Reference<css::lang::XComponent> model(mRemote->getServiceManager()->createInstanceWithContext(
                                               "com.sun.star.text.TextDocument", mRemote),
                                           UNO_QUERY_THROW);
    auto arguments = properties(common);
    const auto place = properties({{"URL", Any(url)}, {"FilterName", filter}});
    arguments.realloc(arguments.getLength() + 2);
    arguments.getArray()[arguments.getLength() - 2] = place[0];
    arguments.getArray()[arguments.getLength() - 1] = place[1];
    try {
        Reference<css::frame::XLoadable>(model, UNO_QUERY_THROW)->load(arguments);
    } catch (...) {
        model->dispose();
        throw;
    }
    return model;
}

void OfficeApplication::attachHiddenWindow(const Reference<css::frame::XModel>& model)
{
    Reference<css::frame::XComponentLoader>(mDesktop, UNO_QUERY_THROW)
        ->loadComponentFromURL("private:object", "_blank", 0,
                               properties({{"Model", Any(model)}, {"Hidden", Any(true)}}));
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
    auto document = watched([&] {
        return guarded(action, [&] {
            // A Word document's import tells no progress, and a long one takes many seconds.
            const rtl::OUString url = fileUrl(info.absoluteFilePath());
            Reference<css::lang::XComponent> component =
                reportingCall(mProgress, nullptr, [&] { return load(url, readOnly, visible); });
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
            std::unique_ptr<DocumentEditing> editor = makeEditor(model, path);
            auto opened = std::make_shared<OfficeDocument>(*this, model, path, std::move(editor));
            // Only a document to edit through the selection needs it; one opened for an export
            // would get an empty page more.
            if (readOnly && visible) {
                opened->endWithEmptyParagraph();
            }
            return opened;
        });
    });
    mOpen.push_back(document);
    return document;
}

int OfficeApplication::edit(const EditCommand& command)
{
    if (mGathering) {
        mGathered.push_back(command);
        return 0;
    }
    if (command.kind == EditCommand::Kind::Fail) {
        throw Error(command.failure);
    }
    return watched([&] { return activeOfficeDocument()->edit(command); });
}

std::vector<BatchFailure> OfficeApplication::endBatch(const std::function<void()>& meanwhile)
{
    std::vector<EditCommand> commands;
    commands.swap(mGathered);
    mGathering = false;
    bool calledMeanwhile = false;
    const auto callMeanwhile = [&] {
        if (meanwhile && !std::exchange(calledMeanwhile, true)) {
            meanwhile();
        }
    };
    std::vector<BatchFailure> failures;
    if (commands.empty()) {
        callMeanwhile();
        return failures;
    }
    std::vector<EditOutcome> outcomes;
    try {
        outcomes = watched([&] {
            const std::shared_ptr<OfficeDocument> document = activeOfficeDocument();
            if (!meanwhile) {
                return document->edit(commands);
            }
            // Only the office's objects are touched over there; this thread waits for the
            // batch however meanwhile ends.
            auto running = mWorker.run([&] { return document->edit(commands); });
            try {
                callMeanwhile();
            } catch (...) {
                running.wait();
                throw;
            }
            return running.get();
        });
    } catch (...) {
        callMeanwhile();
        throw;
    }
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].failed) {
            failures.push_back({static_cast<int>(i), outcomes[i].description});
        }
    }
    return failures;
}

} // namespace word
