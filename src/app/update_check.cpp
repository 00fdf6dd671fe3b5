#include "app/update_check.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <cstdlib>

#include "app/dialogs.h"

namespace itn {

namespace {

constexpr int kTimeoutMs = 10000;
constexpr qint64 kMaxBodyBytes = 64 * 1024;  // a version text is a few bytes
constexpr const char* kDefaultSite = "http://www.corvane.com";

}  // namespace

std::string UpdateSiteUrl() {
    const char* forced = std::getenv("ITN2BRINLOW_UPDATE_URL");
    std::string site = forced && *forced ? forced : kDefaultSite;
    while (!site.empty() && site.back() == '/') site.pop_back();
    return site;
}

std::string GetVersionText(const std::string& Product) {
    const QUrl url(QString::fromStdString(UpdateSiteUrl() + "/versions/" + Product + ".txt"));
    if (!url.isValid()) return std::string();

    QNetworkAccessManager client;
    client.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    QNetworkReply* reply = client.get(request);

    // Wait for the answer; the window repaints meanwhile but takes no input.
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 Received, qint64) {
        if (Received > kMaxBodyBytes) reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timeout.start(kTimeoutMs);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    timeout.stop();

    std::string text;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        text = reply->readAll().toStdString();
        if (static_cast<qint64>(text.size()) > kMaxBodyBytes) text.clear();
    }
    delete reply;
    return text;
}

int CompareVersion(const std::string& Product, const std::string& Current) {
    const std::string text = GetVersionText(Product);
    if (text.empty()) return urUnknown;
    return text == Current ? urNoUpdate : urUpdateAvailable;
}

void CheckForUpdates(const std::string& Product, const std::string& Current, IDialogs& Dialogs,
                     QWidget* Parent) {
    switch (CompareVersion(Product, Current)) {
        case urNoUpdate:
            Dialogs.ShowMessage(Parent, "No updates available");
            break;
        case urUpdateAvailable: {
            Dialogs.ShowMessage(Parent, "Update is available");
            if (!Dialogs.Confirm(Parent, "Go to website to download?")) break;
            const QUrl page(QString::fromStdString(UpdateSiteUrl() + "/download.php"));
            if (!Dialogs.OpenUrl(page)) {
                Dialogs.ShowError(Parent, "Cannot open the web page " + page.toString());
            }
            break;
        }
        default:
            Dialogs.ShowMessage(Parent, "Could not determine availability of updates");
            break;
    }
}

}  // namespace itn
