#include "engine/changelogfile.h"

#include "engine/changelog.h"
#include "engine/messages.h"
#include "platform/names.h"

namespace {

const QString ChangeLogName = QStringLiteral("Kazami.Log");
const QString AsideName = QStringLiteral("Kazami.Log.prev");

} // namespace

bool IsChangeLogName(const QString &name)
{
    return name == ChangeLogName || name == AsideName;
}

ChangeLogFile::ChangeLogFile(QString logFolder, QString renamedFolder, const std::vector<FileEntry> &rows)
    : m_folder(std::move(logFolder)), m_path(JoinPath(m_folder, ChangeLogName)),
      m_asidePath(JoinPath(m_folder, AsideName)), m_renamedFolder(std::move(renamedFolder)), m_rows(rows)
{}

bool ChangeLogFile::WriteBeforeTrial()
{
    bool written = Fs().MakeFolder(m_folder);
    if (written) {
        const FolderHandle folder = Fs().OpenFolder(m_folder);
        if (folder.isOpen() && Fs().FileExists(folder, ChangeLogName)) {
            m_keptAside = Fs().MoveFileOver(m_path, m_asidePath);
            written = m_keptAside;
        }
    }
    written = written && Fs().ReplaceFile(m_path, ComposeChangeLog(m_renamedFolder, m_rows, true));
    if (written)
        return true;
    if (m_keptAside && Fs().MoveFileOver(m_asidePath, m_path))
        m_keptAside = false;
    Messages().ShowMessage(QStringLiteral("変更記録 Kazami.Log を書き込めませんでした") + CrLf + m_path +
                               CrLf + QStringLiteral("ファイルはひとつも変更していません"),
                           {}, MessageIcon::Critical);
    return false;
}

void ChangeLogFile::PutBackPrevious()
{
    if (!m_keptAside)
        return; // this run's log stays, saying that it did not complete
    if (Fs().MoveFileOver(m_asidePath, m_path)) {
        m_keptAside = false;
        return;
    }
    // Undo must never act on renames that did not happen.
    const bool removed = Fs().RemoveFile(m_path);
    Messages().ShowMessage(
        QStringLiteral("前回の置換の変更記録を元に戻せませんでした．") + CrLf +
            (removed ? QStringLiteral("中止した置換の変更記録は消しました．") + CrLf : QString()) +
            QStringLiteral(
                "前回の置換は「直前の置換を元に戻す」では戻せません．前回の変更記録はここにあります：") +
            CrLf + m_asidePath,
        {}, MessageIcon::Exclamation);
}

void ChangeLogFile::DropPrevious()
{
    if (m_keptAside && Fs().RemoveFile(m_asidePath))
        m_keptAside = false;
}

void ChangeLogFile::MarkComplete()
{
    DropPrevious();
    if (Fs().ReplaceFile(m_path, ComposeChangeLog(m_renamedFolder, m_rows)))
        return;
    Messages().ShowMessage(
        QStringLiteral("ファイル名はすべて変わりましたが，変更記録に完了を書き込めませんでした．") + CrLf +
            QStringLiteral("この置換は「直前の置換を元に戻す」では戻せません") + CrLf + m_path,
        {}, MessageIcon::Exclamation);
}
