// Fuzzes the calculator's problem file reader with arbitrary bytes. A problem that it reads is
// written out again and must read back unchanged; a complete problem whose EPT fits its shape then
// takes the calculator's road through validation, computation and the CPT file, as in ept_fuzz.

#include "cpt_checks.h"

#include "core/store/problem_file.h"

#include <exception>

using namespace vadazaz;

namespace {

QString describe(const ProblemFile &file)
{
    return QString::fromUtf8(problemFileText(file.problem, file.original));
}

void run(const QByteArray &bytes)
{
    const Result<ProblemFile> read = parseProblemFile(bytes);
    if (!read) {
        const QString reason = read.failure().text;
        fuzz::check(!reason.isEmpty() && !reason.contains(QLatin1Char('\n')),
                    "a refusal without a one-line reason", [&] { return reason; });
        return;
    }
    const ProblemFile &file = *read;
    const Problem &problem = file.problem;
    fuzz::check(problem.noChildStates >= 2 && problem.noChildStates <= 3 &&
                    problem.noParents() >= 2,
                "a problem outside the limits was read", [&] { return describe(file); });

    const QByteArray text = problemFileText(problem, file.original);
    const Result<ProblemFile> again = parseProblemFile(text);
    fuzz::check(again.ok(), "a written problem does not read back",
                [&] { return again.failure().text; });
    fuzz::check(problem == again->problem, "a written problem reads back changed",
                [&] { return QString::fromUtf8(text); });
    fuzz::check(problemFileText(again->problem, again->original) == text,
                "a problem is written differently the second time",
                [&] { return QString::fromUtf8(text); });

    // The calculator's road: the readiness check, the shape and its limits, the EPT's size.
    const Result<EptShape> shape = eptShapeFor(problem);
    if (!shape || problem.ept.size() != shape->eptRows)
        return;
    QStringList cells;
    for (const QStringList &row : problem.ept) {
        if (row.size() != shape->eptCols)
            return;
        cells += row;
    }
    fuzz::checkEpt(problem, cells, QStringLiteral("."));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::pinLocale();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        run(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const std::exception &exception) {
        fuzz::fail("an exception escaped", QString::fromUtf8(exception.what()));
    } catch (...) {
        fuzz::fail("an exception escaped");
    }
    return 0;
}
