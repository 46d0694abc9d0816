#include "rules/conversion_dialog.h"

#include "engine/messages.h"
#include "engine/scan.h"
#include "rules/conversion.h"
#include "rules/date_dialog.h"
#include "rules/rulepass.h"
#include "rules/rulewindow.h"
#include "widgets/dialogchrome.h"
#include "widgets/sidewindow.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

void ExeCase(RuleWindow &window)
{
    DropMissingRows(window.list());
    int &step = window.CaseCycle();
    const bool protect = window.settings().ProtectExtension;
    PassOverRows(window.list(), [step, protect](FileEntry &entry) { CaseStepName(entry, step, protect); });
    step = (step + 1) % 3;
    window.ClearCurrentRow();
}

void ChangeEtc(RuleWindow &window, int kind)
{
    const bool protect = window.settings().ProtectExtension;
    PassOverRows(window.list(), [kind, protect](FileEntry &entry) { ConvertName(entry, kind, protect); });
    window.ClearCurrentRow();
}

EtcWindow::EtcWindow(RuleWindow &window, QWidget *owner) : QWidget(owner, Qt::Tool), m_window(window)
{
    setObjectName(QStringLiteral("frmEtc"));
    setWindowTitle(QStringLiteral("その他の変換"));

    auto *layout = new QVBoxLayout(this);
    auto button = [this, layout](const char *name, const QString &caption, auto onClick) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QLatin1StringView(name));
        connect(button, &QPushButton::clicked, this, onClick);
        layout->addWidget(button);
        return button;
    };
    button("cmdDouble", QStringLiteral("半角 → 全角"), [this] { ExeEtc(ConvertToFullWidth); });
    button("cmdSingle", QStringLiteral("全角 → 半角"), [this] { ExeEtc(ConvertToHalfWidth); });
    button("cmdKata", QStringLiteral("ひらがな → カタカナ "), [this] { ExeEtc(ConvertToKatakana); });
    button("cmdHira", QStringLiteral("カタカナ → ひらがな"), [this] { ExeEtc(ConvertToHiragana); });
    button("cmdRar", QStringLiteral("拡張子を削除．ピリオドを左へ３"), [this] { cmdRarClick(); });
    button("cmdJoinMarks", QStringLiteral("濁点を結合"), [this] { ExeEtc(ConvertJoinMarks); })
        ->setToolTip(QStringLiteral("Mac などから来た名前で２文字に分かれた「が」「ぱ」などを"
                                    "１文字に結合します．ほかの分解された文字も結合します（Unicode NFC）"));
    button("cmdDate", QStringLiteral("日付を付ける"), [this] { ExeDay(m_window); });
    button("cmdCancel", QStringLiteral("閉じる"), [this] { close(); });
    // A caption keeps a margin of one character inside its button.
    int widest = 0;
    for (const QPushButton *each : findChildren<QPushButton *>())
        widest = qMax(widest, each->sizeHint().width() + 2 * fontMetrics().horizontalAdvance(u'あ'));
    for (QPushButton *each : findChildren<QPushButton *>())
        each->setMinimumWidth(widest);
    SetDialogChrome(this, WindowSizing::Fixed);
}

void EtcWindow::ExeEtc(int kind)
{
    ChangeEtc(m_window, kind);
}

void EtcWindow::cmdRarClick()
{
    if (m_window.settings().ProtectExtension) {
        Messages().ShowMessage(QStringLiteral("拡張子保護のチェックをはずしてください"));
        return;
    }
    ExeEtc(ConvertShiftPeriod);
}

void EtcWindow::closeEvent(QCloseEvent *event)
{
    m_window.settings().EtcWindowOpen = false;
    QWidget::closeEvent(event);
}

std::unique_ptr<SideWindow> CreateEtcWindow(RuleWindow &window, QWidget *owner)
{
    return std::make_unique<WidgetSideWindow>(new EtcWindow(window, owner));
}
