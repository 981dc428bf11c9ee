#include "gui/widgets/dialogs.h"

#include "testing/files.h"
#include "testing/test_main.h"
#include "testing/widgets.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

// The names of the files in a folder that were opened since the watch began.
class OpenedFiles
{
public:
    explicit OpenedFiles(const QString &folder) : fd_(inotify_init1(IN_NONBLOCK))
    {
        inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS);
    }
    ~OpenedFiles() { ::close(fd_); }
    OpenedFiles(const OpenedFiles &) = delete;
    OpenedFiles &operator=(const OpenedFiles &) = delete;

    QStringList names() const
    {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->len > 0 && !(event->mask & IN_ISDIR))
                    names << QFile::decodeName(event->name);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        names.removeDuplicates();
        return names;
    }

private:
    int fd_;
};

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Some files never answer a read (/proc/kmsg, a pipe nobody writes to): listing their folder
    // must not read any file, or the program freezes before the dialog appears.
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
        QVERIFY(writeFile(folder.filePath(u"kmsg"_s), "<5>[    0.000000] Linux version"));
        QVERIFY(writeFile(folder.filePath(u"cpt.TXT"_s), "0.90\t\t0.10\r\n"));
        QVERIFY(::mkfifo(QFile::encodeName(folder.filePath(u"pipe"_s)).constData(), 0600) == 0);
        const OpenedFiles opened(folder.path());

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
                listed << model->index(row, 0, root).data().toString() + u": "_s +
                              model->index(row, 2, root).data().toString();
            dialog->reject();
        });
        const QString chosen = save
                                   ? dialogs().saveFileName(nullptr, u"Text files (*.TXT)|*.TXT"_s)
                                   : dialogs().openFileName(nullptr, u"Text files (*.TXT)|*.TXT"_s);
        QCOMPARE(chosen, QString());
        listed.sort();
        QCOMPARE(listed, QStringList{u"cpt.TXT: plain text document"_s});
        QCOMPARE(opened.names(), QStringList());
    }
};

VADAZAZ_GUI_TEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
