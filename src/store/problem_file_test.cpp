#include "testing/test_main.h"

class ProblemFileTest : public QObject
{
    Q_OBJECT
};

VADAZAZ_TEST_MAIN(ProblemFileTest)
#include "problem_file_test.moc"
