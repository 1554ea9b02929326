#include "app/Layout.h"

#include <QPainter>
#include <QSvgRenderer>

namespace layout {

QPixmap svgPixmap(const QString &resource, QSize size)
{
    QSvgRenderer renderer(resource);
    QPixmap pm(size * 2);
    pm.setDevicePixelRatio(2);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

QFont yahei(double points, bool bold)
{
    QFont f(QStringLiteral("微软雅黑"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

} // namespace layout
