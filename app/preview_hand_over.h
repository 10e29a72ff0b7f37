#pragma once

#include "run_result.h"

#include <QImage>
#include <QString>

#include <memory>

class Form2;
class QWidget;

// The preview window a run hands its document to: made at the first hand-over and kept, given
// the picture and what was made (the document, and for the print and the PDF its pages, paper
// and event), then shown.
class PreviewHandOver
{
public:
    // "< Back" in the preview shows mainWindow again.
    explicit PreviewHandOver(QWidget* mainWindow);
    ~PreviewHandOver();
    PreviewHandOver(const PreviewHandOver&) = delete;
    PreviewHandOver& operator=(const PreviewHandOver&) = delete;

    void load();
    void setPicture(const QImage& picture);
    void setResult(const RunResult& result);
    void show();
    // The preview window, once a run has handed a document over.
    Form2* form() const { return mForm2.get(); }

private:
    QWidget* mMainWindow;
    std::unique_ptr<Form2> mForm2;
    // The event of the run the preview shows, for its PDF.
    QString mEvent;
};
