#include "testing/test_main.h"

class EptValidationTest : public QObject
{
    Q_OBJECT
};

VADAZAZ_TEST_MAIN(EptValidationTest)
#include "ept_validation_test.moc"
