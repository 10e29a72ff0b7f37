// The document editor as a UNO component that the office loads into its own process. Each
// instance edits one document; the client hands it a batch of commands per call, so a page's
// steps cost one round trip instead of dozens. The editing code is the same the client runs
// when this library is not there.

#include "document_editor.h"
#include "edit_codec.h"
#include "uno_support.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/XInitialization.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/lang/XSingleComponentFactory.hpp>
#include <com/sun/star/task/XJob.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppu/macros.hxx>
#include <uno/environment.h>
#include <uno/lbnames.h>

#include <cppuhelper/factory.hxx>
#include <cppuhelper/implbase3.hxx>
#include <cppuhelper/supportsservice.hxx>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

namespace {

using namespace word;
using namespace word::uno;

// What Copy took is the office's, shared by all its documents' editors as the client's own copy
// is. It lives only while an editor does: a reference to the office's objects must not outlive
// them into the office's exit.
std::shared_ptr<CopiedText> officeCopy()
{
    static std::mutex mutex;
    static std::weak_ptr<CopiedText> shared;
    const std::lock_guard lock(mutex);
    auto copied = shared.lock();
    if (!copied) {
        copied = std::make_shared<CopiedText>();
        shared = copied;
    }
    return copied;
}

rtl::OUString implementationName()
{
    return rtl::OUString::createFromAscii(edit_codec::kImplementationName);
}

// Nothing thrown in here may cross into the office's own code: every failure leaves as a UNO
// runtime exception, which the program receives as the call's failure.
[[noreturn]] void throwAcross()
{
    try {
        throw;
    } catch (const css::uno::Exception&) {
        throw;
    } catch (const std::exception& failure) {
        throw css::uno::RuntimeException(rtl::OUString::fromUtf8(failure.what()));
    } catch (...) {
        throw css::uno::RuntimeException("The document editor failed for an unknown reason.");
    }
}

class EditorComponent final
    : public cppu::WeakImplHelper3<css::task::XJob, css::lang::XInitialization,
                                   css::lang::XServiceInfo>
{
public:
    // Arguments: the document's model, its path for the descriptions of failures, and the
    // version of the commands the program sends, which must be this editor's.
    void SAL_CALL initialize(const Sequence<Any>& arguments) override
    {
        try {
            Reference<css::frame::XModel> model;
            rtl::OUString path;
            sal_Int32 version = 0;
            if (arguments.getLength() != 3 || !(arguments[0] >>= model) || !model.is() ||
                !(arguments[1] >>= path) || !(arguments[2] >>= version)) {
                throw css::lang::IllegalArgumentException(
                    "The document editor needs a document's model, its path and a version.",
                    nullptr, 0);
            }
            if (version != edit_codec::kVersion) {
                throw css::lang::IllegalArgumentException(
                    "The document editor speaks version " +
                        rtl::OUString::number(edit_codec::kVersion) + ", the program " +
                        rtl::OUString::number(version) + ".",
                    nullptr, 2);
            }
            const std::lock_guard lock(mMutex);
            mEditor.emplace(model, officeCopy(), toQ(path));
        } catch (...) {
            throwAcross();
        }
    }

    // The commands run in order; the result holds one outcome for each.
    Any SAL_CALL execute(const Sequence<css::beans::NamedValue>& commands) override
    {
        try {
            const std::lock_guard lock(mMutex);
            if (!mEditor) {
                throw css::uno::RuntimeException("The document editor was not given its document.");
            }
            return edit_codec::encodeOutcomes(mEditor->run(edit_codec::decodeCommands(commands)));
        } catch (...) {
            throwAcross();
        }
    }

    rtl::OUString SAL_CALL getImplementationName() override { return implementationName(); }
    sal_Bool SAL_CALL supportsService(const rtl::OUString& name) override
    {
        return cppu::supportsService(this, name);
    }
    Sequence<rtl::OUString> SAL_CALL getSupportedServiceNames() override
    {
        const rtl::OUString name = implementationName();
        return Sequence<rtl::OUString>(&name, 1);
    }

private:
    std::mutex mMutex;
    std::optional<DocumentEditor> mEditor;
};

Reference<css::uno::XInterface> SAL_CALL create(const Reference<css::uno::XComponentContext>&)
{
    return static_cast<cppu::OWeakObject*>(new EditorComponent);
}

} // namespace

extern "C" SAL_DLLPUBLIC_EXPORT void
component_getImplementationEnvironment(const char** environmentTypeName, uno_Environment**)
{
    *environmentTypeName = CPPU_CURRENT_LANGUAGE_BINDING_NAME;
}

extern "C" SAL_DLLPUBLIC_EXPORT void* component_getFactory(const char* name, void*, void*)
{
    if (std::strcmp(name, edit_codec::kImplementationName) != 0) {
        return nullptr;
    }
    const rtl::OUString service = implementationName();
    Reference<css::lang::XSingleComponentFactory> factory =
        cppu::createSingleComponentFactory(create, service, Sequence<rtl::OUString>(&service, 1));
    factory->acquire();
    return factory.get();
}
