#include "testing/test_main.h"

class EptShapeTest : public QObject
{
    Q_OBJECT
};

VADAZAZ_TEST_MAIN(EptShapeTest)
#include "ept_shape_test.moc"
