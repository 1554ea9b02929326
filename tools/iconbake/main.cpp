// Draws the window's icons from their SVG files once, at build time, into a
// C++ source of compressed pixels: the program then shows them without
// loading the SVG engine at every start.
//
//   parcelio-iconbake SVGDIR OUT.cpp NAME:SIZE...
//
// Each icon is drawn at twice its size in logical pixels, for a device
// pixel ratio of 2, exactly as the window used to draw it. Beside it goes
// the icon for a ratio of 1: the 2x image scaled down just as a label on a
// 1x screen scales it before painting, so that such a screen shows the same
// pixels without the 2x image kept.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <cstdio>
#include <utility>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fputs("usage: parcelio-iconbake SVGDIR OUT.cpp NAME:SIZE...\n", stderr);
        return 2;
    }
    const QString svgDir = QString::fromLocal8Bit(argv[1]);
    QByteArray out = "// Made by parcelio-iconbake at build time; not to be edited.\n"
                     "#include \"app/BakedIcons.h\"\n\n#include <QByteArray>\n#include <cstring>\n\n"
                     "namespace {\nstruct Baked {\n    const char *name;\n    int size;\n"
                     "    const unsigned char *twice;\n    int twiceLength;\n"
                     "    const unsigned char *once;\n    int onceLength;\n};\n";
    QByteArray table;
    for (int i = 3; i < argc; ++i) {
        const QList<QByteArray> parts = QByteArray(argv[i]).split(':');
        const int size = parts.value(1).toInt();
        QSvgRenderer renderer(svgDir + QLatin1Char('/') + QString::fromLatin1(parts.value(0)) +
                              QStringLiteral(".svg"));
        if (parts.size() != 2 || size <= 0 || !renderer.isValid()) {
            std::fprintf(stderr, "parcelio-iconbake: cannot draw %s\n", argv[i]);
            return 1;
        }
        QImage image(QSize(size, size) * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            renderer.render(&p, QRectF(0, 0, size, size));
        }
        // QLabel::paintEvent's own call for a pixmap of another ratio than its screen's.
        const QPixmap twice = QPixmap::fromImage(image);
        const QImage once = twice
                                .scaled(twice.size() * (1 / twice.devicePixelRatio()), Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation)
                                .toImage();
        if (once.format() != QImage::Format_ARGB32_Premultiplied || once.size() != QSize(size, size)) {
            std::fprintf(stderr, "parcelio-iconbake: cannot scale %s\n", argv[i]);
            return 1;
        }
        table += "    {\"" + parts[0] + "\", " + QByteArray::number(size);
        for (const auto &[suffix, pixels] :
             {std::pair<const char *, const QImage *>{"Twice", &image}, {"Once", &once}}) {
            const QByteArray packed = qCompress(
                QByteArray(reinterpret_cast<const char *>(pixels->constBits()), pixels->sizeInBytes()), 9);
            out += "const unsigned char " + parts[0] + suffix + "[] = {";
            for (int b = 0; b < packed.size(); ++b)
                out += (b % 20 ? "" : "\n   ") + QByteArray(" ") + QByteArray::number(uchar(packed[b])) + ',';
            out += "\n};\n";
            table += ", " + parts[0] + suffix + ", " + QByteArray::number(packed.size());
        }
        table += "},\n";
    }
    out +=
        "const Baked Icons[] = {\n" + table +
        "};\n} // namespace\n\n"
        "QImage bakedIcon(const char *name, int ratio)\n{\n"
        "    for (const Baked &b : Icons) {\n"
        "        if (std::strcmp(b.name, name) != 0 || (ratio != 1 && ratio != 2))\n            continue;\n"
        "        // The image keeps the unpacked bytes as its pixels: no second copy.\n"
        "        auto *pixels = new QByteArray(ratio == 2 ? qUncompress(b.twice, b.twiceLength)\n"
        "                                                 : qUncompress(b.once, b.onceLength));\n"
        "        const int side = b.size * ratio;\n"
        "        if (pixels->size() != qsizetype(side) * side * 4) {\n"
        "            delete pixels;\n            return QImage();\n        }\n"
        "        QImage image(reinterpret_cast<uchar *>(pixels->data()), side, side, side * 4,\n"
        "                     QImage::Format_ARGB32_Premultiplied,\n"
        "                     [](void *bytes) { delete static_cast<QByteArray *>(bytes); }, pixels);\n"
        "        image.setDevicePixelRatio(ratio);\n        return image;\n    }\n"
        "    return QImage();\n}\n";
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "parcelio-iconbake: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
