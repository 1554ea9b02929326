#pragma once
// Window-free pieces of courier recognition, tested on their own.
#include <QString>
#include <optional>

// The request for one number. The number is percent-encoded so that a sign
// or blank typed into the box cannot change the request.
QString recognitionUrl(const QString &host, const QString &number);

// The part of a recognition reply between the first and the second
// `comCode":"` (or to the end); nothing when the reply has no such marker.
std::optional<QString> recognitionTailOf(const QString &reply);

// The company code at the start of a tail: the text before its first double
// quote, empty when it has none.
QString recognizedCodeOf(const QString &tail);
