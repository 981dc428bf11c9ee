#include "gui/widgets/dialogs.h"

#include <QAbstractFileIconProvider>
#include <QFileDialog>
#include <QMimeDatabase>
#include <QPushButton>

namespace vadazaz {

namespace {

// Icons and types of the files in a file dialog, told by their names alone. The usual provider
// reads the first bytes of a file whose name says nothing of its type, and some files never
// answer a read (/proc/kmsg, a device): listing their folder would freeze the program.
class NameOnlyIconProvider final : public QAbstractFileIconProvider
{
public:
    QIcon icon(const QFileInfo &info) const override
    {
        return QAbstractFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QAbstractFileIconProvider::type(info);
        return QMimeDatabase()
            .mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension)
            .comment();
    }
};

class RealDialogs final : public Dialogs
{
public:
    QMessageBox::StandardButton message(QWidget *parent, const Message &message,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(message.title);
        box.setTextFormat(Qt::PlainText);
        box.setText(withNewlines(message.text));
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(buttons);
        if (defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(defaultButton);
        for (const auto escape : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok}) {
            if (buttons.testFlag(escape)) {
                box.setEscapeButton(escape);
                break;
            }
        }
        box.exec();
        const auto clicked = box.standardButton(box.clickedButton());
        if (clicked != QMessageBox::NoButton)
            return clicked;
        return box.standardButton(box.escapeButton());
    }

    QString saveFileName(QWidget *parent, const QString &filter, const QString &folder,
                         const QString &defaultSuffix) override
    {
        QFileDialog dialog(parent);
        prepare(dialog, filter, folder);
        dialog.setDefaultSuffix(defaultSuffix);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        return chosen(dialog);
    }

    QString openFileName(QWidget *parent, const QString &filter, const QString &folder) override
    {
        QFileDialog dialog(parent);
        prepare(dialog, filter, folder);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        return chosen(dialog);
    }

private:
    // "Text files (*.TXT)|*.TXT" becomes the entry "Text files (*.TXT)" that lists *.TXT and
    // *.txt alike.
    static void prepare(QFileDialog &dialog, const QString &filter, const QString &folder)
    {
        if (!folder.isEmpty())
            dialog.setDirectory(folder);
        const QStringList parts = filter.split(QLatin1Char('|'));
        QStringList entries;
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
            entries.append(parts.at(i));
        static NameOnlyIconProvider icons;
        // The program's own dialog, so that it never reads what it lists.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setIconProvider(&icons);
        dialog.setNameFilters(entries);
        dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    }

    static QString chosen(QFileDialog &dialog)
    {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

RealDialogs realDialogs;
Dialogs *current = &realDialogs;

} // namespace

Dialogs &dialogs()
{
    return *current;
}

void setDialogs(Dialogs *replacement)
{
    current = replacement ? replacement : &realDialogs;
}

} // namespace vadazaz
