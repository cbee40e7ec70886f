// mkicons: writes the application icon and the tray's four state icons into a hicolor icon
// theme folder, as PNG at the theme's usual sizes and as SVG, from the same drawing code the
// tray uses, so that panels and menus that look icons up by name show what the tray shows.
#include "tools/SvgPaintDevice.h"
#include "tray/TrayIconArt.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSaveFile>

#include <cstdio>

using lumora::TrayIconArt;

namespace {

struct Icon
{
    const char *context;
    const char *name;
    TrayIconArt::State state;
};

// The application is shown as the tray shows new mail.
constexpr Icon Icons[] = {
    {"apps", "lumora", TrayIconArt::New},
    {"status", "lumora-normal", TrayIconArt::Normal},
    {"status", "lumora-new", TrayIconArt::New},
    {"status", "lumora-high", TrayIconArt::High},
    {"status", "lumora-suspended", TrayIconArt::Suspended},
};
constexpr int Sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The scalable images use the geometry of this size.
constexpr int SvgSize = 64;

bool write(const QString &path, const QByteArray &data)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkicons THEME-FOLDER\n");
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);
    for (const Icon &icon : Icons) {
        const QString name = QString::fromLatin1(icon.name);
        const QString context = QString::fromLatin1(icon.context);
        for (int size : Sizes) {
            const QString path = QStringLiteral("%1/%2x%2/%3/%4.png").arg(root).arg(size).arg(context, name);
            QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
            if (!TrayIconArt::image(icon.state, size).save(path, "PNG")) {
                std::fprintf(stderr, "mkicons: cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
        SvgPaintDevice svg(SvgSize);
        QPainter painter(&svg);
        TrayIconArt::paint(painter, icon.state, SvgSize);
        painter.end();
        const QString path = QStringLiteral("%1/scalable/%2/%3.svg").arg(root, context, name);
        if (!write(path, svg.document())) {
            std::fprintf(stderr, "mkicons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
