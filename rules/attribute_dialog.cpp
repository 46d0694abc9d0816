#include "rules/attribute_dialog.h"

#include "engine/scan.h"
#include "rules/attribute.h"
#include "rules/rulecommand_dialog.h"
#include "rules/rulepass.h"
#include "rules/rulewindow.h"
#include "settings/appsettings.h"
#include "widgets/dialogflag.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

AttributeBoxes::AttributeBoxes(const QString &objectName, const QString &subject, QWidget *parent)
    : QGroupBox(QStringLiteral("属性"), parent)
{
    setObjectName(objectName);
    static constexpr const char *Names[3] = {"chkR", "chkH", "chkS"};
    static constexpr const char16_t *Captions[3] = {u"読取専用", u"隠し", u"システム"};
    static constexpr const char16_t *Tooltips[3] = {u"読取専用にします", u"隠しファイルにします",
                                                    u"システムファイルにします"};
    auto *layout = new QHBoxLayout(this);
    for (int k = 0; k < 3; ++k) {
        m_boxes[k] = new QCheckBox(QString::fromUtf16(Captions[k]), this);
        m_boxes[k]->setObjectName(QLatin1StringView(Names[k]));
        m_boxes[k]->setToolTip(subject + QString::fromUtf16(Tooltips[k]));
        layout->addWidget(m_boxes[k]);
    }
}

int AttributeBoxes::Bits() const
{
    int bits = 0;
    for (int k = 0; k < 3; ++k) {
        if (m_boxes[k]->isChecked())
            bits |= 1 << k;
    }
    return bits;
}

void AttributeBoxes::SetBits(int bits)
{
    for (int k = 0; k < 3; ++k)
        m_boxes[k]->setChecked(bits & (1 << k));
}

AttributeDialog::AttributeDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings),
      m_fraAtt(new AttributeBoxes(QStringLiteral("fraAtt"), QStringLiteral("リスト上のファイルを"), this))
{
    setObjectName(QStringLiteral("frmAtt"));
    setWindowTitle(QStringLiteral("属性を一度に変換します"));
    setModal(true);

    auto *label1 = new QLabel(QStringLiteral("リスト上の全てのファイルの属性を一度に変換します"), this);
    label1->setObjectName(QStringLiteral("Label1"));

    auto *buttons = OkCancelRow(this, [this] {
        m_settings.AttributeChoice = MakeAttrText(m_fraAtt->Bits());
        flgDlgOK = true;
        accept();
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(m_fraAtt);
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
