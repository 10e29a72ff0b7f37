#include "line_fit.h"

#include <QtTest>

using word::LineFit;
using Align = LineFit::Align;
using Segments = std::vector<LineFit::Segment>;

Q_DECLARE_METATYPE(Segments)

// How far a line's pieces must shrink to stay on one line, and the size that does it.
class TestLineFit : public QObject
{
    Q_OBJECT

private slots:
    void factor_data()
    {
        QTest::addColumn<Segments>("segments");
        QTest::addColumn<double>("expected");
        // A line 100 wide, pieces kept 2 apart.
        QTest::newRow("fits") << Segments{{80, 0, Align::Left}} << 1.0;
        QTest::newRow("twice too long") << Segments{{200, 0, Align::Left}} << 0.5;
        QTest::newRow("empty pieces count for nothing")
            << Segments{{0, 0, Align::Left}, {40, 50, Align::Center}, {0, 90, Align::Center}}
            << 1.0;
        // Centred at 25 and 75: the halves of both meet between them.
        QTest::newRow("centred neighbours")
            << Segments{{0, 0, Align::Left}, {60, 25, Align::Center}, {60, 75, Align::Center}}
            << 48.0 / 60.0;
        QTest::newRow("centred piece past the start")
            << Segments{{0, 0, Align::Left}, {40, 10, Align::Center}} << 0.5;
        QTest::newRow("last piece past the end")
            << Segments{{30, 0, Align::Left}, {80, 60, Align::Left}} << 0.5;
        QTest::newRow("left piece runs into a right-aligned one")
            << Segments{{60, 0, Align::Left}, {60, 100, Align::Right}} << 98.0 / 120.0;
        QTest::newRow("stops leave no room")
            << Segments{{10, 0, Align::Left}, {10, 1, Align::Left}} << 0.0;
    }
    void factor()
    {
        QFETCH(Segments, segments);
        QFETCH(double, expected);
        QVERIFY(qAbs(LineFit::factor(segments, 100, 2) - expected) < 1e-9);
    }

    void shrink_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("scale");
        QTest::addColumn<double>("factor");
        QTest::addColumn<double>("expectedPoints");
        QTest::addColumn<int>("expectedScale");
        QTest::newRow("fits as it is") << 18.0 << 100 << 1.0 << 18.0 << 100;
        QTest::newRow("smaller") << 18.0 << 100 << 0.5 << 9.0 << 100;
        QTest::newRow("half points, rounded down") << 18.0 << 100 << 0.55 << 9.5 << 100;
        QTest::newRow("already narrowed stays so") << 10.0 << 80 << 0.8 << 8.0 << 80;
        QTest::newRow("then narrower at the smallest size") << 18.0 << 100 << 0.2 << 6.0 << 60;
        QTest::newRow("small design size is its own floor") << 5.0 << 100 << 0.5 << 5.0 << 50;
        QTest::newRow("narrowest, then smaller again") << 18.0 << 100 << 0.002 << 3.5 << 1;
        QTest::newRow("never below 1 pt") << 18.0 << 100 << 1e-6 << 1.0 << 1;
    }
    void shrink()
    {
        QFETCH(double, points);
        QFETCH(int, scale);
        QFETCH(double, factor);
        QFETCH(double, expectedPoints);
        QFETCH(int, expectedScale);
        const LineFit::Size size = LineFit::shrink(points, scale, factor);
        QCOMPARE(size.points, expectedPoints);
        QCOMPARE(size.scalePercent, expectedScale);
    }
};

QTEST_APPLESS_MAIN(TestLineFit)
#include "test_line_fit.moc"
