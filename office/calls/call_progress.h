#pragma once

#include <com/sun/star/task/XStatusIndicator.hpp>

#include <atomic>
#include <cppuhelper/implbase1.hxx>

namespace word {

// Takes the office's progress reports for one load or export and keeps how far it has come, in
// percent, never going back (-1 before the first report). The office calls it from whichever
// thread made the call it reports on, so it only records; the caller's own thread reads it.
class CallProgress : public cppu::WeakImplHelper1<com::sun::star::task::XStatusIndicator>
{
public:
    void SAL_CALL start(const rtl::OUString& text, sal_Int32 range) override;
    void SAL_CALL end() override;
    void SAL_CALL setText(const rtl::OUString& text) override;
    void SAL_CALL setValue(sal_Int32 value) override;
    void SAL_CALL reset() override;

    const std::atomic<int>& percent() const { return mPercent; }

private:
    void record(int percent);

    std::atomic<sal_Int32> mRange{100};
    std::atomic<int> mPercent{-1};
};

} // namespace word
