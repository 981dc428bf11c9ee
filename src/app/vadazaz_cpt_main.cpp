#include "app/calculator.h"
#include "core/base/save_file.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    vadazaz::removeTemporaryFilesOnSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vadazaz-cpt"));
    QFile standardOutput;
    QFile standardError;
    if (!standardOutput.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) ||
        !standardError.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered,
                            QFileDevice::DontCloseHandle))
        return vadazaz::exitFailure;
    const int status =
        vadazaz::runCalculator(QCoreApplication::arguments(), standardOutput, standardError);
    if (!standardOutput.flush() && status == vadazaz::exitSuccess)
        return vadazaz::exitFailure;
    return status;
}
