// Export of the progress list to a text file the user names.
#include "app/Form1.h"
#include "app/Tr.h"
#include "book/ExportText.h"

#include <QSaveFile>

bool Form1::ExportListViewContent(QTreeWidget *list, const QString &path, QString *why)
{
    auto failed = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    const int rows = list->topLevelItemCount();
    if (rows == 0)
        return failed(Parcelio::tr("没有可导出的数据"));
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
        return failed(QStringLiteral("没有 GB18030 编码器")); // nothing to claim
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(reason);
    }
    return file.commit() || failed(file.errorString());
}

void Form1::exportProgress()
{
    if (ListView1->topLevelItemCount() == 0) {
        msg(Parcelio::tr("没有可导出的数据!"));
        return;
    }
    const QString path = platform.fileDialog
                             ? platform.fileDialog->saveFileName(this, Parcelio::tr("(TXT文本)|*.txt"))
                             : QString();
    if (path.isEmpty()) {
        setStatus(Parcelio::tr("已取消保存"));
        return;
    }
    QString why;
    if (ExportListViewContent(ListView1, path, &why)) {
        msg(Parcelio::tr("成功导出全部数据!"));
        setStatus(Parcelio::tr("成功导出全部数据.."));
    } else {
        // The list was not empty: what failed is the writing, and the user
        // is told so with its reason.
        msg(Parcelio::tr("导出失败! ") + why);
        setStatus(Parcelio::tr("导出失败.."));
    }
}
