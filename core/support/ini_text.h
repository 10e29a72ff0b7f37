#pragma once

#include <QHash>
#include <QString>

#include <optional>

// Reads the values of one section of a settings file as the person wrote them. Qt's own reader
// turns an unquoted comma into a list (read as text: empty), drops quotes and unknown escapes,
// and ends a value at a semicolon, so "SPRING GALA, 2026" or "He said "hi"" typed into a file
// by hand would come back changed or blank. Here a value is read as the store writes it (a
// quoted value, escapes such as \" and \\, @String(…)), and everything else stands as written:
// commas, semicolons, quotes inside the text and lone backslashes.
namespace ini_text {

// A key's value, or nothing when it is not text (Qt's @ByteArray(…), @Variant(…) and the like).
using Value = std::optional<QString>;

// The keys of section in a file's text, each with its last value in the file; an empty map for a
// file without that section. Lines starting with ';' or '#' are comments.
QHash<QString, Value> section(const QString& text, const QString& name);

// One value as it stands after '=' on its line.
Value unescape(QStringView raw);

} // namespace ini_text
