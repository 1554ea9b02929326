#include "net/Download.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <utility>

std::unique_ptr<QNetworkAccessManager> newNetworkManager()
{
    auto net = std::make_unique<QNetworkAccessManager>();
    net->setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
    return net;
}

bool redirectRefused(const QNetworkReply *reply)
{
    return reply->error() == QNetworkReply::InsecureRedirectError ||
           reply->error() == QNetworkReply::TooManyRedirectsError;
}

BoundedBody::BoundedBody(QNetworkReply *reply_, qint64 maxBytes_) : reply(reply_), maxBytes(maxBytes_)
{
    onData = QObject::connect(reply, &QNetworkReply::readyRead, reply, [this] { read(); });
    onHeaders = QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes)
            refuse();
    });
}

BoundedBody::~BoundedBody()
{
    QObject::disconnect(onData);
    QObject::disconnect(onHeaders);
}

void BoundedBody::read()
{
    // An abandoned reply is closed: nothing more to read.
    if (over || !reply->isOpen())
        return;
    // No more than is there: read(n) makes room for all of n first.
    body += reply->read(qMin(reply->bytesAvailable(), maxBytes + 1 - body.size()));
    if (body.size() > maxBytes)
        refuse();
}

void BoundedBody::refuse()
{
    if (over)
        return;
    over = true;
    body = QByteArray();
    reply->abort();
}

QByteArray BoundedBody::take()
{
    read();
    return over ? QByteArray() : std::exchange(body, QByteArray());
}
