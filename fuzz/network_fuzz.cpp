// Fuzzes a network file reader with arbitrary bytes; the format is chosen when the target is built
// (VADAZAZ_FUZZ_FORMAT). A network that reads is consistent: every parent declared, every table
// as long as its parents' states ask, every table's place inside the file. Writing a variable's
// table back in its place gives a file that reads again, with that table changed and every other
// table as it was.

#include "cpt_checks.h"

#include "core/network/network.h"

#include <exception>

using namespace vadazaz;

namespace {

constexpr NetworkFormat format = NetworkFormat::VADAZAZ_FUZZ_FORMAT;

qsizetype expectedTableSize(const Network &network, const NetworkVariable &variable)
{
    qsizetype size = variable.states.size();
    for (const QString &parent : variable.parents) {
        const NetworkVariable *p = network.variable(parent);
        fuzz::check(p != nullptr, "an undeclared parent was read", [&] { return parent; });
        size *= p->states.size();
        if (size > networkInputLimit)
            return -1;
    }
    return size;
}

void run(const QByteArray &bytes)
{
    const Result<Network> read = readNetwork(format, bytes, QStringLiteral("fuzzed"));
    if (!read) {
        const QString text = read.failure().text;
        fuzz::check(text.startsWith(QStringLiteral("fuzzed, line ")) &&
                        !text.contains(QLatin1Char('\n')),
                    "a refusal without its line", [&] { return text; });
        return;
    }
    const Network &network = *read;
    const NetworkVariable *changed = nullptr;
    for (const NetworkVariable &v : network.variables) {
        fuzz::check(!v.id.isEmpty() && v.states.size() >= 1 &&
                        v.stateLabels.size() == v.states.size(),
                    "a variable without a name or states", [&] { return v.id; });
        if (v.table.empty() && v.tableBegin == -1 && v.tableEnd == -1)
            continue; // a node without a probability table
        fuzz::check(qsizetype(v.table.size()) == expectedTableSize(network, v),
                    "a table of the wrong length was read", [&] { return v.id; });
        fuzz::check(v.tableBegin >= 0 && v.tableBegin <= v.tableEnd && v.tableEnd <= bytes.size(),
                    "a table outside the file", [&] { return v.id; });
        if (!changed && !v.table.empty())
            changed = &v;
    }
    if (!changed)
        return;

    // Every probability of the table becomes 0.25 or 0.75, in turn.
    QList<QStringList> rows;
    const qsizetype width = changed->states.size();
    for (std::size_t i = 0; i < changed->table.size(); ++i) {
        if (qsizetype(i) % width == 0)
            rows.append(QStringList());
        rows.last().append(i % 2 == 0 ? QStringLiteral("0.250000") : QStringLiteral("0.750000"));
    }
    const QByteArray table = tableTextFor(format, bytes, network, *changed, rows);
    QByteArray written = bytes;
    written.replace(changed->tableBegin, changed->tableEnd - changed->tableBegin, table);
    const Result<Network> again = readNetwork(format, written, QStringLiteral("fuzzed"));
    fuzz::check(again.ok(), "a table written back does not read", [&] {
        return again.failure().text + QStringLiteral("\n") + QString::fromUtf8(written);
    });
    fuzz::check(again->variables.size() == network.variables.size(),
                "writing a table back changed the variables");
    for (qsizetype k = 0; k < network.variables.size(); ++k) {
        const NetworkVariable &before = network.variables.at(k);
        const NetworkVariable &after = again->variables.at(k);
        fuzz::check(before.id == after.id && before.states == after.states &&
                        before.parents == after.parents,
                    "writing a table back changed a variable", [&] { return before.id; });
        if (before.id != changed->id) {
            fuzz::check(before.table == after.table, "writing a table back changed another table",
                        [&] { return before.id; });
            continue;
        }
        for (std::size_t i = 0; i < after.table.size(); ++i)
            fuzz::check(after.table[i] == (i % 2 == 0 ? 0.25 : 0.75),
                        "a table written back reads with other numbers", [&] { return after.id; });
    }
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
