#pragma once

// Complete problems for the tests of the engine, and the CPT file of the rain problem.

#include "core/store/problem.h"
#include "core/store/problem_file.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vadazaz::testing {

// A complete problem: a child "Child" with states "C1", "C2" (and "C3"), and one parent per word
// of the parent list, "N" for a Non-modifying and "M" for a Modifying parent followed by its
// state count: "N3 M2" is a three-state Non-modifying parent P1 with states P1s1, P1s2, P1s3 and
// a two-state Modifying parent P2.
inline Problem problemOf(int noChildStates, const QString &parents)
{
    Problem problem;
    problem.childName = QStringLiteral("Child");
    problem.noChildStates = noChildStates;
    for (int s = 1; s <= noChildStates; ++s)
        problem.childStateName(s) = QStringLiteral("C%1").arg(s);
    const QStringList words = parents.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (problem.noParents() < words.size())
        problem.appendParent();
    for (int p = 1; p <= problem.noParents(); ++p) {
        const QString &word = words.at(p - 1);
        problem.parentName(p) = QStringLiteral("P%1").arg(p);
        problem.parentType(p) =
            word.startsWith(QLatin1Char('M')) ? ParentType::Modifying : ParentType::NonModifying;
        problem.parentNoStates(p) = word.mid(1).toInt();
        for (int s = 1; s <= problem.parentNoStates(p); ++s)
            problem.parentStateName(s, p) = QStringLiteral("P%1s%2").arg(p).arg(s);
    }
    return problem;
}

// A table of cell texts written as rows separated by "|" and cells separated by ";": "90;10|10;90".
inline QList<QStringList> tableOf(const QString &text)
{
    QList<QStringList> rows;
    for (const QString &row : text.split(QLatin1Char('|')))
        rows.append(row.split(QLatin1Char(';')));
    return rows;
}

// The problem of problemOf() with the EPT of tableOf(), as a problem file.
inline QByteArray problemFileOf(int noChildStates, const QString &parents, const QString &ept)
{
    Problem problem = problemOf(noChildStates, parents);
    problem.ept = tableOf(ept);
    return problemFileText(problem);
}

// Rain (High, Low) with the Modifying parent Wind (Strong, Weak) and the Non-modifying parent
// Temp (Hot, Cold).
inline Problem rainProblem()
{
    Problem problem;
    problem.childName = QStringLiteral("Rain");
    problem.childStateName(1) = QStringLiteral("High");
    problem.childStateName(2) = QStringLiteral("Low");
    problem.parentName(1) = QStringLiteral("Wind");
    problem.parentType(1) = ParentType::Modifying;
    problem.parentStateName(1, 1) = QStringLiteral("Strong");
    problem.parentStateName(2, 1) = QStringLiteral("Weak");
    problem.parentName(2) = QStringLiteral("Temp");
    problem.parentStateName(1, 2) = QStringLiteral("Hot");
    problem.parentStateName(2, 2) = QStringLiteral("Cold");
    return problem;
}

// The rain problem with an EPT (by default the one of the CPT below), as a problem file.
inline QByteArray rainProblemFile(const QString &ept = QStringLiteral("90;10;40;60|70;30;5;95"))
{
    Problem problem = rainProblem();
    problem.ept = tableOf(ept);
    return problemFileText(problem);
}

// The rain problem's CPT (90/10, 70/30, 40/60, 5/95) as a file, in both layouts.
inline const QByteArray rainLabelled = "Wind      \tTemp      \tRain=High\tRain=Low\t\r\n"
                                       "\r\n"
                                       "Strong    \tHot       \t0.90      \t0.10\r\n"
                                       "Strong    \tCold      \t0.70      \t0.30\r\n"
                                       "Weak      \tHot       \t0.40      \t0.60\r\n"
                                       "Weak      \tCold      \t0.05      \t0.95\r\n";
inline const QByteArray rainPlain = "0.90\t\t0.10\r\n"
                                    "0.70\t\t0.30\r\n"
                                    "0.40\t\t0.60\r\n"
                                    "0.05\t\t0.95\r\n";

} // namespace vadazaz::testing
