// Draws the window's icons from their SVG files once, at build time, into a
// C++ source of compressed pixels: the program then shows them without
// loading the SVG engine at every start.
//
//   parcelio-iconbake SVGDIR OUT.cpp NAME:SIZE...
//
// Each icon is drawn at twice its size in logical pixels, for a device
// pixel ratio of 2, exactly as the window used to draw it.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

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
                     "    const unsigned char *data;\n    int length;\n};\n";
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
        const QByteArray packed =
            qCompress(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()), 9);
        out += "const unsigned char " + parts[0] + "Data[] = {";
        for (int b = 0; b < packed.size(); ++b)
            out += (b % 20 ? "" : "\n   ") + QByteArray(" ") + QByteArray::number(uchar(packed[b])) + ',';
        out += "\n};\n";
        table += "    {\"" + parts[0] + "\", " + QByteArray::number(size) + ", " + parts[0] + "Data, " +
                 QByteArray::number(packed.size()) + "},\n";
    }
    out += "const Baked Icons[] = {\n" + table +
           "};\n} // namespace\n\n"
           "QImage bakedIcon(const char *name)\n{\n"
           "    for (const Baked &b : Icons) {\n"
           "        if (std::strcmp(b.name, name) != 0)\n            continue;\n"
           "        const QByteArray pixels = qUncompress(b.data, b.length);\n"
           "        QImage image(QSize(b.size, b.size) * 2, QImage::Format_ARGB32_Premultiplied);\n"
           "        if (pixels.size() != image.sizeInBytes())\n            return QImage();\n"
           "        std::memcpy(image.bits(), pixels.constData(), size_t(pixels.size()));\n"
           "        image.setDevicePixelRatio(2);\n        return image;\n    }\n"
           "    return QImage();\n}\n";
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "parcelio-iconbake: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
