// Writes the program's icon for the desktop's hicolor theme, drawn by the
// same code as the windows' icon: FOLDER/kazami.svg and, for every SIZE,
// FOLDER/SIZExSIZE/kazami.png.

#include "mainwindow/toolbarimages.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool WriteSvg(const QString &path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(24, 24));
    svg.setViewBox(QRect(0, 0, 24, 24));
    svg.setResolution(96);
    svg.setTitle(u"Kazami"_s);
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    PaintApplicationIcon(painter);
    return painter.end();
}

bool WritePng(const QString &folder, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    PaintApplicationIcon(painter);
    painter.end();
    const QString sized = folder + u"/%1x%1"_s.arg(size);
    return QDir().mkpath(sized) && image.save(sized + u"/kazami.png"_s, "PNG");
}

} // namespace

int main(int argc, char *argv[])
{
    // A build machine may have no display; the painter needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 2) {
        std::fputs("usage: kazami_iconwriter FOLDER SIZE...\n", stderr);
        return 2;
    }
    const QString folder = arguments.at(1);
    if (!QDir().mkpath(folder) || !WriteSvg(folder + u"/kazami.svg"_s)) {
        std::fprintf(stderr, "kazami_iconwriter: cannot write %s/kazami.svg\n", qPrintable(folder));
        return 1;
    }
    for (qsizetype at = 2; at < arguments.size(); ++at) {
        bool ok = false;
        const int size = arguments.at(at).toInt(&ok);
        if (!ok || size <= 0 || !WritePng(folder, size)) {
            std::fprintf(stderr, "kazami_iconwriter: cannot write the %s pixel icon\n",
                         qPrintable(arguments.at(at)));
            return 1;
        }
    }
    return 0;
}
