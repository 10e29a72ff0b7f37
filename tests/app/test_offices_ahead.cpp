#include "offices_ahead.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

// A window left unused holds one office; the person's first turn to it asks for the second.
class TestOfficesAhead : public QObject
{
    Q_OBJECT

private slots:
    void theSecondOfficeWaitsForThePerson()
    {
        QWidget window;
        auto* field = new QLineEdit(&window);
        new QVBoxLayout(&window);
        window.layout()->addWidget(field);
        QWidget elsewhere;
        QList<int> asked;
        const OfficesAhead offices(window, [&](int count) { asked << count; });

        window.show();
        QTRY_COMPARE(asked, QList<int>{1});
        // Another window's events are not the person turning to this one.
        QTest::keyClick(&elsewhere, Qt::Key_A);
        QCOMPARE(asked, QList<int>{1});

        QTest::keyClick(field, Qt::Key_A);
        QCOMPARE(asked, (QList<int>{1, 2}));
        QTest::keyClick(field, Qt::Key_B);
        QCOMPARE(asked.size(), 2);

        // Shown again after a run, both are wanted at once.
        window.hide();
        window.show();
        QTRY_COMPARE(asked, (QList<int>{1, 2, 2}));
    }
};

QTEST_MAIN(TestOfficesAhead)
#include "test_offices_ahead.moc"
