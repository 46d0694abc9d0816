#include "mainwindow/deletedialog.h"

#include "platform/displayname.h"
#include "settings/appsettings.h"
#include "widgets/dialogchrome.h"
#include "widgets/dialogflag.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

DeleteDialog::DeleteDialog(const QString &strDelList, AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_message(new QPlainTextEdit(this)),
      m_review(new QCheckBox(QStringLiteral("次回も表示する"), this))
{
    setObjectName(QStringLiteral("frmDel"));
    setWindowTitle(QStringLiteral("リストからの除外"));
    setModal(true);

    m_message->setObjectName(QStringLiteral("txtMessage"));
    m_message->setReadOnly(true);
    m_message->setPlainText(DisplayName(strDelList) + u'\n' + u'\n' +
                            QStringLiteral("リスト（変換対象）から除外します．") + u'\n' +
                            QStringLiteral("リストから除くだけで削除はしません．") + u'\n' + u'\n' +
                            QStringLiteral("よろしいですね？"));
    m_message->setMinimumSize(300, 120);
    m_review->setObjectName(QStringLiteral("chkReview"));
    m_review->setChecked(true);

    auto *ok = new QPushButton(QStringLiteral("除外実行"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, [this] {
        flgDlgOK = true;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        flgDlgOK = false;
        reject();
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_review);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addLayout(buttons);
    SetDialogChrome(this, WindowSizing::Fixed);

    flgDlgOK = false;
}

void DeleteDialog::done(int result)
{
    // However the dialog closes, the box decides about the next time.
    m_settings.ShowExcludeConfirm = m_review->isChecked();
    QDialog::done(result);
}
