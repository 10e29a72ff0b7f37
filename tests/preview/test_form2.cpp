#include "form2.h"
#include "picture_box.h"
#include "scripted_seams.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A rendered page as the export hands it over: high resolution, one colour to recognise it.
QImage page(QSize pixels, int dpi, QColor colour)
{
    QImage picture(pixels, QImage::Format_RGB32);
    picture.fill(colour);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    return picture;
}

QString makeDocument(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("document");
    return path;
}

// The main window's side of the hand-over.
void handOver(Form2& form, QWidget& mainWindow, const QImage& picture, const QString& document)
{
    form.setPicture(picture);
    form.mWordFile = document;
    form.show();
    mainWindow.hide();
    QCoreApplication::processEvents();
}

void moveMouseOver(QWidget* widget)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void designedWindow();
    void firstShowRunsTheSetUpOnce();
    void secondHandOverStartsAfresh();
    void pictureThatCouldNotBeLoadedShowsNone();
    void leaving_data();
    void leaving();
    void hoverPointer_data();
    void hoverPointer();
    void saveButtonCopiesTheDocument();
    void secondClickDuringAPdfStartsNothing();
    void keyboardOnly();
};

// The set-up the preview shares with the main window.
void TestForm2::designedWindow()
{
    ScriptedSeams seams;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    form.show();
    const qreal k = form.logicalDpiX() / 1440.0;
    QCOMPARE(form.size(), QSize(qRound(9840 * k), qRound(9900 * k))); // a row for "Print…"
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.font().family(), QStringLiteral("Arial"));
    QCOMPARE(form.font().pointSizeF(), 9.0);
    QVERIFY(form.font().bold());
    QCOMPARE(form.PushButton6->font().pointSizeF(), 11.25);
    QCOMPARE(form.PushButton6->palette().color(QPalette::Button), QColor(Qt::white));
    QCOMPARE(form.frameGeometry().center(), form.screen()->availableGeometry().center());
}

void TestForm2::firstShowRunsTheSetUpOnce()
{
    ScriptedSeams seams;
    QTemporaryDir temp;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    handOver(form, mainWindow, page({1200, 1754}, 192, Qt::red),
             makeDocument(temp, QStringLiteral("a.doc")));

    QVERIFY(!form.setupDue());
    QCOMPARE(form.model().paintCount(), 1);
    // The frame takes the button face; the view keeps its white.
    QCOMPARE(form.Frame1->palette().color(QPalette::Window),
             QApplication::palette().color(QPalette::Button));
    QCOMPARE(form.Picture2->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(form.model().zoomWidth(), 8998); // 9000 twips less the 2 kept clear
    QVERIFY(form.VScroll1->isEnabled());
    QVERIFY(!form.HScroll1->isEnabled());

    // Later activations change nothing.
    form.PushButton1->click();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&form, &activate);
    QCOMPARE(form.model().zoom(), 1.0f);
    QCOMPARE(form.model().paintCount(), 1); // 1.25 was refused (11247 wide)
    QVERIFY(seams.messages.isEmpty());
}

void TestForm2::secondHandOverStartsAfresh()
{
    ScriptedSeams seams;
    QTemporaryDir temp;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    const QString first = makeDocument(temp, QStringLiteral("first.doc"));
    handOver(form, mainWindow, page({600, 900}, 96, Qt::red), first);
    form.PushButton2->click(); // 0.75
    form.PushButton1->click(); // 1
    form.PushButton1->click(); // 1.25
    form.VScroll1->setValue(40);
    QVERIFY(form.Picture1->y() < 0);

    form.PushButton8->click();
    QVERIFY(!QFile::exists(first));
    QVERIFY(mainWindow.isVisible());
    QVERIFY(!form.isVisible());

    const QString second = makeDocument(temp, QStringLiteral("second.doc"));
    handOver(form, mainWindow, page({1200, 1754}, 192, Qt::blue), second);
    QCOMPARE(form.model().zoom(), 1.0f);
    QCOMPARE(form.Picture1->pos(), QPoint(0, 0));
    QCOMPARE(int(form.model().vScroll().value), 0);
    QCOMPARE(form.model().zoomHeight(), 13153);
    QCOMPARE(form.VScroll1->maximum(), 573); // (13153 - 7425) / 10
    QCOMPARE(form.mWordFile, second);

    // Zooming paints the new page, never the previous one.
    form.PushButton2->click();
    QCOMPARE(form.model().zoom(), 0.75f);
    const QImage drawn = form.Picture1->drawing().toImage();
    QVERIFY(!drawn.isNull());
    QCOMPARE(drawn.pixelColor(drawn.width() / 2, drawn.height() / 2), QColor(Qt::blue));
    QVERIFY(seams.messages.isEmpty());
}

void TestForm2::pictureThatCouldNotBeLoadedShowsNone()
{
    ScriptedSeams seams;
    QTemporaryDir temp;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    handOver(form, mainWindow, page({600, 900}, 96, Qt::red),
             makeDocument(temp, QStringLiteral("first.doc")));
    form.PushButton8->click();

    const QString second = makeDocument(temp, QStringLiteral("second.doc"));
    handOver(form, mainWindow, QImage(), second);
    QVERIFY(!form.setupDue());
    QVERIFY(form.Picture1->drawing().isNull());
    QVERIFY(form.Zoom_Ori->picture().isNull());
    form.PushButton2->click();
    QVERIFY(form.Picture1->drawing().isNull());
    QCOMPARE(form.mWordFile, second);
    QVERIFY(seams.messages.isEmpty());
}

void TestForm2::leaving_data()
{
    QTest::addColumn<bool>("close"); // else "< Back"
    QTest::addColumn<int>("endProgramCalls");
    QTest::addColumn<bool>("mainVisible");

    QTest::newRow("closing ends the program") << true << 1 << false;
    QTest::newRow("< Back shows the main window") << false << 0 << true;
}

void TestForm2::leaving()
{
    QFETCH(bool, close);
    QFETCH(int, endProgramCalls);
    QFETCH(bool, mainVisible);

    ScriptedSeams seams;
    QTemporaryDir temp;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    const QString document = makeDocument(temp, QStringLiteral("zanfel12345678.doc"));
    handOver(form, mainWindow, page({300, 300}, 96, Qt::white), document);

    if (close) {
        form.close();
    } else {
        form.PushButton8->click();
    }
    QVERIFY(!QFile::exists(document));
    QCOMPARE(seams.endProgramCalls, endProgramCalls);
    QCOMPARE(mainWindow.isVisible(), mainVisible);
    QVERIFY(!form.isVisible());
    QVERIFY(seams.messages.isEmpty());
}

void TestForm2::hoverPointer_data()
{
    QTest::addColumn<QString>("over");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");

    const int normal = WindowPointer::Default;
    const int busy = WindowPointer::Hourglass;
    const int hand = WindowPointer::Custom;
    for (const char* button : {"PushButton1", "PushButton2", "PushButton6", "PushButton8"}) {
        QTest::addRow("%s shows the hand", button) << QString::fromLatin1(button) << normal << hand;
        QTest::addRow("%s keeps the hourglass", button)
            << QString::fromLatin1(button) << busy << busy;
    }
    QTest::newRow("frame resets") << QStringLiteral("Frame1") << hand << normal;
    QTest::newRow("background resets") << QString() << hand << normal;
    QTest::newRow("background keeps the hourglass") << QString() << busy << busy;
}

void TestForm2::hoverPointer()
{
    QFETCH(QString, over);
    QFETCH(int, before);
    QFETCH(int, after);

    ScriptedSeams seams;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    QVERIFY(!form.pointer().hasCustomCursor()); // no cursor file in the program folder
    form.pointer().set(WindowPointer::Value(before));
    QWidget* target = over.isEmpty() ? &form : form.findChild<QWidget*>(over);
    QVERIFY(target != nullptr);
    moveMouseOver(target);
    QCOMPARE(int(form.pointer().value()), after);
}

void TestForm2::saveButtonCopiesTheDocument()
{
    ScriptedSeams seams;
    QTemporaryDir temp;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    handOver(form, mainWindow, page({300, 300}, 96, Qt::white),
             makeDocument(temp, QStringLiteral("zanfel1.doc")));
    const QString target = temp.filePath(QStringLiteral("raffle.doc"));
    seams.savePaths = {target};

    form.PushButton6->click();
    QVERIFY(QFile::exists(target));
    QVERIFY(QFile::exists(form.mWordFile));
    QCOMPARE(seams.messages.size(), 1);
    QCOMPARE(seams.messages[0].text, QStringLiteral("Done."));
}

// A PDF lets the events run while it is written; a click on the button meanwhile is one of them.
void TestForm2::secondClickDuringAPdfStartsNothing()
{
    ScriptedSeams seams;
    QTemporaryDir temp;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    handOver(form, mainWindow, page({300, 300}, 96, Qt::white),
             makeDocument(temp, QStringLiteral("zanfel2.doc")));
    const QString target = temp.filePath(QStringLiteral("raffle.pdf"));
    seams.savePaths = {target, temp.filePath(QStringLiteral("second.pdf"))};
    int writes = 0;
    form.setPdfWriter([&](const QString&, const QString& path, const auto& progress) {
        ++writes;
        progress(-1);
        form.PushButton6->click();
        progress(50);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    });

    form.PushButton6->click();
    QCOMPARE(writes, 1);
    QVERIFY(QFile::exists(target));
    QCOMPARE(seams.savePaths.size(), 1); // the second click opened no dialog
    QCOMPARE(seams.messageTexts(), QStringList{QStringLiteral("Done.")});
    // Once the save is over, the button works again.
    form.PushButton6->click();
    QCOMPARE(writes, 2);
    form.close();
    QCOMPARE(seams.endProgramCalls, 1);
}

QTEST_MAIN(TestForm2)
// The preview without a mouse: Tab reaches the picture first, the keys move and zoom it as the
// bars and buttons do, and the picture tells a screen reader what it shows; Tab goes on to
// "< Back".
void TestForm2::keyboardOnly()
{
    ScriptedSeams seams;
    QTemporaryDir temp;
    QWidget mainWindow;
    Form2 form(&mainWindow);
    form.setPrintable(QStringLiteral("Raffle"), Paper::Letter, 5,
                      QStringLiteral("Tickets 0001 to 0025"));
    handOver(form, mainWindow, page(QSize(2550, 3300), 300, Qt::darkGreen),
             makeDocument(temp, QStringLiteral("zanfel3.doc")));
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_VERIFY(!form.setupDue());
    QCOMPARE(QApplication::focusWidget(), form.Picture2);
    QCOMPARE(form.Picture2->accessibleName(), QStringLiteral("Ticket document"));
    QCOMPARE(form.Picture2->accessibleDescription(),
             QStringLiteral("Page 1 of 5, tickets 0001 to 0025, zoom 100 %"));

    QTest::keyClick(form.Picture2, Qt::Key_End);
    QCOMPARE(form.HScroll1->value(), form.HScroll1->maximum());
    QCOMPARE(form.VScroll1->value(), form.VScroll1->maximum());
    QVERIFY(form.VScroll1->maximum() > 0);
    // The picture itself moved: its bottom right corner is in view.
    const QRect shown = form.Picture1->geometry();
    QVERIFY2(shown.bottom() <= form.Picture2->height() + 1 && shown.top() < 0,
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(shown.x())
                            .arg(shown.y())
                            .arg(shown.width())
                            .arg(shown.height())));
    QTest::keyClick(form.Picture2, Qt::Key_Up);
    QCOMPARE(form.VScroll1->value(), form.VScroll1->maximum() - 1);
    QTest::keyClick(form.Picture2, Qt::Key_Home);
    QCOMPARE(form.VScroll1->value(), 0);
    QCOMPARE(form.HScroll1->value(), 0);

    // Within the buttons' limits: a page at 100 % is as large as the view lets it be.
    const float before = form.model().zoom();
    QTest::keyClick(form.Picture2, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(form.model().zoom(), before - PictureModel::kZoomStep);
    QVERIFY(form.Picture2->accessibleDescription().endsWith(QStringLiteral("zoom 75 %")));
    QTest::keyClick(form.Picture2, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(form.model().zoom(), before);

    for (QWidget* next :
         {static_cast<QWidget*>(form.PushButton1), static_cast<QWidget*>(form.PushButton2),
          static_cast<QWidget*>(form.PushButton8)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QTest::keyClick(form.PushButton8, Qt::Key_Space);
    QVERIFY(!form.isVisible() && mainWindow.isVisible());
}

#include "test_form2.moc"
