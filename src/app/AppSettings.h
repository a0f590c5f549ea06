#pragma once

#include <QString>
#include <QUrl>

namespace quorvel {

/// The per-user configuration folder: LOCALAPPDATA when set, else the XDG data home, plus
/// "Larkmere"; created with its missing parents.
QString ConfigFolder();

/// Where a link of the About page leads: the update check, or the user's web browser.
enum class AboutLinkTarget { UpdateCheck, ExternalBrowser };
/// An address that holds "updates" from its second character on starts the update check.
AboutLinkTarget ClassifyAboutLink(const QUrl& url);

/// The About page: what the program does, its terms, the maker's links and the update link.
QString AboutPageHtml();

} // namespace quorvel
