#include "in_office_editing.h"

#include "edit_codec.h"
#include "uno_support.h"

#include <QFileInfo>

#include <com/sun/star/container/XSet.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>

namespace word {

using namespace word::uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY_THROW;

namespace {

constexpr const char* kRegistration = "ticketwright-editor.rdb";

} // namespace

QString InOfficeEditing::registrationFile()
{
    const QStringList folders{QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath(),
                              QStringLiteral(TICKETWRIGHT_EDITOR_BUILD_DIR)};
    for (const QString& folder : folders) {
        const QFileInfo file(folder + QLatin1Char('/') + QLatin1String(kRegistration));
        if (file.isFile()) {
            return file.absoluteFilePath();
        }
    }
    return {};
}

bool InOfficeEditing::registerWith(const Reference<css::uno::XComponentContext>& office)
{
    // Over the pipe on request: the benchmark sets this to time both ways.
    if (qEnvironmentVariable("TICKETWRIGHT_PAGE_LOOP") == QLatin1String("pipe")) {
        return false;
    }
    const QString file = registrationFile();
    if (file.isEmpty()) {
        return false;
    }
    try {
        // Registered with this office alone, for as long as it runs; nothing is installed into
        // the office or its profile.
        const css::beans::NamedValue uri("uri", Any(fileUrl(file)));
        Reference<css::container::XSet>(office->getServiceManager(), UNO_QUERY_THROW)
            ->insert(Any(Sequence<css::beans::NamedValue>(&uri, 1)));
        return true;
    } catch (...) {
        return false;
    }
}

InOfficeEditing::InOfficeEditing(const Reference<css::uno::XComponentContext>& office,
                                 const Reference<css::frame::XModel>& model, const QString& path)
{
    guarded(QStringLiteral("Opening \"%1\"").arg(path), [&] {
        const Any arguments[] = {Any(model), Any(toOU(path))};
        mJob.set(office->getServiceManager()->createInstanceWithArgumentsAndContext(
                     rtl::OUString::createFromAscii(edit_codec::kImplementationName),
                     Sequence<Any>(arguments, 2), office),
                 UNO_QUERY_THROW);
    });
}

std::vector<EditOutcome> InOfficeEditing::run(const std::vector<EditCommand>& commands)
{
    return guarded(QStringLiteral("Editing"), [&] {
        return edit_codec::decodeOutcomes(mJob->execute(edit_codec::encodeCommands(commands)),
                                          commands.size());
    });
}

} // namespace word
