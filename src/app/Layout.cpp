#include "app/Layout.h"
#include "app/BakedIcons.h"

#include <QEvent>

namespace layout {

namespace {
// A label whose screen has another pixel ratio than its pixmap paints a
// smoothly scaled copy, kept beside the pixmap from its first paint on. The
// 1x icon is that copy, made at build time: a screen of ratio 1 shows the
// same pixels without the 2x image. Any other ratio keeps the 2x image.
QPixmap iconAt(const char *name, qreal ratio)
{
    return QPixmap::fromImage(bakedIcon(name, ratio == 1 ? 1 : 2));
}

// Gives the label the icon for its new screen when the window moves to one
// of another pixel ratio: the 1x icon would be drawn blurred on a 2x screen.
class IconKeeper : public QObject {
public:
    IconKeeper(QLabel *label, const char *name) : QObject(label), name(name)
    {
        label->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
            || e->type() == QEvent::DevicePixelRatioChange
#endif
        ) {
            auto *label = static_cast<QLabel *>(watched);
            const qreal ratio = label->devicePixelRatio();
            if ((ratio == 1) != (label->pixmap().devicePixelRatio() == 1))
                label->setPixmap(iconAt(name, ratio));
        }
        return false;
    }

private:
    const char *name;
};
} // namespace

void showIcon(QLabel *label, const char *name)
{
    label->setPixmap(iconAt(name, label->devicePixelRatio()));
    new IconKeeper(label, name);
}

QFont yahei(double points, bool bold)
{
    QFont f(QStringLiteral("微软雅黑"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

} // namespace layout
