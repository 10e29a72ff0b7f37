#include "warm_offices.h"

#include "early_offices.h"
#include "notice.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <deque>
#include <future>
#include <system_error>

namespace word {
namespace {

// How often waiting offices are asked whether their pipe is open yet.
constexpr int kPollMs = 100;

struct Warming
{
    std::unique_ptr<OfficeApplication> application;
    // The warming's end, or what it met.
    std::future<void> done;
};

struct State
{
    QByteArray sample;
    std::deque<Warming> offices;
    bool polling = false;
};

// Left to the process's end, never destroyed: a static destructor would run after the event loop
// and the offices' own threads are gone. clear() ends the offices.
State& state()
{
    static auto* const instance = new State;
    return *instance;
}

void warm(OfficeApplication& application, const QString& sample)
{
    // Opened and closed only: the first document's one-time costs are what is saved. Drawing a
    // page as well was measured to save nothing more, and kept 16 MiB more in each office.
    application.documents().Open(sample, true)->Close();
}

std::future<void> alreadyDone()
{
    std::promise<void> none;
    none.set_value();
    return none.get_future();
}

QString describe(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& met) {
        return QString::fromUtf8(met.what());
    } catch (...) {
        return QStringLiteral("an unknown failure");
    }
}

// What the warming met, waiting for its end; empty for an office ready to use. The future is
// spent, and left ready again for a ready one.
QString failureOf(Warming& warming)
{
    try {
        warming.done.get();
        warming.done = alreadyDone();
        return warming.application->usable() ? QString()
                                             : QStringLiteral("its office ended while it waited");
    } catch (...) {
        return describe(std::current_exception());
    }
}

void ended(const QString& failure)
{
    notice::line(QStringLiteral("an office being made ready ahead was ended (%1); the next "
                                "instance starts as without it")
                     .arg(failure));
}

// Those that failed go as soon as that is known, so that others can be started in their place.
void dropFailed()
{
    std::erase_if(state().offices, [](Warming& warming) {
        if (warming.done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            return false;
        }
        const QString failure = failureOf(warming);
        if (failure.isEmpty()) {
            return false;
        }
        ended(failure);
        return true;
    });
}

// Runs from the event loop, so nothing may escape it.
void begin(std::unique_ptr<OfficeProcess> process)
{
    Warming warming;
    try {
        warming.application = std::make_unique<OfficeApplication>(std::move(process));
    } catch (...) {
        notice::line(QStringLiteral("an office started ahead could not be connected (%1); the "
                                    "next instance starts its own")
                         .arg(describe(std::current_exception())));
        return;
    }
    const QString sample =
        QDir(warming.application->scratchFolder()).filePath(QStringLiteral("warm-up.dot"));
    QFile file(sample);
    if (!file.open(QIODevice::WriteOnly) || file.write(state().sample) != state().sample.size() ||
        !file.flush()) {
        // Connected is a saving already.
        warming.done = alreadyDone();
        state().offices.push_back(std::move(warming));
        return;
    }
    file.close();
    OfficeApplication* const application = warming.application.get();
    try {
        warming.done =
            std::async(std::launch::async, [application, sample] { warm(*application, sample); });
    } catch (const std::system_error&) {
        warming.done = alreadyDone();
    }
    state().offices.push_back(std::move(warming));
}

void poll()
{
    state().polling = false;
    if (state().sample.isEmpty()) {
        return;
    }
    while (auto process = early_offices::takeListening()) {
        begin(std::move(process));
    }
    if (early_offices::count() > 0) {
        state().polling = true;
        QTimer::singleShot(kPollMs, [] { poll(); });
    }
}

} // namespace

void warm_offices::warmWith(const QByteArray& document)
{
    state().sample = document;
    watch();
}

void warm_offices::watch()
{
    if (!state().sample.isEmpty() && !state().polling) {
        state().polling = true;
        QTimer::singleShot(0, [] { poll(); });
    }
}

int warm_offices::count()
{
    dropFailed();
    return static_cast<int>(state().offices.size());
}

std::unique_ptr<OfficeApplication> warm_offices::take()
{
    while (!state().offices.empty()) {
        Warming warming = std::move(state().offices.front());
        state().offices.pop_front();
        const QString failure = failureOf(warming);
        if (failure.isEmpty()) {
            return std::move(warming.application);
        }
        // Its state is not known: it ends, and the instance goes on without it.
        ended(failure);
    }
    return {};
}

void warm_offices::clear()
{
    // Each warming ends once its office does; the offices go with their applications.
    state().sample.clear();
    std::deque<Warming> offices = std::move(state().offices);
    state().offices.clear();
    for (Warming& warming : offices) {
        if (warming.done.valid()) {
            warming.done.wait();
        }
    }
}

} // namespace word
