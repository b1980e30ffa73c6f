// Takes the single-instance lock at the path given and waits to be killed.
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (!instance.acquire())
        return 1;
    std::puts("locked");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
