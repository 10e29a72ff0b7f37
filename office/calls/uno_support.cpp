#include "uno_support.h"

#include "word_automation.h"

#include <QUrl>

#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>

#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/exc_hlp.hxx>
#include <cstdlib>
#include <exception>
#include <mutex>

namespace word::uno {

rtl::OUString fileUrl(const QString& path)
{
    return toOU(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

css::uno::Sequence<css::beans::PropertyValue>
properties(std::initializer_list<std::pair<const char*, css::uno::Any>> values)
{
    css::uno::Sequence<css::beans::PropertyValue> result(static_cast<sal_Int32>(values.size()));
    auto* out = result.getArray();
    for (const auto& [name, value] : values) {
        out->Name = rtl::OUString::createFromAscii(name);
        out->Value = value;
        ++out;
    }
    return result;
}

bool holdsFields(const css::uno::Reference<css::frame::XModel>& model)
{
    return css::uno::Reference<css::text::XTextFieldsSupplier>(model, css::uno::UNO_QUERY_THROW)
        ->getTextFields()
        ->createEnumeration()
        ->hasMoreElements();
}

css::uno::Reference<css::uno::XComponentContext> localContext()
{
    static std::once_flag once;
    static css::uno::Reference<css::uno::XComponentContext> context;
    static QString failure;
    std::call_once(once, [] {
        // Without it the bootstrap finds no type library and the first remote call crashes.
        setenv("URE_BOOTSTRAP",
               "vnd.sun.star.pathname:" TICKETWRIGHT_OFFICE_PROGRAM_DIR "/fundamentalrc", 0);
        try {
            context = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const css::uno::Exception& e) {
            failure = toQ(e.Message);
        }
    });
    if (!context.is()) {
        throw Error(QStringLiteral("The office connection library could not start: %1")
                        .arg(failure.isEmpty() ? QStringLiteral("unknown reason") : failure));
    }
    return context;
}

void rethrowAsWordError(const QString& action)
{
    try {
        throw;
    } catch (const Error&) {
        throw;
    } catch (const css::uno::Exception& e) {
        const css::uno::Any caught = cppu::getCaughtException();
        QString text = toQ(e.Message).trimmed();
        const QString type = toQ(caught.getValueTypeName()).section(QLatin1Char('.'), -1);
        if (text.isEmpty()) {
            text = QStringLiteral("the office reported %1").arg(type);
        } else {
            text = QStringLiteral("%1 (%2)").arg(text, type);
        }
        const QString description = QStringLiteral("%1 failed: %2").arg(action, text);
        if (caught.isExtractableTo(cppu::UnoType<css::uno::RuntimeException>::get())) {
            throw RuntimeFailure(
                description,
                caught.isExtractableTo(cppu::UnoType<css::lang::DisposedException>::get()));
        }
        throw Error(description);
    } catch (const std::exception& e) {
        throw Error(QStringLiteral("%1 failed: %2").arg(action, QString::fromUtf8(e.what())));
    } catch (...) {
        throw Error(QStringLiteral("%1 failed for an unknown reason").arg(action));
    }
}

} // namespace word::uno
