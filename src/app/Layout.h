#pragma once
// What every panel's construction uses: named controls, the program's font,
// sizes in twips and the icons drawn from their SVG resources.
#include "app/Widgets.h"

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <utility>

// Sizes are designed in twips; 15 make one pixel.
constexpr int twips(int tw)
{
    return tw / 15;
}

namespace layout {

inline QRect tw(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

// Shows one of the icons drawn at build time (app/BakedIcons.h) on the
// label, at the pixel ratio of the label's screen.
void showIcon(QLabel *label, const char *name);
QFont yahei(double points, bool bold = false);

template <typename T, typename... Args>
T *named(QWidget *parent, const QString &name, Args &&...args)
{
    auto *w = new T(std::forward<Args>(args)..., parent);
    w->setObjectName(name);
    return w;
}

// named, at its place: the constructor's own arguments come after the place.
template <typename T, typename... Args>
T *placed(QWidget *parent, const QString &name, QRect geometry, Args &&...args)
{
    T *w = named<T>(parent, name, std::forward<Args>(args)...);
    w->setGeometry(geometry);
    return w;
}

inline Label *label(QWidget *parent, const QString &name, const QString &text, QRect geo)
{
    auto *l = named<Label>(parent, name, text);
    l->setGeometry(geo);
    return l;
}

// The object name of an element of a control array: "Command1(9)".
inline QString idx(const char *base, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(i);
}

} // namespace layout
