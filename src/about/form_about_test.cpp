#include "about/form_about.h"
#include "about/program_icon.h"
#include "app/version.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"
#include "testing/widgets.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

// Puts the given folder alone on the PATH for as long as it lives.
class SearchPath
{
public:
    explicit SearchPath(const QString &folder) : saved_(qgetenv("PATH"))
    {
        qputenv("PATH", folder.toLocal8Bit());
    }
    ~SearchPath() { qputenv("PATH", saved_); }
    SearchPath(const SearchPath &) = delete;
    SearchPath &operator=(const SearchPath &) = delete;

private:
    QByteArray saved_;
};

// Writes an executable shell script named name into folder.
void putScript(const QString &folder, const QString &name, const QByteArray &script)
{
    QFile file(folder + QLatin1Char('/') + name);
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
    void showsTitleVersionAndMaker();
    void buttons();
    void closesBy_data();
    void closesBy();
    void programIconHasEverySize();
    void sysInfoUnavailable_data();
    void sysInfoUnavailable();
    void sysInfoStartsTheProgram();
    void sysInfoAnswersInARealMessageBox();
};

void FormAboutTest::showsTitleVersionAndMaker()
{
    FormAbout about;
    about.show();
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vadazaz"));
    QCOMPARE(child<QLabel>(&about, "lblTitle")->text(), QStringLiteral("Vadazaz"));
    // The version is the build's: the three numbers joined by dots, as the project names it.
    QCOMPARE(child<QLabel>(&about, "lblVersion")->text(),
             QStringLiteral("Version ") + QLatin1String(versionText));
    QVERIFY(child<QLabel>(&about, "lblDescription")->text().contains(u"the Vadazaz developers"));
    QVERIFY(child<QLabel>(&about, "Label1")->text().contains(u"https://vadazaz.invalid/"));
    QVERIFY(child<QLabel>(&about, "Label1")->text().contains(u"README.md"));
    QCOMPARE(child<QLabel>(&about, "lblDisclaimer")->text(), QString());
    QVERIFY(!child<QLabel>(&about, "picIcon")->pixmap().isNull());
    QCOMPARE(child<QFrame>(&about, "Line1")->frameShape(), QFrame::HLine);
}

void FormAboutTest::buttons()
{
    FormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    const auto *ok = child<QPushButton>(&about, "cmdOK");
    const auto *sysInfo = child<QPushButton>(&about, "cmdSysInfo");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QVERIFY(ok->hasFocus());
    QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
    QVERIFY(!sysInfo->isDefault());
}

void FormAboutTest::closesBy_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("click");
    QTest::newRow("OK") << 0 << true;
    QTest::newRow("Enter") << int(Qt::Key_Return) << false;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
}

void FormAboutTest::closesBy()
{
    QFETCH(int, key);
    QFETCH(bool, click);

    // Opened as the main window opens it, and left by a key or a click as a person would.
    FormAbout about;
    bool answered = false;
    whenModalShown([&](QWidget *modal) {
        answered = modal == &about;
        if (click)
            QTest::mouseClick(child<QPushButton>(modal, "cmdOK"), Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
    });
    about.exec();
    QVERIFY(answered);
    QVERIFY(!about.isVisible());
}

void FormAboutTest::programIconHasEverySize()
{
    const QIcon icon = programIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        QCOMPARE(icon.pixmap(size).size(), QSize(size, size));
    }
}

void FormAboutTest::sysInfoUnavailable_data()
{
    // What lies in the only folder on the PATH.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("script");
    QTest::newRow("no program") << QString() << QByteArray();
    QTest::newRow("program that cannot start")
        << QStringLiteral("kinfocenter") << QByteArray("#!/nonexistent/interpreter\n");
}

void FormAboutTest::sysInfoUnavailable()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, script);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (!name.isEmpty())
        putScript(folder.path(), name, script);
    const SearchPath path(folder.path());
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
    // Only the shell's own commands: the PATH holds nothing but this folder.
    putScript(folder.path(), QStringLiteral("hardinfo"),
              "#!/bin/sh\necho started > '" + marker.toLocal8Bit() + "'\n");
    const SearchPath path(folder.path());
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
    const SearchPath path(folder.path());
    FormAbout about;
    about.show();

    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QList<QAbstractButton *> buttons;
    whenModalShown([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    child<QPushButton>(&about, "cmdSysInfo")->click();

    QCOMPARE(title, QStringLiteral("Vadazaz"));
    QCOMPARE(text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons.size(), 1);
    QVERIFY(about.isVisible());
}

VADAZAZ_GUI_TEST_MAIN(FormAboutTest)
#include "form_about_test.moc"
