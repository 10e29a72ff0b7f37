#include "document_model.h"

void DocumentModel::forgetWhereTheInsertionPointIs()
{
    mAtEnd = false;
    mPage.reset();
    mNoPlacedTextAfter = false;
    mInLastPage = false;
}

void DocumentModel::moved()
{
    forgetWhereTheInsertionPointIs();
}

void DocumentModel::movedToEnd()
{
    forgetWhereTheInsertionPointIs();
    mAtEnd = true;
}

void DocumentModel::movedToPage(int page, bool lastPage)
{
    forgetWhereTheInsertionPointIs();
    mPage = page;
    mInLastPage = lastPage;
}

void DocumentModel::pasted(bool atEnd, const CopiedPage& copy)
{
    forgetWhereTheInsertionPointIs();
    mEndsInPage = atEnd && copy.endsInPage;
    mLastPage.forget();
    if (atEnd && copy.onePage) {
        mLastPage.pasted(copy);
    }
    mAtEnd = atEnd;
}

bool DocumentModel::typedBackspace(bool atEnd)
{
    forgetWhereTheInsertionPointIs();
    const bool endedInPage = mEndsInPage;
    mEndsInPage = false;
    // At the end of a pasted page that ends empty, only its empty last paragraph goes.
    if (atEnd && mLastPage.endsEmpty()) {
        mLastPage.lastParagraphJoined();
    } else {
        mLastPage.forget();
    }
    return endedInPage;
}

void DocumentModel::replaceBegins(bool fromInsertionPoint)
{
    // A replacement around the insertion point can move it, on but never back, and adds no
    // placed text after it.
    const bool noPlacedTextAfter = mNoPlacedTextAfter && fromInsertionPoint;
    const bool inLastPage = mInLastPage && fromInsertionPoint;
    forgetWhereTheInsertionPointIs();
    mEndsInPage = false;
    mNoPlacedTextAfter = noPlacedTextAfter;
    mInLastPage = inLastPage;
    if (!fromInsertionPoint) {
        mLastPage.forget();
    }
}

void DocumentModel::placed(const QString& replacement)
{
    // Nothing placed, nothing to keep: the text around it is the template's own.
    if (!replacement.isEmpty()) {
        mPlaced.add(replacement);
    }
}

void DocumentModel::replacedFromInsertionPoint(const QString& style, const QString& replacement)
{
    // Paragraphs outside the style are still as pasted only while searches keep to one style.
    if (mLastPage.known()) {
        mLastPage.changedIn(style, replacement);
    }
}

bool DocumentModel::guardsFromInsertionPoint(const QString& search,
                                             const std::function<bool()>& placedTextAfter)
{
    if (!mPlaced.mayTouch(search)) {
        return false;
    }
    if (!mNoPlacedTextAfter) {
        mNoPlacedTextAfter = !placedTextAfter();
    }
    return !mNoPlacedTextAfter;
}

bool DocumentModel::matchesOnlyInStyle(const QString& text, const QString& style,
                                       const std::function<QString()>& firstStyle)
{
    return mInLastPage && mLastPage.matchesOnlyIn(text, style, firstStyle);
}

std::optional<int> DocumentModel::matchesAtMost(const QString& text) const
{
    return mInLastPage ? mLastPage.matchesAtMost(text) : std::nullopt;
}
