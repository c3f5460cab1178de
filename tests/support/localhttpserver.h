#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <memory>

class QTcpSocket;

// A tiny HTTP/1.1 server on 127.0.0.1 for tests that fetch over a real socket. It
// answers from the event loop of the thread that made it, so it serves while the
// code under test waits in a local event loop. Each path has one canned answer;
// unknown paths get 404.
class LocalHttpServer
{
public:
    enum class Behaviour
    {
        Answer,       // status line, headers and body, then close
        NeverAnswer,  // accept the request and keep the connection open in silence
        CloseSilently // close the connection without sending a byte
    };

    struct Response
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/plain; charset=utf-8";
        Behaviour behaviour = Behaviour::Answer;
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    void serve(const QString& path, const Response& response) { responses.insert(path, response); }
    void serve(const QString& path, const QByteArray& body, int status = 200)
    {
        serve(path, Response{status, body});
    }
    // No answer at all: silence, or a connection closed at once.
    void serve(const QString& path, Behaviour behaviour)
    {
        serve(path, Response{200, {}, {}, behaviour});
    }

    QString url(const QString& path) const;
    // How many requests for path arrived (complete request headers).
    int requestCount(const QString& path) const { return counts.value(path); }

    // An address on this machine where nothing listens: connecting is refused.
    static QString refusingUrl(const QString& path = QStringLiteral("/"));

private:
    void accept();
    void readRequest(QTcpSocket* socket);

    QTcpServer server;
    QHash<QString, Response> responses;
    QHash<QString, int> counts;
    QHash<QTcpSocket*, QByteArray> pending;
    QList<QTcpSocket*> silentConnections;
};
