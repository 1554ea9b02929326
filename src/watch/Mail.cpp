#include "watch/Mail.h"
#include "app/Config.h"
#include "app/Tr.h"
#include "platform/Modules.h"
#include "store/SettingValues.h"

#include <QLocale>
#include <QUrl>

namespace {
// The maker's fixed addresses that the ini does not cover.
const QString CustomerService = QStringLiteral("http://kf.tesmar.cn/");
const QString Forum = QStringLiteral("http://bbs.tesmar.cn/");
QString Studio()
{
    return Parcelio::tr("Tesmar软件工作室");
}
const QString ContactQQ = QStringLiteral("800046127");

bool hasLineBreak(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\r' || u == '\n' || u == '\v' || u == '\f' || u == 0 || u == 0x85 || u == 0x2028 ||
            u == 0x2029)
            return true;
    }
    return false;
}

QString relayUrl(const QString &relay)
{
    return relay.contains(QStringLiteral("://")) ? relay : QStringLiteral("smtp://") + relay;
}

} // namespace

QString generalDateTime(const QDateTime &t)
{
    return QLocale::system().toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           t.time().toString(QStringLiteral("H:mm:ss"));
}

QString newsSubject(const QString &goods)
{
    return Parcelio::tr("您的快递【") + goods + Parcelio::tr("】有最新动态 - TesmarParcelio");
}

QString htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QStringLiteral("&#39;"));
}

QString webLinkOnly(const QString &url)
{
    const QUrl u(url.trimmed(), QUrl::StrictMode);
    const QString scheme = u.scheme().toLower();
    if (!u.isValid() || u.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QString();
    return url.trimmed();
}

QString newsBody(const NewsFacts &f, const Config &cfg)
{
    const QString host = htmlEscaped(cfg.makerHost);
    const QString images = QStringLiteral("http://") + host + QStringLiteral("/mail/images/");
    auto whiteLink = [](const QString &href, const QString &text) {
        return QStringLiteral("<a href='") + href +
               QStringLiteral("' target='_blank' style='color:#ffffff;font-size:12px;"
                              "text-decoration:none;'>") +
               text + QStringLiteral("</a>");
    };
    QString b;
    // 1: outer frame and header band
    b += QStringLiteral("<table align='center' width='700' cellspacing='0' cellpadding='0' "
                        "border='0' style='border:1px solid #ccc;background:#ffffff;"
                        "color:#000000;font-size:20px;'><tbody><tr><td>"
                        "<div style='width:670px;background:url(") +
         images + QStringLiteral("head_bg.gif);border-bottom:1px solid #e7e7e7;padding:13px 15px 0;'>");
    // 2
    b += QStringLiteral("<table cellspacing='0' cellpadding='0' border='0' width='670px' "
                        "height='54' style='font:12px Tahoma, Arial, 微软雅黑;'><tbody><tr>"
                        "<td width='240' valign='top'>");
    // 3: logo, then the links cell
    b +=
        QStringLiteral("<a href='") + htmlEscaped(cfg.home) + QStringLiteral("' target='_blank'><img src='") +
        images +
        QStringLiteral("logo.png' height='41' border='0'></a></td>"
                       "<td width='430' align='right' valign='bottom' "
                       "style='color:#ffffff;padding-bottom:7px;'>") +
        whiteLink(QStringLiteral("http://") + host + QStringLiteral("/tui.html"), Parcelio::tr("推广服务 ")) +
        QStringLiteral(" | ") + whiteLink(CustomerService, Parcelio::tr("客服中心 "));
    // 4
    b += QStringLiteral(" | ") + whiteLink(Forum, Parcelio::tr("官方论坛")) +
         QStringLiteral("</td></tr></tbody></table></div><div style='width:600px;margin:0 auto;"
                        "color:#5a5a5a;background:#ffffff;padding:0 50px;margin-bottom:25px;'>"
                        "<div style='line-height:1.5;font-size:13px;margin-bottom:10px;"
                        "color:#000;font-family: 微软雅黑;'>");
    // 5 to 20: the parcel's news
    b += QStringLiteral("<strong style='display:block;margin-bottom:5px;'></strong>"
                        "<p style='line-height:25px;margin:0;border-bottom: 1px dashed #ccc;'>") +
         Parcelio::tr("您的快递") + QStringLiteral("<font color='blue' style='font-weight:bold;'>") +
         Parcelio::tr("【");
    b += htmlEscaped(f.goods);
    b += Parcelio::tr("】（");
    b += htmlEscaped(f.number);
    b += Parcelio::tr("）") + QStringLiteral("</font>") + Parcelio::tr("有了最新动态：") +
         QStringLiteral("</p><p style='line-height:25px;margin:0;"
                        "border-bottom: 1px dashed #ccc;color:red;margin-top:15px;"
                        "font-weight:bold;'>");
    b += htmlEscaped(f.eventTime);
    b += QLatin1Char(' ');
    b += htmlEscaped(f.eventText);
    b += QStringLiteral("</p><p style='line-height:25px;margin:0;border-bottom: 1px dashed #ccc;"
                        "margin-top:10px;'>") +
         Parcelio::tr("当前您的快递约已派送：") + QStringLiteral("<font style='font-weight:bold;color:red;'>");
    b += htmlEscaped(f.transit);
    b += Parcelio::tr("</font>（时间以<font style='font-weight:bold;color:blue;'>");
    b += htmlEscaped(f.company);
    b += QStringLiteral("</font>") + Parcelio::tr("公司接单起计算）") +
         QStringLiteral("</p><p style='line-height:25px;margin:0;"
                        "border-bottom: 1px dashed #ccc;margin-top:10px'>") +
         Parcelio::tr("感谢您使用TesmarParcelio,欢迎您继续支持Tesmar其他产品!") +
         QStringLiteral("</p><p style='line-height:25px;margin:0;"
                        "border-bottom: 1px dashed #ccc;margin-top:15px;'><b><a href='");
    b += htmlEscaped(webLinkOnly(f.noticeUrl));
    b += QStringLiteral("' target='_blank' style='text-decoration: none;color:black;"
                        "margin-top:10px'>");
    b += htmlEscaped(f.noticeCaption);
    // 21: studio, small logo, web address, the date paragraph
    b += QStringLiteral("</a></b></p><p style='line-height:25px;margin:0;margin-top:30px;'>") + Studio() +
         QStringLiteral("</p><p style='float:right;width:50px;height:85px;background:url(") + images +
         QStringLiteral("slogo.png) no-repeat;margin-top:-20px;'></p>"
                        "<p style='line-height:25px;margin:0;'>") +
         host + QStringLiteral("</p><p style='line-height:25px;margin:0;'>");
    // 22
    b += htmlEscaped(f.sent);
    // 23, 24: footer
    b += QStringLiteral("</p></div></div><div style='width:600px;margin:0 auto;"
                        "background:#f9f9f9;border-top:1px solid #ececec;"
                        "padding:20px 50px 30px;'>");
    b += QStringLiteral("<table cellspacing='0' cellpadding='0' border='0' width='600px' "
                        "height='55' style='font-size:12px;color:#919191;'><tbody><tr>"
                        "<td width='460'><p style='line-height:20px;margin:0 0 5px'>") +
         Parcelio::tr("本邮件由TesmarParcelio系统自动发出，请勿回复。") +
         QStringLiteral("</p><p style='line-height:20px;margin:0 0 5px'>") +
         Parcelio::tr("如果您遇到问题或需要定制推广服务，请在右上方反馈或咨询客服QQ:") +
         ContactQQ +
         QStringLiteral("</p></td><td align='right' width='140' valign='bottom'></td></tr>"
                        "</tbody></table></div></td></tr></tbody></table>");
    return b;
}

QByteArray encodedWords(const QString &text)
{
    bool plain = true;
    for (const QChar c : text)
        plain = plain && c.unicode() >= 0x20 && c.unicode() < 0x7f;
    if (plain)
        return text.toLatin1();
    // Words of at most 45 bytes (60 in base64) keep each folded line short;
    // a character is never split between two words.
    QByteArrayList words;
    QByteArray chunk;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, n).toUtf8();
        i += n - 1;
        if (chunk.size() + bytes.size() > 45) {
            words << chunk;
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty())
        words << chunk;
    for (QByteArray &w : words)
        w = "=?UTF-8?B?" + w.toBase64() + "?=";
    return words.join("\r\n ");
}

QString refusedHeaders(const OutgoingMail &m)
{
    if (hasLineBreak(m.recipient) || hasLineBreak(m.subject) || hasLineBreak(m.sender))
        return Parcelio::tr("收件人、标题或发件人含有换行符,邮件未发送");
    // An address stored before the settings panel checked for it.
    if (!isOneAddress(m.recipient) || !isOneAddress(m.sender))
        return Parcelio::tr("收件人或发件人不是一个邮件地址,邮件未发送");
    return QString();
}

MailTls mailTlsOf(const QString &setting)
{
    const QString v = setting.trimmed().toLower();
    if (v == QLatin1String("try"))
        return MailTls::Try;
    if (v == QLatin1String("off"))
        return MailTls::Off;
    return MailTls::Required;
}

MailTls mailTlsFor(const Config &cfg)
{
    if (!cfg.mailTls.trimmed().isEmpty())
        return mailTlsOf(cfg.mailTls);
    return cfg.mailPassword.isEmpty() ? MailTls::Try : MailTls::Required;
}

QString sendMail(const OutgoingMail &m, int limitMs)
{
    using Send = void (*)(const MailTransfer &, int, QString &);
    const auto send = reinterpret_cast<Send>(moduleFunction("parcelio-mail", "parcelio_send_mail"));
    if (!send)
        return Parcelio::tr("找不到邮件模块 libparcelio-mail");
    MailTransfer t;
    t.url = relayUrl(m.relay).toUtf8();
    t.from = m.sender.toUtf8();
    t.user = m.user.toUtf8();
    t.password = m.password.toUtf8();
    t.recipient = m.recipient.toUtf8();
    t.html = m.html.toUtf8();
    t.tls = m.tls;
    t.headerLines = {
        "Date: " + m.date.toString(Qt::RFC2822Date).toLatin1(),
        "From: TesmarParcelio <" + t.from + ">",
        "To: " + t.recipient,
        "Subject: " + encodedWords(m.subject),
    };
    QString error;
    send(t, limitMs, error);
    return error;
}

OutgoingMail newsMail(const Config &cfg, const QString &recipient, const NewsFacts &facts,
                      const QDateTime &sent)
{
    return OutgoingMail{cfg.mailRelay,        cfg.mailUser, cfg.mailPassword,
                        cfg.mailUser,         recipient,    newsSubject(facts.goods),
                        newsBody(facts, cfg), sent,         mailTlsFor(cfg)};
}
