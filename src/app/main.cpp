#include "gui/about/program_icon.h"
#include "gui/editing/main_form.h"
#include "gui/widgets/fonts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vadazaz"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vadazaz"));
    QApplication::setWindowIcon(vadazaz::programIcon());
    vadazaz::registerFontSubstitutions();
    vadazaz::MainForm window;
    window.show();
    return QApplication::exec();
}
