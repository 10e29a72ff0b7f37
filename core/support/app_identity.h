#pragma once

#include <QString>

// The program's fixed names and addresses, kept in one place.
namespace identity {

inline const QString kProductName = QStringLiteral("Ticketwright");
inline const QString kWebSite = QStringLiteral("https://www.quorvane.com/");
inline const QString kContactPage = QStringLiteral("https://www.quorvane.com/contact");
inline const QString kSupportAddress = QStringLiteral("support@quorvane.com");

// Settings store address: application key and section.
inline const QString kSettingsApplication = QStringLiteral("Quorvane");
inline const QString kSettingsSection = QStringLiteral("Ticketwright");

// Files expected beside the program.
inline const QString kHandCursorFile = QStringLiteral("HAND-M.CUR");
inline const QString kSkinFile = QStringLiteral("x/o.cjs");

// The caption of message boxes that have no title of their own. The shortening rule cuts at
// the last blank; a one-word product name has none, so the whole name is the title.
QString applicationTitle();

// Shortening rule for a product name: cut at the last blank at least once, then while longer
// than 40 characters. A name without a blank is returned whole.
QString shortenTitle(const QString& productName);

// "in Tombolix2021/08/31.<window>.<procedure> "
QString location(const QString& window, const QString& procedure);

} // namespace identity
