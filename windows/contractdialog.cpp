#include "windows/contractdialog.h"

#include "engine/messages.h"
#include "widgets/dialogchrome.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A weathervane against the sky.
QPixmap ContractPicture()
{
    QPixmap picture(143, 161);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 161);
    sky.setColorAt(0, QColor(0x3d, 0x7e, 0xc9));
    sky.setColorAt(1, QColor(0xc9, 0xe3, 0xf7));
    p.fillRect(picture.rect(), sky);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawEllipse(QRectF(8, 24, 42, 16));
    p.drawEllipse(QRectF(24, 16, 30, 18));
    p.drawEllipse(QRectF(92, 108, 40, 14));

    // Gusts of wind.
    p.setPen(QPen(QColor(255, 255, 255, 190), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int y : {60, 74}) {
        QPainterPath gust;
        gust.moveTo(6, y);
        gust.cubicTo(20, y - 8, 34, y + 8, 48, y);
        p.drawPath(gust);
    }

    // The roof and the pole.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8c, 0x3b, 0x2a));
    p.drawPolygon(QPolygonF({QPointF(30, 161), QPointF(71, 128), QPointF(113, 161)}));
    p.setPen(QPen(QColor(0x2b, 0x2b, 0x2b), 3));
    p.drawLine(QPointF(71, 130), QPointF(71, 44));

    // The compass cross and its letters.
    p.setPen(QPen(QColor(0x2b, 0x2b, 0x2b), 2));
    p.drawLine(QPointF(50, 104), QPointF(92, 104));
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(38, 97, 12, 14), Qt::AlignCenter, QStringLiteral("W"));
    p.drawText(QRectF(92, 97, 12, 14), Qt::AlignCenter, QStringLiteral("E"));

    // The vane: an arrow that turns with the wind.
    p.setPen(QPen(QColor(0x1e, 0x1e, 0x1e), 1.5));
    p.setBrush(QColor(0x24, 0x24, 0x24));
    p.drawRect(QRectF(40, 56, 62, 4));
    p.drawPolygon(QPolygonF({QPointF(102, 50), QPointF(120, 58), QPointF(102, 66)}));
    p.setBrush(QColor(0xe0, 0xa0, 0x20));
    p.drawPolygon(QPolygonF({QPointF(40, 58), QPointF(26, 44), QPointF(34, 58), QPointF(26, 72)}));
    p.setBrush(QColor(0xe0, 0xa0, 0x20));
    p.drawEllipse(QPointF(71, 42), 5, 5);
    return picture;
}

} // namespace

QString ContractDialog::ContractText()
{
    return QStringLiteral("本プログラムは，ファイルの保護のために　いくつかの処理を行っています．") +
           QStringLiteral("しかし，万が一 このプログラムが原因で あなたのファイルに障害が生じたとしても，") +
           QStringLiteral("無責任な発言で申し訳ありませんが，") +
           QStringLiteral("作者は一切の責任を負うつもりはありません") +
           QStringLiteral("（トラブル報告，バグ報告は大歓迎です．）") +
           QStringLiteral("それをご理解の上 本プログラムをご利用ください．") + CrLf + CrLf +
           QStringLiteral("ご理解いただけましたか？");
}

ContractDialog::ContractDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmContract"));
    setWindowTitle(QStringLiteral("障害時における作者の責任放棄"));
    setModal(true);

    auto *image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(ContractPicture());
    image1->setFixedSize(143, 161);
    auto *label2 = new QLabel(QStringLiteral("Tessera"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    auto *label1 = new QLabel(QStringLiteral("Kazami"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    QFont title = label1->font();
    title.setPointSizeF(title.pointSizeF() * 1.8);
    title.setBold(true);
    label1->setFont(title);

    auto *message = new QPlainTextEdit(this);
    message->setObjectName(QStringLiteral("txtMessage"));
    message->setReadOnly(true);
    QString shown = ContractText();
    shown.replace(CrLf, QStringLiteral("\n"));
    message->setPlainText(shown);
    message->setMinimumSize(300, 170);

    auto *ok = new QPushButton(QStringLiteral("理解しました"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("使うのやめる"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_refused = true;
        reject();
    });

    auto *left = new QVBoxLayout;
    left->addWidget(image1);
    left->addWidget(label2);
    left->addWidget(label1);
    left->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *right = new QVBoxLayout;
    right->addWidget(message, 1);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);
}

bool ShowContract(QWidget *parent)
{
    ContractDialog dialog(parent);
    SetDialogChrome(&dialog, WindowSizing::Fixed);
    dialog.exec();
    return !dialog.refused();
}
