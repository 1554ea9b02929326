// Export of the progress list to a text file the user names.
#include "app/Form1.h"

#include <QSaveFile>
#include <QStringEncoder>

namespace {
const QString Separator = QStringLiteral("   ");
} // namespace

QByteArray exportBytes(const QString &text)
{
    // Stateless, so one encoder serves every call.
    static QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString SetStringFixedLength(const QString &text, int width)
{
    // Only blanks are cut, as the list's cells never hold other spacing
    // that should go.
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    QString out = text.mid(begin, end - begin);
    if (out.isEmpty() || width <= 0)
        return out;
    const qsizetype bytes = exportBytes(out).size();
    if (bytes < width)
        out += QString(width - bytes, QLatin1Char(' '));
    return out;
}

QString exportLine(const QStringList &cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += Separator;
        line += i == 0 ? SetStringFixedLength(cells.at(0), 8) : cells.at(i);
    }
    return line + QStringLiteral("\r\n");
}

bool Form1::ExportListViewContent(QTreeWidget *list, const QString &path)
{
    const int rows = list->topLevelItemCount();
    if (rows == 0)
        return false;
    const int columns = list->columnCount();
    QString text;
    QStringList cells;
    for (int r = 0; r < rows; ++r) {
        const QTreeWidgetItem *item = list->topLevelItem(r);
        cells.clear();
        for (int c = 0; c < columns; ++c)
            cells << item->text(c);
        text += exportLine(cells);
    }
    // Written beside the target and moved over it only when complete: a
    // failed export leaves no partial file, and an existing one untouched.
    const QByteArray bytes = exportBytes(text);
    if (bytes.isEmpty())
        return false; // no encoder for the export text: nothing to claim
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void Form1::exportProgress()
{
    if (ListView1->topLevelItemCount() == 0) {
        msg(QStringLiteral("没有可导出的数据!"));
        return;
    }
    const QString path = platform.fileDialog
                             ? platform.fileDialog->saveFileName(this, QStringLiteral("(TXT文本)|*.txt"))
                             : QString();
    if (path.isEmpty()) {
        setStatus(QStringLiteral("已取消保存"));
        return;
    }
    if (ExportListViewContent(ListView1, path)) {
        msg(QStringLiteral("成功导出全部数据!"));
        setStatus(QStringLiteral("成功导出全部数据.."));
    } else {
        msg(QStringLiteral("没有可导出的数据!"));
        setStatus(QStringLiteral("没有可导出的数据.."));
    }
}
