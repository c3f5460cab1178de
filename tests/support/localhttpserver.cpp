#include "localhttpserver.h"

#include <QTcpSocket>

namespace {
// Enough for any request line and headers a test sends; more is refused.
constexpr qsizetype maximumRequestHeaderSize = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    static const QHash<int, QByteArray> phrases = {{200, "OK"},
                                                   {404, "Not Found"},
                                                   {500, "Internal Server Error"},
                                                   {503, "Service Unavailable"}};
    return phrases.value(status, "Status");
}
} // namespace

LocalHttpServer::LocalHttpServer()
{
    server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server, &QTcpServer::newConnection, [this] { accept(); });
}

// Every connection is a child of the listener and goes with it.
LocalHttpServer::~LocalHttpServer()
{
    for (QTcpSocket* socket : silentConnections)
        socket->abort();
}

QString LocalHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
}

QString LocalHttpServer::refusingUrl(const QString& path)
{
    // A port just given up by a listener is not taken again at once.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
}

void LocalHttpServer::accept()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        pending.insert(socket, {});
        QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { readRequest(socket); });
    }
}

void LocalHttpServer::readRequest(QTcpSocket* socket)
{
    if (!pending.contains(socket))
        return;
    QByteArray& request = pending[socket];
    request += socket->readAll();
    const qsizetype headerEnd = request.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        if (request.size() > maximumRequestHeaderSize) {
            pending.remove(socket);
            socket->abort();
            socket->deleteLater();
        }
        return;
    }
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString path =
        requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
    pending.remove(socket);
    counts[path] += 1;

    const Response response = responses.value(
        path, {404, "<html><body><h1>404 Not Found</h1></body></html>", "text/html"});
    switch (response.behaviour) {
    case Behaviour::NeverAnswer:
        silentConnections.append(socket);
        return;
    case Behaviour::CloseSilently:
        socket->abort();
        socket->deleteLater();
        return;
    case Behaviour::Answer:
        break;
    }
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                        reasonPhrase(response.status) + "\r\n";
    answer += "Content-Type: " + response.contentType + "\r\n";
    answer += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    answer += "Connection: close\r\n\r\n";
    answer += response.body;
    socket->write(answer);
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}
