// The baselines of the start-up benchmark: an empty Qt window of the same
// size, shown and left in the same way as the program; with --label it holds
// one label of Chinese text, which brings in the font machinery every
// window with text pays for.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget w;
    w.resize(763, 537);
    if (app.arguments().contains(QStringLiteral("--label")))
        (new QLabel(QStringLiteral("查询提示：程序检测更新中..."), &w))->move(10, 10);
    w.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
