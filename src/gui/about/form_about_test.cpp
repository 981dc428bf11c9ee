#include "gui/about/form_about.h"
#include "gui/about/program_icon.h"
#include "core/base/version.h"
#include "testing/test_main.h"
#include "testing/widgets.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

// Puts folder alone on the PATH, with a stand-in program called name holding script (none if the
// script is empty), until the answer goes out of scope. The stand-ins use only the shell's own
// commands, since nothing else is on the PATH.
auto onlyOnPath(const QTemporaryDir &folder, const QString &name, const QByteArray &script)
{
    if (!script.isEmpty()) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size() ||
            !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            qFatal("Cannot write the stand-in %s", qPrintable(file.fileName()));
    }
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", folder.path().toLocal8Bit());
    return qScopeGuard([saved] { qputenv("PATH", saved); });
}

} // namespace

class FormAboutTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A click on OK closes it in the main window's tests; Enter and Esc close it too.
    void textsButtonsAndKeys()
    {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            FormAbout about;
            about.show();
            QVERIFY(QTest::qWaitForWindowActive(&about));
            const auto text = [&](const char *name) {
                return child<QLabel>(&about, name)->text();
            };
            const auto *ok = child<QPushButton>(&about, "cmdOK");
            // The version is the three numbers that the build names, joined by dots.
            QCOMPARE(QStringList({about.windowTitle(), text("lblTitle"), text("lblVersion"),
                                  ok->text(), child<QPushButton>(&about, "cmdSysInfo")->text()}),
                     QStringList({u"About Vadazaz"_s, u"Vadazaz"_s,
                                  u"Version "_s + QLatin1String(versionText), u"OK"_s,
                                  u"&System Info..."_s}));
            QVERIFY(text("lblDescription").contains(u"the Vadazaz developers"));
            QVERIFY(text("Label1").contains(u"README.md"));
            QVERIFY(ok->isDefault() && ok->hasFocus());
            QVERIFY(!child<QLabel>(&about, "picIcon")->pixmap().isNull());
            QTest::keyClick(QApplication::focusWidget(), key);
            QVERIFY(!about.isVisible());
        }
        for (const int size : {16, 32, 48, 256})
            QCOMPARE(programIcon().pixmap(size).size(), QSize(size, size));
    }

    void systemInfo_data()
    {
        QTest::addColumn<QByteArray>("script"); // the stand-in on the PATH, if any
        QTest::addColumn<QString>("shown");     // the box's title, text, icon and button count
        const QString unavailable = u"Vadazaz|System Information Is Unavailable At This Time|0|1"_s;
        QTest::newRow("no program") << QByteArray() << unavailable;
        QTest::newRow("program that cannot start")
            << QByteArray("#!/nonexistent/interpreter\n") << unavailable;
        QTest::newRow("program started")
            << QByteArray("#!/bin/sh\necho > \"$0.started\"\n") << QString();
    }

    // Answered in a real message box, as a person sees it.
    void systemInfo()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, shown);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const auto path = onlyOnPath(folder, u"kinfocenter"_s, script);
        FormAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));

        QString box;
        const QPointer<QTimer> waiting = whenModalShown([&](QWidget *modal) {
            auto *real = qobject_cast<QMessageBox *>(modal);
            QVERIFY(real);
            box = real->windowTitle() + u'|' + real->text() + u'|' + QString::number(real->icon()) +
                  u'|' + QString::number(real->buttons().size());
            QTest::mouseClick(real->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QTest::keyClick(&about, Qt::Key_S, Qt::AltModifier);

        // The shortcut clicks the button a moment later.
        if (shown.isEmpty())
            QTRY_VERIFY(QFile::exists(folder.filePath(u"kinfocenter.started"_s)));
        else
            QTRY_COMPARE(box, shown);
        delete waiting.data();
        QCOMPARE(box, shown);
        QVERIFY(about.isVisible());
    }
};

VADAZAZ_GUI_TEST_MAIN(FormAboutTest)
#include "form_about_test.moc"
