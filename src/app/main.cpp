#include "TarnelMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnel"));
    InstallJapaneseTranslation(app);
    return Main(app);
}
