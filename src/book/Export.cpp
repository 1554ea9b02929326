// Export of the progress list to a text file the user names.
#include "app/Form1.h"
#include "app/Tr.h"
#include "book/ExportText.h"

#include <QSaveFile>

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
    if (ExportListViewContent(ListView1, path)) {
        msg(Parcelio::tr("成功导出全部数据!"));
        setStatus(Parcelio::tr("成功导出全部数据.."));
    } else {
        msg(Parcelio::tr("没有可导出的数据!"));
        setStatus(Parcelio::tr("没有可导出的数据.."));
    }
}
