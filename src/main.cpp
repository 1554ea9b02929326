#include "app/Config.h"
#include "app/Form1.h"
#include "platform/RealPlatform.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parcelio"));
    const QString appDir = QCoreApplication::applicationDirPath();

    // --seed FILE: SQL run once when the database is first created (the
    // demo uses it to start with a few sample parcels).
    QString seed;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--seed"));
    if (at >= 0 && at + 1 < args.size())
        seed = args.at(at + 1);

    RealPlatform platform;
    Form1 window(appDir, Config::load(appDir + QStringLiteral("/parcelio.ini")), platform);
    if (!window.load(seed))
        return 1;
    if (QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    // --quit-after-show: leave as soon as the window is up (start-up benchmark).
    if (args.contains(QStringLiteral("--quit-after-show")))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
