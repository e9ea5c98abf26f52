// mkpics: draws every image and flag of the scene.
//   mkpics --pics <dir> --flags <dir> [--sheet <file.png>]
// Output is deterministic: the same program writes the same bytes.
#include "paint.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSet>
#include <QStringList>
#include <cstdio>

namespace {

bool opaque(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

bool writePng(const QImage &src, const QString &path)
{
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    if (opaque(img))
        img = img.convertToFormat(QImage::Format_RGB32);
    QImageWriter writer(path, "png");
    writer.setQuality(0);  // PNG: quality 0 is the strongest compression
    return writer.write(img);
}

void usage()
{
    std::fprintf(stderr, "usage: mkpics --pics <dir> --flags <dir> [--sheet <file.png>]\n");
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QString picsDir, flagsDir, sheetFile;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (i + 1 >= args.size()) {
            usage();
            return 2;
        }
        if (a == QLatin1String("--pics"))
            picsDir = args.at(++i);
        else if (a == QLatin1String("--flags"))
            flagsDir = args.at(++i);
        else if (a == QLatin1String("--sheet"))
            sheetFile = args.at(++i);
        else {
            usage();
            return 2;
        }
    }
    if (picsDir.isEmpty() || flagsDir.isEmpty()) {
        usage();
        return 2;
    }

    std::vector<Picture> pics;
    addFrames(pics);
    addIcons(pics);
    addSigns(pics);
    addFlags(pics);

    QSet<QString> seen;
    std::vector<QImage> images;
    int failures = 0;
    for (const Picture &pic : pics) {
        const QString key = pic.dir + QLatin1Char('/') + pic.name;
        if (seen.contains(key)) {
            std::fprintf(stderr, "duplicate image %s\n", qPrintable(key));
            ++failures;
        }
        seen.insert(key);
        const QImage img = pic.make();
        if (img.size() != pic.size) {
            std::fprintf(stderr, "%s: drawn %dx%d, expected %dx%d\n", qPrintable(key),
                         img.width(), img.height(), pic.size.width(), pic.size.height());
            ++failures;
        }
        const QString dir = pic.dir == QLatin1String("flags") ? flagsDir : picsDir;
        QDir().mkpath(dir);
        if (!writePng(img, dir + QLatin1Char('/') + pic.name)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(key));
            ++failures;
        }
        images.push_back(img);
    }
    std::printf("mkpics: %zu images written\n", pics.size());

    if (!sheetFile.isEmpty()) {
        // Long sheets are cut into pages of at most 800 lines: name.png, name-2.png, ...
        const QImage sheet = makeContactSheet(pics, images);
        const int pageHeight = 800;
        for (int page = 0; page * pageHeight < sheet.height(); ++page) {
            QString file = sheetFile;
            if (page > 0)
                file.insert(file.endsWith(QLatin1String(".png")) ? file.size() - 4 : file.size(),
                            QStringLiteral("-%1").arg(page + 1));
            const QImage part = sheet.copy(0, page * pageHeight, sheet.width(),
                                           qMin(pageHeight, sheet.height() - page * pageHeight));
            if (!part.save(file, "png")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                ++failures;
            }
        }
    }
    return failures ? 1 : 0;
}
