#include "tracking/Intake.h"
#include "store/Store.h"
#include "tracking/RecognitionText.h"
#include "tracking/Service.h"

#include <QRegularExpression>

namespace {
const QString LetterDigits = QStringLiteral("[A-Za-z]{1,4}[0-9]{9,20}");

// Labels and punctuation around a number say nothing of the goods.
QString goodsBeside(QString line)
{
    static const QRegularExpression numbers(QStringLiteral("[A-Za-z]{0,4}[0-9]{9,20}"));
    line.remove(numbers);
    static const QRegularExpression noise(QStringLiteral(
        "(快递单号|运单号码|运单号|物流单号|单号|订单号|快递|物流|[:：,，;；。.!！()（）\\[\\]【】|/\\\\-]|\\s)+"));
    line.replace(noise, QStringLiteral(" "));
    line = line.simplified();
    return line.left(20).trimmed();
}
} // namespace

std::optional<CourierRecord> courierByPrefix(Store &store, const QString &number)
{
    // Letters only these couriers print before their digits.
    static const struct {
        const char *prefix, *code;
    } Prefixes[] = {{"SF", "shunfeng"}, {"YT", "yuantong"}, {"JT", "jtexpress"}, {"JD", "jd"}};
    const QString upper = number.toUpper();
    for (const auto &p : Prefixes) {
        const QLatin1String prefix(p.prefix);
        if (upper.size() > prefix.size() && upper.startsWith(prefix) && upper.at(prefix.size()).isLetterOrNumber()) {
            const QList<CourierRecord> found = store.couriersByCode(QString::fromLatin1(p.code));
            if (!found.isEmpty())
                return found.first();
        }
    }
    return std::nullopt;
}

qsizetype pasteRequests(Store &store, const QList<PastedNumber> &numbers, const TrackingService &service,
                        bool courierGiven)
{
    qsizetype requests = numbers.size() * (service.registers() ? 2 : 1);
    if (!courierGiven)
        for (const PastedNumber &p : numbers)
            if (!courierByPrefix(store, p.number))
                ++requests;
    return requests;
}

QList<PastedNumber> pastedNumbers(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("(?<![A-Za-z0-9])(%1|[0-9]{10,20})(?![A-Za-z0-9])").arg(LetterDigits));
    static const QRegularExpression mobile(QStringLiteral("^1[3-9][0-9]{9}$"));
    QList<PastedNumber> out;
    QStringList seen;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\\r\\n]+")));
    for (const QString &line : lines) {
        auto it = number.globalMatch(line);
        while (it.hasNext()) {
            const QString n = it.next().captured(1).toUpper();
            if (mobile.match(n).hasMatch() || seen.contains(n))
                continue;
            seen << n;
            QString goods = goodsBeside(line);
            if (goods.isEmpty())
                goods = n.right(4);
            out.append({n, goods});
        }
    }
    return out;
}

bool isLetterDigitNumber(const QString &text)
{
    static const QRegularExpression whole(QStringLiteral("^%1$").arg(LetterDigits));
    return whole.match(text).hasMatch() && text == text.toUpper();
}

RecognisedCourier courierOfRecognition(Store &store, const QString &reply)
{
    RecognisedCourier out;
    if (reply.contains(QStringLiteral("503"))) {
        out.outcome = RecognisedCourier::Busy;
        return out;
    }
    const std::optional<QString> tail = recognitionTailOf(reply);
    if (!tail)
        return out;
    const QList<CourierRecord> rows = store.couriersByRecognitionCode(recognizedCodeOf(*tail));
    if (!store.error().isEmpty())
        out.outcome = RecognisedCourier::DatabaseFailed;
    else if (rows.isEmpty())
        out.outcome = RecognisedCourier::NotInDirectory;
    else
        out = {RecognisedCourier::Named, rows.first()};
    return out;
}

RecognisedCourier courierOfPasted(Store &store, const std::optional<QString> &recognitionReply,
                                  const TrackingService &service, const QString &number,
                                  const ServiceExchange &exchange)
{
    RecognisedCourier first;
    if (recognitionReply) {
        first = courierOfRecognition(store, *recognitionReply);
        if (first.outcome == RecognisedCourier::Named || first.outcome == RecognisedCourier::DatabaseFailed)
            return first;
    }
    const std::optional<ServiceRequest> request = service.recognitionRequest(number);
    if (!request)
        return first;
    // The first code the table and the directory both know: the service may
    // name couriers this program does not keep.
    for (const QString &code : service.readRecognition(exchange(*request))) {
        const QString directoryCode = directoryCodeOf(service.name(), code);
        if (directoryCode.isEmpty())
            continue;
        const QList<CourierRecord> rows = store.couriersByCode(directoryCode);
        if (!store.error().isEmpty())
            return {RecognisedCourier::DatabaseFailed, {}};
        if (!rows.isEmpty())
            return {RecognisedCourier::Named, rows.first()};
    }
    return first;
}
