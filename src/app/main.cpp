#include "core/base/save_file.h"
#include "gui/about/program_icon.h"
#include "gui/editing/main_form.h"
#include "gui/widgets/fonts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    vadazaz::removeTemporaryFilesOnSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vadazaz"));
    QApplication::setOrganizationName(QStringLiteral("Vadazaz"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vadazaz"));
    QApplication::setWindowIcon(vadazaz::programIcon());
    vadazaz::registerFontSubstitutions();
    vadazaz::MainForm window;
    window.show();
    // vadazaz FILE: the problem file to open, as a file manager hands it over.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.openProblemFile(arguments.at(1));
    return QApplication::exec();
}
