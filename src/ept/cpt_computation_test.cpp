#include "testing/test_main.h"

class CptComputationTest : public QObject
{
    Q_OBJECT
};

VADAZAZ_TEST_MAIN(CptComputationTest)
#include "cpt_computation_test.moc"
