#include "gui/about/form_about.h"
#include "gui/about/program_icon.h"

#include "testing/files.h"
#include "testing/gui_driver.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;

class FormAboutTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // System Info starts the system's information program, here a stand-in alone on the PATH, or
    // says in a real box that it cannot. Enter then closes the About box: OK is its default. The
    // program's icon holds a picture of each size that desktops ask for.
    void systemInfo_data()
    {
        QTest::addColumn<QString>("program"); // the stand-in's script, none if empty
        QTest::addColumn<QString>("seen");
        const QString unavailable =
            "Vadazaz: System Information Is Unavailable At This Time [Ok] / ";
        stepsRow("no program", "", unavailable);
        stepsRow("program that cannot start", "#!/nonexistent/interpreter\n", unavailable);
        stepsRow("program started", "#!/bin/sh\necho > \"$0.started\"\n", "started");
    }
    void systemInfo()
    {
        QFETCH(QString, program);
        QFETCH(QString, seen);
        for (const int size : {16, 32, 48, 256})
            QCOMPARE(programIcon().pixmap(size).size(), QSize(size, size));
        QTemporaryDir folder;
        const QString path = folder.filePath("kinfocenter");
        QVERIFY(program.isEmpty() ||
                (writeFile(path, program.toUtf8()) &&
                 QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner)));
        const QByteArray searchPath = qgetenv("PATH");
        qputenv("PATH", folder.path().toLocal8Bit());
        const auto restore = qScopeGuard([&] { qputenv("PATH", searchPath); });
        FormAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QVERIFY(!child<QLabel>(&about, "picIcon")->pixmap().isNull());
        const QString came = act(&about, "press cmdSysInfo Space");
        QTRY_COMPARE(came.isEmpty() && QFile::exists(path + ".started") ? "started" : came, seen);
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
    }
};

VADAZAZ_GUI_TEST_MAIN(FormAboutTest)
#include "form_about_test.moc"
