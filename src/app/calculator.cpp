#include "app/calculator.h"

#include "core/base/save_file.h"
#include "core/base/version.h"
#include "core/ept/calculation.h"
#include "core/network/cpt_network.h"
#include "core/network/probabilities.h"
#include "core/output/cpt_file.h"
#include "core/store/problem_file.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QLocale>

#include <variant>

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
    say(standardError, QStringLiteral("%1: %2").arg(programName, withNewlines(text)));
    return exitFailure;
}

Message cannotWrite(const QString &file, const QString &reason)
{
    return {programName, QStringLiteral("cannot write %1: %2").arg(file, reason)};
}

// What the CPT is written as: a CPT file layout or a network file format.
using Layout = std::variant<CptLayout, NetworkFormat>;

std::optional<Layout> layoutNamed(const QString &name)
{
    if (name == QLatin1String("labelled"))
        return CptLayout::Labelled;
    if (name == QLatin1String("plain"))
        return CptLayout::Plain;
    if (name == QLatin1String("json"))
        return CptLayout::Json;
    for (const NetworkFormatInfo &info : networkFormats()) {
        if (name == info.option)
            return info.format;
    }
    return std::nullopt;
}

QString layoutNames()
{
    QStringList names{QStringLiteral("labelled"), QStringLiteral("plain"), QStringLiteral("json")};
    for (const NetworkFormatInfo &info : networkFormats())
        names << info.option;
    return names.join(QStringLiteral(", "));
}

// A network file's format, by its suffix.
Result<NetworkFormat> formatOf(const QString &path)
{
    if (const std::optional<NetworkFormat> format = networkFormatOfFile(path))
        return *format;
    return Message{programName, QStringLiteral("%1: not a network file this program reads (.net, "
                                               ".xdsl, .xml, .xmlbif, .bifxml, .bif, .dne)")
                                    .arg(path)};
}

// --import NETWORK --node ID: the node as a problem file, with an empty EPT.
int importNode(const QString &networkPath, const QString &node, const QStringList &reversed,
               QIODevice &standardOutput, QIODevice &standardError)
{
    const Result<NetworkFormat> format = formatOf(networkPath);
    if (!format)
        return fail(standardError, format.failure().text);
    const Result<QByteArray> bytes = networkFileBytes(networkPath);
    if (!bytes)
        return fail(standardError, bytes.failure().text);
    const Result<Network> network = readNetwork(*format, *bytes, QFileInfo(networkPath).fileName());
    if (!network)
        return fail(standardError, network.failure().text);
    if (node.isEmpty()) {
        // Without --node: the nodes, and why a node cannot be taken.
        for (const NodeChoice &choice : nodeChoices(*network))
            say(standardOutput,
                choice.whyNot.isEmpty()
                    ? choice.id
                    : QStringLiteral("%1: cannot be taken: %2").arg(choice.id, choice.whyNot));
        return exitSuccess;
    }
    const Result<Problem> problem =
        problemFromNode(*network, QFileInfo(networkPath).absoluteFilePath(), node,
                        QSet<QString>(reversed.begin(), reversed.end()));
    if (!problem)
        return fail(standardError, problem.failure().text);
    standardOutput.write(problemFileText(*problem));
    return exitSuccess;
}

} // namespace

int runCalculator(const QStringList &arguments, QIODevice &standardOutput, QIODevice &standardError)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Computes the conditional probability table of a child variable from the "
                       "elicited probability table in a problem file, with the same checks and "
                       "messages as the Vadazaz windows; writes it as a CPT file, as a network "
                       "file, or into the node of a network file the problem came from; and takes "
                       "a node of a network file as a problem.\n\n"
                       "Exit status: 0 when the CPT was written, 1 when the problem file, the "
                       "network or the output could not be used, 2 when the problem or its EPT "
                       "was refused."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption layoutOption(
        QStringLiteral("layout"),
        QStringLiteral("Layout of the CPT: labelled (the default), plain or json; or a network "
                       "file: net, xdsl, xmlbif, bif, dne, or csv for spreadsheets."),
        QStringLiteral("layout"), QStringLiteral("labelled"));
    const QCommandLineOption decimalsOption(
        QStringLiteral("decimals"),
        QStringLiteral("Decimals of the probabilities in network files, 1 to 15 (6)."),
        QStringLiteral("n"), QString::number(defaultNetworkDecimals));
    const QCommandLineOption outputOption(
        QStringLiteral("output"),
        QStringLiteral("Write to <file> instead of the standard output (with --into: instead of "
                       "the network file itself)."),
        QStringLiteral("file"));
    const QCommandLineOption importOption(
        QStringLiteral("import"),
        QStringLiteral("Print the problem file of the node given by --node of the network <file>, "
                       "with an empty EPT; without --node, list the nodes and why a node cannot "
                       "be taken."),
        QStringLiteral("file"));
    const QCommandLineOption intoOption(
        QStringLiteral("into"),
        QStringLiteral("Write the CPT into the node given by --node of the network <file>, "
                       "changing nothing else in it."),
        QStringLiteral("file"));
    const QCommandLineOption nodeOption(
        QStringLiteral("node"), QStringLiteral("The node of the network."), QStringLiteral("id"));
    const QCommandLineOption reverseOption(
        QStringLiteral("reverse"),
        QStringLiteral("With --import: take the states of variable <id> last to first, so that "
                       "its most positive state comes first (may be repeated)."),
        QStringLiteral("id"));
    parser.addOptions({layoutOption, decimalsOption, outputOption, importOption, intoOption,
                       nodeOption, reverseOption});
    parser.addPositionalArgument(QStringLiteral("problem"),
                                 QStringLiteral("The problem file to compute."),
                                 QStringLiteral("PROBLEM"));

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
    const bool importing = parser.isSet(importOption);
    const bool into = parser.isSet(intoOption);
    if (into && !parser.isSet(nodeOption))
        return fail(standardError, QStringLiteral("name the network's node with --node (see "
                                                  "--help)"));
    if (importing) {
        if (!positional.isEmpty() || into)
            return fail(standardError, QStringLiteral("--import takes no problem file and no "
                                                      "--into (see --help)"));
        return importNode(parser.value(importOption), parser.value(nodeOption),
                          parser.values(reverseOption), standardOutput, standardError);
    }
    if (positional.size() != 1)
        return fail(standardError, QStringLiteral("name exactly one problem file (see --help)"));
    const std::optional<Layout> layout = layoutNamed(parser.value(layoutOption));
    if (!layout)
        return fail(standardError, QStringLiteral("unknown layout \"%1\": use %2")
                                       .arg(parser.value(layoutOption), layoutNames()));
    bool decimalsRead = false;
    const int decimals = parser.value(decimalsOption).toInt(&decimalsRead);
    if (!decimalsRead || decimals < minNetworkDecimals || decimals > maxNetworkDecimals)
        return fail(standardError, QStringLiteral("--decimals must be a whole number from %1 to %2")
                                       .arg(minNetworkDecimals)
                                       .arg(maxNetworkDecimals));

    const QString path = positional.first();
    const QString output =
        parser.isSet(outputOption) ? parser.value(outputOption) : parser.value(intoOption);
    // Through another name or a link, the output may be the problem file itself.
    if (!output.isEmpty() && isSameFile(output, path))
        return fail(standardError,
                    cannotWrite(output, QStringLiteral("It is the problem file.")).text);
    const Result<ProblemFile> read = readProblemFile(path);
    if (!read)
        return fail(standardError, read.failure().text);
    Problem problem = read->problem;

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
    const Cpt &cpt = calculation->cpt;

    // The text to write: a CPT file, a network file, or the network with the CPT written in.
    std::function<bool(QIODevice &)> write;
    QByteArray text;
    if (into) {
        const QString networkPath = parser.value(intoOption);
        const Result<NetworkFormat> format = formatOf(networkPath);
        if (!format)
            return fail(standardError, format.failure().text);
        const Result<QByteArray> bytes = networkFileBytes(networkPath);
        if (!bytes)
            return fail(standardError, bytes.failure().text);
        problem.networkNode = parser.value(nodeOption);
        const Result<QByteArray> written = cptWrittenInto(
            *bytes, *format, QFileInfo(networkPath).fileName(), problem, cpt, decimals);
        if (!written)
            return checkExportable(cpt) ? fail(standardError, written.failure().text)
                                        : refuse(standardError, written.failure());
        text = *written;
    } else if (const auto *format = std::get_if<NetworkFormat>(&*layout)) {
        const Result<QByteArray> file = cptNetworkFile(*format, problem, cpt, decimals);
        if (!file)
            return refuse(standardError, file.failure());
        text = *file;
    }
    if (into || std::holds_alternative<NetworkFormat>(*layout))
        write = [&](QIODevice &device) {
            return writeWhole(device, text.constData(), text.size());
        };
    else
        write = [&](QIODevice &device) {
            return writeCpt(device, std::get<CptLayout>(*layout), problem, cpt, decimalPoint);
        };

    if (!output.isEmpty()) {
        const Result<void> saved = saveFile(output, write, cannotWrite);
        return saved ? exitSuccess : fail(standardError, saved.failure().text);
    }
    if (!write(standardOutput))
        return fail(standardError, QStringLiteral("cannot write the standard output: %1")
                                       .arg(standardOutput.errorString()));
    return exitSuccess;
}

} // namespace vadazaz
