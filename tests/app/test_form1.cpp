#include "app_error.h"
#include "book_row.h"
#include "cursor_encoder.h"
#include "form1.h"
#include "picture_row.h"
#include "random_bytes.h"
#include "scripted_seams.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

QString stored(const QString& key)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Quorvane");
    store.beginGroup("Ticketwright");
    return store.contains(key) ? store.value(key).toString() : QStringLiteral("<missing>");
}

// A mouse move delivered to one control, as the window system delivers it.
void hover(QWidget* widget, QPoint at = QPoint(2, 2))
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void store(const QString& key, const QString& value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Quorvane");
    s.setValue("Ticketwright/" + key, value);
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

    QTemporaryDir mHome;
    std::unique_ptr<ScriptedSeams> mSeams;
    std::unique_ptr<Form1> mForm;

    // A loaded window, shown and active, as the program presents it.
    Form1& loadedForm()
    {
        mForm = std::make_unique<Form1>();
        mForm->Form_Load();
        mForm->showCentred();
        QApplication::setActiveWindow(mForm.get());
        [&] { QVERIFY(QTest::qWaitForWindowActive(mForm.get())); }();
        return *mForm;
    }

private slots:
    void init()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mHome.path());
        QFile::remove(mHome.filePath("Quorvane.conf"));
        mSeams = std::make_unique<ScriptedSeams>();
        Form1::setOfficeCheck({});
    }
    void cleanup()
    {
        mForm.reset();
        mSeams.reset();
    }

    void firstStartStoresTheDefaults()
    {
        Form1& form = loadedForm();
        QCOMPARE(form.Text(1)->text(), QString("CHRISTMAS RAFFLE"));
        QCOMPARE(form.Text(8)->text(), QString("20"));
        QCOMPARE(stored("Text2"), QString("DRAWING WILL BE HELD AT THE END OF THE NIGHT"));
        QCOMPARE(stored("Text7"), QString("$10"));
        for (int n = 1; n <= 8; ++n) {
            QVERIFY2(stored(QString("Text%1").arg(n)) != "<missing>",
                     qPrintable(QString::number(n)));
        }
        QVERIFY(mSeams->messages.isEmpty());
        QCOMPARE(form.windowTitle(), QString("Ticketwright"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QString("Ticketwright"));
    }

    void storedTextsComeBackAsLeft()
    {
        store("Text7", "");
        store("Text1", "  Spring Fair  ");
        Form1& form = loadedForm();
        QCOMPARE(form.Text(7)->text(), QString());
        QCOMPARE(form.Text(1)->text(), QString("  Spring Fair  "));
        QCOMPARE(stored("Text7"), QString());
    }

    void everyKeystrokeIsStored()
    {
        Form1& form = loadedForm();
        form.Text(3)->setFocus();
        QTest::keyClicks(form.Text(3), "$7");
        QCOMPARE(stored("Text3"), QString("$7"));
        QTest::keyClick(form.Text(3), Qt::Key_Backspace);
        QCOMPARE(stored("Text3"), QString("$"));
    }

    void tabSelectsTheWholeField()
    {
        Form1& form = loadedForm();
        form.Text(1)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form.Text(1), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.Text(2));
        QCOMPARE(form.Text(2)->selectedText(), form.Text(2)->text());
    }

    void ticketCountRoundsUpOnLeaving_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("7") << "7"
                           << "10";
        QTest::newRow("0") << "0"
                           << "5";
        QTest::newRow("25") << "25"
                            << "25";
        QTest::newRow("-3") << "-3"
                            << "-5";
        QTest::newRow("9.6") << "9.6"
                             << "9.6";
    }
    void ticketCountRoundsUpOnLeaving()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Form1& form = loadedForm();
        form.Text(8)->setFocus();
        form.Text(8)->selectAll();
        QTest::keyClicks(form.Text(8), typed);
        QTest::keyClick(form.Text(8), Qt::Key_Tab);
        QCOMPARE(form.Text(8)->text(), shown);
        QCOMPARE(stored("Text8"), shown);
        QCOMPARE(QApplication::focusWidget(), form.PushButton6);
        QVERIFY(mSeams->messages.isEmpty());
    }

    void emptyCountIsRefused()
    {
        Form1& form = loadedForm();
        form.Text(8)->setFocus();
        form.Text(8)->clear();
        form.Text(2)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(mSeams->messages.size(), 1);
        QCOMPARE(mSeams->messages[0].text, QString("Must be numeric."));
        QCOMPARE(mSeams->messages[0].title, QString("Ticketwright"));
        QCOMPARE(mSeams->messages[0].style, MsgStyle::Ok);
        QTRY_COMPARE(QApplication::focusWidget(), form.Text(8));
        QCOMPARE(stored("Text8"), QString());
    }

    void countBeyond32BitsGetsItsOwnMessage()
    {
        Form1& form = loadedForm();
        form.Text(8)->setFocus();
        form.Text(8)->setText("9999999999");
        form.Text(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(mSeams->messages.size(), 1);
        QVERIFY(mSeams->messages[0].text.contains("2147483645"));
        QCOMPARE(form.Text(8)->text(), QString("9999999999"));
        QTRY_COMPARE(QApplication::focusWidget(), form.Text(8));
        QTRY_COMPARE(form.Text(8)->selectedText(), QString("9999999999"));

        // A count that rounds but no run can make starts nothing.
        form.Text(8)->setText("2147483645");
        form.Text(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(form.bookRow()->RangeText->text(), QString("Check the count"));
        form.PushButton6_Click();
        QCOMPARE(mSeams->messages.size(), 2);
        QVERIFY(mSeams->messages[1].text.contains("at most 100,000 tickets"));
        QVERIFY(form.preview() == nullptr);
        QTRY_COMPARE(QApplication::focusWidget(), form.Text(8));
    }

    // The book row: what it shows, what it stores, where the focus goes, and a first number out
    // of range refused on leaving and on the click.
    void booksOfTickets()
    {
        store("Text8", "500");
        store("FirstNumber", "501");
        store("Paper", "A4");
        store("Order", "Diagonal"); // not one this program knows
        Form1& form = loadedForm();
        BookRow& row = *form.bookRow();
        QCOMPARE(row.FirstNumber->text(), QString("501"));
        QCOMPARE(row.Order->currentText(), QString("In sequence"));
        QCOMPARE(row.Paper->currentText(), QString("A4"));
        QCOMPARE(row.RangeText->text(), QString("Tickets 0501 to 1000"));
        QCOMPARE(stored("Order"), QString("Diagonal")); // loading writes nothing

        row.Order->setCurrentIndex(1);
        row.Paper->setCurrentIndex(0);
        QCOMPARE(stored("Order"), QString("CutAndStack"));
        QCOMPARE(stored("Paper"), QString("Letter"));
        form.Text(8)->setText("1000");
        QCOMPARE(row.RangeText->text(), QString("Tickets 0501 to 1500"));

        form.PushButton3->setFocus(Qt::TabFocusReason);
        for (QWidget* next : {static_cast<QWidget*>(row.FirstNumber),
                              static_cast<QWidget*>(row.Order), static_cast<QWidget*>(row.Paper)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        const qreal k = form.logicalDpiX() / 1440.0;
        QCOMPARE(row.FirstNumber->parentWidget()->geometry(),
                 QRect(qRound(120 * k), qRound(6030 * k), qRound(1920 * k), qRound(825 * k)));
        // The longest range still shows whole.
        row.FirstNumber->setText("99998999");
        QCOMPARE(row.RangeText->text(), QString("Tickets 99998999 to 99999998"));
        QVERIFY(QFontMetricsF(row.RangeText->font()).horizontalAdvance(row.RangeText->text()) <=
                row.RangeText->width());

        row.FirstNumber->setFocus();
        row.FirstNumber->setText("99999001");
        QCOMPARE(row.RangeText->text(), QString("Check the first number"));
        form.Text(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(mSeams->messages.size(), 1);
        QCOMPARE(mSeams->messages[0].text,
                 QString("The first ticket number must be a whole number from 1 to 99,999,000."));
        QTRY_COMPARE(QApplication::focusWidget(), row.FirstNumber);
        form.PushButton6_Click();
        QCOMPARE(mSeams->messages.size(), 2);
        QCOMPARE(mSeams->messages[1].text, mSeams->messages[0].text);
        QVERIFY(form.preview() == nullptr);
        QCOMPARE(stored("FirstNumber"), QString("99999001"));

        row.FirstNumber->setText("0042");
        form.Text(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(row.FirstNumber->text(), QString("42")); // as it will be printed
        QCOMPARE(mSeams->messages.size(), 2);
    }

    // The picture row: a bad choice is refused and the old one kept; a saved picture that has
    // gone since stops the run before it starts, with every field and choice as it was.
    void pictureRow()
    {
        QTemporaryDir pictures;
        const QString logo = pictures.filePath("logo.png");
        QVERIFY(QImage(60, 40, QImage::Format_RGB32).save(logo));
        const QString gone = pictures.filePath("gone.png");
        store("Picture", gone);
        Form1& form = loadedForm();
        PictureRow& row = *form.pictureRow();
        QCOMPARE(row.PictureName->text(), QString("gone.png"));
        form.bookRow()->Paper->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form.bookRow()->Paper, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), row.ChoosePicture);

        QFile text(pictures.filePath("notes.png"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("words") == 5);
        text.close();
        mSeams->openPaths = {text.fileName(), logo};
        row.ChoosePicture->click();
        QCOMPARE(mSeams->messageTexts(),
                 QStringList("\"notes.png\" is not a picture Ticketwright can use. Choose a PNG, "
                             "JPEG, SVG, BMP or GIF file."));
        QCOMPARE(stored("Picture"), gone);
        form.PushButton6_Click();
        QCOMPARE(mSeams->messages.size(), 2);
        QVERIFY2(mSeams->messages[1].text.startsWith(
                     QString("The picture \"%1\" cannot be found.").arg(gone)),
                 qPrintable(mSeams->messages[1].text));
        QVERIFY(form.preview() == nullptr && !form.mBusy);

        row.ChoosePicture->click();
        QCOMPARE(stored("Picture"), logo);
        QCOMPARE(row.PictureName->text(), QString("logo.png"));
        QCOMPARE(form.bookChoices().picture, logo);
        row.NoPicture->click();
        QCOMPARE(stored("Picture"), QString());
        QVERIFY(form.bookChoices().picture.isEmpty() && !row.NoPicture->isEnabled());
    }

    // On a dark desktop every caption stays legible: text on the white the window paints is
    // dark, and what keeps the desktop's colours keeps its pairs.
    void legibleOnADarkDesktop()
    {
        const QPalette light = QApplication::palette();
        QPalette dark = light;
        for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(0x20, 0x20, 0x20)},
                                           {QPalette::WindowText, QColor(0xee, 0xee, 0xee)},
                                           {QPalette::Base, QColor(0x2a, 0x2a, 0x2a)},
                                           {QPalette::Text, QColor(0xee, 0xee, 0xee)},
                                           {QPalette::Button, QColor(0x35, 0x35, 0x35)},
                                           {QPalette::ButtonText, QColor(0xee, 0xee, 0xee)}}) {
            dark.setColor(role, colour);
        }
        QApplication::setPalette(dark);
        const auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
        Form1& form = loadedForm();
        const auto luminance = [](const QColor& c) {
            const auto channel = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
                   0.0722 * channel(c.blueF());
        };
        const auto contrast = [&](const QColor& a, const QColor& b) {
            const double x = luminance(a) + 0.05;
            const double y = luminance(b) + 0.05;
            return std::max(x, y) / std::min(x, y);
        };
        for (QWidget* widget : form.findChildren<QWidget*>()) {
            const QPalette p = widget->palette();
            double ratio = 0;
            if (qobject_cast<QPushButton*>(widget)) {
                ratio = contrast(p.color(QPalette::ButtonText), p.color(QPalette::Button));
            } else if (qobject_cast<QLineEdit*>(widget)) {
                ratio = contrast(p.color(QPalette::Text), p.color(QPalette::Base));
            } else if (qobject_cast<QGroupBox*>(widget) || qobject_cast<QLabel*>(widget)) {
                ratio = contrast(p.color(QPalette::WindowText), p.color(QPalette::Window));
            } else {
                continue;
            }
            QVERIFY2(ratio >= 4.5,
                     qPrintable(widget->objectName() + QStringLiteral(": contrast %1").arg(ratio)));
        }
    }

    void sampleDataOverwritesEveryField()
    {
        Form1& form = loadedForm();
        for (int n = 1; n <= 8; ++n) {
            form.Text(n)->clear();
        }
        form.PushButton3->click();
        QCOMPARE(form.Text(6)->text(), QString("DO NOT HAVE TO BE PRESENT TO WIN"));
        QCOMPARE(form.Text(8)->text(), QString("20"));
        QCOMPARE(stored("Text5"), QString("$100"));
        QCOMPARE(stored("Text7"), QString("$10"));
    }

    void helpNamesTheContactPage()
    {
        Form1& form = loadedForm();
        form.PushButton2->click();
        QCOMPARE(mSeams->messages.size(), 1);
        QCOMPARE(
            mSeams->messages[0].text,
            QString("Questions? Please contact Team Quorvane at https://www.quorvane.com/contact"));
        QCOMPARE(mSeams->messages[0].style, MsgStyle::Ok);
    }

    void layoutFollowsTheDesign()
    {
        Form1& form = loadedForm();
        const qreal k = form.logicalDpiX() / 1440.0;
        auto px = [k](int twips) { return qRound(twips * k); };
        QCOMPARE(form.size(), QSize(px(8040), px(6045 + 930 + 930))); // book and picture rows
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.frameGeometry().center(), form.screen()->availableGeometry().center());
        QCOMPARE(form.font().pointSizeF(), 9.0);
        QCOMPARE(form.PushButton6->font().pointSizeF(), 11.25);
        QCOMPARE(form.PushButton6->geometry(), QRect(px(120), px(120), px(7800), px(405)));
        QCOMPARE(form.PushButton3->geometry(), QRect(px(4080), px(630), px(3840), px(405)));
        QCOMPARE(form.Frame(7)->geometry(), QRect(px(5760), px(3720), px(2160), px(825)));
        QCOMPARE(form.Text(7)->geometry(), QRect(px(240), px(300), px(1695), px(345)));
        QCOMPARE(form.Frame(8)->title(),
                 QString("How many tickets would you like to create? (Round up to 5)"));
        QCOMPARE(form.ProgressBar1->text(), QString("Progress Bar"));
        QCOMPARE(form.PushButton6->text(), QString("Start Creating Template"));
        // Without a skin file too, as on the preview: button-text colour on white.
        for (QPushButton* button : {form.PushButton6, form.PushButton2, form.PushButton3}) {
            QCOMPARE(button->palette().color(QPalette::Button), QColor(Qt::white));
            QCOMPARE(button->palette().color(QPalette::ButtonText),
                     QApplication::palette().color(QPalette::ButtonText));
        }
    }

    void hoverRulesKeepTheHourglass()
    {
        Form1& form = loadedForm();
        hover(form.PushButton2);
        QCOMPARE(form.pointer().value(), WindowPointer::Custom);
        QCOMPARE(form.cursor().shape(), Qt::PointingHandCursor);
        hover(form.Frame(3));
        QCOMPARE(form.pointer().value(), WindowPointer::Default);
        hover(form.PushButton3);
        hover(form.Text(1));
        QCOMPARE(form.pointer().value(), WindowPointer::Default);
        hover(form.PushButton3);
        hover(form.Text(2)); // other controls leave the pointer alone
        QCOMPARE(form.pointer().value(), WindowPointer::Custom);
        hover(&form, QPoint(1, 1));
        QCOMPARE(form.pointer().value(), WindowPointer::Default);
        form.pointer().set(WindowPointer::Hourglass);
        hover(form.PushButton6);
        hover(form.Frame(1));
        QCOMPARE(form.pointer().value(), WindowPointer::Hourglass);
        QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
    }

    void handCursorFromTheProgramFolder()
    {
        QImage hand(32, 32, QImage::Format_ARGB32);
        hand.fill(Qt::black);
        QFile file(mSeams->programFolder.filePath("HAND-M.CUR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(CursorEncoder::encode(hand, {5, 6}));
        file.close();
        Form1& form = loadedForm();
        QVERIFY(form.pointer().hasCustomCursor());
        QVERIFY(mSeams->messages.isEmpty());
        hover(form.PushButton6);
        QCOMPARE(form.cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(form.cursor().hotSpot(), QPoint(5, 6));
    }

    void brokenCursorGivesOneReportAndTheLoadGoesOn()
    {
        QFile file(mSeams->programFolder.filePath("HAND-M.CUR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("garbage");
        file.close();
        Form1& form = loadedForm();
        QCOMPARE(mSeams->messages.size(), 1);
        QVERIFY(mSeams->messages[0].text.contains(
            "\r\nin Tombolix2021/08/31.Form1.Form_Load at line 124\r\r"));
        QVERIFY(!form.pointer().hasCustomCursor());
        QCOMPARE(form.Text(1)->text(), QString("CHRISTMAS RAFFLE"));
        hover(form.PushButton2);
        QCOMPARE(form.pointer().value(), WindowPointer::Custom);
        QCOMPARE(form.cursor().shape(), Qt::PointingHandCursor);
    }

    void damagedSettingsFileIsKeptAside()
    {
        const QByteArray bytes = randomBytes(128);
        QFile file(mHome.filePath("Quorvane.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        Form1& form = loadedForm();
        QCOMPARE(mSeams->messages.size(), 1);
        QVERIFY(mSeams->messages[0].text.contains("Form_Load at line 128\r\r"));
        const QStringList kept = QDir(mHome.path()).entryList({"Quorvane.conf.damaged-*"});
        QCOMPARE(kept.size(), 1);
        QVERIFY(mSeams->messages[0].text.contains(mHome.filePath(kept[0])));
        QFile keptFile(mHome.filePath(kept[0]));
        QVERIFY(keptFile.open(QIODevice::ReadOnly));
        QCOMPARE(keptFile.readAll(), bytes);

        QCOMPARE(form.Text(1)->text(), QString("CHRISTMAS RAFFLE"));
        QCOMPARE(stored("Text8"), QString("20"));
        form.Text(3)->setFocus();
        QTest::keyClicks(form.Text(3), "$75");
        QCOMPARE(stored("Text3"), QString("$75"));
        QCOMPARE(mSeams->messages.size(), 1);
    }

    void webSiteOneStartInAHundred()
    {
        mSeams->randomValue = 0.5;
        loadedForm();
        QVERIFY(mSeams->openedUrls.isEmpty());
        mSeams->randomValue = 0.065; // 6.5 -> 6 + 1 = 7
        loadedForm();
        QCOMPARE(mSeams->openedUrls, QList<QUrl>{QUrl("https://www.quorvane.com/")});
        mSeams->openUrlSucceeds = false;
        loadedForm();
        QCOMPARE(mSeams->messages.size(), 1);
        QVERIFY(mSeams->messages[0].text.contains("at line 126"));
    }

    void officeCheckIsTheLastStep()
    {
        QStringList seen;
        Form1::setOfficeCheck([&] {
            seen << stored("Text8");
            throw AppError("no office");
        });
        loadedForm();
        QCOMPARE(seen, QStringList{"20"});
        QCOMPARE(mSeams->messages.size(), 1);
        QVERIFY(mSeams->messages[0].text.startsWith(
            "no office\r\nin Tombolix2021/08/31.Form1.Form_Load at line 144"));
    }

    void closingEndsTheProgram()
    {
        Form1& form = loadedForm();
        form.close();
        QCOMPARE(mSeams->endProgramCalls, 1);
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
