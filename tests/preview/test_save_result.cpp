#include "save_result.h"
#include "scripted_seams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kDocument("generated tickets \0\1\2 bytes", 26);

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestSaveResult : public QObject
{
    Q_OBJECT

private slots:
    void save_data();
    void save();
    void savingTwiceAsksTheSecondTime();
    void pdf_data();
    void pdf();
};

void TestSaveResult::save_data()
{
    QTest::addColumn<QString>("chosen");      // file name in the target folder; empty: cancel
    QTest::addColumn<QByteArray>("existing"); // what is there before; null: nothing
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("sourcePresent");
    QTest::addColumn<QList<MsgAnswer>>("answers");
    QTest::addColumn<QByteArray>("after");  // the target afterwards
    QTest::addColumn<QStringList>("boxes"); // the texts shown, reports by their title

    const QString ask = QStringLiteral("question");
    const QString done = QStringLiteral("Done.");
    const QString report = QStringLiteral("Application Error");
    const QByteArray missing("<missing>");
    const QByteArray old("old contents");

    QTest::newRow("cancel writes nothing") << QString() << QByteArray() << false << true
                                           << QList<MsgAnswer>() << missing << QStringList{done};
    QTest::newRow("free name is written")
        << QStringLiteral("tickets.doc") << QByteArray() << false << true << QList<MsgAnswer>()
        << kDocument << QStringList{done};
    QTest::newRow("existing, No keeps it")
        << QStringLiteral("tickets.doc") << old << false << true << QList<MsgAnswer>{MsgAnswer::No}
        << old << QStringList{ask, done};
    QTest::newRow("existing, Yes replaces it")
        << QStringLiteral("tickets.doc") << old << false << true << QList<MsgAnswer>{MsgAnswer::Yes}
        << kDocument << QStringList{ask, done};
    QTest::newRow("name without extension is kept as typed")
        << QStringLiteral("tickets") << QByteArray() << false << true << QList<MsgAnswer>()
        << kDocument << QStringList{done};
    QTest::newRow("read-only target is reported and unchanged")
        << QStringLiteral("tickets.doc") << old << true << true << QList<MsgAnswer>{MsgAnswer::Yes}
        << old << QStringList{ask, report, done};
    QTest::newRow("missing document is reported, old target kept")
        << QStringLiteral("tickets.doc") << old << false << false
        << QList<MsgAnswer>{MsgAnswer::Yes} << old << QStringList{ask, report, done};
}

void TestSaveResult::save()
{
    QFETCH(QString, chosen);
    QFETCH(QByteArray, existing);
    QFETCH(bool, readOnly);
    QFETCH(bool, sourcePresent);
    QFETCH(QList<MsgAnswer>, answers);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, boxes);

    ScriptedSeams seams;
    QTemporaryDir temp;
    QTemporaryDir target;
    const QString source = temp.filePath(QStringLiteral("zanfel12345678.doc"));
    if (sourcePresent) {
        write(source, kDocument);
    }
    const QString path = chosen.isEmpty() ? QString() : target.filePath(chosen);
    if (!existing.isNull()) {
        write(path, existing);
        if (readOnly) {
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        }
    }
    if (!path.isEmpty()) {
        seams.savePaths = {path};
    }
    seams.answers = answers;

    SaveResultDocument(nullptr, source);

    QStringList shown;
    for (const auto& box : seams.messages) {
        if (box.title == QStringLiteral("Application Error")) {
            shown << box.title;
            QVERIFY2(box.text.contains(
                         QStringLiteral("in Tombolix2021/08/31.Form2.PushButton6_Click at line")),
                     qPrintable(box.text));
        } else if (box.style == MsgStyle::YesNo) {
            shown << QStringLiteral("question");
            QCOMPARE(box.text, QStringLiteral("Are you sure you wish to overwrite ") + path +
                                   QStringLiteral(" ?"));
            QCOMPARE(box.title, QStringLiteral("Ticketwright"));
        } else {
            shown << box.text;
            QCOMPARE(box.title, QStringLiteral("Ticketwright"));
            QCOMPARE(box.style, MsgStyle::Ok);
        }
    }
    QCOMPARE(shown, boxes);
    if (!path.isEmpty()) {
        QCOMPARE(read(path), after);
    }
    // Nothing else is left beside the target: no temporary copy, no ".doc" added.
    const QStringList expected =
        existing.isNull() && after == "<missing>" ? QStringList() : QStringList{chosen};
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), expected);
    // The generated document stays where it is.
    QCOMPARE(QFile::exists(source), sourcePresent);
}

void TestSaveResult::savingTwiceAsksTheSecondTime()
{
    ScriptedSeams seams;
    QTemporaryDir temp;
    const QString source = temp.filePath(QStringLiteral("zanfel00000001.doc"));
    write(source, kDocument);
    const QString path = temp.filePath(QStringLiteral("saved.doc"));
    seams.savePaths = {path, path};

    SaveResultDocument(nullptr, source);
    SaveResultDocument(nullptr, source);

    QCOMPARE(seams.messages.size(), 3);
    QCOMPARE(seams.messages[0].text, QStringLiteral("Done."));
    QCOMPARE(seams.messages[1].style, MsgStyle::YesNo);
    QCOMPARE(seams.messages[2].text, QStringLiteral("Done."));
    QCOMPARE(read(path), kDocument);
}

void TestSaveResult::pdf_data()
{
    QTest::addColumn<QString>("chosen");      // file name in the target folder
    QTest::addColumn<QString>("filter");      // the filter chosen; empty: the first one
    QTest::addColumn<QByteArray>("existing"); // what is there before; null: nothing
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("writerFails");
    QTest::addColumn<QByteArray>("after");  // the target afterwards
    QTest::addColumn<QStringList>("boxes"); // texts shown; reports by their title

    const QString pdf = QStringLiteral("PDF Files (*.pdf)");
    const QString done = QStringLiteral("Done.");
    const QString report = QStringLiteral("Application Error");
    const QByteArray old("old contents");
    const QByteArray written("%PDF of zanfel12345678.doc");

    QTest::newRow("PDF filter, name kept as typed")
        << QStringLiteral("tickets") << pdf << QByteArray() << false << false << written
        << QStringList{done};
    QTest::newRow("name ending in .pdf under the Word filter")
        << QStringLiteral("tickets.PDF") << QString() << QByteArray() << false << false << written
        << QStringList{done};
    QTest::newRow("Word filter and .doc: a byte copy")
        << QStringLiteral("tickets.doc") << QString() << QByteArray() << false << false << kDocument
        << QStringList{done};
    QTest::newRow("existing, Yes replaces it")
        << QStringLiteral("tickets.pdf") << pdf << old << false << false << written
        << QStringList{QStringLiteral("question"), done};
    QTest::newRow("read-only target: one report, untouched")
        << QStringLiteral("tickets.pdf") << pdf << old << true << false << old
        << QStringList{QStringLiteral("question"), report, done};
    QTest::newRow("failed PDF: one report, old file kept")
        << QStringLiteral("tickets.pdf") << pdf << old << false << true << old
        << QStringList{QStringLiteral("question"), report, done};
}

void TestSaveResult::pdf()
{
    QFETCH(QString, chosen);
    QFETCH(QString, filter);
    QFETCH(QByteArray, existing);
    QFETCH(bool, readOnly);
    QFETCH(bool, writerFails);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, boxes);

    ScriptedSeams seams;
    QTemporaryDir temp;
    QTemporaryDir target;
    const QString source = temp.filePath(QStringLiteral("zanfel12345678.doc"));
    write(source, kDocument);
    const QString path = target.filePath(chosen);
    if (!existing.isNull()) {
        write(path, existing);
        if (readOnly) {
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        }
    }
    seams.savePaths = {path};
    seams.saveFilters = {filter};
    QList<int> reported;
    const PdfWriter writer = [&](const QString& wordFile, const QString& pdfPath,
                                 const std::function<bool(int)>& progress) {
        for (int percent : {-1, 0, 40, 100}) {
            progress(percent);
            reported << percent;
        }
        if (writerFails) {
            throw std::runtime_error("the office ended unexpectedly");
        }
        write(pdfPath, "%PDF of " + QFileInfo(wordFile).fileName().toUtf8());
    };

    SaveResultDocument(nullptr, source, writer);

    QCOMPARE(seams.offeredFilters,
             QStringList{QStringLiteral("Word Files (*.doc);;PDF Files (*.pdf)")});
    QStringList shown;
    for (const auto& box : seams.messages) {
        shown << (box.title == QStringLiteral("Application Error") ? box.title
                  : box.style == MsgStyle::YesNo                   ? QStringLiteral("question")
                                                                   : box.text);
    }
    QCOMPARE(shown, boxes);
    QCOMPARE(read(path), after);
    // The writer ran only for a PDF that could replace what was there.
    QCOMPARE(!reported.isEmpty(), after.startsWith("%PDF") || writerFails);
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{chosen});
}

QTEST_MAIN(TestSaveResult)
#include "test_save_result.moc"
