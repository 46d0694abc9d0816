#include "mainwindow/toolbarimages.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

// Every picture is drawn on a 24 x 24 grid and scaled to the asked size.
using Painter = std::function<void(QPainter &)>;

const QColor Ink(0x33, 0x3b, 0x47);
const QColor Blue(0x2f, 0x6f, 0xd0);
const QColor Red(0xd0, 0x3a, 0x2f);
const QColor Green(0x2e, 0x9a, 0x4f);
const QColor Amber(0xe8, 0xa8, 0x20);
const QColor Paper(0xfb, 0xfb, 0xf7);

QPen Outline(const QColor &color, qreal width = 1.4)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Page(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Paper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 5, r.top()), QPointF(r.right() - 5, r.top() + 5));
    p.drawLine(QPointF(r.right() - 5, r.top() + 5), QPointF(r.right(), r.top() + 5));
}

void Text(QPainter &p, const QRectF &r, const QString &text, const QColor &color, qreal pixels,
          bool bold = true)
{
    QFont font = p.font();
    font.setPixelSize(int(pixels));
    font.setBold(bold);
    p.setFont(font);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

void Arrow(QPainter &p, bool up)
{
    QPolygonF shape;
    shape << QPointF(12, 3) << QPointF(21, 12) << QPointF(15.5, 12) << QPointF(15.5, 21) << QPointF(8.5, 21)
          << QPointF(8.5, 12) << QPointF(3, 12);
    if (!up) {
        for (QPointF &point : shape)
            point.setY(24 - point.y());
    }
    p.setPen(Outline(Blue.darker(140), 1.2));
    p.setBrush(Blue);
    p.drawPolygon(shape);
}

void Folder(QPainter &p)
{
    QPainterPath back;
    back.moveTo(2, 6);
    back.lineTo(9, 6);
    back.lineTo(11, 8);
    back.lineTo(21, 8);
    back.lineTo(21, 19);
    back.lineTo(2, 19);
    back.closeSubpath();
    p.setPen(Outline(Amber.darker(150), 1.2));
    p.setBrush(Amber.darker(110));
    p.drawPath(back);
    QPolygonF front;
    front << QPointF(4, 11) << QPointF(23, 11) << QPointF(21, 19) << QPointF(2, 19);
    p.setBrush(Amber.lighter(125));
    p.drawPolygon(front);
}

void Gear(QPainter &p)
{
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(QColor(0x8a, 0x95, 0xa5));
    p.save();
    p.translate(12, 12);
    for (int i = 0; i < 8; ++i) {
        p.drawRoundedRect(QRectF(-2, -10.5, 4, 5), 1, 1);
        p.rotate(45);
    }
    p.restore();
    p.drawEllipse(QPointF(12, 12), 7, 7);
    p.setBrush(Paper);
    p.drawEllipse(QPointF(12, 12), 2.6, 2.6);
}

void Pencil(QPainter &p)
{
    Page(p, QRectF(3, 2, 14, 19));
    p.save();
    p.translate(15, 14);
    p.rotate(45);
    p.setPen(Outline(Ink, 1.1));
    p.setBrush(Amber);
    p.drawRect(QRectF(-2.5, -10, 5, 12));
    p.setBrush(QColor(0xf3, 0xd9, 0xb1));
    QPolygonF tip;
    tip << QPointF(-2.5, 2) << QPointF(2.5, 2) << QPointF(0, 7);
    p.drawPolygon(tip);
    p.restore();
}

void Exclude(QPainter &p)
{
    p.setPen(Outline(Ink, 1.6));
    for (int y : {5, 10, 15})
        p.drawLine(QPointF(3, y), QPointF(15, y));
    p.setPen(Outline(Red, 2.6));
    p.drawLine(QPointF(13, 13), QPointF(21, 21));
    p.drawLine(QPointF(21, 13), QPointF(13, 21));
}

void Replace(QPainter &p)
{
    Text(p, QRectF(0, 0, 12, 14), QStringLiteral("A"), Ink, 12);
    Text(p, QRectF(11, 9, 13, 15), QStringLiteral("B"), Blue, 12);
    p.setPen(Outline(Red, 1.6));
    p.drawLine(QPointF(4, 16), QPointF(4, 20));
    p.drawLine(QPointF(4, 20), QPointF(10, 20));
    p.drawLine(QPointF(8, 18), QPointF(10, 20));
    p.drawLine(QPointF(8, 22), QPointF(10, 20));
}

void Insert(QPainter &p)
{
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRect(QRectF(2.5, 7.5, 13, 9));
    p.setPen(Outline(Ink, 1.4));
    p.drawLine(QPointF(5, 12), QPointF(13, 12));
    p.setPen(Outline(Green, 2.6));
    p.drawLine(QPointF(19, 8), QPointF(19, 16));
    p.drawLine(QPointF(15, 12), QPointF(23, 12));
}

void Attributes(QPainter &p)
{
    Page(p, QRectF(2, 2, 13, 18));
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Amber);
    p.drawRoundedRect(QRectF(11, 13, 10, 8), 1.5, 1.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(Outline(Ink, 1.6));
    p.drawArc(QRectF(13, 8.5, 6, 8), 0, 180 * 16);
    p.drawLine(QPointF(13, 12.5), QPointF(13, 13));
    p.drawLine(QPointF(19, 12.5), QPointF(19, 13));
}

void Number(QPainter &p)
{
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(1.5, 4.5, 21, 15), 2, 2);
    Text(p, QRectF(1, 4, 22, 16), QStringLiteral("123"), Blue, 10.5);
}

void Case(QPainter &p)
{
    Text(p, QRectF(0, 1, 13, 20), QStringLiteral("A"), Ink, 15);
    Text(p, QRectF(11, 5, 13, 18), QStringLiteral("a"), Blue, 13);
}

void Conversions(QPainter &p)
{
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 3, 3);
    Text(p, QRectF(1, 0, 22, 22), QStringLiteral("あ"), Red, 14, false);
    p.setPen(Outline(Ink, 1.2));
    for (qreal x : {7.0, 12.0, 17.0})
        p.drawPoint(QPointF(x, 20));
}

void Picture(QPainter &p)
{
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(QColor(0xd8, 0xea, 0xfa));
    p.drawRect(QRectF(2.5, 4.5, 19, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(Amber);
    p.drawEllipse(QPointF(16.5, 9), 2.2, 2.2);
    QPolygonF hills;
    hills << QPointF(3, 19) << QPointF(9, 11) << QPointF(13, 16) << QPointF(15.5, 13.5) << QPointF(21, 19);
    p.setBrush(Green);
    p.drawPolygon(hills);
}

// The name's extension: a page with a tag, and a padlock that is closed
// while the extension is protected and open while it is not.
void Extension(QPainter &p, bool protectedExtension)
{
    Page(p, QRectF(2.5, 1.5, 13, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(protectedExtension ? Green : Red);
    p.drawRoundedRect(QRectF(0.5, 13, 17, 8), 2, 2);
    Text(p, QRectF(0.5, 12.5, 17, 9), QStringLiteral(".ext"), Qt::white, 7.5);

    QPainterPath shackle;
    shackle.moveTo(15, 9);
    shackle.lineTo(15, 6);
    shackle.arcTo(QRectF(15, 2.5, 6, 7), 180, -180);
    shackle.lineTo(21, 9);
    if (!protectedExtension) {
        // Swung open about its right socket.
        shackle = QTransform().translate(21, 9).rotate(35).translate(-21, -9).map(shackle);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(Outline(Ink, 2));
    p.drawPath(shackle);
    const QRectF body(13, 8.5, 10, 8);
    p.setPen(Outline(Amber.darker(160), 1.2));
    p.setBrush(Amber);
    p.drawRoundedRect(body, 1.5, 1.5);
    p.setPen(Outline(Ink, 1.6));
    p.drawLine(QPointF(18, 11.2), QPointF(18, 13.8));
}

// The program's own picture: a list of names on a page, and the arrow of a
// rename sweeping across it.
void Application(QPainter &p)
{
    p.setPen(Outline(Blue.darker(150), 0.8));
    p.setBrush(Blue);
    p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 4.5, 4.5);
    Page(p, QRectF(4.5, 3, 13, 18));
    p.setPen(Outline(Ink, 1.3));
    for (qreal y : {8.5, 12.0, 15.5})
        p.drawLine(QPointF(7, y), QPointF(15, y));
    QPainterPath arrow;
    arrow.moveTo(3, 19.5);
    arrow.cubicTo(8, 21.5, 15, 20.5, 19.5, 15);
    p.setPen(Outline(Amber, 2.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    QPolygonF head;
    head << QPointF(22, 11.5) << QPointF(21.5, 18) << QPointF(16.5, 15.5);
    p.setPen(Outline(Amber, 1));
    p.setBrush(Amber);
    p.drawPolygon(head);
}

const QHash<QString, Painter> &Painters()
{
    static const QHash<QString, Painter> painters = {
        {QStringLiteral("IDOPEN"), Folder},
        {QStringLiteral("IDOPT"), Gear},
        {QStringLiteral("IDUP"), [](QPainter &p) { Arrow(p, true); }},
        {QStringLiteral("IDDOWN"), [](QPainter &p) { Arrow(p, false); }},
        {QStringLiteral("IDEDIT"), Pencil},
        {QStringLiteral("IDDEL"), Exclude},
        {QStringLiteral("IDCHG"), Replace},
        {QStringLiteral("IDINS"), Insert},
        {QStringLiteral("IDATT"), Attributes},
        {QStringLiteral("IDNUM"), Number},
        {QStringLiteral("IDLS"), Case},
        {QStringLiteral("IDETC"), Conversions},
        {QStringLiteral("IDPIC"), Picture},
        // IDEXT shows the protection off, IDNEXT on; neither is greyed.
        {QStringLiteral("IDEXT"), [](QPainter &p) { Extension(p, false); }},
        {QStringLiteral("IDNEXT"), [](QPainter &p) { Extension(p, true); }},
    };
    return painters;
}

QImage Draw(const Painter &paint, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 24.0, size / 24.0);
    paint(p);
    return image;
}

// A faded grey copy: what a button that cannot be used shows.
QImage Greyed(QImage image)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int grey = 150 + qGray(c) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(c) * 6 / 10);
        }
    }
    return image;
}

} // namespace

QPixmap ToolbarImage(const QString &key, int size)
{
    const auto &painters = Painters();
    if (const auto found = painters.find(key); found != painters.end())
        return QPixmap::fromImage(Draw(*found, size));
    // IDNUP is the greyed image of IDUP, and so on.
    if (key.startsWith(u"IDN")) {
        const QString normal = QStringLiteral("ID") + key.mid(3);
        if (const auto found = painters.find(normal); found != painters.end())
            return QPixmap::fromImage(Greyed(Draw(*found, size)));
    }
    return {};
}

QIcon ToolbarIcon(const QString &key)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        const QPixmap image = ToolbarImage(key, size);
        icon.addPixmap(image, QIcon::Normal);
        icon.addPixmap(image, QIcon::Disabled);
        icon.addPixmap(image, QIcon::Active);
    }
    return icon;
}

QIcon FolderButtonIcon()
{
    return ToolbarIcon(QStringLiteral("IDOPEN"));
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(Draw(Application, size)));
    return icon;
}

void PaintApplicationIcon(QPainter &painter)
{
    Application(painter);
}
