#pragma once
// The window's icons, drawn from resources/icons/*.svg at build time
// (tools/iconbake): for a device pixel ratio of 2 (twice their size) or of 1
// (the 2x image as a label on a 1x screen scales it). A null image for a
// name that was not baked or another ratio.
#include <QImage>

QImage bakedIcon(const char *name, int ratio);
