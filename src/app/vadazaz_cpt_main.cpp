#include "app/calculator.h"
#include "core/base/save_file.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

int main(int argc, char *argv[])
{
    vadazaz::removeTemporaryFilesOnSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vadazaz-cpt"));
    QFile standardOutput;
    QFile standardError;
    // Unbuffered: the CPT is written in large pieces already, and a write that fails then fails
    // where the calculator can say why.
    if (!standardOutput.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                             QFileDevice::DontCloseHandle) ||
        !standardError.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                            QFileDevice::DontCloseHandle))
        return vadazaz::exitFailure;
    // The arguments are read as text: bytes of a file's name that are not text would become
    // U+FFFD and name another file.
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        const QString text = QString::fromLocal8Bit(argument);
        if (text.toLocal8Bit() == argument)
            continue;
        standardError.write(QStringLiteral("vadazaz-cpt: argument %1, \"%2\", holds bytes that are "
                                           "not text (shown as U+FFFD); use a name that is text\n")
                                .arg(QString::number(i), text)
                                .toLocal8Bit());
        return vadazaz::exitFailure;
    }
    const int status =
        vadazaz::runCalculator(QCoreApplication::arguments(), standardOutput, standardError);
    if (!standardOutput.flush() && status == vadazaz::exitSuccess)
        return vadazaz::exitFailure;
    return status;
}
