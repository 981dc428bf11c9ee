#pragma once

#include "core/base/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vadazaz {

// The files of Bayesian-network programs that the program writes a CPT into. All but CSV are read
// too, to take a node from a network and to write its CPT back.
enum class NetworkFormat { Net, Xdsl, XmlBif, Bif, Dne, Csv };

struct NetworkFormatInfo
{
    NetworkFormat format;
    QString option;      // the calculator's --layout: "net", "xdsl", "xmlbif", "bif", "dne", "csv"
    QString suffix;      // of the files it writes, without the point: "net", …, "xml" for XMLBIF
    QString description; // "Hugin NET", "GeNIe XDSL", "XMLBIF 0.3", "BIF", "Netica DNE", "CSV"
    bool readable;       // false for CSV
};

const QList<NetworkFormatInfo> &networkFormats();
const NetworkFormatInfo &networkFormatInfo(NetworkFormat format);
// The readable format of a file, by its suffix: .net, .xdsl, .xml/.xmlbif/.bifxml, .bif, .dne.
std::optional<NetworkFormat> networkFormatOfFile(const QString &path);

// One discrete variable (a node) as a network file declares it.
struct NetworkVariable
{
    QString id;              // the identifier the file names it by
    QString label;           // its title or label where the format has one; else empty
    QStringList states;      // the states' identifiers, in the file's order
    QStringList stateLabels; // their titles where the format has them: as many, possibly empty
    QStringList parents;     // the parents' identifiers, in the file's order
    // The conditional probabilities as read: one row per configuration of the parents, the first
    // parent slowest and the last fastest, each row the variable's states in the file's order.
    // Numbers are kept as the file has them (a row need not sum to 1).
    std::vector<double> table;
    int line = 0; // the line (from 1) where the variable is declared
    // Where the table's text stands in the file, as byte offsets [tableBegin, tableEnd): writing a
    // CPT back replaces exactly this text and nothing else. A node without a probability table (a
    // decision, utility, deterministic or continuous node) has an empty table and -1 for both.
    qsizetype tableBegin = -1;
    qsizetype tableEnd = -1;
};

// A network as read from a file.
struct Network
{
    NetworkFormat format = NetworkFormat::Bif;
    QString name;
    QList<NetworkVariable> variables; // in the file's order
    const NetworkVariable *variable(const QString &id) const;
};

// A variable to be written, with its table as texts.
struct ExportVariable
{
    QString id;              // [A-Za-z][A-Za-z0-9_]*, at most 30 characters
    QString label;           // the name as the user typed it
    QStringList states;      // identifiers, as id
    QStringList stateLabels; // the state names as typed
    QStringList parents;     // identifiers of variables written before this one
    // One row per configuration of the parents (the first parent slowest, the last fastest; a
    // single row without parents), one probability per state. Each is a fraction written with
    // "." and a fixed number of decimals, and every row sums to exactly 1 in those decimals.
    QList<QStringList> rows;
};

// A whole network to be written: the parents as roots, then the child.
struct NetworkExport
{
    QString name; // an identifier, as id
    QList<ExportVariable> variables;
};

// The failure of a reader: "FILE, line N: what is wrong".
Message networkFileFault(const QString &fileName, int line, const QString &what);

// Reads a network of a readable format. Refuses a file that is not of the format, truncated,
// names an undeclared node or parent, has a table of the wrong length or names the format
// forbids, or is larger or nested deeper than any real network (see networkInputLimit).
Result<Network> readNetwork(NetworkFormat format, QByteArrayView bytes, const QString &fileName);

// The largest network file read, and the deepest nesting of its brackets or elements.
inline constexpr qsizetype networkInputLimit = qsizetype(64) << 20;
inline constexpr int networkNestingLimit = 64;

// The bytes of a network file: only a regular file of at most networkInputLimit bytes is read.
Result<QByteArray> networkFileBytes(const QString &path);

// The network as a file of the format (for CSV: the last variable's table, see csv_format.h).
QByteArray writeNetwork(NetworkFormat format, const NetworkExport &network);

// The text that takes the place of [variable.tableBegin, variable.tableEnd) in the file the
// network was read from, to give the variable the rows (as ExportVariable::rows, in the file's
// parent and state order). Written in the style of the file around it.
QByteArray tableTextFor(NetworkFormat format, QByteArrayView file, const Network &network,
                        const NetworkVariable &variable, const QList<QStringList> &rows);

} // namespace vadazaz
