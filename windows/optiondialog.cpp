#include "windows/optiondialog.h"

#include "engine/messages.h"
#include "settings/appsettings.h"
#include "widgets/dialogchrome.h"
#include "widgets/dialogflag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString ExecutableFilter = QStringLiteral("実行ファイル (*)");
const QString AllFilesFilter = QStringLiteral("すべてのファイル (*)");

// Shows folders and the files someone may execute, while switched on.
class ExecutableFilesOnly final : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetOn(bool on)
    {
        m_on = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        auto *files = qobject_cast<QFileSystemModel *>(sourceModel());
        if (!m_on || !files)
            return true;
        const QModelIndex index = files->index(row, 0, parent);
        return files->isDir(index) ||
               (files->permissions(index) & (QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther));
    }

private:
    bool m_on = true;
};

QPlainTextEdit *HelpText(const QString &text, QWidget *parent)
{
    auto *box = new QPlainTextEdit(text, parent);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

} // namespace

QStringList ReadProhibitedNames(const AppSettings &settings)
{
    QStringList names;
    for (int slot = 1; slot <= MaxProhibitedNames; ++slot) {
        if (!settings.ProhibitedNames[slot].isEmpty())
            names.append(settings.ProhibitedNames[slot]);
    }
    return names;
}

bool AddProhibitedName(QStringList &names, const QString &text)
{
    if (text.isEmpty())
        return false;
    if (names.size() >= MaxProhibitedNames) {
        Messages().ShowMessage(QStringLiteral("設定できる個数は１０までです．"));
        return false;
    }
    if (names.contains(text, Qt::CaseSensitive))
        return false;
    names.append(text);
    return true;
}

void StoreProhibitedNames(const QStringList &names, AppSettings &settings)
{
    for (int slot = 1; slot <= MaxProhibitedNames; ++slot)
        settings.ProhibitedNames[slot] = slot <= names.size() ? names[slot - 1] : QString();
}

OptionDialog::OptionDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings),
      m_chkShortcut(new QCheckBox(QStringLiteral("ショートカットを表示する"))), m_txtProhibit(new QLineEdit),
      m_lstProhibit(new QListWidget), m_cmdDel(new QPushButton(QStringLiteral("×"))), m_cmbExe(new QComboBox)
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("Kazami Ver1.2"));
    setModal(true);

    auto *tbsOpt = new QTabWidget(this);
    tbsOpt->setObjectName(QStringLiteral("tbsOpt"));

    // Page 1: names never listed.
    auto *page1 = new QWidget;
    page1->setObjectName(QStringLiteral("picOpt1"));
    m_chkShortcut->setObjectName(QStringLiteral("chkShortcut"));
    auto *label3 = new QLabel(QStringLiteral("表示禁止ファイル（１０個まで）"));
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setBuddy(m_txtProhibit);
    m_txtProhibit->setObjectName(QStringLiteral("txtProhibit"));
    auto *cmdAdd = new QPushButton(QStringLiteral("↓"));
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    // The arrow and the cross say nothing read out.
    cmdAdd->setAccessibleName(QStringLiteral("追加"));
    m_cmdDel->setAccessibleName(QStringLiteral("削除"));
    m_lstProhibit->setObjectName(QStringLiteral("lstProhibit"));
    m_lstProhibit->setAccessibleName(label3->text());
    m_cmdDel->setObjectName(QStringLiteral("cmdDel"));
    m_cmdDel->setEnabled(false);
    QPlainTextEdit *txtOpt1 = HelpText(
        QStringLiteral("表示禁止ファイルにファイル名を登録すると , リスト表示時にそのファイルを無視します．\n"
                       "大文字小文字は区別しません\n例：desktop.ini\n　　_THUMBNL.SUE\n　　Descript.ion"),
        page1);
    txtOpt1->setObjectName(QStringLiteral("txtOpt1"));

    auto *addRow = new QHBoxLayout;
    addRow->addWidget(m_txtProhibit, 1);
    addRow->addWidget(cmdAdd);
    auto *listRow = new QHBoxLayout;
    listRow->addWidget(m_lstProhibit, 1);
    listRow->addWidget(m_cmdDel, 0, Qt::AlignTop);
    auto *names = new QVBoxLayout;
    names->addWidget(label3);
    names->addLayout(addRow);
    names->addLayout(listRow, 1);
    auto *page1Columns = new QHBoxLayout;
    page1Columns->addLayout(names, 1);
    page1Columns->addWidget(txtOpt1, 1);
    auto *page1Layout = new QVBoxLayout(page1);
    page1Layout->addWidget(m_chkShortcut);
    page1Layout->addLayout(page1Columns, 1);
    tbsOpt->addTab(page1, QStringLiteral("リストアップ禁止"));

    // Page 2: the program the main window's "外部実行" starts.
    auto *page2 = new QWidget;
    page2->setObjectName(QStringLiteral("picOpt2"));
    auto *label2 = new QLabel(QStringLiteral("外部プログラムのフルパス（エクスプローラは\"Explorer\"）"));
    label2->setObjectName(QStringLiteral("Label2"));
    m_cmbExe->setObjectName(QStringLiteral("cmbExe"));
    m_cmbExe->setEditable(true);
    m_cmbExe->setInsertPolicy(QComboBox::NoInsert);
    m_cmbExe->setMinimumContentsLength(28);
    auto *cmdRefer = new QPushButton(QStringLiteral("参照"));
    cmdRefer->setObjectName(QStringLiteral("cmdRefer"));
    QPlainTextEdit *txtOpt2 =
        HelpText(QStringLiteral("「外部実行」ボタンで起動するソフトを指定します."), page2);
    txtOpt2->setObjectName(QStringLiteral("txtOpt2"));
    auto *programRow = new QHBoxLayout;
    programRow->addWidget(m_cmbExe, 1);
    programRow->addWidget(cmdRefer);
    auto *page2Layout = new QVBoxLayout(page2);
    page2Layout->addWidget(label2);
    page2Layout->addLayout(programRow);
    page2Layout->addWidget(txtOpt2, 1);
    tbsOpt->addTab(page2, QStringLiteral("外部プログラム"));

    auto *ok = new QPushButton(QStringLiteral("決定"));
    ok->setObjectName(QStringLiteral("cmdOK"));
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    // The Enter key adds a typed name rather than closing the dialog.
    for (QPushButton *button : {cmdAdd, m_cmdDel, cmdRefer, ok, cancel})
        button->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tbsOpt, 1);
    layout->addLayout(buttons);

    connect(cmdAdd, &QPushButton::clicked, this, &OptionDialog::cmdAddClick);
    connect(m_txtProhibit, &QLineEdit::returnPressed, this, &OptionDialog::cmdAddClick);
    connect(m_cmdDel, &QPushButton::clicked, this, &OptionDialog::cmdDelClick);
    connect(cmdRefer, &QPushButton::clicked, this, &OptionDialog::cmdReferClick);
    connect(ok, &QPushButton::clicked, this, &OptionDialog::cmdOKClick);
    connect(cancel, &QPushButton::clicked, this, &OptionDialog::cmdCancelClick);
    m_txtProhibit->installEventFilter(this);
    m_lstProhibit->installEventFilter(this);

    m_chkShortcut->setChecked(m_settings.ShowShortcuts);
    m_cmbExe->addItems({QStringLiteral("Explorer"), QStringLiteral("/usr/local/bin/viewer(←例)")});
    m_cmbExe->setEditText(m_settings.ExternalProgram);
    m_lstProhibit->addItems(ReadProhibitedNames(m_settings));
    resize(520, 300);
    flgDlgOK = false;
}

bool OptionDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_lstProhibit)
            m_cmdDel->setEnabled(true);
        else if (watched == m_txtProhibit)
            m_cmdDel->setEnabled(false);
    }
    return QDialog::eventFilter(watched, event);
}

QStringList OptionDialog::Names() const
{
    QStringList names;
    for (int i = 0; i < m_lstProhibit->count(); ++i)
        names.append(m_lstProhibit->item(i)->text());
    return names;
}

void OptionDialog::cmdAddClick()
{
    QStringList names = Names();
    if (!AddProhibitedName(names, m_txtProhibit->text()))
        return;
    m_lstProhibit->addItem(names.last());
    m_cmdDel->setEnabled(false);
    m_txtProhibit->setFocus();
}

void OptionDialog::cmdDelClick()
{
    const int row = m_lstProhibit->currentRow();
    if (row >= 0 && m_lstProhibit->item(row)->isSelected())
        delete m_lstProhibit->takeItem(row);
    m_cmdDel->setEnabled(false);
    m_txtProhibit->setFocus();
}

void OptionDialog::cmdReferClick()
{
    QFileDialog dialog(this, QStringLiteral("外部プログラムの指定"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Only Qt's own dialog lets the list be narrowed to executable files.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    auto *executables = new ExecutableFilesOnly(&dialog);
    dialog.setProxyModel(executables);
    dialog.setNameFilters({ExecutableFilter, AllFilesFilter});
    connect(&dialog, &QFileDialog::filterSelected, executables,
            [executables](const QString &filter) { executables->SetOn(filter == ExecutableFilter); });
    const QString program = m_cmbExe->currentText();
    if (program.startsWith(u'/'))
        dialog.setDirectory(program.left(program.lastIndexOf(u'/') + 1));
    SetDialogChrome(&dialog, WindowSizing::Resizable);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_cmbExe->setEditText(dialog.selectedFiles().constFirst());
}

void OptionDialog::cmdOKClick()
{
    m_settings.ShowShortcuts = m_chkShortcut->isChecked();
    m_settings.ExternalProgram = m_cmbExe->currentText();
    StoreProhibitedNames(Names(), m_settings);
    flgDlgOK = true;
    accept();
}

void OptionDialog::cmdCancelClick()
{
    flgDlgOK = false;
    reject();
}

void ShowOptionDialog(AppSettings &settings, QWidget *parent)
{
    OptionDialog dialog(settings, parent);
    SetDialogChrome(&dialog, WindowSizing::Fixed);
    dialog.exec();
}
