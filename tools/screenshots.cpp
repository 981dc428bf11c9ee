// Enters the worked Rain problem through the windows and saves a picture of each window,
// for the README. Run it under a real display server (for example xvfb-run) to see the
// fonts and frames as a person does:  xvfb-run ./build/tools/vadazaz-screenshots docs

#include "gui/about/program_icon.h"
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
    MainFormDriver main;
    main.enterChildName(QStringLiteral("Rain"));
    main.enterChildStates({QStringLiteral("High"), QStringLiteral("Low")});
    main.enterParent(1, QStringLiteral("Wind"), QStringLiteral("Modifying"),
                     {QStringLiteral("Strong"), QStringLiteral("Weak")});
    main.enterParent(2, QStringLiteral("Temp"), QStringLiteral("Non-modifying"),
                     {QStringLiteral("Hot"), QStringLiteral("Cold")});
    main.editChildStates([](QWidget *dialog) {
        save(dialog, QStringLiteral("child-states"));
        click(child<QPushButton>(dialog, "CommandCancel"));
    });
    main.editParent(1, [](QWidget *dialog) {
        save(dialog, QStringLiteral("parent"));
        click(child<QPushButton>(dialog, "CommandCancel"));
    });
    save(&main.window, QStringLiteral("main-window"));

    // The EPT of the worked example, calculated, saved with the state names and viewed.
    const QString cptFile = QDir(folder).filePath(QStringLiteral("rain-cpt.txt"));
    script.answer(QMessageBox::Yes); // save the CPT?
    script.answer(QMessageBox::Yes); // with the parents' state names
    script.answerFile(cptFile);
    script.answerFile(cptFile);
    clickAndHandle(main.button("CommandEditEPT"), [](QWidget *form) {
        const QStringList cells{QStringLiteral("90"), QStringLiteral("10"), QStringLiteral("40"),
                                QStringLiteral("60"), QStringLiteral("70"), QStringLiteral("30"),
                                QStringLiteral("5"),  QStringLiteral("95")};
        for (int n = 1; n <= cells.size(); ++n)
            typeInto(child<QLineEdit>(form, QStringLiteral("Text") + QString::number(n)),
                     cells.at(n - 1));
        save(form, QStringLiteral("ept-window"));
        click(child<QPushButton>(form, "CommandCalcCPT"));
        clickAndHandle(child<QPushButton>(form, "CommandViewFile"), [](QWidget *viewer) {
            save(viewer, QStringLiteral("viewer"));
            click(child<QPushButton>(viewer, "CommandOK"));
        });
        click(child<QPushButton>(form, "CommandCancel"));
    });
    QFile::remove(cptFile);
    return 0;
}
