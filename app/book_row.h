#pragma once

#include "book_choices.h"

#include <QObject>
#include <QRect>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

// The main window's row for books of tickets, below the progress bar: the first ticket number,
// the order, the paper, and which numbers the run will make. Each choice is saved as it is made,
// like the fields above it.
class BookRow : public QObject
{
    Q_OBJECT

public:
    // The row's top edge in the window, in twips, and how far the window grows to hold it.
    static constexpr int kTop = 6030;
    static constexpr int kHeight = 930;

    // Builds the row in window; countText reads the ticket count as typed, and saveFailed is told
    // when a choice could not be saved (so typing goes on, as for the fields).
    BookRow(QWidget* window, std::function<QString()> countText,
            std::function<void(const QString& message)> saveFailed);

    // Shows what the settings store holds; a failing save reaches the caller.
    void load();

    // The choices as they stand.
    BookChoices choices() const;
    // The first number's message, or an empty text when the run may start.
    QString firstNumberProblem() const;
    // Puts the focus back into the first number, once the focus change under way has finished.
    void focusFirstNumber();

    // Shows the numbers the run will make; the window calls it when the count changes.
    void updateRange();

    QLineEdit* FirstNumber = nullptr;
    QComboBox* Order = nullptr;
    QComboBox* Paper = nullptr;
    QLabel* RangeText = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* frame(QWidget* window, const QString& name, const QString& caption,
                     const QRect& twips);
    void save(const std::function<void()>& write);
    void FirstNumber_LostFocus();
    void fitRangeText();

    std::function<QString()> mCountText;
    std::function<void(const QString&)> mSaveFailed;
    bool mLoading = false;
};
