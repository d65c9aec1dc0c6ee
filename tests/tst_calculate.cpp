#include <QTest>
class TestCalculate : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TestCalculate)
#include "tst_calculate.moc"
