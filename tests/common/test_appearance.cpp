#include "appearance.h"
#include "error_trap.h"
#include "random_bytes.h"
#include "scripted_seams.h"
#include "skin_framework.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace {

const QColor kWhite(Qt::white);
const QColor kFace(0x3a, 0x6b, 0x9c); // distinct from every other colour of the palette

// A window designed white, with one control of each kind.
struct Window
{
    Window()
    {
        for (QWidget* w : QList<QWidget*>{&window, frame, label, check, radio, picture, field}) {
            QPalette colours = w->palette();
            colours.setColor(QPalette::Window, kWhite);
            w->setPalette(colours);
        }
        MarkAsPictureBox(*picture);
    }

    QColor colour(QWidget* w) const { return w->palette().color(QPalette::Window); }

    QWidget window;
    QGroupBox* frame = new QGroupBox(QStringLiteral("Name Of Raffle"), &window);
    QLabel* label = new QLabel(QStringLiteral("label"), frame);
    QCheckBox* check = new QCheckBox(&window);
    QRadioButton* radio = new QRadioButton(&window);
    QWidget* picture = new QWidget(&window);
    QLineEdit* field = new QLineEdit(frame);
};

void writeSkin(const ScriptedSeams& seams, const QByteArray& bytes)
{
    QDir(seams.programFolder.path()).mkpath(QStringLiteral("x"));
    QFile file(seams.programFolder.filePath(QStringLiteral("x/o.cjs")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestAppearance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutSkinFileNothingChanges_data();
    void withoutSkinFileNothingChanges();
    void skinFilePaintsThenApplies();
    void brokenSkinFile_data();
    void brokenSkinFile();
    void formBackColoursLeavePictureBoxes();
    void shippedSkinLoads();
};

void TestAppearance::initTestCase()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, kFace);
    QApplication::setPalette(palette);
    QCOMPARE(ButtonFaceColour(), kFace);
}

void TestAppearance::withoutSkinFileNothingChanges_data()
{
    QTest::addColumn<bool>("folderOnly"); // "x" exists, o.cjs does not
    QTest::addColumn<bool>("skinIsFolder");
    QTest::newRow("no folder x") << false << false;
    QTest::newRow("folder x without o.cjs") << true << false;
    QTest::newRow("o.cjs is a folder") << true << true;
}

void TestAppearance::withoutSkinFileNothingChanges()
{
    QFETCH(bool, folderOnly);
    QFETCH(bool, skinIsFolder);

    ScriptedSeams seams;
    QDir folder(seams.programFolder.path());
    if (folderOnly) {
        folder.mkpath(QStringLiteral("x"));
    }
    if (skinIsFolder) {
        folder.mkpath(QStringLiteral("x/o.cjs"));
    }
    Window w;
    SkinFramework skin;
    SkinMainWindow(w.window, skin);
    QCOMPARE(w.colour(&w.window), kWhite);
    QCOMPARE(w.colour(w.frame), kWhite);
    QCOMPARE(skin.options(), 0);
    QVERIFY(w.window.styleSheet().isEmpty());
}

void TestAppearance::skinFilePaintsThenApplies()
{
    ScriptedSeams seams;
    writeSkin(seams, "QGroupBox { border: 1px solid #c3cbd6; }\n");
    Window w;
    SkinFramework skin;
    skin.setOptions(4);
    SkinMainWindow(w.window, skin);

    for (QWidget* painted :
         QList<QWidget*>{&w.window, w.frame, w.label, w.check, w.radio, w.picture}) {
        QCOMPARE(w.colour(painted), kFace);
        QVERIFY(painted->autoFillBackground());
    }
    QCOMPARE(w.colour(w.field), kWhite);
    QCOMPARE(skin.options(), 5);
    QVERIFY(w.window.styleSheet().contains(QStringLiteral("QGroupBox")));
}

void TestAppearance::brokenSkinFile_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("larger than 256 KiB") << QByteArray(SkinFramework::kMaxSkinBytes + 1, ' ');
    QTest::newRow("random bytes") << randomBytes(20210831);
    QTest::newRow("not UTF-8") << QByteArray("QWidget { color: \xff\xfe; }");
    QTest::newRow("control characters") << QByteArray("QWidget {\x01 color: red; }");
}

void TestAppearance::brokenSkinFile()
{
    QFETCH(QByteArray, bytes);

    ScriptedSeams seams;
    writeSkin(seams, bytes);
    Window w;
    SkinFramework skin;
    ErrorTrap trap(QStringLiteral("in Tombolix2021/08/31.Form1.Form_Load "));
    trap.step(100, [&] { SkinMainWindow(w.window, skin); });

    QCOMPARE(seams.messages.size(), 1);
    QVERIFY2(seams.messages[0].text.startsWith(QStringLiteral("Cannot load skin file ")),
             qPrintable(seams.messages[0].text));
    // Steps already done stay done; the skin is not applied.
    QCOMPARE(w.colour(w.frame), kFace);
    QVERIFY(w.window.styleSheet().isEmpty());
    QCOMPARE(skin.options(), 0);
}

void TestAppearance::formBackColoursLeavePictureBoxes()
{
    ScriptedSeams seams; // no skin file: it makes no difference here
    Window w;
    SetFormBackColors(w.window);
    for (QWidget* painted : QList<QWidget*>{&w.window, w.frame, w.label, w.check, w.radio}) {
        QCOMPARE(w.colour(painted), kFace);
    }
    QCOMPARE(w.colour(w.picture), kWhite);
    QCOMPARE(w.colour(w.field), kWhite);
}

void TestAppearance::shippedSkinLoads()
{
    QFile shipped(QStringLiteral(TICKETWRIGHT_SKIN_FILE));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QString sheet = SkinFramework::decodeSkin(shipped.readAll());
    QVERIFY(sheet.contains(QStringLiteral("QProgressBar")));
}

QTEST_MAIN(TestAppearance)
#include "test_appearance.moc"
