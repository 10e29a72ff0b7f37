#pragma once

#include "book_choices.h"

#include <QByteArray>

// The ticket page as a Word 97-2003 template, as the program carries it: laid out for Letter
// (resource ":/CUSTOM/101") or for A4 (":/CUSTOM/102"), the same tickets on either.
QByteArray ticketTemplateBytes(Paper paper = Paper::Letter);
