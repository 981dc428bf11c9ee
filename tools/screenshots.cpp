// Enters the worked Rain problem through the windows and saves a picture of each window,
// for the README. Run it under a real display server (for example xvfb-run) to see the
// fonts and frames as a person does:  xvfb-run ./build/tools/vadazaz-screenshots docs

#include "gui/about/program_icon.h"
#include "gui/editing/main_form.h"
#include "gui/widgets/fonts.h"
#include "testing/main_form_driver.h"
#include "testing/scripted_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

QString folder;

void save(QWidget *window, const QString &name)
{
    QTest::qWait(100);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!window->grab().save(path))
        qFatal("Cannot save %s", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(programIcon());
    registerFontSubstitutions();
    folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    ScriptedDialogs script;
    MainForm main;
    main.show();
    if (!QTest::qWaitForWindowExposed(&main))
        qFatal("The main window was not shown");
    // "picture NAME" saves a picture of the window the steps are in.
    const MoreSteps more = [&script](QWidget *window, const QString &step) {
        if (!step.startsWith(QStringLiteral("picture ")))
            return script.step(step, QDir(folder));
        save(window, step.section(u' ', 1));
        return std::optional(QString());
    };
    // The worked example entered, then its EPT calculated, saved with the state names and viewed.
    act(&main,
        childSteps(QStringLiteral("Rain"), {QStringLiteral("High"), QStringLiteral("Low")}) +
            parentSteps(1, QStringLiteral("Wind"), QStringLiteral("Modifying"),
                        {QStringLiteral("Strong"), QStringLiteral("Weak")}) +
            parentSteps(2, QStringLiteral("Temp"), QStringLiteral("Non-modifying"),
                        {QStringLiteral("Hot"), QStringLiteral("Cold")}) +
            QStringLiteral(
                "click CommandEditChildStates [picture child-states; click CommandCancel]; type "
                "ComboParent Parent 1; click CommandEditParent [picture parent; click "
                "CommandCancel]; picture main-window; answer Yes Yes; file rain-cpt.txt; file "
                "rain-cpt.txt; click CommandEditEPT [cells 90 10 40 60 70 30 5 95; picture "
                "ept-window; click CommandCalcCPT; click CommandViewFile [picture viewer; click "
                "CommandOK]; click CommandCancel]"),
        more);
    const QString cptFile = QDir(folder).filePath(QStringLiteral("rain-cpt.txt"));
    QFile::remove(cptFile);
    return 0;
}
