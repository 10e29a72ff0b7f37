#include "script_runs.h"

#include <QList>

#include <optional>

namespace word {

namespace {

// The script the office gives a character; none for blanks, digits and punctuation, which take
// the script of the text around them.
std::optional<Script> scriptOf(char32_t c)
{
    // CJK punctuation and full-width forms are set in the Asian font.
    if ((c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF)) {
        return Asian;
    }
    switch (QChar::script(c)) {
    case QChar::Script_Common:
    case QChar::Script_Inherited:
    case QChar::Script_Unknown:
        return std::nullopt;
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
    case QChar::Script_Yi:
        return Asian;
    case QChar::Script_Arabic:
    case QChar::Script_Hebrew:
    case QChar::Script_Syriac:
    case QChar::Script_Thaana:
    case QChar::Script_Nko:
    case QChar::Script_Devanagari:
    case QChar::Script_Bengali:
    case QChar::Script_Gurmukhi:
    case QChar::Script_Gujarati:
    case QChar::Script_Oriya:
    case QChar::Script_Tamil:
    case QChar::Script_Telugu:
    case QChar::Script_Kannada:
    case QChar::Script_Malayalam:
    case QChar::Script_Sinhala:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Tibetan:
    case QChar::Script_Myanmar:
    case QChar::Script_Khmer:
        return Complex;
    default:
        return Western;
    }
}

} // namespace

std::vector<std::pair<Script, QString>> scriptRuns(const QString& text)
{
    std::vector<std::pair<Script, QString>> runs;
    QString pending; // blanks and the like before the first character with a script
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        const std::optional<Script> script = scriptOf(c);
        if (!script) {
            (runs.empty() ? pending : runs.back().second) += character;
        } else if (runs.empty() || runs.back().first != *script) {
            runs.emplace_back(*script, pending + character);
            pending.clear();
        } else {
            runs.back().second += character;
        }
    }
    if (!pending.isEmpty()) {
        runs.emplace_back(Western, pending);
    }
    return runs;
}

} // namespace word
