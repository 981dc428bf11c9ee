#include "gui/widgets/dialogs.h"

#include "testing/files.h"
#include "testing/test_main.h"
#include "testing/widgets.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QScopeGuard>
#include <QSignalSpy>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

// The files in a folder opened since watch, an inotify descriptor watching it, began.
QStringList openedFiles(int watch)
{
    QStringList names;
    alignas(inotify_event) char buffer[65536];
    const ssize_t got = ::read(watch, buffer, sizeof buffer);
    for (ssize_t at = 0; at < got;) {
        const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
        if (event->len > 0 && !(event->mask & IN_ISDIR))
            names << QFile::decodeName(event->name);
        at += ssize_t(sizeof(inotify_event) + event->len);
    }
    names.removeDuplicates();
    return names;
}

} // namespace

class DialogsTest : public QObject
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
        QCOMPARE(openedFiles(watch), QStringList());
    }
};

VADAZAZ_GUI_TEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
