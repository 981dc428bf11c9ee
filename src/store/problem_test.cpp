#include "testing/test_main.h"

class ProblemTest : public QObject
{
    Q_OBJECT
};

VADAZAZ_TEST_MAIN(ProblemTest)
#include "problem_test.moc"
