#include "preview_hand_over.h"

#include "form2.h"
#include "save_doc_as_pdf.h"

PreviewHandOver::PreviewHandOver(QWidget* mainWindow) : mMainWindow(mainWindow) {}

PreviewHandOver::~PreviewHandOver() = default;

void PreviewHandOver::load()
{
    if (!mForm2) {
        mForm2 = std::make_unique<Form2>(mMainWindow);
        // The PDF's information names the event of the run being previewed.
        mForm2->setPdfWriter([this](const QString& wordFile, const QString& pdfPath,
                                    const std::function<bool(int)>& progress) {
            bool stop = false;
            SaveDocAsPDF(
                wordFile, pdfPath, mEvent, [&](int percent) { stop = !progress(percent); },
                [&] { return stop; });
        });
    }
}

void PreviewHandOver::setPicture(const QImage& picture)
{
    mForm2->setPicture(picture);
}

void PreviewHandOver::setResult(const RunResult& result)
{
    mForm2->mWordFile = result.wordFile;
    mEvent = result.eventName;
    mForm2->setPrintable(QStringLiteral("Raffle Tickets: ") + result.eventName.left(40),
                         result.paper, result.book.pages(), result.book.rangeText());
}

void PreviewHandOver::show()
{
    mForm2->show();
}
