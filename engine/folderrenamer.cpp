#include "engine/folderrenamer.h"

#include "engine/messages.h"

namespace {

bool AcceptCheckedRename()
{
    return Messages().AskYesNoDefaultNo(
        QStringLiteral("このフォルダのファイルシステム（FAT，exFAT など）では，名前を変えるときに，") + CrLf +
            QStringLiteral("置換の途中で他のプログラムが作ったファイルを上書きしないことを保証できません．") +
            CrLf + CrLf +
            QStringLiteral("置換が終わるまで，他のプログラムでこのフォルダに書き込まないでください．") +
            CrLf + CrLf + QStringLiteral("このまま続けますか？"),
        QStringLiteral("上書きを防げないファイルシステムです"), MessageIcon::Exclamation);
}

} // namespace

bool FolderRenamer::Rename(const QString &from, const QString &to)
{
    if (m_declined)
        return false;
    const RenameResult result = Fs().RenameNoReplace(m_folder, from, to, m_mode);
    if (result != RenameResult::NeedsCheckedRename)
        return result == RenameResult::Done;
    if (m_mode == RenameMode::CheckedOnly || !AcceptCheckedRename()) {
        m_declined = true;
        return false;
    }
    m_mode = RenameMode::CheckedOnly;
    return Fs().RenameNoReplace(m_folder, from, to, m_mode) == RenameResult::Done;
}
