#pragma once

#include <QImage>
#include <QString>

#include <exception>
#include <future>
#include <memory>
#include <optional>

namespace word {
class Application;
class Document;
} // namespace word

// The preview's picture, begun as soon as its document is saved: the picture's office opens and
// draws it while the run goes on adding pages. Each step's result, or what it met, is kept for
// the picture procedure to take at its own step, so what it reports, and where, stays as if the
// steps ran there and then. The steps that run ahead touch only their own office, from a thread
// of their own; nothing else uses that office until they are done.
class PictureInAdvance
{
public:
    // Takes an office for the picture here, on the caller's thread, and starts the rest.
    explicit PictureInAdvance(const QString& file);
    // Waits for the steps under way; the office goes with its Application.
    ~PictureInAdvance();
    PictureInAdvance(const PictureInAdvance&) = delete;
    PictureInAdvance& operator=(const PictureInAdvance&) = delete;

    // Each rethrows what its step met. The document is empty when opening it failed, and then
    // the picture was not begun.
    std::unique_ptr<word::Application> takeApplication();
    std::shared_ptr<word::Document> document();
    QImage picture();

    // Only an office that can be driven beside another from a second thread takes pictures in
    // advance: the real one does, the scripted one of the tests does not.
    static void setEnabled(bool enabled);
    static bool enabled();

private:
    struct Ahead
    {
        std::shared_ptr<word::Document> document;
        std::exception_ptr openFailure;
        QImage picture;
        std::exception_ptr pictureFailure;
    };
    const Ahead& ahead();

    std::unique_ptr<word::Application> mApplication;
    std::exception_ptr mStartFailure;
    std::future<Ahead> mRunning;
    std::optional<Ahead> mAhead;
};
