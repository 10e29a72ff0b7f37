#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtTest>

// A file's bytes, or "<unreadable>" when it cannot be read: a comparison then says so.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Writes bytes over path; the calling test fails when they cannot be written whole.
inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}
