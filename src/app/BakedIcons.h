#pragma once
// The window's icons, drawn from resources/icons/*.svg at build time
// (tools/iconbake): twice their size, for a device pixel ratio of 2. A null
// image for a name that was not baked.
#include <QImage>

QImage bakedIcon(const char *name);
