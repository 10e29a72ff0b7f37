#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace word {

// The office sets each character in the font of its script: Western, Asian or Complex.
enum Script
{
    Western,
    Asian,
    Complex
};

// The text cut where its script changes; blanks, digits and punctuation take the script of the
// text around them.
std::vector<std::pair<Script, QString>> scriptRuns(const QString& text);

} // namespace word
