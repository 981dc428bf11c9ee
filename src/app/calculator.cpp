#include "app/calculator.h"

#include "core/base/save_file.h"
#include "core/base/version.h"
#include "core/ept/calculation.h"
#include "core/output/cpt_file.h"
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
    say(standardError, QStringLiteral("%1: %2").arg(programName, text));
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
        return fail(standardError, QStringLiteral("%1 (see --help)").arg(parser.errorText()));
    if (parser.isSet(helpOption)) {
        standardOutput.write(parser.helpText().toLocal8Bit());
        return exitSuccess;
    }
    if (parser.isSet(versionOption)) {
        say(standardOutput, QStringLiteral("%1 %2").arg(programName, QLatin1String(versionText)));
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
        return fail(
            standardError,
            QStringLiteral("unknown layout \"%1\": use labelled, plain or json").arg(layoutName));

    const QString path = positional.first();
    const QString output = parser.value(outputOption);
    const auto cannotWrite = [](const QString &file, const QString &reason) {
        return Message{programName, QStringLiteral("cannot write %1: %2").arg(file, reason)};
    };
    // Through another name or a link, the output may be the problem file itself.
    if (parser.isSet(outputOption) && isSameFile(output, path))
        return fail(standardError,
                    cannotWrite(output, QStringLiteral("It is the problem file.")).text);
    const Result<ProblemFile> read = readProblemFile(path);
    if (!read)
        return fail(standardError, read.failure().text);
    const Problem &problem = read->problem;

    const Result<EptShape> shape = eptShapeFor(problem);
    if (!shape)
        return refuse(standardError, shape.failure());
    QStringList cells;
    bool shapeMatches = problem.ept.size() == shape->eptRows;
    for (const QStringList &row : problem.ept) {
        shapeMatches = shapeMatches && row.size() == shape->eptCols;
        cells += row;
    }
    if (!shapeMatches)
        return fail(standardError, QStringLiteral("%1: \"ept\" must have %2 rows of %3 cells for "
                                                  "this problem")
                                       .arg(path)
                                       .arg(shape->eptRows)
                                       .arg(shape->eptCols));

    const QString decimalPoint = QLocale::system().decimalPoint();
    const Result<Calculation> calculation = calculateCpt(problem, *shape, cells, decimalPoint);
    if (!calculation)
        return refuse(standardError, calculation.failure());
    if (calculation->warning)
        say(standardError, withNewlines(calculation->warning->text));

    if (parser.isSet(outputOption)) {
        const Result<void> saved =
            saveCptFile(output, layout, problem, calculation->cpt, decimalPoint, cannotWrite);
        return saved ? exitSuccess : fail(standardError, saved.failure().text);
    }
    if (!writeCpt(standardOutput, layout, problem, calculation->cpt, decimalPoint))
        return fail(standardError, QStringLiteral("cannot write the standard output: %1")
                                       .arg(standardOutput.errorString()));
    return exitSuccess;
}

} // namespace vadazaz
