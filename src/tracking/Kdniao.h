#pragma once
#include <QByteArray>

// The signed query's DataSign: Base64 of the lower-case hexadecimal MD5 of
// the request data followed by the API key.
QByteArray kdniaoDataSign(const QByteArray &requestData, const QByteArray &apiKey);
