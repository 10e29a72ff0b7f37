#pragma once

#include <com/sun/star/frame/XModel.hpp>

#include <functional>

namespace word {

// The window of a document open in the office. While the document is edited its view is
// suspended and its controllers locked: the office then lays out nothing between calls (an active
// view lays the document out up to the insertion point whenever the office is idle, and every
// page laid out is one more the header art is attached to again on each paste). Drawing or
// exporting lays the pages out in it (showPages) and locks it again after. A long document is
// stored without its window (putAside) and gets it back when next needed (giveBack). The editor
// hears of each change of window.
class DocumentWindow
{
public:
    // Right after loading, when suspending asks no questions: nothing is changed yet.
    DocumentWindow(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                   std::function<void()> changed);

    // Opened with a window; an invisible document has no view, nothing to select in.
    bool opened() const { return mOpened; }
    bool aside() const { return mAside; }
    // The window closed, the document kept: a store then writes the model as it stands.
    void putAside();
    // A window attached anew (attach does it), suspended at once.
    void giveBack(const std::function<void()>& attach);
    // The view resumed and the controllers unlocked, for the pages to be laid out.
    void showPages();
    void lock();

private:
    com::sun::star::uno::Reference<com::sun::star::frame::XModel> mModel;
    std::function<void()> mChanged;
    bool mOpened = false;
    bool mAside = false;
    bool mLocked = false;
    bool mSuspended = false;
};

} // namespace word
