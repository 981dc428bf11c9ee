#include "testing/test_main.h"

class CalculatorTest : public QObject
{
    Q_OBJECT
};

VADAZAZ_TEST_MAIN(CalculatorTest)
#include "calculator_test.moc"
