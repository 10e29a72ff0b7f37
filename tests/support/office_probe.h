#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Looks at documents and processes from outside the Word layer, so tests do not take the
// layer's word for its own effects.
namespace probe {

// The office's program folder, as the build found it.
QString officeProgramFolder();
// The office by itself, headless, on a fresh profile made in profileFolder: what it printed.
QString officeAlone(const QString& profileFolder, const QStringList& arguments,
                    int waitMs = 120000);
// The text of a .doc as antiword or catdoc reads it ("antiword" or "catdoc").
QString docText(const QString& reader, const QString& path);
// How many pages the office lays the document out on (a PDF conversion in its own office).
int pageCount(const QString& path);
// Office processes whose parent is the given process.
QList<qint64> officeChildrenOf(qint64 parentPid);
bool processAlive(qint64 pid);
// What a tool wrote on its standard output; empty when it failed or took over three minutes.
QByteArray output(const QString& program, const QStringList& args);
// How often needle occurs in haystack.
int occurrences(const QString& haystack, const QString& needle);
// The ticket numbers in a document's text, in reading order: four or five digits on their own,
// not part of an amount.
QList<int> ticketNumbers(const QString& text);

} // namespace probe
