#include "app/FormQuorvel.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setOrganizationName(QStringLiteral("Larkmere"));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    quorvel::FormQuorvel window(arguments);
    window.showMaximized();
    return QApplication::exec();
}
