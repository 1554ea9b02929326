#include "app/Layout.h"
#include "app/BakedIcons.h"

namespace layout {

QPixmap iconPixmap(const char *name)
{
    return QPixmap::fromImage(bakedIcon(name));
}

QFont yahei(double points, bool bold)
{
    QFont f(QStringLiteral("微软雅黑"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

} // namespace layout
