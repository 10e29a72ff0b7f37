#include "app_identity.h"
#include "form1.h"
#include "seams.h"

#include <QApplication>
#include <QIcon>

namespace {

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/ticketwright-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(identity::kProductName);
    QGuiApplication::setDesktopFileName(QStringLiteral("ticketwright"));
    QApplication::setWindowIcon(applicationIcon());
    Seams::installProduct();

    Form1 form;
    form.Form_Load();
    form.showCentred();
    return QApplication::exec();
}
