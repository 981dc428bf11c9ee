// The EPT window driven as a person drives it, the program's boxes and file dialogs answered from
// a script; and once the whole road through the windows with the real ones.

#include "gui/editing/main_form.h"
#include "gui/ept/form_ept.h"

#include "testing/files.h"
#include "testing/main_form_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <sys/stat.h>

#include <optional>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

const QString withNames =
    u"Do you want to save the parent state names with the conditional probabilities?"_s;
const QString rainEpt = u"90 10 40 60 70 30 5 95"_s;

// Whether the control shows the mark of something to look at.
bool marked(const QWidget *widget)
{
    const QColor colour = widget->palette().color(widget->backgroundRole());
    return colour != QColor(128, 128, 255) && colour != QColor(Qt::white);
}

} // namespace

class FormEptTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<FormEPT> form;
    std::unique_ptr<QTemporaryDir> folder;

    QString path(const QString &name) const { return folder->filePath(name); }
    // "rain", or the child's state count (with "/Name", its second state's name) and the parents.
    void open(const QString &given)
    {
        Problem opened = rainProblem();
        if (given != u"rain"_s) {
            opened = problemOf(given.left(1).toInt(), given.section(u' ', 1));
            if (given.at(1) == u'/')
                opened.childStateName(2) = given.section(u' ', 0, 0).mid(2);
        }
        form = std::make_unique<FormEPT>(opened, deriveEptShape(opened));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // What a person sees of the window (see steps()).
    QString look(const QString &what) const
    {
        QStringList texts;
        if (what == u"cells"_s || what == u"state"_s) {
            for (const QLineEdit *cell : form->content()->findChildren<QLineEdit *>())
                if (what == u"state"_s || !cell->text().isEmpty())
                    texts << (what == u"cells"_s ? cell->objectName().mid(4) + u'=' : QString()) +
                                 cell->text();
            const auto on = [this](const char *name) {
                return child<QPushButton>(form.get(), name)->isEnabled() ? u"on"_s : u"off"_s;
            };
            return what == u"cells"_s
                       ? texts.join(u' ')
                       : u"save %1, view %2: %3"_s.arg(on("CommandSaveCpt"), on("CommandViewFile"),
                                                       texts.join(u' '));
        }
        if (what == u"files"_s) {
            for (const QString &name :
                 QDir(folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
                texts << name + u": "_s + QString::fromUtf8(contentsOf(path(name)));
            return texts.join(u" | "_s);
        }
        if (what == u"dialogs"_s)
            return script->takeShown().join(u" | "_s);
        if (what == u"focus"_s)
            return QApplication::focusWidget()->objectName();
        if (what == u"clipboard"_s)
            return QGuiApplication::clipboard()->text();
        if (what == u"hidden"_s)
            return hidden();
        if (what.startsWith(u"row "_s)) {
            auto *grid = child<QTableWidget>(form->content(), "GridEPT");
            for (int c = 0; c < grid->columnCount(); ++c)
                texts << grid->item(what.mid(4).toInt() - 1, c)->toolTip();
            texts.removeDuplicates();
            return texts.join(u" | "_s);
        }
        const QWidget *control = child<QWidget>(form.get(), what.section(u' ', -1));
        if (what.startsWith(u"tip "_s))
            return control->toolTip();
        if (what.startsWith(u"mark "_s))
            return marked(control) ? control->toolTip().section(u'\n', 0, 0) : u"unmarked"_s;
        return control->property("text").toString();
    }
    // The window within the screen's free area, scrolling only when it fills it, every control
    // reachable and none under a scroll bar: the controls that are not, or what is wrong.
    QString hidden() const
    {
        const QSize screen = form->screen()->availableGeometry().size();
        auto *scroll = child<QScrollArea>(form.get(), "ScrollEPT");
        QStringList hidden;
        if (form->width() > screen.width() || form->height() > screen.height())
            hidden << u"larger than the screen"_s;
        if (scroll->horizontalScrollBar()->isVisible() != (form->width() == screen.width()) ||
            scroll->verticalScrollBar()->isVisible() != (form->height() == screen.height()))
            hidden << u"scroll bars"_s;
        for (QWidget *control :
             form->content()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            scroll->ensureWidgetVisible(control, 0, 0);
            if (!scroll->viewport()->rect().contains(
                    QRect(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size())))
                hidden << control->objectName();
        }
        for (QWidget *control : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (control != scroll && (!form->rect().contains(control->geometry()) ||
                                      control->geometry().intersects(scroll->geometry())))
                hidden << control->objectName();
        auto *grid = child<QTableWidget>(form->content(), "GridEPT");
        const int last = grid->rowCount() - 1;
        if (grid->rowViewportPosition(last) + grid->rowHeight(last) > grid->viewport()->height())
            hidden << u"the last row"_s;
        return hidden.join(u' ');
    }

private Q_SLOTS:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        script = std::make_unique<ScriptedDialogs>();
    }
    void cleanup()
    {
        form.reset();
        script.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // The steps, as act() takes them, and these:
    //   open PROBLEM (see open())   cells FIGURES (see typeCells())   clip TEXT (to the clipboard)
    //   select Cell (focus it, its text selected)   answer Yes No… (the next boxes)
    //   file NAME (the next file dialog, in the test's folder)   readonly|fifo NAME (made so)
    //   show WHAT (see look(); "Name" for its text)
    // What the steps show, " / " between them, the test's folder as "DIR".
    void steps_data() { stepsRowsFrom(QStringLiteral(VADAZAZ_TESTDATA "/ept-window.steps")); }
    void steps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        QStringList came;
        const MoreSteps more = [&](QWidget *, const QString &step) -> std::optional<QString> {
            const QString verb = step.section(u' ', 0, 0);
            const QString rest = step.section(u' ', 1);
            const QByteArray name = QFile::encodeName(path(rest));
            if (verb == u"clip"_s) {
                QGuiApplication::clipboard()->setText(rest);
            } else if (verb == u"select"_s) {
                child<QLineEdit>(form.get(), rest)->setFocus();
                child<QLineEdit>(form.get(), rest)->selectAll();
            } else if (verb == u"readonly"_s) {
                if (!writeFile(path(rest), "an earlier file\r\n") ||
                    ::chmod(name.constData(), 0440))
                    return u"not made / "_s;
            } else if (verb == u"fifo"_s) {
                if (::mkfifo(name.constData(), 0600) != 0)
                    return u"not made / "_s;
            } else if (verb == u"show"_s) {
                return look(rest) + u" / "_s;
            } else {
                return script->step(step, folder->path());
            }
            return QString();
        };
        for (const QString &step : stepsOf(steps)) {
            if (step.startsWith(u"open "_s))
                open(step.mid(5));
            else if (const QString modal = act(form.get(), step, more); !modal.isEmpty())
                came << modal.chopped(3);
        }
        QCOMPARE(came.join(u" / "_s).replace(folder->path(), u"DIR"_s), seen);
    }

    // The whole road with the real message boxes and file dialogs: names in é, ß, Ω and 中
    // typed into the main window and both dialogs; the CPT calculated and saved with the names,
    // and the file viewed. The file is UTF-8, every field of 10 characters padded by characters.
    void wholeRoadThroughTheWindows()
    {
        problem().initialise();
        MainForm main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        act(&main,
            childSteps(u"Ωmega中ßéé1"_s, {u"Éé中"_s, u"ßchwachΩ中é"_s}) +
                parentSteps(1, u"Wind中"_s, u"Modifying"_s, {u"Starkéß"_s, u"Ωeak"_s}) +
                parentSteps(2, u"Temp中éßΩ12"_s, u"Non-modifying"_s, {u"Heiß"_s, u"Kälte中"_s}));
        script.reset();
        // "headings": the EPT window's; "road": a file dialog's filters (and " Aa" if it minded
        // the case of names), answered with the file; "viewed": what the viewer shows.
        const MoreSteps more = [this](QWidget *window, const QString &step) {
            QStringList seen;
            auto *dialog = qobject_cast<QFileDialog *>(window);
            if (step == u"headings"_s) {
                auto *grid = child<QTableWidget>(window, "GridEPT");
                seen << grid->horizontalHeaderItem(0)->text() << grid->item(0, 0)->text()
                     << grid->item(1, 0)->text();
                for (const QLabel *label : window->findChildren<QLabel *>())
                    if (label->isVisible() && !label->objectName().startsWith(u"LabelTotal"_s))
                        seen << label->text();
            } else if (step == u"road"_s && dialog) {
                seen << dialog->nameFilters().join(u';') +
                            (dialog->filter() & QDir::CaseSensitive ? u" Aa"_s : u""_s);
                child<QLineEdit>(dialog, "fileNameEdit")->setText(path(u"road.TXT"_s));
                click(dialog->findChild<QDialogButtonBox *>()->buttons().constFirst());
            } else if (step == u"viewed"_s) {
                QAccessibleTextInterface *text =
                    QAccessible::queryAccessibleInterface(
                        child<QAbstractScrollArea>(window, "TextViewCpt"))
                        ->textInterface();
                seen << text->text(0, text->characterCount());
            } else {
                return std::optional<QString>();
            }
            return std::optional(seen.join(u'|') + u" / "_s);
        };
        const QString labelled = QString::fromUtf8(
            contentsOf(QStringLiteral(VADAZAZ_TESTDATA) + u"/road-labelled.TXT"_s));
        QCOMPARE(act(&main,
                     u"click CommandEditEPT [headings; cells "_s + rainEpt +
                         u"; click CommandCalcCPT Yes Yes [road]; click CommandViewFile [road] "
                         "[viewed; click CommandOK]; click CommandCancel]"_s,
                     more),
                 u"FormEPT / Temp中éßΩ12|Heiß|Kälte中|Wind中:|Starkéß|Ωeak|Ωmega中ßéé1:|Éé中|ßchwa|"
                 "Éé中|ßchwa / Calculate CPT: CPT calculated successfully.\nDo you want to save "
                 "the CPT? [No Yes] / Save CPT: "_s +
                     withNames +
                     u" [Cancel No Yes] / QFileDialog / Text files (*.TXT) / QFileDialog / Text "
                     "files (*.TXT) / FormViewCptFile / "_s +
                     QString(labelled).replace(u"\r\n"_s, u"\n"_s).chopped(1) + u" / "_s);
        QCOMPARE(look(u"files"_s), u"road.TXT: "_s + labelled);
    }
};

VADAZAZ_GUI_TEST_MAIN(FormEptTest)
#include "form_ept_test.moc"
