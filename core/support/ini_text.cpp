#include "ini_text.h"

#include <QStringList>

#include <utility>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The escapes the store writes, and what each stands for; any other backslash is the person's own.
constexpr std::pair<char16_t, char16_t> kEscapes[] = {
    {u'\\', u'\\'}, {u'"', u'"'},  {u'\'', u'\''}, {u'?', u'?'},  {u'a', u'\a'}, {u'b', u'\b'},
    {u'f', u'\f'},  {u'n', u'\n'}, {u'r', u'\r'},  {u't', u'\t'}, {u'v', u'\v'}};

std::optional<QChar> simpleEscape(QChar c)
{
    for (const auto& [written, meant] : kEscapes) {
        if (c == QChar(written)) {
            return QChar(meant);
        }
    }
    return std::nullopt;
}

// Decodes the escape at text[i] ('\\'); appends it to out and returns the index after it, or
// appends the backslash alone when what follows is no escape.
qsizetype takeEscape(QStringView text, qsizetype i, QString& out)
{
    if (i + 1 >= text.size()) {
        out += u'\\';
        return i + 1;
    }
    const QChar next = text[i + 1];
    if (const auto plain = simpleEscape(next)) {
        out += *plain;
        return i + 2;
    }
    const bool hex = next == u'x';
    const int base = hex ? 16 : 8;
    qsizetype end = hex ? i + 2 : i + 1;
    char32_t code = 0;
    bool any = false;
    while (end < text.size() && end - i < 8) {
        bool ok = false;
        const int digit = QString(text[end]).toInt(&ok, base);
        if (!ok || (!hex && text[end] > u'7')) {
            break;
        }
        code = code * static_cast<char32_t>(base) + static_cast<char32_t>(digit);
        any = true;
        ++end;
    }
    if (!any || code > 0xffff) {
        out += u'\\';
        return i + 1;
    }
    out += QChar(static_cast<char16_t>(code));
    return end;
}

// The store's escapes decoded, everything else as it stands.
QString unescapePlain(QStringView inner)
{
    QString out;
    for (qsizetype i = 0; i < inner.size();) {
        if (inner[i] == u'\\') {
            i = takeEscape(inner, i, out);
        } else {
            out += inner[i++];
        }
    }
    return out;
}

// Whether text is one quoted string: a quote at each end and no unescaped quote between.
bool whollyQuoted(QStringView text)
{
    if (text.size() < 2 || text.front() != u'"' || text.back() != u'"') {
        return false;
    }
    for (qsizetype i = 1; i < text.size() - 1; ++i) {
        if (text[i] == u'\\') {
            ++i;
        } else if (text[i] == u'"') {
            return false;
        }
    }
    // A closing quote after a lone backslash is escaped, not closing.
    qsizetype backslashes = 0;
    for (qsizetype i = text.size() - 2; i > 0 && text[i] == u'\\'; --i) {
        ++backslashes;
    }
    return backslashes % 2 == 0;
}

} // namespace

ini_text::Value ini_text::unescape(QStringView raw)
{
    qsizetype from = 0;
    qsizetype to = raw.size();
    while (from < to && isBlank(raw[from])) {
        ++from;
    }
    while (to > from && isBlank(raw[to - 1])) {
        --to;
    }
    const QStringView text = raw.sliced(from, to - from);
    if (text.startsWith(u"@@")) {
        return QLatin1Char('@') + unescapePlain(text.sliced(2));
    }
    if (text.startsWith(u'@')) {
        static const QString kString = QStringLiteral("@String(");
        if (text.startsWith(kString) && text.endsWith(u')')) {
            return unescapePlain(text.sliced(kString.size(), text.size() - kString.size() - 1));
        }
        if (text.contains(u'(') && text.endsWith(u')')) {
            return std::nullopt; // a byte array, a variant: not text
        }
    }
    if (whollyQuoted(text)) {
        return unescapePlain(text.sliced(1, text.size() - 2));
    }
    return unescapePlain(text);
}

QHash<QString, ini_text::Value> ini_text::section(const QString& text, const QString& name)
{
    QHash<QString, Value> values;
    bool inSection = false;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#')) {
            continue;
        }
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            inSection = trimmed.sliced(1, trimmed.size() - 2).trimmed() == name;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0) {
            continue;
        }
        QStringView value = line.sliced(equals + 1);
        if (value.endsWith(u'\r')) {
            value.chop(1);
        }
        values.insert(line.first(equals).trimmed().toString(), unescape(value));
    }
    return values;
}
