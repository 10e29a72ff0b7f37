#include "ticket_template.h"

#include <QFile>

// Outside any namespace, as the resource macro requires.
static void initTicketTemplateResource()
{
    Q_INIT_RESOURCE(ticket_template);
}

QByteArray ticketTemplateBytes(Paper paper)
{
    // A resource in a static library is registered only when something asks for it.
    initTicketTemplateResource();
    QFile resource(paper == Paper::A4 ? QStringLiteral(":/CUSTOM/102")
                                      : QStringLiteral(":/CUSTOM/101"));
    if (!resource.open(QIODevice::ReadOnly)) {
        return {};
    }
    return resource.readAll();
}
