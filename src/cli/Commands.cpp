#include "cli/Commands.h"
#include "app/Tr.h"
#include "cli/CommandContext.h"

#include <array>
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
// More pasted numbers than PasteWithoutAsking spend the service's quota
// only when confirmed.
const QCommandLineOption YesOption(QStringLiteral("yes"));
const QCommandLineOption PhoneOption(QStringLiteral("phone"), QString(), QStringLiteral("手机尾号"));
const QCommandLineOption ArchivedOption(QStringLiteral("archived"));

int help(Context &c);

namespace {
// One command: its name, the options it takes beyond those every command
// takes (--json, --timeout, -h), its handler and its help. Dispatch, the
// option parser and the help all read this table.
struct CommandRow {
    const char *name;
    std::array<const QCommandLineOption *, 4> options;
    int (*run)(Context &c);
    // false: the handler reads its words as given (c.words); no options
    // are parsed and no book is opened.
    bool parsed;
    const char *usage;
    const char *summary;
    const char *details;
};

// Options every command takes are told once, in commandsHelp().
const CommandRow Commands[] = {
    {"list", {&ArchivedOption}, list, true,
     "parcelio list [--archived] [--json]", QT_TRANSLATE_NOOP("Parcelio", "列出全部已保存的快递"),
     QT_TRANSLATE_NOOP(
         "Parcelio",
         "每行一个快递: 编号、单号、物品、快递公司、已记录的进度条数、已记录的状态和最新一条进度。\n"
         "状态后面跟着快递所处的阶段(待取件、异常、已取件), 归档的快递只在 --archived 时列出。\n")},
    {"query", {&CompanyOption, &IdOption, &PhoneOption}, query, true,
     QT_TRANSLATE_NOOP("Parcelio",
                       "parcelio query <单号> [--company <公司>] [--phone <手机尾号>] | --id <编号> [--json]"),
     QT_TRANSLATE_NOOP("Parcelio", "查询一个快递的物流进度"),
     QT_TRANSLATE_NOOP("Parcelio",
                       "与窗口相同的请求和解读; 进度按时间从新到旧列出, 并给出状态和在途时间。\n"
                       "没有 --company 时, 已保存的单号用保存时的快递公司, 其余由单号识别服务判断。\n"
                       "单号已保存时, 其进度条数和进度像在窗口中查询一样记录下来。\n")},
    {"add", {&CompanyOption, &ForceOption, &YesOption, &PhoneOption}, add, true,
     QT_TRANSLATE_NOOP("Parcelio",
                       "parcelio add <单号> <物品> | - [--company <公司>] [--phone <手机尾号>] [--force] [--yes] [--json]"),
     QT_TRANSLATE_NOOP("Parcelio", "保存一个新快递"),
     QT_TRANSLATE_NOOP(
         "Parcelio", "检查与窗口的添加面板相同: 单号只能是字母和数字(字母转为大写), 物品不能为空, 同一单号只保存一次。\n"
                     "没有 --company 时由单号识别服务判断快递公司。保存前先查询一次:\n"
                     "查询服务不认识的单号只有加上 --force 才保存。\n"
                     "--phone: 寄件人或收件人手机号后四位 (顺丰等快递在部分查询服务需要)。\n"
                     "add - 从标准输入读入一段文字(订单页、短信、聊天), 找出其中每个单号, 跳过已保存的,\n"
                     "物品取单号旁边的文字(没有时取单号的后四位), 每个单号打印一行; 至少添加一个时退出状态为 0。\n"
                     "超过 20 个单号时先说明最多要用掉多少次查询, 只有加上 --yes 才继续。\n")},
    {"remove", {&IdOption}, remove, true,
     QT_TRANSLATE_NOOP("Parcelio", "parcelio remove --id <编号> [--json]"),
     QT_TRANSLATE_NOOP("Parcelio", "删除一个已保存的快递"),
     QT_TRANSLATE_NOOP("Parcelio", "快递和它记录的进度一起删除。编号见 parcelio list。\n")},
    {"refresh", {}, refresh, true,
     "parcelio refresh [--json]", QT_TRANSLATE_NOOP("Parcelio", "在后台查询一遍全部未签收的快递"),
     QT_TRANSLATE_NOOP("Parcelio",
                       "与窗口的「立即刷新」相同, 逐条打印有新进展的快递, 并像窗口一样告知新进展:\n"
                       "每条新进展一个桌面通知; 设置中开启了邮件通知时, 再发一封最新动态邮件。不播放提示音。\n"
                       "查询失败的快递逐个列出(编号、单号、原因)。\n"
                       "退出状态: 0 有新进展, 1 没有新进展; 没有新进展且有查询失败时为 4;\n"
                       "没有一个快递到了查询的时候(都在暂缓或未到查询间隔)时为 7。\n")},
    {"code", {&IdOption}, code, true,
     QT_TRANSLATE_NOOP("Parcelio", "parcelio code <短信> | - [--id <编号>] [--json]"),
     QT_TRANSLATE_NOOP("Parcelio", "从取件短信中记下取件码"),
     QT_TRANSLATE_NOOP("Parcelio", "在短信(或 - 时的标准输入)中找出取件码和单号尾号, 记到相符的快递上。\n"
                                   "没有相符的快递, 或有几个相符而没有用 --id 指定时, 什么都不记, 退出状态为 2。\n")},
    {"picked", {&IdOption}, picked, true,
     "parcelio picked --id <编号> [--json]", QT_TRANSLATE_NOOP("Parcelio", "标记一个快递已取件"),
     QT_TRANSLATE_NOOP("Parcelio", "已取件的快递不再在后台查询。\n")},
    {"archive", {&IdOption}, archive, true,
     "parcelio archive --id <编号> [--json]", QT_TRANSLATE_NOOP("Parcelio", "归档一个快递"),
     QT_TRANSLATE_NOOP("Parcelio", "归档的快递不在快递列表、parcelio list 和后台查询中出现; 搜索仍能找到它。\n")},
    {"unarchive", {&IdOption}, unarchive, true,
     "parcelio unarchive --id <编号> [--json]", QT_TRANSLATE_NOOP("Parcelio", "取消归档一个快递"), ""},
    {"help", {}, help, false,
     QT_TRANSLATE_NOOP("Parcelio", "parcelio help [<命令>]"),
     QT_TRANSLATE_NOOP("Parcelio", "显示全部命令或一个命令的用法"), ""},
};

const char *const Common =
    QT_TRANSLATE_NOOP("Parcelio", "每个命令都接受:\n"
                                  "  --json              在标准输出打印一个 JSON 文档\n"
                                  "  --timeout <秒>      每个网络请求最多等待的秒数(默认 20)\n"
                                  "  -h                  显示该命令的用法\n");

const char *const Statuses = QT_TRANSLATE_NOOP("Parcelio", "退出状态:\n"
                                                           "  0  成功\n"
                                                           "  1  refresh: 没有新进展\n"
                                                           "  2  用法错误或输入不被接受(什么都没有改动)\n"
                                                           "  3  查询服务不认识这个单号\n"
                                                           "  4  服务出错、没有应答或回复无法识别\n"
                                                           "  5  数据库无法打开或写入\n"
                                                           "  6  输出无法写入(已做的改动保留)\n"
                                                           "  7  refresh: 没有到查询时候的快递\n");

const CommandRow *commandNamed(const QString &name)
{
    for (const CommandRow &c : Commands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

int runCommandOnce(const QStringList &arguments)
{
    Context c;
    c.name = arguments.value(0);
    const CommandRow *command = commandNamed(c.name);
    if (!command)
        return fail({CommandStatus::Usage, Parcelio::tr("没有这个命令: ") + c.name});
    if (!command->parsed) {
        c.words = arguments.mid(1);
        return command->run(c);
    }
    QList<QCommandLineOption> options{JsonOption, TimeoutOption, HelpOption};
    for (const QCommandLineOption *option : command->options)
        if (option)
            options << *option;
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
    return command->run(c);
}
} // namespace

int help(Context &c)
{
    const QString topic = c.words.value(0);
    if (c.words.size() > 1 || (!topic.isEmpty() && !isCommandName(topic)))
        return fail({CommandStatus::Usage, Parcelio::tr("没有这个命令: ") + c.words.join(QLatin1Char(' '))});
    out(topic.isEmpty() ? commandsHelp() : commandHelp(topic));
    return CommandStatus::Ok;
}
} // namespace cli

using namespace cli;

bool isCommandName(const QString &word)
{
    return commandNamed(word) != nullptr;
}

QString commandsHelp()
{
    QString text = Parcelio::tr("\n命令(不打开窗口, 供终端、脚本和定时任务使用):\n");
    for (const CommandRow &c : Commands)
        text += QStringLiteral("  %1%2\n")
                    .arg(QString::fromUtf8(c.name).leftJustified(10), Parcelio::tr(c.summary));
    text += Parcelio::tr("用 parcelio help <命令> 查看一个命令的用法。\n\n");
    return text + Parcelio::tr(Common) + QLatin1Char('\n') + Parcelio::tr(Statuses);
}

QString commandUsage(const QString &name)
{
    const CommandRow *c = commandNamed(name);
    return c ? Parcelio::tr(c->usage) : QString();
}

QString commandHelp(const QString &name)
{
    const CommandRow *c = commandNamed(name);
    if (!c)
        return QString();
    return Parcelio::tr("用法: %1\n%2\n\n%3\n%4\n%5")
        .arg(Parcelio::tr(c->usage), Parcelio::tr(c->summary), Parcelio::tr(c->details), Parcelio::tr(Common),
             Parcelio::tr(Statuses));
}

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
