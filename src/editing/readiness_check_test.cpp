#include "testing/test_main.h"

class ReadinessCheckTest : public QObject
{
    Q_OBJECT
};

VADAZAZ_TEST_MAIN(ReadinessCheckTest)
#include "readiness_check_test.moc"
