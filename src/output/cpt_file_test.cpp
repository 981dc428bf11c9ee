#include "testing/test_main.h"

class CptFileTest : public QObject
{
    Q_OBJECT
};

VADAZAZ_TEST_MAIN(CptFileTest)
#include "cpt_file_test.moc"
