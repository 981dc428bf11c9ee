#pragma once

// A main() for the test executables that pins what differs from machine to machine: the window
// platform (offscreen), 96 dots per inch, the C locale, and a temporary folder of the test's own
// for files and the program's settings.

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cstdlib>
#include <tuple>

namespace vadazaz::testing {

// The columns of a data-driven test, a type and a name each.
template <typename... Types> void addColumns(const auto &...names)
{
    (QTest::addColumn<Types>(names), ...);
}

// The current row's values in the columns named, as QFETCH takes them one at a time.
template <typename... Types> std::tuple<Types...> fetch(const auto &...names)
{
    return {*static_cast<Types *>(QTest::qData(names, qMetaTypeId<Types>()))...};
}

inline void pinEnvironment()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    std::setlocale(LC_ALL, "C.UTF-8");
}

template <typename Application, typename TestClass> int runTests(int argc, char *argv[])
{
    pinEnvironment();
    Application app(argc, argv);
    QLocale::setDefault(QLocale::c());
    QTemporaryDir temporary;
    if (!temporary.isValid())
        return 1;
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    // The program's settings (recent files, the last folder) in that folder, not the user's.
    qputenv("XDG_CONFIG_HOME", temporary.path().toLocal8Bit());
    QCoreApplication::setOrganizationName(QStringLiteral("Vadazaz"));
    QCoreApplication::setApplicationName(QStringLiteral("Vadazaz"));
    TestClass test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

} // namespace vadazaz::testing

#define VADAZAZ_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        return vadazaz::testing::runTests<QCoreApplication, TestClass>(argc, argv);                \
    }

#define VADAZAZ_GUI_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        return vadazaz::testing::runTests<QApplication, TestClass>(argc, argv);                    \
    }
