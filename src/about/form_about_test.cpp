#include "about/form_about.h"
#include "about/program_icon.h"
#include "app/version.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"
#include "testing/widgets.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

// Puts folder alone on the PATH until the answer goes out of scope.
auto onlyOnPath(const QString &folder)
{
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", folder.toLocal8Bit());
    return qScopeGuard([saved] { qputenv("PATH", saved); });
}

void putScript(const QString &path, const QByteArray &script)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(script);
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

} // namespace

class FormAboutTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void textsAndButtons();
    void closesBy_data();
    void closesBy();
    void sysInfoUnavailable_data();
    void sysInfoUnavailable();
    void sysInfoStartsTheProgram();
    void sysInfoAnswersInARealMessageBox();
};

void FormAboutTest::textsAndButtons()
{
    FormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vadazaz"));
    QCOMPARE(child<QLabel>(&about, "lblTitle")->text(), QStringLiteral("Vadazaz"));
    // The three numbers that the build names, joined by dots: "Version 1.0.0".
    QCOMPARE(child<QLabel>(&about, "lblVersion")->text(),
             QStringLiteral("Version ") + QLatin1String(versionText));
    QVERIFY(child<QLabel>(&about, "lblDescription")->text().contains(u"the Vadazaz developers"));
    QVERIFY(child<QLabel>(&about, "Label1")->text().contains(u"https://vadazaz.invalid/"));
    QCOMPARE(child<QLabel>(&about, "lblDisclaimer")->text(), QString());
    QVERIFY(!child<QLabel>(&about, "picIcon")->pixmap().isNull());
    for (const int size : {16, 32, 48, 256})
        QCOMPARE(programIcon().pixmap(size).size(), QSize(size, size));

    const auto *ok = child<QPushButton>(&about, "cmdOK");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QVERIFY(ok->hasFocus());
    QCOMPARE(child<QPushButton>(&about, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
}

void FormAboutTest::closesBy_data()
{
    QTest::addColumn<int>("key"); // 0: a click on OK
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void FormAboutTest::closesBy()
{
    QFETCH(int, key);

    // Opened modally, as the main window opens it.
    FormAbout about;
    bool answered = false;
    whenModalShown([&](QWidget *modal) {
        answered = modal == &about;
        if (key == 0)
            QTest::mouseClick(child<QPushButton>(modal, "cmdOK"), Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
    });
    about.exec();
    QVERIFY(answered);
    QVERIFY(!about.isVisible());
}

void FormAboutTest::sysInfoUnavailable_data()
{
    QTest::addColumn<QByteArray>("script"); // the stand-in on the PATH, if any
    QTest::newRow("no program") << QByteArray();
    QTest::newRow("program that cannot start") << QByteArray("#!/nonexistent/interpreter\n");
}

void FormAboutTest::sysInfoUnavailable()
{
    QFETCH(QByteArray, script);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (!script.isEmpty())
        putScript(folder.filePath(QStringLiteral("kinfocenter")), script);
    const auto path = onlyOnPath(folder.path());
    ScriptedDialogs dialogs;
    FormAbout about;
    about.show();

    child<QPushButton>(&about, "cmdSysInfo")->click();

    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.last().title, QStringLiteral("Vadazaz"));
    QCOMPARE(dialogs.last().text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(dialogs.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(about.isVisible());
}

void FormAboutTest::sysInfoStartsTheProgram()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString marker = folder.filePath(QStringLiteral("started"));
    // The stand-in uses only the shell's own commands: the PATH holds nothing but its folder.
    putScript(folder.filePath(QStringLiteral("hardinfo")),
              "#!/bin/sh\necho started > '" + marker.toLocal8Bit() + "'\n");
    const auto path = onlyOnPath(folder.path());
    ScriptedDialogs dialogs;
    FormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowActive(&about));

    QTest::keyClick(&about, Qt::Key_S, Qt::AltModifier);

    QTRY_VERIFY(QFile::exists(marker));
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(about.isVisible());
}

void FormAboutTest::sysInfoAnswersInARealMessageBox()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const auto path = onlyOnPath(folder.path());
    FormAbout about;
    about.show();

    QString shown;
    whenModalShown([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        shown = box->windowTitle() + u'|' + box->text() + u'|' + QString::number(box->icon()) +
                u'|' + QString::number(box->buttons().size());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    child<QPushButton>(&about, "cmdSysInfo")->click();

    QCOMPARE(shown, QStringLiteral("Vadazaz|System Information Is Unavailable At This Time|0|1"));
    QVERIFY(about.isVisible());
}

VADAZAZ_GUI_TEST_MAIN(FormAboutTest)
#include "form_about_test.moc"
