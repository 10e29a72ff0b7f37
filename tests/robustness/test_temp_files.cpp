// Whole runs on the real office in a temporary folder where someone planted links and files:
// the private per-user folder, and a shared folder named by TEMP.

#include "form1.h"
#include "form2.h"
#include "generation_run.h"
#include "office_probe.h"
#include "picture_box.h"
#include "reports.h"
#include "scripted_seams.h"
#include "temp_folder.h"
#include "test_files.h"
#include "ticket_template.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isLink(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

} // namespace

class TestTempFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir mHome;
    std::unique_ptr<QTemporaryDir> mBase;
    std::unique_ptr<ScriptedSeams> mSeams;
    std::unique_ptr<Form1> mForm;
    QString mFolder; // where the run keeps its files
    QString mVictim; // a file of the user's that a followed link would reach
    // Put back after each case: offices started later would write into a removed folder.
    const QByteArray mRuntimeDir = qgetenv("XDG_RUNTIME_DIR");

    QString run()
    {
        mForm = std::make_unique<Form1>();
        mForm->Form_Load();
        const QStringList fields = {"Fair", "Noon", "A", "B", "C", "Be there", "", "5"};
        for (int n = 1; n <= 8; ++n) {
            mForm->Text(n)->setText(fields.value(n - 1));
        }
        mForm->PushButton6_Click();
        return mForm->preview() ? mForm->preview()->mWordFile : QString();
    }

    QString reported() const { return reports::readable(mSeams->messageTexts()); }

    // The run ended, opened nothing and made no document.
    void refusedAndEnded(const QString& why)
    {
        QVERIFY(!mSeams->messages.isEmpty());
        QVERIFY2(mSeams->messages.first().text.contains(why), qPrintable(reported()));
        QVERIFY(!mForm->mBusy);
        QVERIFY(QDir(mFolder).entryList({QStringLiteral("zanfel*")}).isEmpty());
        QCOMPARE(readAll(mVictim), ticketTemplateBytes());
        QTRY_VERIFY(probe::officeChildrenOf(getpid()).isEmpty());
    }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mHome.path());
    }

    void initTestCase_data()
    {
        QTest::addColumn<bool>("shared");
        QTest::newRow("private folder") << false;
        QTest::newRow("shared folder from TEMP") << true;
    }
    void init()
    {
        QFETCH_GLOBAL(bool, shared);
        mBase = std::make_unique<QTemporaryDir>();
        mSeams = std::make_unique<ScriptedSeams>();
        if (shared) {
            mFolder = mBase->filePath(QStringLiteral("shared"));
            QVERIFY(QDir().mkdir(mFolder));
            QVERIFY(::chmod(QFile::encodeName(mFolder).constData(), 01777) == 0);
            qputenv("TEMP", QFile::encodeName(mFolder));
        } else {
            qunsetenv("TEMP");
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mBase->path()));
            mFolder = temp_folder::path();
        }
        // Holds what a template holds: were a link followed, the run would go through.
        mVictim = mBase->filePath(QStringLiteral("victim.dot"));
        QFile victim(mVictim);
        QVERIFY(victim.open(QIODevice::WriteOnly));
        victim.write(ticketTemplateBytes());
    }
    void cleanup()
    {
        mForm.reset();
        mSeams.reset();
        mBase.reset();
        qunsetenv("TEMP");
        if (mRuntimeDir.isEmpty()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            qputenv("XDG_RUNTIME_DIR", mRuntimeDir);
        }
    }

    void linkAtTheTemplateIsNotFollowed()
    {
        QVERIFY(QFile::link(mVictim, mFolder + QStringLiteral("/template.dot")));
        run();
        refusedAndEnded(QStringLiteral("is not a plain file; it was not opened"));
    }

    void templateOfAnotherUserIsNotOpened()
    {
        const QString planted = mFolder + QStringLiteral("/template.dot");
        QVERIFY(QFile::copy(mVictim, planted));
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody ||
            ::chown(QFile::encodeName(planted).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            QSKIP("only root can give a file to another user");
        }
        run();
        refusedAndEnded(QStringLiteral("belongs to another user; it was not opened"));
    }

    // Links under the name the random source will draw and under the name a picture file once
    // had: the document goes under another name, the picture reaches the preview without a
    // file, and the links and what they point to stay as they were.
    void linksAtTheDocumentAndPictureNamesAreNotFollowed()
    {
        mSeams->randomValues = QList<double>(8, 0.0); // "zanfel11111111" first
        const QString drawn = mFolder + QStringLiteral("/zanfel11111111.doc");
        const QString picture = mFolder + QStringLiteral("/temp.bmp");
        const QString victimPicture = mBase->filePath(QStringLiteral("victim.png"));
        {
            QFile f(victimPicture);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the user's own picture");
        }
        QVERIFY(QFile::link(mVictim, drawn));
        QVERIFY(QFile::link(victimPicture, picture));

        const QString path = run();
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reported()));
        QVERIFY(QFileInfo(path).fileName().startsWith(QStringLiteral("zanfel")));
        QVERIFY(path != drawn);
        QVERIFY(probe::docText(QStringLiteral("antiword"), path).contains(QStringLiteral("0005")));
        QVERIFY(!mForm->preview()->Picture1->picture().isNull());
        QCOMPARE(readAll(mVictim), ticketTemplateBytes());
        QCOMPARE(readAll(victimPicture), QByteArray("the user's own picture"));
        QVERIFY(isLink(drawn) && isLink(picture));
        // Beside what was planted, only the result: no picture file, no lock.
        QStringList expected = {QStringLiteral("temp.bmp"), QFileInfo(drawn).fileName(),
                                QFileInfo(path).fileName()};
        expected.sort();
        QCOMPARE(QDir(mFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                             QDir::NoDotAndDotDot,
                                         QDir::Name),
                 expected);
    }
};

QTEST_MAIN(TestTempFiles)
#include "test_temp_files.moc"
