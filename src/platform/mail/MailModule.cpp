// The SMTP transfer, in a module of its own: libcurl and the many libraries
// behind it are loaded the first time a news mail goes out, not at start-up.
#include "watch/Mail.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

extern "C" Q_DECL_EXPORT void parcelio_send_mail(const MailTransfer &t, int limitMs, QString &error)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
    using List = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;
    using Mime = std::unique_ptr<curl_mime, decltype(&curl_mime_free)>;
    Easy curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        error = QStringLiteral("libcurl could not start");
        return;
    }
    CURL *c = curl.get();
    List rcpt(curl_slist_append(nullptr, t.recipient.constData()), &curl_slist_free_all);
    List headers(nullptr, &curl_slist_free_all);
    for (const QByteArray &line : t.headerLines)
        headers.reset(curl_slist_append(headers.release(), line.constData()));

    Mime mime(curl_mime_init(c), &curl_mime_free);
    curl_mimepart *part = curl_mime_addpart(mime.get());
    curl_mime_data(part, t.html.constData(), size_t(t.html.size()));
    curl_mime_type(part, "text/html; charset=UTF-8");
    curl_mime_encoder(part, "base64");

    char buffer[CURL_ERROR_SIZE] = {};
    const QByteArray envelopeFrom = "<" + t.from + ">";
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, buffer);
    curl_easy_setopt(c, CURLOPT_URL, t.url.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, envelopeFrom.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
    if (!t.user.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, t.user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, t.password.constData());
    }
    // "try": STARTTLS when the relay offers it, plain SMTP with a relay that
    // does not; "required" sends nothing, password included, in clear.
    const long useSsl = t.tls == MailTls::Required ? long(CURLUSESSL_ALL)
                        : t.tls == MailTls::Off    ? long(CURLUSESSL_NONE)
                                                   : long(CURLUSESSL_TRY);
    curl_easy_setopt(c, CURLOPT_USE_SSL, useSsl);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(limitMs));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);

    const CURLcode result = curl_easy_perform(c);
    if (result != CURLE_OK)
        error = QString::fromUtf8(buffer[0] ? buffer : curl_easy_strerror(result));
}
