#pragma once

#include <QString>

class ErrorTrap;

// The name a run saves its document under: "zanfel" and eight digits 1 to 9 drawn from the random
// source, in the temp folder, drawn anew while a file of that name exists, so that no file is ever
// replaced. Each statement reports at its own label.
class ResultNaming
{
public:
    // The free path, claimed so that a later start removes the file should this program be
    // killed; empty (and reported) when no free name was found.
    static QString choose(ErrorTrap& trap);
    static QString drawName();

    static constexpr int kAttempts = 1000;
};
