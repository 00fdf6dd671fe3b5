// The update check against a small HTTP server on 127.0.0.1 in this process: the three
// results, what the user is told, and the download question.
#include "app/update_check.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "fake_dialogs.h"

namespace {

// Answers every request with one fixed response, then closes the connection.
class TVersionServer : public QObject {
public:
    QByteArray Response;
    QList<QByteArray> Requests;  // request heads as received

    TVersionServer() {
        if (!FServer.listen(QHostAddress::LocalHost, 0)) qFatal("cannot listen on 127.0.0.1");
        connect(&FServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = FServer.nextPendingConnection()) {
                auto head = std::make_shared<QByteArray>();
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
                    head->append(socket->readAll());
                    if (!head->contains("\r\n\r\n")) return;
                    Requests.append(*head);
                    socket->write(Response);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString Site() const { return QString("http://127.0.0.1:%1").arg(FServer.serverPort()); }
    void Use() const { qputenv("ITN2BRINLOW_UPDATE_URL", Site().toUtf8()); }

private:
    QTcpServer FServer;
};

QByteArray Http(const QByteArray& Status, const QByteArray& Body, const QByteArray& Headers = QByteArray()) {
    return "HTTP/1.1 " + Status +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(Body.size()) +
           "\r\nConnection: close\r\n" + Headers + "\r\n" + Body;
}

}  // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT

    QTemporaryDir FSettings;  // the window's settings stay out of the user's folder

private slots:
    void initTestCase() { qputenv("ITN2BRINLOW_SETTINGS_DIR", FSettings.path().toUtf8()); }

    void compareVersion_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<int>("expected");
        QTest::newRow("same version") << Http("200 OK", "1.23") << 0;
        QTest::newRow("same version and a line end") << Http("200 OK", "1.23\r\n") << 1;
        QTest::newRow("newer version") << Http("200 OK", "1.24") << 1;
        QTest::newRow("older version") << Http("200 OK", "1.2") << 1;
        QTest::newRow("not found") << Http("404 Not Found", "1.23") << 2;
        QTest::newRow("server error") << Http("500 Internal Server Error", "1.23") << 2;
        QTest::newRow("redirect") << Http("301 Moved Permanently", "", "Location: /versions/other.txt\r\n")
                                  << 2;
        QTest::newRow("empty body") << Http("200 OK", "") << 2;
        QTest::newRow("oversized body") << Http("200 OK", QByteArray(200000, '1')) << 2;
    }

    void compareVersion() {
        QFETCH(QByteArray, response);
        QFETCH(int, expected);
        TVersionServer server;
        server.Response = response;
        server.Use();
        QCOMPARE(itn::CompareVersion("itn2brinlow", "1.23"), expected);
        // One plain GET of the product's version file; a redirect is not followed.
        QCOMPARE(server.Requests.size(), 1);
        QVERIFY2(server.Requests[0].startsWith("GET /versions/itn2brinlow.txt HTTP/1.1\r\n"),
                 server.Requests[0].constData());
    }

    void notHttp() {
        TVersionServer server;
        server.Response = "hello\r\n";
        server.Use();
        // Qt's client may send the request again after such an answer; the result is the same.
        QCOMPARE(itn::CompareVersion("itn2brinlow", "1.23"), 2);
    }

    void noServer() {
        QString site;
        {
            TVersionServer closed;
            site = closed.Site();
        }
        qputenv("ITN2BRINLOW_UPDATE_URL", site.toUtf8());
        QCOMPARE(itn::GetVersionText("itn2brinlow"), std::string());
        QCOMPARE(itn::CompareVersion("itn2brinlow", "1.23"), 2);
    }

    void menuCommand_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("opensDownloadPage");
        const QStringList update{"message: Update is available", "confirm: Go to website to download?"};
        QTest::newRow("no update") << Http("200 OK", "1.23") << QList<bool>()
                                   << QStringList{"message: No updates available"} << false;
        QTest::newRow("update, download")
            << Http("200 OK", "1.23\r\n") << QList<bool>{true} << update << true;
        QTest::newRow("update, not now") << Http("200 OK", "1.30") << QList<bool>{false} << update << false;
        QTest::newRow("unknown") << Http("404 Not Found", "") << QList<bool>()
                                 << QStringList{"message: Could not determine availability of updates"}
                                 << false;
    }

    void menuCommand() {
        QFETCH(QByteArray, response);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, boxes);
        QFETCH(bool, opensDownloadPage);
        TVersionServer server;
        server.Response = response;
        server.Use();
        TFakeDialogs dialogs;
        dialogs.ConfirmAnswers = answers;
        itn::TForm3 window(dialogs);
        auto* check = window.findChild<QAction*>("Checkwebsiteforupdates1");
        QVERIFY(check);
        check->trigger();
        QCOMPARE(dialogs.Boxes, boxes);
        QCOMPARE(server.Requests.size(), 1);
        QVERIFY(server.Requests[0].startsWith("GET /versions/itn2brinlow.txt "));
        const QList<QUrl> expected =
            opensDownloadPage ? QList<QUrl>{QUrl(server.Site() + "/download.php")} : QList<QUrl>();
        QCOMPARE(dialogs.OpenedUrls, expected);
    }

    void downloadPageThatCannotBeOpened() {
        TVersionServer server;
        server.Response = Http("200 OK", "2.0");
        server.Use();
        TFakeDialogs dialogs;
        dialogs.ConfirmAnswers << true;
        dialogs.OpenUrlSucceeds = false;
        itn::CheckForUpdates("itn2brinlow", "1.23", dialogs, nullptr);
        QCOMPARE(dialogs.Boxes.last(), "error: Cannot open the web page " + server.Site() + "/download.php");
    }
};

QTEST_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
