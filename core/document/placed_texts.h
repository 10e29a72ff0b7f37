#pragma once

#include <QString>

#include <vector>

// The texts that filling put into a document. Later searches never match them, in whole or in
// part; this record decides without asking the office whether a search could touch one at all.
class PlacedTexts
{
public:
    void add(const QString& text) { mTexts.push_back(text); }
    bool empty() const { return mTexts.empty(); }
    int size() const { return static_cast<int>(mTexts.size()); }

    // Whether a match of search could overlap placed text: only when the two share part of it.
    // Beyond plain ASCII the office's notion of case may differ from ours, so then always.
    bool mayTouch(const QString& search) const;

private:
    std::vector<QString> mTexts;
};
