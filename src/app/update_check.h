// The update check: one plain HTTP GET of the newest version's text from the maker's web site,
// compared with this program's version.
#pragma once

#include <string>

class QWidget;

namespace itn {

class IDialogs;

enum TUpdateResult { urNoUpdate = 0, urUpdateAvailable = 1, urUnknown = 2 };

// The web site: $ITN2BRINLOW_UPDATE_URL when set, else the maker's; without a trailing "/".
std::string UpdateSiteUrl();

// The body of <site>/versions/<Product>.txt, or empty when the request fails in any way
// (no connection, a status other than success, a redirect, more than 10 s, an oversized body).
std::string GetVersionText(const std::string& Product);

// 0 when the site's text equals Current exactly, 1 when it differs, 2 when there is none.
int CompareVersion(const std::string& Product, const std::string& Current);

// Runs the check and tells the user; offers the download page when an update is available.
void CheckForUpdates(const std::string& Product, const std::string& Current, IDialogs& Dialogs,
                     QWidget* Parent);

}  // namespace itn
