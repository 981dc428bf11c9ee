// The real file dialogs and the name boxes.

#include "gui/widgets/dialogs.h"
#include "gui/widgets/name_box.h"

#include "testing/files.h"
#include "testing/gui_driver.h"
#include "testing/test_main.h"

#include <QSignalSpy>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vadazaz;
using namespace vadazaz::testing;

class WidgetsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Some files never answer a read (/proc/kmsg, a pipe nobody writes to): listing their folder
    // must not read any file, or the program freezes before the dialog appears. The filter's
    // pattern matches either case.
    void listsAFolderWithoutReadingItsFiles_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("save dialog") << true;
        QTest::newRow("open dialog") << false;
    }
    void listsAFolderWithoutReadingItsFiles()
    {
        QFETCH(bool, save);
        QTemporaryDir folder;
        for (const QString name : {"kmsg", "cpt.TXT", "lower.txt"})
            QVERIFY(writeFile(folder.filePath(name), "<5>[    0.000000] Linux version"));
        QVERIFY(::mkfifo(QFile::encodeName(folder.filePath("pipe")).constData(), 0600) == 0);
        const int watch = inotify_init1(IN_NONBLOCK);
        const auto closeWatch = qScopeGuard([watch] { ::close(watch); });
        inotify_add_watch(watch, QFile::encodeName(folder.path()).constData(), IN_OPEN | IN_ACCESS);
        QStringList listed;
        whenModalShown([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            auto *model = dialog->findChild<QFileSystemModel *>();
            QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
            dialog->setDirectory(folder.path());
            QVERIFY(loaded.wait(5000));
            QTest::qWait(200);
            const QModelIndex root = model->index(folder.path());
            for (int row = 0; row < model->rowCount(root); ++row)
                listed << model->index(row, 0, root).data().toString() + ": " +
                              model->index(row, 2, root).data().toString();
            dialog->reject();
        });
        const QString filter = "Text files (*.TXT)|*.TXT";
        QCOMPARE(save ? dialogs().saveFileName(nullptr, filter)
                      : dialogs().openFileName(nullptr, filter),
                 QString());
        listed.sort();
        QCOMPARE(listed,
                 QStringList({"cpt.TXT: plain text document", "lower.txt: plain text document"}));
        // The files opened in the folder since the watch began: none.
        alignas(inotify_event) char buffer[65536];
        const ssize_t got = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            QVERIFY2(event->len == 0 || (event->mask & IN_ISDIR), event->name);
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }

    // Typed or pasted into an empty box: 10 characters as a reader counts them are taken, and a
    // text with a character that a name may not hold is refused.
    void nameBoxTakesWhatANameMayHold_data()
    {
        QTest::addColumn<QString>("step"); // into the box named Box
        QTest::addColumn<QString>("kept");
        const QString ten = u"😀"_s.repeated(10);
        QTest::newRow("eleven emoji typed") << u"type Box "_s + ten + u"😀"_s << ten;
        QTest::newRow("letters with accents typed")
            << u"type Box "_s + u"e\u0301"_s.repeated(10) << u"e\u0301"_s.repeated(10);
        QTest::newRow("eleven letters pasted") << u"paste Box Precipitati"_s << u"Precipitat"_s;
        QTest::newRow("a line separator pasted") << u"paste Box Dry\u2028Soil"_s << u""_s;
        QTest::newRow("a right-to-left override typed") << u"type Box \u202Etxt"_s << u"txt"_s;
    }
    void nameBoxTakesWhatANameMayHold()
    {
        QFETCH(QString, step);
        QFETCH(QString, kept);
        QWidget window;
        auto *box = new QLineEdit(&window);
        box->setObjectName(u"Box"_s);
        makeNameBox(box);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        act(&window, step);
        QCOMPARE(box->text(), kept);
    }
};

VADAZAZ_GUI_TEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
