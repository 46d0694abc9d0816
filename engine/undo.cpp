#include "engine/undo.h"

#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/rename.h"
#include "engine/scan.h"
#include "platform/filesystem.h"

#include <QHash>

namespace {

const QString UndoTitle = QStringLiteral("直前の置換を元に戻す");

void Refuse(const QString &text)
{
    Messages().ShowMessage(text, UndoTitle, MessageIcon::Exclamation);
}

// What was left out, as lines of the message; empty when nothing was.
QString LeftOut(int renamedSince, int temporary)
{
    QString text;
    if (renamedSince > 0)
        text += CrLf + QStringLiteral("置換の後で名前が変わったファイル %1 個は除きました").arg(renamedSince);
    if (temporary > 0)
        text += CrLf + QStringLiteral("一時名のままのファイル %1 個は除きました．これは元に戻すのではなく，"
                                      "変更記録 Kazami.Log による修復で直すものです")
                           .arg(temporary);
    return text;
}

} // namespace

bool PrepareUndo(FileList &list, const std::function<void()> &listFilled)
{
    const QString folder = list.Folder();
    const std::optional<QByteArray> content = Fs().ReadFile(ChangeLogPath());
    const std::optional<ChangeLogRecord> log = content ? ReadChangeLog(*content) : std::nullopt;
    if (!log) {
        Refuse(QStringLiteral("変更記録がないので，元に戻せる置換はありません") + CrLf + CrLf +
               ChangeLogPath());
        return false;
    }
    if (log->folder != folder) {
        Refuse(QStringLiteral("変更記録は別のフォルダのものです．このフォルダの置換は元に戻せません") + CrLf +
               CrLf + QStringLiteral("変更記録のフォルダ：") + log->folder + CrLf +
               QStringLiteral("このフォルダ：") + folder);
        return false;
    }
    // Some of its renames may never have happened: taking them back by name
    // could exchange files that were never renamed.
    if (log->incomplete) {
        Refuse(
            QStringLiteral("直前の置換は最後まで終わらなかった（試し変換で中止したか，途中で止まった）ので，"
                           "元に戻せません") +
            CrLf +
            QStringLiteral("一時名のファイルが残っているときは，フォルダを読み込み直すと修復できます"));
        return false;
    }

    ListOptions options;
    options.pattern = QStringLiteral("*");
    options.mask = AttrReadOnly | AttrHidden | AttrSystem;
    std::vector<FolderEntry> files;
    if (list.Handle().isOpen())
        Fs().ListFolder(list.Handle(), options, files);
    QHash<QString, const FolderEntry *> present;
    present.reserve(qsizetype(files.size()));
    for (const FolderEntry &file : files)
        present.insert(file.name, &file);

    std::vector<FileEntry> rows;
    int renamedSince = 0;
    int temporary = 0;
    for (const ChangeLogRow &logged : log->rows) {
        // The trial touched every row; only the changed ones were renamed.
        if (logged.oldName == logged.newName)
            continue;
        if (const FolderEntry *file = present.value(logged.newName)) {
            FileEntry &row = rows.emplace_back(MakeFileEntry(*file));
            row.Preview = logged.oldName;
            row.LoggedName = logged.oldName;
        } else if (present.contains(logged.tempName) || present.contains(logged.tempName + u'x')) {
            ++temporary;
        } else {
            ++renamedSince;
        }
    }
    if (rows.empty()) {
        Refuse(QStringLiteral("元に戻せるファイルはありません") + LeftOut(renamedSince, temporary));
        return false;
    }

    list.setCurrentRow(0);
    list.assign(std::move(rows));
    if (listFilled)
        listFilled();
    Messages().ShowMessage(
        QStringLiteral("直前の置換で変わった %1 個のファイルを，元の名前をプレビューにして並べました．")
                .arg(list.count()) +
            CrLf + QStringLiteral("確かめてから「< 置換実行 >」を押してください") + CrLf +
            QStringLiteral("（元に戻るのはファイル名だけで，属性は戻りません）") +
            LeftOut(renamedSince, temporary),
        UndoTitle, MessageIcon::Information);
    return true;
}
