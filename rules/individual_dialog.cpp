#include "rules/individual_dialog.h"

#include "engine/messages.h"
#include "engine/scan.h"
#include "engine/validation.h"
#include "platform/displayname.h"
#include "platform/filesystem.h"
#include "rules/attribute.h"
#include "rules/attribute_dialog.h"
#include "rules/rulecommand_dialog.h"
#include "rules/rulewindow.h"
#include "settings/appsettings.h"
#include "widgets/dialogflag.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The extension as the individual edit sees it: from the last period on.
QStringView LastExtension(const QString &name)
{
    const qsizetype period = name.lastIndexOf(u'.');
    return period < 0 ? QStringView() : QStringView(name).sliced(period);
}

// The row that holds the file of name now, found by its current name; 0 when
// the file has left the list.
int RowOfName(const FileList &list, const QString &name, int expected)
{
    if (expected >= 1 && expected <= list.count() && list.at(expected).Name == name)
        return expected;
    for (int row = 1; row <= list.count(); ++row) {
        if (list.at(row).Name == name)
            return row;
    }
    return 0;
}

} // namespace

IndividualDialog::IndividualDialog(FileEntry &oneEntry, AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_oneEntry(oneEntry), m_settings(settings), m_txtBefore(new QLineEdit(this)),
      m_txtAfter(new QLineEdit(this)),
      m_frame1(new AttributeBoxes(QStringLiteral("Frame1"), QString(), this)),
      m_chkExt(new QCheckBox(QStringLiteral("拡張子の保護"), this))
{
    setObjectName(QStringLiteral("frmOne"));
    setWindowTitle(QStringLiteral("個別の変更"));
    setModal(true);

    auto *label1 = new QLabel(QStringLiteral("変換前"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setBuddy(m_txtBefore);
    m_txtBefore->setObjectName(QStringLiteral("txtBefore"));
    // The current name is shown for copying; it is not the user's to change.
    m_txtBefore->setReadOnly(true);
    m_txtBefore->setMinimumWidth(320);
    auto *copy = new QPushButton(QStringLiteral("↓"), this);
    copy->setObjectName(QStringLiteral("cmdCopy"));
    copy->setToolTip(QStringLiteral("上の文字列を下にコピー"));
    // An arrow read out says nothing of what the button does.
    copy->setAccessibleName(copy->toolTip());
    copy->setAutoDefault(false);
    copy->setMaximumWidth(48);
    auto *label2 = new QLabel(QStringLiteral("変換後"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setBuddy(m_txtAfter);
    m_txtAfter->setObjectName(QStringLiteral("txtAfter"));

    m_chkExt->setObjectName(QStringLiteral("chkExt"));

    auto *names = new QGridLayout;
    names->addWidget(label1, 0, 0);
    names->addWidget(m_txtBefore, 0, 1);
    names->addWidget(copy, 1, 1, Qt::AlignHCenter);
    names->addWidget(label2, 2, 0);
    names->addWidget(m_txtAfter, 2, 1);
    auto *buttons = OkCancelRow(this, [this] { cmdOKClick(); });
    buttons->insertWidget(0, m_chkExt);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(names);
    layout->addWidget(m_frame1);
    layout->addLayout(buttons);

    m_txtBefore->setText(DisplayName(m_oneEntry.Name));
    m_txtAfter->setText(m_oneEntry.Preview);
    m_frame1->SetBits(ParseAttrText(m_oneEntry.Attributes));
    m_chkExt->setChecked(m_settings.ProtectExtension);
    flgDlgOK = false;

    // The name itself, not as it is shown: its bytes stay exact.
    connect(copy, &QPushButton::clicked, this, [this] { m_txtAfter->setText(m_oneEntry.Name); });
    m_txtAfter->setFocus();
}

bool IndividualDialog::CheckAfter() const
{
    const QString after = m_txtAfter->text();
    if (!CheckNameChars(after, true))
        return false;
    if (!NotBlank(after)) {
        Messages().ShowMessage(QStringLiteral("空白名は使えません"), QStringLiteral("空白だけじゃダメ"),
                               MessageIcon::Exclamation);
        return false;
    }
    if (m_chkExt->isChecked() && LastExtension(m_oneEntry.Name) != LastExtension(after)) {
        Messages().ShowMessage(QStringLiteral("変換前後で，拡張子を同じにしてください．"),
                               QStringLiteral("拡張子の保護"));
        return false;
    }
    return true;
}

void IndividualDialog::cmdOKClick()
{
    if (!CheckAfter()) {
        m_txtAfter->setFocus();
        return;
    }
    m_oneEntry.Preview = m_txtAfter->text();
    EditRowAttributes(m_oneEntry, MakeAttrText(m_frame1->Bits()));
    m_settings.ProtectExtension = m_chkExt->isChecked();
    flgDlgOK = true;
    accept();
}

void ExeOne(RuleWindow &window)
{
    FileList &list = window.list();
    const int current = list.CurrentRow();
    if (current < 1 || current > list.count())
        return;
    FileEntry oneEntry = list.ReadRow(current);
    IndividualDialog dialog(oneEntry, window.settings(), window.DialogParent());
    if (!ShowRuleDialog(window, QStringLiteral("IDEDIT"), dialog))
        return;
    window.CheckExt(false);
    DropMissingRows(list);
    // Files that vanished while the dialog was open may have moved the edited
    // row up, or taken it away; the edit goes only to the row of its own file.
    const int row = RowOfName(list, oneEntry.Name, current);
    if (row == 0) {
        list.setCurrentRow(0);
        window.ClearCurrentRow();
        return;
    }
    list.setCurrentRow(row);
    list.WriteRow(row, oneEntry);
}
