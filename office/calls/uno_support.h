#pragma once

// Conversions and error translation shared by the office classes. Only the implementation
// includes this header: UNO types stay out of word_automation.h.

#include "word_automation.h"

#include <QString>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

#include <initializer_list>
#include <utility>

namespace word::uno {

namespace css = com::sun::star;
// The UNO names every office class uses, brought in with `using namespace word::uno`.
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

inline rtl::OUString toOU(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()),
                         static_cast<sal_Int32>(text.size()));
}

inline QString toQ(const rtl::OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

// The same object through a base interface. Plain references do not convert upwards, and a
// query would cost a round trip to the office.
template <typename Base, typename Derived>
css::uno::Reference<Base> up(const css::uno::Reference<Derived>& reference)
{
    return css::uno::Reference<Base>(static_cast<Base*>(reference.get()));
}

// file:// URL of a local path.
rtl::OUString fileUrl(const QString& path);

css::uno::Sequence<css::beans::PropertyValue>
properties(std::initializer_list<std::pair<const char*, css::uno::Any>> values);

// Whether the document holds any field (a page number, a count, a date...): what a page shows
// then depends on more than its own text.
bool holdsFields(const css::uno::Reference<css::frame::XModel>& model);

// The process's own UNO context, bootstrapped once.
css::uno::Reference<css::uno::XComponentContext> localContext();

// An office runtime failure as word::Error, keeping what its type said: a disposed object
// means the connection to the office is gone, any other runtime failure may mean so too.
class RuntimeFailure : public Error
{
public:
    RuntimeFailure(const QString& description, bool disposed)
        : Error(description), mDisposed(disposed)
    {}
    bool disposed() const { return mDisposed; }

private:
    bool mDisposed;
};

// Call inside a catch block: rethrows the current exception as word::Error, prefixed with what
// was being done. A word::Error passes through unchanged; a runtime failure of the office becomes
// a RuntimeFailure.
[[noreturn]] void rethrowAsWordError(const QString& action);

// Runs body and turns every UNO or C++ failure into word::Error.
template <typename Body> auto guarded(const QString& action, Body&& body)
{
    try {
        return body();
    } catch (...) {
        rethrowAsWordError(action);
    }
}

} // namespace word::uno
