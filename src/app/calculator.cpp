#include "app/calculator.h"

#include "core/base/version.h"
#include "core/ept/readiness_check.h"
#include "core/ept/cpt_computation.h"
#include "core/ept/ept_shape.h"
#include "core/ept/ept_validation.h"
#include "core/output/cpt_file.h"
#include "core/base/save_file.h"
#include "core/store/problem_file.h"

#include <QCommandLineParser>
#include <QLocale>

namespace vadazaz {

namespace {

const QString programName = QStringLiteral("vadazaz-cpt");

void say(QIODevice &device, const QString &text)
{
    device.write(text.toLocal8Bit());
    device.write("\n");
}

int refuse(QIODevice &standardError, const Message &message)
{
    say(standardError, withNewlines(message.text));
    return exitRefused;
}

int fail(QIODevice &standardError, const QString &text)
{
    say(standardError, programName + QStringLiteral(": ") + text);
    return exitFailure;
}

} // namespace

int runCalculator(const QStringList &arguments, QIODevice &standardOutput, QIODevice &standardError)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Computes the conditional probability table of a child variable from the "
                       "elicited probability table in a problem file, with the same checks and "
                       "messages as the Vadazaz windows.\n\n"
                       "Exit status: 0 when the CPT was written, 1 when the problem file or the "
                       "output could not be used, 2 when the problem or its EPT was refused."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption layoutOption(
        QStringLiteral("layout"),
        QStringLiteral("Layout of the CPT: labelled (the default), plain or json."),
        QStringLiteral("layout"), QStringLiteral("labelled"));
    const QCommandLineOption outputOption(
        QStringLiteral("output"),
        QStringLiteral("Write the CPT to <file> instead of the standard output."),
        QStringLiteral("file"));
    parser.addOption(layoutOption);
    parser.addOption(outputOption);
    parser.addPositionalArgument(QStringLiteral("problem"),
                                 QStringLiteral("The problem file (JSON) to compute."),
                                 QStringLiteral("PROBLEM.json"));

    if (!parser.parse(arguments))
        return fail(standardError, parser.errorText() + QStringLiteral(" (see --help)"));
    if (parser.isSet(helpOption)) {
        standardOutput.write(parser.helpText().toLocal8Bit());
        return exitSuccess;
    }
    if (parser.isSet(versionOption)) {
        say(standardOutput, programName + QLatin1Char(' ') + QLatin1String(versionText));
        return exitSuccess;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return fail(standardError, QStringLiteral("name exactly one problem file (see --help)"));
    const QString layoutName = parser.value(layoutOption);
    CptLayout layout = CptLayout::Labelled;
    if (layoutName == QStringLiteral("plain"))
        layout = CptLayout::Plain;
    else if (layoutName == QStringLiteral("json"))
        layout = CptLayout::Json;
    else if (layoutName != QStringLiteral("labelled"))
        return fail(standardError, QStringLiteral("unknown layout \"") + layoutName +
                                       QStringLiteral("\": use labelled, plain or json"));

    const QString path = positional.first();
    // Through another name or a link, the output may be the problem file itself.
    const QString output = parser.value(outputOption);
    if (parser.isSet(outputOption) && isSameFile(output, path))
        return fail(standardError, QStringLiteral("cannot write ") + output +
                                       QStringLiteral(": It is the problem file."));
    const ProblemFileRead read = readProblemFile(path);
    if (!read.file)
        return fail(standardError, read.error);
    const Problem &problem = read.file->problem;

    if (const auto refusal = readinessRefusal(problem))
        return refuse(standardError, *refusal);
    const EptShape shape = deriveEptShape(problem);
    if (const auto refusal = eptSizeRefusal(problem, shape))
        return refuse(standardError, *refusal);

    const QList<QStringList> &ept = read.file->ept;
    bool shapeMatches = ept.size() == shape.eptRows;
    QStringList cells;
    for (const QStringList &row : ept) {
        shapeMatches = shapeMatches && row.size() == shape.eptCols;
        cells += row;
    }
    if (!shapeMatches)
        return fail(standardError,
                    path + QStringLiteral(": \"ept\" must have ") + QString::number(shape.eptRows) +
                        QStringLiteral(" rows of ") + QString::number(shape.eptCols) +
                        QStringLiteral(" cells for this problem"));

    const QString decimalPoint = QLocale::system().decimalPoint();
    const EptValidation validation =
        validateEpt(cells, shape.eptRows, shape.eptCols, problem.noChildStates,
                    shape.noModParents(), decimalPoint);
    if (validation.refusal)
        return refuse(standardError, *validation.refusal);

    const CellConfiguration configuration(problem, shape);
    const CptComputation computation = computeCpt(problem, configuration, validation.values);
    if (!computation.cpt)
        return refuse(standardError, *computation.refusal);
    if (const auto warning = outOfRangeWarning(*computation.cpt))
        say(standardError, withNewlines(warning->text));

    if (parser.isSet(outputOption)) {
        QString reason;
        if (!saveCptFile(output, layout, problem, configuration.parentOrder, *computation.cpt,
                         decimalPoint, &reason))
            return fail(standardError,
                        QStringLiteral("cannot write ") + output + QStringLiteral(": ") + reason);
        return exitSuccess;
    }
    if (!writeCpt(standardOutput, layout, problem, configuration.parentOrder, *computation.cpt,
                  decimalPoint))
        return fail(standardError, QStringLiteral("cannot write the standard output: ") +
                                       standardOutput.errorString());
    return exitSuccess;
}

} // namespace vadazaz
