#pragma once

#include "word_automation.h"

#include <com/sun/star/task/XStatusIndicator.hpp>

#include <cppuhelper/implbase1.hxx>

namespace word {

// Hands the office's progress reports for one load or export to a ProgressHandler. The office
// calls it back during our own call to it, and the bridge runs those calls on the thread that
// waits for that call's answer: the handler runs on the caller's thread, which may let its events
// run meanwhile.
class OfficeProgress : public cppu::WeakImplHelper1<com::sun::star::task::XStatusIndicator>
{
public:
    explicit OfficeProgress(ProgressHandler handler);

    void SAL_CALL start(const rtl::OUString& text, sal_Int32 range) override;
    void SAL_CALL end() override;
    void SAL_CALL setText(const rtl::OUString& text) override;
    void SAL_CALL setValue(sal_Int32 value) override;
    void SAL_CALL reset() override;

private:
    void report(int percent);

    ProgressHandler mHandler;
    sal_Int32 mRange = 100;
    int mLast = -1;
};

} // namespace word
