#include "error_trap.h"
#include "picture_model.h"
#include "scripted_seams.h"

#include <QTest>

// The preview window's view, in twips.
static const QSize kView(9330, 7425);

// A model after the hand-over of a picture of the given twip size and the set-up.
struct Preview
{
    explicit Preview(QSize pictureTwips) : model(kView, kView, QStringLiteral("Form2"))
    {
        model.setPicture(float(pictureTwips.width()), float(pictureTwips.height()));
        ErrorTrap trap(QStringLiteral("set-up "));
        model.PreviewSetup(trap, 102);
    }

    // Press at (0, 0) and drag by (dx, dy) with a button held.
    void dragBy(float dx, float dy)
    {
        model.Picture1_MouseDown(0, 0);
        model.Picture1_MouseMove(true, dx, dy);
    }

    PictureModel model;
};

// A picture handed over at this size gives base size (width, height) at zoom 1.
static QSize baseOf(int width, int height)
{
    return {width + 2, height + 2};
}

class TestPictureModel : public QObject
{
    Q_OBJECT

private slots:
    void zoomSteps_data();
    void zoomSteps();
    void refusedZoomKeepsLastDrawing();
    void scrollbarSetup_data();
    void scrollbarSetup();
    void zoomResetsScrolling();
    void drag_data();
    void drag();
    void mouseUp_data();
    void mouseUp();
    void scrollbarByPercent_data();
    void scrollbarByPercent();
    void scrollOverflowThrows();
};

void TestPictureModel::zoomSteps_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QString>("clicks"); // '+' Zoom In, '-' Zoom Out
    QTest::addColumn<float>("zoom");
    QTest::addColumn<int>("paints");
    QTest::addColumn<int>("zoomWidth");

    QTest::newRow("zoom in stops at 4")
        << baseOf(2000, 2000) << QString(13, QLatin1Char('+')) << 4.0f << 13 << 8000;
    QTest::newRow("zoom out stops at 0.25")
        << baseOf(2000, 2000) << QStringLiteral("----") << 0.25f << 4 << 500;
    QTest::newRow("9000 wide refuses 1.25")
        << baseOf(9000, 9000) << QStringLiteral("+") << 1.0f << 1 << 9000;
    QTest::newRow("after a refusal zoom in starts from 1 again")
        << baseOf(9000, 9000) << QStringLiteral("++") << 1.0f << 1 << 9000;
    QTest::newRow("after a refusal zoom out gives 0.75")
        << baseOf(9000, 9000) << QStringLiteral("+-") << 0.75f << 2 << 6750;
    QTest::newRow("9999 wide is drawn")
        << baseOf(3333, 100) << QStringLiteral("++++++++") << 3.0f << 9 << 9999;
    QTest::newRow("10000 wide is refused")
        << baseOf(2500, 100) << QString(12, QLatin1Char('+')) << 1.0f << 12 << 2500;
    QTest::newRow("14399 high is drawn") << baseOf(100, 14399) << QString() << 1.0f << 1 << 100;
    QTest::newRow("14400 high is refused") << baseOf(100, 14400) << QString() << 1.0f << 0 << 100;
    QTest::newRow("too wide at hand-over, zoom out draws 0.75")
        << baseOf(12000, 9000) << QStringLiteral("-") << 0.75f << 1 << 9000;
    QTest::newRow("too wide for 0.75 too stays at 1")
        << baseOf(14000, 9000) << QStringLiteral("--") << 1.0f << 0 << 14000;
}

void TestPictureModel::zoomSteps()
{
    QFETCH(QSize, picture);
    QFETCH(QString, clicks);
    QFETCH(float, zoom);
    QFETCH(int, paints);
    QFETCH(int, zoomWidth);

    ScriptedSeams seams;
    Preview preview(picture);
    for (const QChar click : clicks) {
        if (click == QLatin1Char('+')) {
            preview.model.PushButton1_Click();
        } else {
            preview.model.PushButton2_Click();
        }
    }
    QCOMPARE(preview.model.zoom(), zoom);
    QCOMPARE(preview.model.paintCount(), paints);
    QCOMPARE(preview.model.zoomWidth(), zoomWidth);
    QVERIFY(seams.messages.isEmpty());
}

void TestPictureModel::refusedZoomKeepsLastDrawing()
{
    ScriptedSeams seams;
    Preview preview(baseOf(7600, 7600));
    preview.model.PushButton1_Click(); // 1.25: 9500 wide, drawn
    preview.dragBy(-100, -900);
    preview.model.Picture1_MouseUp();
    const float left = preview.model.picture1Left();
    const float top = preview.model.picture1Top();
    QCOMPARE(left, -100.0f);
    QCOMPARE(top, -890.0f); // snapped to a step of the bar
    const int hValue = preview.model.hScroll().value;
    QVERIFY(hValue > 0);

    preview.model.PushButton1_Click(); // 1.5: 11400 wide, refused
    QCOMPARE(preview.model.zoom(), 1.0f);
    QCOMPARE(preview.model.paintCount(), 2);
    QCOMPARE(preview.model.picture1Width(), 9500.0f);
    QCOMPARE(preview.model.picture1Left(), left);
    QCOMPARE(preview.model.picture1Top(), top);
    QCOMPARE(int(preview.model.hScroll().value), hValue);
    QCOMPARE(preview.model.zoomWidth(), 7600);
}

void TestPictureModel::scrollbarSetup_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("hEnabled");
    QTest::addColumn<int>("hMaximum");
    QTest::addColumn<int>("hUnit");
    QTest::addColumn<bool>("vEnabled");
    QTest::addColumn<int>("vMaximum");
    QTest::addColumn<int>("vUnit");

    const int w = kView.width();
    const int h = kView.height();
    QTest::newRow("overhang 60 steps by 1")
        << baseOf(w + 60, h + 60) << true << 60 << 1 << true << 60 << 1;
    QTest::newRow("overhang 100 steps by 1")
        << baseOf(w + 100, h + 100) << true << 100 << 1 << true << 100 << 1;
    QTest::newRow("overhang 101 steps by 10")
        << baseOf(w + 101, h + 101) << true << 10 << 10 << true << 10 << 10;
    QTest::newRow("halves round to even")
        << baseOf(w + 105, h + 115) << true << 10 << 10 << true << 12 << 10;
    QTest::newRow("overhang 5535 high gives 554")
        << baseOf(w - 1000, h + 5535) << false << 32767 << 0 << true << 554 << 10;
    QTest::newRow("refused picture keeps its own size: 5535 wide gives 554")
        << QSize(w + 5535, h) << true << 554 << 10 << false << 32767 << 0;
    QTest::newRow("exact fit disables")
        << baseOf(w, h) << false << 32767 << 0 << false << 32767 << 0;
}

void TestPictureModel::scrollbarSetup()
{
    QFETCH(QSize, picture);
    QFETCH(bool, hEnabled);
    QFETCH(int, hMaximum);
    QFETCH(int, hUnit);
    QFETCH(bool, vEnabled);
    QFETCH(int, vMaximum);
    QFETCH(int, vUnit);

    ScriptedSeams seams;
    Preview preview(picture);
    const PictureModel& m = preview.model;
    QCOMPARE(m.hScroll().enabled, hEnabled);
    QCOMPARE(int(m.hScroll().maximum), hMaximum);
    QCOMPARE(int(m.hScrollUnit()), hUnit);
    QCOMPARE(m.vScroll().enabled, vEnabled);
    QCOMPARE(int(m.vScroll().maximum), vMaximum);
    QCOMPARE(int(m.vScrollUnit()), vUnit);
    QCOMPARE(m.picture1Left(), 0.0f);
    QCOMPARE(m.picture1Top(), 0.0f);

    // Each step of a bar moves the picture by the unit.
    preview.model.setHScrollValue(3);
    QCOMPARE(m.picture1Left(), hEnabled ? -3.0f * float(hUnit) : 0.0f);
}

void TestPictureModel::zoomResetsScrolling()
{
    ScriptedSeams seams;
    Preview preview(baseOf(9000, 12960));
    preview.model.setHScrollValue(5);
    preview.model.setVScrollValue(100);
    QCOMPARE(preview.model.picture1Top(), -1000.0f);

    preview.model.PushButton2_Click(); // 0.75: 6750 x 9720
    const PictureModel& m = preview.model;
    QCOMPARE(int(m.hScroll().value), 0);
    QCOMPARE(int(m.vScroll().value), 0);
    QCOMPARE(m.picture1Left(), 0.0f);
    QCOMPARE(m.picture1Top(), 0.0f);
    // The bars follow the drawn size: narrower than the view, and 2295 twips of overhang.
    QVERIFY(!m.hScroll().enabled);
    QCOMPARE(int(m.hScrollUnit()), 0);
    QVERIFY(m.vScroll().enabled);
    QCOMPARE(int(m.vScroll().maximum), 230);
    QCOMPARE(int(m.vScrollUnit()), 10);
}

void TestPictureModel::drag_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QList<QPointF>>("moves"); // mouse positions over the picture, pressed at 0,0
    QTest::addColumn<bool>("button");
    QTest::addColumn<QPointF>("position");

    const QSize large = baseOf(9999, 14000);
    const qreal farLeft = kView.width() - 9999;
    const qreal farUp = kView.height() - 14000;
    QTest::newRow("follows the mouse")
        << large << QList<QPointF>{{-300, -200}} << true << QPointF(-300, -200);
    QTest::newRow("no button, no move")
        << large << QList<QPointF>{{-300, -200}} << false << QPointF(0, 0);
    QTest::newRow("never leaves a gap at the top left")
        << large << QList<QPointF>{{50, 70}} << true << QPointF(0, 0);
    QTest::newRow("never leaves a gap at the bottom right")
        << large << QList<QPointF>{{-5000, -9000}} << true << QPointF(farLeft, farUp);
    QTest::newRow("pressed point stays under the mouse over several moves")
        << large << QList<QPointF>{{-100, -100}, {-100, -100}, {-50, 0}} << true
        << QPointF(-250, -200);
    // Smaller than the view: any drag snaps to one edge or the other.
    const QSize small = baseOf(4000, 3000);
    const QPointF farEdge(kView.width() - 4000, kView.height() - 3000);
    QTest::newRow("narrower picture jumps to the far edges")
        << small << QList<QPointF>{{-10, -10}} << true << farEdge;
    QTest::newRow("narrower picture jumps back to the near edges")
        << small << QList<QPointF>{{-10, -10}, {10 - farEdge.x(), 10 - farEdge.y()}} << true
        << QPointF(0, 0);
}

void TestPictureModel::drag()
{
    QFETCH(QSize, picture);
    QFETCH(QList<QPointF>, moves);
    QFETCH(bool, button);
    QFETCH(QPointF, position);

    ScriptedSeams seams;
    Preview preview(picture);
    preview.model.Picture1_MouseDown(0, 0);
    for (const QPointF& at : moves) {
        preview.model.Picture1_MouseMove(button, float(at.x()), float(at.y()));
    }
    QCOMPARE(preview.model.picture1Left(), float(position.x()));
    QCOMPARE(preview.model.picture1Top(), float(position.y()));
    QCOMPARE(preview.model.paintCount(), 1);
}

void TestPictureModel::mouseUp_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QPointF>("dragBy");
    QTest::addColumn<int>("hValue");
    QTest::addColumn<int>("vValue");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QStringList>("reports");

    const int w = kView.width();
    const int h = kView.height();
    const QString at = QStringLiteral("in Tombolix2021/08/31.Form2.Picture1_MouseUp at line ");
    QTest::newRow("half way, snapped to the unit")
        << baseOf(w + 60, h + 5535) << QPointF(-30, -2767.5) << 30 << 277 << QPointF(-30, -2770)
        << QStringList();
    QTest::newRow("plain click keeps the top left")
        << baseOf(w + 60, h + 5535) << QPointF(0, 0) << 0 << 0 << QPointF(0, 0) << QStringList();
    QTest::newRow("far corner") << baseOf(w + 60, h + 5535) << QPointF(-9000, -9000) << 60 << 554
                                << QPointF(-60, -5540) << QStringList();
    QTest::newRow("exact fit wide: reported, height still set")
        << baseOf(w, h + 1000) << QPointF(0, -500) << 0 << 50 << QPointF(0, -500)
        << QStringList{QStringLiteral("Division by zero\r\n") + at + QStringLiteral("100")};
    QTest::newRow("exact fit high: reported, width still set")
        << baseOf(w + 600, h) << QPointF(-500, 0) << 50 << 0 << QPointF(-500, 0)
        << QStringList{QStringLiteral("Division by zero\r\n") + at + QStringLiteral("102")};
    QTest::newRow("narrower picture leaves the bars alone")
        << baseOf(4000, 3000) << QPointF(-10, -10) << 0 << 0 << QPointF(w - 4000, h - 3000)
        << QStringList();
}

void TestPictureModel::mouseUp()
{
    QFETCH(QSize, picture);
    QFETCH(QPointF, dragBy);
    QFETCH(int, hValue);
    QFETCH(int, vValue);
    QFETCH(QPointF, position);
    QFETCH(QStringList, reports);

    ScriptedSeams seams;
    Preview preview(picture);
    preview.dragBy(float(dragBy.x()), float(dragBy.y()));
    preview.model.Picture1_MouseUp();

    QCOMPARE(int(preview.model.hScroll().value), hValue);
    QCOMPARE(int(preview.model.vScroll().value), vValue);
    QCOMPARE(preview.model.picture1Left(), float(position.x()));
    QCOMPARE(preview.model.picture1Top(), float(position.y()));
    QCOMPARE(seams.messages.size(), reports.size());
    for (int i = 0; i < reports.size(); ++i) {
        QVERIFY2(seams.messages[i].text.startsWith(reports[i]), qPrintable(seams.messages[i].text));
        QCOMPARE(seams.messages[i].title, QStringLiteral("Application Error"));
    }
}

void TestPictureModel::scrollbarByPercent_data()
{
    QTest::addColumn<int>("overhang"); // vertical, in twips
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("value");

    QTest::newRow("half of 554") << 5535 << 50 << 277;
    QTest::newRow("all of it") << 5535 << 100 << 554;
    QTest::newRow("halves round to even") << 5 << 50 << 2;
    QTest::newRow("below 0 is ignored") << 5535 << -1 << 7;
    QTest::newRow("above 100 is ignored") << 5535 << 101 << 7;
}

void TestPictureModel::scrollbarByPercent()
{
    QFETCH(int, overhang);
    QFETCH(int, percent);
    QFETCH(int, value);

    ScriptedSeams seams;
    Preview preview(baseOf(100, kView.height() + overhang));
    preview.model.setVScrollValue(7);
    preview.model.SetVScrollbarByPercent(qint16(percent));
    QCOMPARE(int(preview.model.vScroll().value), value);
    QCOMPARE(preview.model.picture1Top(), -float(value * preview.model.vScrollUnit()));
}

void TestPictureModel::scrollOverflowThrows()
{
    // A picture refused at its own size can overhang beyond what 16-bit twips hold.
    ScriptedSeams seams;
    Preview preview(QSize(100, kView.height() + 40000));
    QCOMPARE(int(preview.model.vScroll().maximum), 4000);
    QVERIFY_THROWS_EXCEPTION(std::exception, preview.model.setVScrollValue(4000));
}

QTEST_GUILESS_MAIN(TestPictureModel)
#include "test_picture_model.moc"
