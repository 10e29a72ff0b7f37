#pragma once

#include <QByteArray>
#include <QRandomGenerator>

// The same bytes for the same seed: damaged files that fail the same way on every run.
inline QByteArray randomBytes(quint32 seed, qsizetype size = 4096)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    for (char& c : bytes) {
        c = char(generator.bounded(256));
    }
    return bytes;
}
