#pragma once

#include <QByteArray>

// The ticket page as a Word 97-2003 template, as the program carries it (resource ":/CUSTOM/101").
QByteArray ticketTemplateBytes();
