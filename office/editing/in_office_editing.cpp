#include "in_office_editing.h"

#include "edit_codec.h"
#include "uno_support.h"

#include <QFileInfo>

#include <com/sun/star/container/XSet.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>

namespace word {

using namespace word::uno;

namespace {

constexpr const char* kRegistration = "ticketwright-editor.rdb";

} // namespace

InOfficeEditing::Way InOfficeEditing::requestedWay()
{
    const QString requested = qEnvironmentVariable("TICKETWRIGHT_PAGE_LOOP");
    if (requested == QLatin1String("pipe")) {
        return Way::InProgram;
    }
    return requested == QLatin1String("office") ? Way::InOffice : Way::Preferred;
}

QString InOfficeEditing::registrationFile()
{
    const QString configured = qEnvironmentVariable("TICKETWRIGHT_EDITOR_REGISTRATION");
    if (!configured.isEmpty()) {
        return QFileInfo(configured).isFile() ? QFileInfo(configured).absoluteFilePath()
                                              : QString();
    }
    const QString programFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    QStringList folders{programFolder};
    // An installed program never looks into the build it came from.
    const QString buildTree =
        QFileInfo(QStringLiteral(TICKETWRIGHT_BUILD_TREE)).canonicalFilePath();
    if (!buildTree.isEmpty() && programFolder.startsWith(buildTree + QLatin1Char('/'))) {
        folders.append(QStringLiteral(TICKETWRIGHT_EDITOR_BUILD_DIR));
    }
    for (const QString& folder : folders) {
        const QFileInfo file(folder + QLatin1Char('/') + QLatin1String(kRegistration));
        if (file.isFile()) {
            return file.absoluteFilePath();
        }
    }
    return {};
}

QString InOfficeEditing::registerWith(const Reference<css::uno::XComponentContext>& office)
{
    const QString file = registrationFile();
    if (file.isEmpty()) {
        return QStringLiteral("no %1 beside the program").arg(QLatin1String(kRegistration));
    }
    try {
        // Registered with this office alone, for as long as it runs; nothing is installed into
        // the office or its profile.
        const css::beans::NamedValue uri("uri", Any(fileUrl(file)));
        Reference<css::container::XSet>(office->getServiceManager(), UNO_QUERY_THROW)
            ->insert(Any(Sequence<css::beans::NamedValue>(&uri, 1)));
        // The library is loaded now, while the office holds no document: one that cannot load
        // is found before anything depends on it.
        office->getServiceManager()->createInstanceWithContext(
            rtl::OUString::createFromAscii(edit_codec::kImplementationName), office);
        return {};
    } catch (...) {
        try {
            rethrowAsWordError(QStringLiteral("Registering %1").arg(file));
        } catch (const Error& failure) {
            return QString::fromUtf8(failure.what());
        }
    }
}

InOfficeEditing::InOfficeEditing(const Reference<css::uno::XComponentContext>& office,
                                 const Reference<css::frame::XModel>& model, const QString& path)
{
    guarded(QStringLiteral("Making the editor inside the office"), [&] {
        const Any arguments[] = {Any(model), Any(toOU(path)),
                                 Any(static_cast<sal_Int32>(edit_codec::kVersion))};
        mJob.set(office->getServiceManager()->createInstanceWithArgumentsAndContext(
                     rtl::OUString::createFromAscii(edit_codec::kImplementationName),
                     Sequence<Any>(arguments, 3), office),
                 UNO_QUERY_THROW);
        // The first call, before any that changes the document: a library that loads but cannot
        // answer is found here, while the program can still take over.
        run({});
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
