#include "cli/Commands.h"
#include "app/Tr.h"
#include "cli/CommandContext.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace cli {
const QCommandLineOption JsonOption(QStringLiteral("json"));
const QCommandLineOption TimeoutOption(QStringLiteral("timeout"), QString(), Parcelio::tr("秒"));
const QCommandLineOption HelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption CompanyOption(QStringLiteral("company"), QString(), Parcelio::tr("公司"));
const QCommandLineOption IdOption(QStringLiteral("id"), QString(), Parcelio::tr("编号"));
const QCommandLineOption ForceOption(QStringLiteral("force"));
const QCommandLineOption YesOption(QStringLiteral("yes"));
// More pasted numbers than this spend the service's quota only when confirmed.
const QCommandLineOption PhoneOption(QStringLiteral("phone"), QString(), QStringLiteral("手机尾号"));
const QCommandLineOption ArchivedOption(QStringLiteral("archived"));
} // namespace cli

using namespace cli;

namespace {
int runCommandOnce(const QStringList &arguments)
{
    Context c;
    c.name = arguments.value(0);
    if (c.name == QLatin1String("help")) {
        const QString topic = arguments.value(1);
        if (arguments.size() > 2 || (!topic.isEmpty() && !isCommandName(topic)))
            return fail({CommandStatus::Usage,
                         Parcelio::tr("没有这个命令: ") + arguments.mid(1).join(QLatin1Char(' '))});
        out(topic.isEmpty() ? commandsHelp() : commandHelp(topic));
        return CommandStatus::Ok;
    }
    QList<QCommandLineOption> options{JsonOption, TimeoutOption, HelpOption};
    if (c.name == QLatin1String("query") || c.name == QLatin1String("add"))
        options << CompanyOption;
    const bool marks = c.name == QLatin1String("picked") || c.name == QLatin1String("archive") ||
                       c.name == QLatin1String("unarchive");
    if (c.name == QLatin1String("query") || c.name == QLatin1String("remove") ||
        c.name == QLatin1String("code") || marks)
        options << IdOption;
    if (c.name == QLatin1String("list"))
        options << ArchivedOption;
    if (c.name == QLatin1String("add"))
        options << ForceOption << YesOption;
    if (c.name == QLatin1String("add") || c.name == QLatin1String("query"))
        options << PhoneOption;
    c.parser.addOptions(options);
    // The program's name first, as QCommandLineParser expects.
    if (!c.parser.parse(QStringList{QStringLiteral("parcelio")} + arguments.mid(1)))
        return fail({CommandStatus::Usage,
                     c.parser.errorText() + QStringLiteral(" (parcelio help ") + c.name + QLatin1Char(')')});
    if (c.parser.isSet(HelpOption)) {
        out(commandHelp(c.name));
        return CommandStatus::Ok;
    }
    c.json = c.parser.isSet(JsonOption);
    if (c.parser.isSet(TimeoutOption)) {
        bool ok = false;
        const double seconds = c.parser.value(TimeoutOption).toDouble(&ok);
        // "nan" and "inf" read as numbers too: only a finite span is one.
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 3600)
            return fail({CommandStatus::Usage, Parcelio::tr("--timeout 要在 0 到 3600 秒之间")});
        c.limitMs = qMax(1, int(seconds * 1000));
    }
    if (auto refused = openBook(c))
        return fail(*refused);
    if (c.name == QLatin1String("list"))
        return list(c);
    if (c.name == QLatin1String("query"))
        return query(c);
    if (c.name == QLatin1String("add"))
        return add(c);
    if (c.name == QLatin1String("remove"))
        return remove(c);
    if (c.name == QLatin1String("code"))
        return code(c);
    if (marks)
        return mark(c);
    return refresh(c);
}
} // namespace

int runCommand(const QStringList &arguments)
{
    const int status = runCommandOnce(arguments);
    // Output that never arrived (a full disk, a closed pipe) is no success:
    // a script would take the missing list for an empty one.
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (!flushed || std::ferror(stdout)) {
        QString why = Parcelio::tr("输出无法写入");
        if (error != 0)
            why += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
        std::fputs(("parcelio: " + why + QLatin1Char('\n')).toUtf8().constData(), stderr);
        return status == CommandStatus::Ok || status == CommandStatus::NoNews
                   ? int(CommandStatus::OutputFailed)
                   : status;
    }
    return status;
}
