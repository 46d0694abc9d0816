#include "rules/attribute_dialog.h"

#include "engine/scan.h"
#include "mainwindow/dialogflag.h"
#include "rules/attribute.h"
#include "rules/rulecommand_dialog.h"
#include "rules/rulepass.h"
#include "rules/rulewindow.h"
#include "settings/appsettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

AttributeDialog::AttributeDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_chkR(new QCheckBox(QStringLiteral("読取専用"), this)),
      m_chkH(new QCheckBox(QStringLiteral("隠し"), this)),
      m_chkS(new QCheckBox(QStringLiteral("システム"), this))
{
    setObjectName(QStringLiteral("frmAtt"));
    setWindowTitle(QStringLiteral("属性を一度に変換します"));
    setModal(true);

    auto *label1 = new QLabel(QStringLiteral("リスト上の全てのファイルの属性を一度に変換します"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    auto *fraAtt = new QGroupBox(QStringLiteral("属性"), this);
    fraAtt->setObjectName(QStringLiteral("fraAtt"));
    m_chkR->setObjectName(QStringLiteral("chkR"));
    m_chkR->setToolTip(QStringLiteral("リスト上のファイルを読取専用にします"));
    m_chkH->setObjectName(QStringLiteral("chkH"));
    m_chkH->setToolTip(QStringLiteral("リスト上のファイルを隠しファイルにします"));
    m_chkS->setObjectName(QStringLiteral("chkS"));
    m_chkS->setToolTip(QStringLiteral("リスト上のファイルをシステムファイルにします"));
    auto *boxes = new QHBoxLayout(fraAtt);
    boxes->addWidget(m_chkR);
    boxes->addWidget(m_chkH);
    boxes->addWidget(m_chkS);

    auto *buttons = OkCancelRow(this, [this] {
        m_settings.AttributeChoice =
            AttributeChoiceText(m_chkR->isChecked(), m_chkH->isChecked(), m_chkS->isChecked());
        flgDlgOK = true;
        accept();
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(fraAtt);
    layout->addLayout(buttons);

    flgDlgOK = false;
}

void ExeAtt(RuleWindow &window)
{
    AttributeDialog dialog(window.settings(), window.DialogParent());
    const AppSettings &settings = window.settings();
    RunRuleCommand(window, QStringLiteral("IDATT"), dialog,
                   [&settings](FileEntry &entry) { SetRowAttributes(entry, settings.AttributeChoice); });
}
