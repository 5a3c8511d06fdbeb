#pragma once
// Help pages: the user's own page under $HOME/tarnix wins; otherwise the page
// shipped inside the program, so a new machine still has help.
#include <QString>
#include <QUrl>

#include <string>

namespace tarnix {

// The page of the main window's Help menu.
inline constexpr const char* kMainHelpPage = "TARNIX.html";

// Where `page` is read from: the user's file, else the shipped page; an empty
// URL when neither exists.
QUrl helpPageUrl(const std::string& page);
// Whether the program ships a page of this name.
bool hasShippedHelpPage(const std::string& page);

} // namespace tarnix
