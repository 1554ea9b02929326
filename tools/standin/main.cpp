// parcelio-standin: a local stand-in for the tracking, recognition, version
// and notice services, answering from files in a fixtures directory.

#include "standinserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "parcelio-standin: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("parcelio-standin"));

    StandInConfig config;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Answers Parcelio's online requests on 127.0.0.1."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on; 0 lets the system choose."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption fixturesOption(QStringLiteral("fixtures"),
                                            QStringLiteral("Directory of canned replies."),
                                            QStringLiteral("DIR"), QStringLiteral(PARCELIO_STANDIN_FIXTURES));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("Append one line per request to FILE."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption dateOption(QStringLiteral("date"),
                                        QStringLiteral("Fixed value for the Date header."),
                                        QStringLiteral("HTTP-date"));
    const QCommandLineOption accountOption(QStringLiteral("account"),
                                           QStringLiteral("Accepted account number."), QStringLiteral("ID"),
                                           config.account);
    const QCommandLineOption secretOption(QStringLiteral("secret"), QStringLiteral("Accepted secret."),
                                          QStringLiteral("SECRET"), config.secret);
    const QCommandLineOption keyOption(QStringLiteral("key"), QStringLiteral("Accepted API key."),
                                       QStringLiteral("KEY"), config.key);
    parser.addOptions(
        {portOption, fixturesOption, logOption, dateOption, accountOption, secretOption, keyOption});
    parser.process(app);

    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535)
        return fail(QStringLiteral("--port needs a number from 0 to 65535"));

    const QDir fixtures(parser.value(fixturesOption));
    if (!fixtures.exists())
        return fail(QStringLiteral("fixtures directory %1 does not exist").arg(fixtures.path()));
    config.fixturesDir = fixtures.absolutePath();
    config.account = parser.value(accountOption);
    config.secret = parser.value(secretOption);
    config.key = parser.value(keyOption);

    if (parser.isSet(dateOption)) {
        config.fixedDate = parser.value(dateOption).toLatin1();
        // It goes verbatim into a header line.
        const bool printable =
            !config.fixedDate.isEmpty() && std::all_of(config.fixedDate.cbegin(), config.fixedDate.cend(),
                                                       [](char c) { return c >= 0x20 && c < 0x7f; });
        if (!printable)
            return fail(QStringLiteral("--date must be printable ASCII"));
    }

    StandInServer server(config);
    if (parser.isSet(logOption)) {
        QString error;
        if (!server.openLog(parser.value(logOption), &error))
            return fail(QStringLiteral("cannot open log: %1").arg(error));
    }

    const quint16 bound = server.listen(quint16(port));
    if (bound == 0) {
        fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(port));
        return 1;
    }
    std::printf("listening 127.0.0.1:%u\n", unsigned(bound));
    std::fflush(stdout);
    return app.exec();
}
