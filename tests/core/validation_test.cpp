#include "engine/messages.h"
#include "engine/scan.h"
#include "engine/validation.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/paths.h"
#include "support/failingfilesystem.h"
#include "support/pathfs.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString CharsTitle = QStringLiteral("使用できない文字が含まれています");
const QString CharsText = QStringLiteral("ファイルに以下の文字は使えません\r\n\r\n\\ / : * ? \" < > |");
const QString Reserved = QStringLiteral("このプログラムでは [ __KZM_X_ ] という文字は使えません");
const QString DuplicateTitle = QStringLiteral("ファイルが重複します");

// A list of the folder's files as the scan makes it, every file shown.
void ScanAll(FileList &list, AppSettings &settings, const TempFolder &folder)
{
    settings.CurrentFolder = folder.path();
    settings.FilePattern = QStringLiteral("*.*");
    settings.ShowHidden = true;
    settings.ShowSystem = true;
    InputData(list, settings, SortNameAscending);
}

void SetPreview(FileList &list, const QString &name, const QString &preview)
{
    for (int row = 1; row <= list.count(); ++row) {
        FileEntry entry = list.ReadRow(row);
        if (entry.Name == name) {
            entry.Preview = preview;
            list.WriteRow(row, entry);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no row ") + name));
}

// The folder's entries in the order the file system gives them.
QStringList EnumerationOrder(const QString &folder)
{
    ListOptions options;
    options.mask = AttrReadOnly | AttrHidden | AttrSystem | AttrFolder;
    std::vector<FolderEntry> entries;
    Fs().ListFolder(folder, options, entries);
    QStringList names;
    for (const FolderEntry &entry : entries)
        names.append(entry.name);
    return names;
}

// QTemporaryDir cannot remove names that are not UTF-8; remove them first.
void RemoveRawNames(const TempFolder &folder)
{
    for (const QByteArray &raw : folder.rawNames()) {
        if (DecodeName(raw).toUtf8() != raw)
            Fs().RemoveFile(JoinPath(folder.path(), DecodeName(raw)));
    }
}

FileEntry Row(const QString &attributes)
{
    FileEntry entry;
    entry.Attributes = attributes;
    return entry;
}

// Whether every temporary file the duplicate check made is gone again.
bool TempFilesGone(const FailingFileSystem &fs)
{
    for (auto it = fs.written().cbegin(); it != fs.written().cend(); ++it) {
        if (QFileInfo::exists(it.key()))
            return false;
    }
    return true;
}

} // namespace

class ValidationTest : public QObject
{
    Q_OBJECT

private slots:
    void nameChars_data();
    void nameChars();
    void notBlank_data();
    void notBlank();
    void previewTests_data();
    void previewTests();
    void undoGivesBackLeadingPeriod();
    void previewLength();
    void unchangedAndTempNames();

    void duplicates_data();
    void duplicates();
    void duplicateBoxListsTen();
    void duplicateGroupInEnumerationOrder();
    void reservedLeftoverBlocks();
    void unlistedCollisions();
    void tempFileHoldsExactBytes();
    void tempFileFailures_data();
    void tempFileFailures();

    void tryRenameUsesTrialName();
    void applyAttributesKeepsArchive();
};

void ValidationTest::nameChars_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("forbidQuestion");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("plain name") << u"photo 01.jpg"_s << true << true;
    QTest::newRow("question forbidden") << u"a?.txt"_s << true << false;
    QTest::newRow("question allowed for numbering") << u"IMG_???.jpg"_s << false << true;
    QTest::newRow("backslash") << u"a\\b"_s << false << false;
    QTest::newRow("slash") << u"a/b"_s << false << false;
    QTest::newRow("colon") << u"a:b"_s << false << false;
    QTest::newRow("asterisk") << u"a*b"_s << false << false;
    QTest::newRow("double quote") << u"a\"b"_s << false << false;
    QTest::newRow("less than") << u"a<b"_s << false << false;
    QTest::newRow("greater than") << u"a>b"_s << false << false;
    QTest::newRow("vertical bar") << u"a|b"_s << false << false;
    QTest::newRow("full-width lookalikes pass") << u"a／b：c＊d？"_s << true << true;
    QTest::newRow("empty text") << u""_s << true << true;
}

void ValidationTest::nameChars()
{
    QFETCH(QString, text);
    QFETCH(bool, forbidQuestion);
    QFETCH(bool, accepted);
    RecordingMessageSink sink;
    QCOMPARE(CheckNameChars(text, forbidQuestion), accepted);
    if (accepted) {
        QVERIFY(sink.messages().isEmpty());
    } else {
        QCOMPARE(sink.messages().size(), 1);
        QCOMPARE(sink.messages().at(0).text, CharsText);
        QCOMPARE(sink.messages().at(0).title, CharsTitle);
        QCOMPARE(sink.messages().at(0).icon, MessageIcon::None);
    }
}

void ValidationTest::notBlank_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("result");
    QTest::newRow("empty") << u""_s << false;
    QTest::newRow("three spaces") << u"   "_s << false;
    QTest::newRow("spaced letter") << u" a "_s << true;
    QTest::newRow("ideographic space is not a space") << u"\u3000"_s << true;
    QTest::newRow("tab is not a space") << u"\t"_s << true;
}

void ValidationTest::notBlank()
{
    QFETCH(QString, name);
    QFETCH(bool, result);
    QCOMPARE(NotBlank(name), result);
}

void ValidationTest::previewTests_data()
{
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("name");    // the row's current name
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString plain = u"a.txt"_s;
    QTest::newRow("accepted") << u"Trip001.JPG"_s << plain << u""_s;
    QTest::newRow("comma accepted") << u"a,b.txt"_s << plain << u""_s;
    QTest::newRow("question mark") << u"a?.txt"_s << plain << u"a?.txt\r\n"_s + CharsText;
    QTest::newRow("characters before leading period") << u".a|b"_s << plain << u".a|b\r\n"_s + CharsText;
    QTest::newRow("kept colon") << u"10:30 会議 2.txt"_s << u"10:30 会議.txt"_s << u""_s;
    QTest::newRow("kept question mark, new colon")
        << u"what?:.txt"_s << u"what?.txt"_s << u"what?:.txt\r\n"_s + CharsText;
    QTest::newRow("kept final period") << u"notes."_s << u"notes."_s << u""_s;
    QTest::newRow("kept line feed") << u"a\nc.txt"_s << u"a\nb.txt"_s << u""_s;

    QTest::newRow("leading period hides a visible file")
        << u".profile"_s << plain << u".profile\r\n先頭をピリオドにはできません"_s;
    QTest::newRow("dot-file keeps its period") << u".bashrc.old"_s << u".bashrc"_s << u""_s;
    QTest::newRow("unchanged dot-file") << u".env"_s << u".env"_s << u""_s;
    QTest::newRow("leading before trailing period")
        << u".abc."_s << plain << u".abc.\r\n先頭をピリオドにはできません"_s;
    QTest::newRow("trailing period") << u"abc."_s << plain
                                     << u"abc.\r\nファイル名の最後をピリオドにはできません"_s;
    QTest::newRow("three spaces") << u"   "_s << plain << u"空白名が存在します．名前を付けてください"_s;
    QTest::newRow("empty passes the first three")
        << u""_s << plain << u"空白名が存在します．名前を付けてください"_s;
    QTest::newRow("reserved token lower case")
        << u"a__kzm_x_.001"_s << plain
        << Reserved + u"\r\nフォルダから移動するか，他のソフトで名前を変えてください"_s;
    QTest::newRow("reserved token without period passes") << u"__KZM_X_001"_s << plain << u""_s;
    QTest::newRow("line feed") << u"a\nb.txt"_s << plain << u"a/nb.txt\r\nファイル名に改行文字は使えません"_s;
    QTest::newRow("carriage return") << u"a\rb.txt"_s << plain
                                     << u"a/rb.txt\r\nファイル名に改行文字は使えません"_s;
}

void ValidationTest::previewTests()
{
    QFETCH(QString, preview);
    QFETCH(QString, name);
    QFETCH(QString, message);
    RecordingMessageSink sink;
    QCOMPARE(CheckPreview(preview, name), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(sink.messages().isEmpty());
    } else {
        QCOMPARE(sink.texts(), QStringList{message});
        QCOMPARE(sink.messages().at(0).icon, MessageIcon::None);
    }
}

void ValidationTest::undoGivesBackLeadingPeriod()
{
    // Only the name the change log recorded may come back with its period.
    QVERIFY(!FindPreviewFault(u".env"_s, u"env"_s, u".env"_s));
    QVERIFY(FindPreviewFault(u".env2"_s, u"env"_s, u".env"_s));
    QVERIFY(FindPreviewFault(u".env"_s, u"env"_s));
}

void ValidationTest::previewLength()
{
    RecordingMessageSink sink;
    QVERIFY(CheckPreview(QString(255, u'a'), u"a"_s));
    const QString ascii256(256, u'a');
    QVERIFY(!CheckPreview(ascii256, u"a"_s));
    QCOMPARE(sink.texts(),
             QStringList{ascii256 + u"\r\nファイル名が長すぎます．255バイト以内にしてください"_s});

    // Counted in bytes: 85 kana are 255 bytes, 86 are 258.
    sink.clear();
    QVERIFY(CheckPreview(QString(85, u'あ'), u"a"_s));
    QVERIFY(!CheckPreview(QString(86, u'あ'), u"a"_s));
    // A byte that is not UTF-8 goes back to the disk as one byte.
    QVERIFY(CheckPreview(DecodeName(QByteArray(255, '\xff')), u"a"_s));
    QVERIFY(!CheckPreview(DecodeName(QByteArray(256, '\xff')), u"a"_s));
    QCOMPARE(sink.messages().size(), 2);

    sink.clear();
    QVERIFY(!CheckPreview(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"), u"a"_s));
    QCOMPARE(sink.messages().size(), 1);
}

void ValidationTest::unchangedAndTempNames()
{
    QVERIFY(IsUnchanged(FileEntry{QStringLiteral("a.txt"), QStringLiteral("a.txt"), {}, {}, {}}));
    QVERIFY(!IsUnchanged(FileEntry{QStringLiteral("a.txt"), QStringLiteral("A.txt"), {}, {}, {}}));
    QCOMPARE(TempName(7), QStringLiteral("__KZM_X_.007"));
    QCOMPARE(TempName(12), QStringLiteral("__KZM_X_.012"));
    QCOMPARE(TempName(1234), QStringLiteral("__KZM_X_.1234"));
    QCOMPARE(TempName(32766), QStringLiteral("__KZM_X_.32766"));
}

void ValidationTest::duplicates_data()
{
    // files on disk; renames "old>new" separated by "|"; expected duplicate lines (sorted)
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("renames");
    QTest::addColumn<QStringList>("duplicates");
    QTest::newRow("no change") << QStringList{u"a.txt"_s, u"b.txt"_s} << QStringList{} << QStringList{};
    QTest::newRow("swap passes") << QStringList{u"a.txt"_s, u"b.txt"_s}
                                 << QStringList{u"a.txt>b.txt"_s, u"b.txt>a.txt"_s} << QStringList{};
    QTest::newRow("three-file cycle passes")
        << QStringList{u"x.txt"_s, u"y.txt"_s, u"z.txt"_s}
        << QStringList{u"x.txt>y.txt"_s, u"y.txt>z.txt"_s, u"z.txt>x.txt"_s} << QStringList{};
    QTest::newRow("case-only change passes")
        << QStringList{u"a.txt"_s} << QStringList{u"a.txt>A.TXT"_s} << QStringList{};
    QTest::newRow("freed name reused") << QStringList{u"x.txt"_s, u"z.txt"_s}
                                       << QStringList{u"x.txt>y.txt"_s, u"z.txt>x.txt"_s} << QStringList{};
    QTest::newRow("two previews differ in case")
        << QStringList{u"1.jpg"_s, u"2.jpg"_s} << QStringList{u"1.jpg>Photo.jpg"_s, u"2.jpg>photo.JPG"_s}
        << QStringList{u"Photo.jpg"_s, u"photo.JPG"_s};
    QTest::newRow("preview meets an unchanged file")
        << QStringList{u"a.txt"_s, u"b.txt"_s} << QStringList{u"a.txt>B.txt"_s}
        << QStringList{u"B.txt"_s, u"b.txt"_s};
    QTest::newRow("comma names are whole")
        << QStringList{u"a,b.txt"_s, u"c.txt"_s} << QStringList{u"c.txt>b.txt"_s} << QStringList{};
    QTest::newRow("names that coexist pass") << QStringList{u"README"_s, u"readme"_s, u"a.txt"_s, u"A.txt"_s}
                                             << QStringList{u"a.txt>b.txt"_s} << QStringList{};
    QTest::newRow("new name meets a coexisting pair")
        << QStringList{u"README"_s, u"readme"_s, u"x"_s} << QStringList{u"x>Readme"_s}
        << QStringList{u"README"_s, u"Readme"_s, u"readme"_s};
    QTest::newRow("exact preview of an unchanged file")
        << QStringList{u"a.txt"_s, u"b.txt"_s} << QStringList{u"a.txt>b.txt"_s}
        << QStringList{u"b.txt"_s, u"b.txt"_s};
    QTest::newRow("kana width is not case")
        << QStringList{u"1.txt"_s, u"2.txt"_s} << QStringList{u"1.txt>ｶ.txt"_s, u"2.txt>カ.txt"_s}
        << QStringList{};
}

void ValidationTest::duplicates()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, renames);
    QFETCH(QStringList, duplicates);
    TempFolder folder;
    for (const QString &name : files)
        folder.addFile(name);
    FileList list;
    AppSettings settings;
    ScanAll(list, settings, folder);
    for (const QString &rename : renames)
        SetPreview(list, rename.section(u'>', 0, 0), rename.section(u'>', 1));

    FailingFileSystem fs;
    RecordingMessageSink sink;
    QCOMPARE(CheckDuplicates(list, settings), duplicates.isEmpty());
    QStringList reported;
    QVERIFY(sink.messages().size() <= 1);
    for (const RecordingMessageSink::Message &m : sink.messages()) {
        QCOMPARE(m.title, DuplicateTitle);
        QCOMPARE(m.icon, MessageIcon::Critical);
        for (const QString &line : m.text.split(u"\r\n"_s)) {
            QVERIFY(line.endsWith(QStringLiteral("が重複します")));
            reported.append(line.chopped(6));
        }
    }
    reported.sort();
    duplicates.sort();
    QCOMPARE(reported, duplicates);
    QVERIFY(TempFilesGone(fs));
}

void ValidationTest::duplicateGroupInEnumerationOrder()
{
    TempFolder folder;
    for (const char *name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"})
        folder.addFile(QString::fromLatin1(name));
    FileList list;
    AppSettings settings;
    ScanAll(list, settings, folder);
    SetPreview(list, QStringLiteral("1.txt"), QStringLiteral("same.txt"));
    SetPreview(list, QStringLiteral("3.txt"), QStringLiteral("SAME.txt"));
    SetPreview(list, QStringLiteral("5.txt"), QStringLiteral("Same.TXT"));

    QStringList expected;
    for (const QString &name : EnumerationOrder(folder.path())) {
        if (name == u"1.txt")
            expected.append(QStringLiteral("same.txtが重複します"));
        else if (name == u"3.txt")
            expected.append(QStringLiteral("SAME.txtが重複します"));
        else if (name == u"5.txt")
            expected.append(QStringLiteral("Same.TXTが重複します"));
    }
    RecordingMessageSink sink;
    std::vector<int> rows;
    QVERIFY(!CheckDuplicates(list, settings, &rows));
    QCOMPARE(sink.texts(), QStringList{expected.join(u"\r\n"_s)});
    std::sort(rows.begin(), rows.end());
    QCOMPARE(rows, (std::vector<int>{1, 3, 5}));
}

void ValidationTest::duplicateBoxListsTen()
{
    TempFolder folder;
    for (int k = 1; k <= 11; ++k)
        folder.addFile(QStringLiteral("%1.txt").arg(k));
    FileList list;
    AppSettings settings;
    ScanAll(list, settings, folder);
    for (int k = 1; k <= 11; ++k)
        SetPreview(list, QStringLiteral("%1.txt").arg(k), QStringLiteral("same.txt"));

    RecordingMessageSink sink;
    QVERIFY(!CheckDuplicates(list, settings));
    QCOMPARE(sink.messages().size(), 1);
    const QStringList lines = sink.texts().at(0).split(u"\r\n"_s);
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.at(9), u"same.txtが重複します"_s);
    QCOMPARE(lines.at(10), u"ほかに 1 個の名前も重複します"_s);
}

void ValidationTest::reservedLeftoverBlocks()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("a.txt"));
    folder.addFile(QStringLiteral("__KZM_X_.003"));
    folder.addFile(QStringLiteral("__kzm_x_.012x"));
    FileList list;
    AppSettings settings;
    settings.CurrentFolder = folder.path() + QStringLiteral("//");
    settings.FilePattern = QStringLiteral("*.txt");
    InputData(list, settings, SortNameAscending);
    QCOMPARE(list.count(), 1);
    settings.CurrentFolder += QStringLiteral("/");

    FailingFileSystem fs;
    RecordingMessageSink sink;
    QVERIFY(!CheckDuplicates(list, settings));
    // One message for every leftover, with their count.
    QCOMPARE(sink.texts().size(), 1);
    QVERIFY(sink.texts().at(0).startsWith(Reserved + u"\r\nこの文字を含む名前がフォルダに 2 個あります．"_s));
    QCOMPARE(settings.CurrentFolder, folder.path());
    QVERIFY(TempFilesGone(fs));
}

void ValidationTest::unlistedCollisions()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("a.txt"));
    folder.addFile(QStringLiteral("c.txt"));
    folder.addFile(QStringLiteral("d.txt"));
    folder.addFile(QStringLiteral("e.txt"));
    folder.addFile(QStringLiteral(".B.TXT"));
    folder.addFile(QStringLiteral("other.dat"));
    folder.addFolder(QStringLiteral("docs"));
    folder.addRawFile(QByteArray("\xff\xfe.txt"));
    FileList list;
    AppSettings settings;
    settings.CurrentFolder = folder.path();
    settings.FilePattern = QStringLiteral("*.txt");
    settings.ShowHidden = false;
    InputData(list, settings, SortNameAscending);
    QCOMPARE(list.count(), 5); // a, c, d, e and the file that is not UTF-8

    SetPreview(list, QStringLiteral("a.txt"), QStringLiteral(".b.txt"));
    SetPreview(list, QStringLiteral("c.txt"), QStringLiteral("Docs"));
    SetPreview(list, QStringLiteral("d.txt"), QStringLiteral("OTHER.DAT"));
    SetPreview(list, QStringLiteral("e.txt"), DecodeName(QByteArray("\xff\xfe.TXT")));

    RecordingMessageSink sink;
    QVERIFY(!CheckDuplicates(list, settings));
    QCOMPARE(sink.messages().size(), 1);
    QStringList reported = sink.texts().at(0).split(u"\r\n"_s);
    reported.sort();
    QStringList expected{u".B.TXTが重複します"_s,
                         u".b.txtが重複します"_s,
                         u"Docsが重複します"_s,
                         u"OTHER.DATが重複します"_s,
                         u"docsが重複します"_s,
                         u"other.datが重複します"_s,
                         DecodeName(QByteArray("\xff\xfe.TXT")) + QStringLiteral("が重複します"),
                         DecodeName(QByteArray("\xff\xfe.txt")) + QStringLiteral("が重複します")};
    expected.sort();
    QCOMPARE(reported, expected);

    // Two names that are not UTF-8 and differ in one byte do not collide.
    SetPreview(list, QStringLiteral("a.txt"), QStringLiteral("a.txt"));
    SetPreview(list, QStringLiteral("c.txt"), QStringLiteral("c.txt"));
    SetPreview(list, QStringLiteral("d.txt"), QStringLiteral("d.txt"));
    SetPreview(list, QStringLiteral("e.txt"), DecodeName(QByteArray("\xff\xfd.txt")));
    sink.clear();
    QVERIFY(CheckDuplicates(list, settings));
    QVERIFY(sink.messages().isEmpty());
    RemoveRawNames(folder);
}

void ValidationTest::tempFileHoldsExactBytes()
{
    TempFolder folder;
    folder.addRawFile(QByteArray("\x83\x65\x83\x58\x83\x67.txt")); // cp932 bytes, not UTF-8
    folder.addFile(QStringLiteral("日本語.txt"));
    folder.addFile(QStringLiteral("keep.txt"));
    FileList list;
    AppSettings settings;
    ScanAll(list, settings, folder);
    SetPreview(list, QStringLiteral("日本語.txt"), QStringLiteral("新しい.txt"));

    FailingFileSystem fs;
    RecordingMessageSink sink;
    QVERIFY(CheckDuplicates(list, settings));
    const QByteArray written = fs.writtenTo(GetTempFolder() + DuplicateCheckFilePrefix);
    QList<QByteArray> lines = written.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    for (QByteArray &line : lines) {
        QVERIFY(line.endsWith('\r'));
        line.chop(1);
    }
    std::sort(lines.begin(), lines.end());
    QList<QByteArray> expected{QByteArray("\x83\x65\x83\x58\x83\x67.txt"), QByteArray("keep.txt"),
                               QStringLiteral("新しい.txt").toUtf8()};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(lines, expected);
    QVERIFY(TempFilesGone(fs));
    RemoveRawNames(folder);
}

void ValidationTest::tempFileFailures_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("message");
    QTest::newRow("folder cannot be listed")
        << u"ListNames"_s << u"テンポラリファイル製作中に障害が生じました"_s;
    QTest::newRow("file cannot be made")
        << u"CreateUniqueFile"_s << u"テンポラリファイル製作中に障害が生じました"_s;
    QTest::newRow("no private folder")
        << u"PrivateFolder"_s << u"テンポラリファイル製作中に障害が生じました"_s;
    QTest::newRow("file cannot be removed")
        << u"RemoveFile"_s << u"テンポラリファイルを削除できませんでした\r\n"_s;
    QTest::newRow("file cannot be read") << u"ReadFile"_s << u"テンポラリファイル処理中に障害が生じました"_s;
}

void ValidationTest::tempFileFailures()
{
    QFETCH(QString, failing);
    QFETCH(QString, message);
    TempFolder folder;
    folder.addFile(QStringLiteral("a.txt"));
    FileList list;
    AppSettings settings;
    ScanAll(list, settings, folder);

    FailingFileSystem fs;
    fs.refuse = [&](const FailingFileSystem::Operation &op) { return op.kind == failing; };
    RecordingMessageSink sink;
    QVERIFY(!CheckDuplicates(list, settings));
    QCOMPARE(sink.texts().size(), 1);
    QVERIFY(sink.texts().at(0).startsWith(message));
    if (failing != u"RemoveFile")
        QVERIFY(TempFilesGone(fs));
    for (auto it = fs.written().cbegin(); it != fs.written().cend(); ++it)
        QFile::remove(it.key());
}

void ValidationTest::tryRenameUsesTrialName()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("x.txt"), "content");
    const FileEntry entry{QStringLiteral("x.txt"), QStringLiteral("y.txt"), {}, {}, {}};
    FailingFileSystem fs;
    RecordingMessageSink sink;
    FolderRenamer renamer(Fs().OpenFolder(folder.path()));
    QString seen;
    const int before = fs.operationCount();
    QCOMPARE(TryRename(entry, 12, renamer,
                       [&](const QString &trialName) {
                           seen = trialName;
                           return true;
                       }),
             TrialRename::Done);
    QCOMPARE(seen, QStringLiteral("__KZM_X_.012x"));
    QCOMPARE(fs.operationCount() - before, 2);
    QCOMPARE(folder.names(), QStringList{u"x.txt"_s});

    // A refusal while away still brings the file back.
    QCOMPARE(TryRename(entry, 1, renamer, [](const QString &) { return false; }), TrialRename::Refused);
    QCOMPARE(folder.names(), QStringList{u"x.txt"_s});

    // A missing file fails quietly.
    const FileEntry missing{QStringLiteral("gone.txt"), QStringLiteral("y.txt"), {}, {}, {}};
    QCOMPARE(TryRename(missing, 1, renamer), TrialRename::Refused);
    // The way back fails: the file keeps its trial name.
    fs.failAt(2);
    QCOMPARE(TryRename(entry, 3, renamer), TrialRename::Stuck);
    QCOMPARE(folder.names(), QStringList{u"__KZM_X_.003x"_s});
    QVERIFY(sink.messages().isEmpty());
}

void ValidationTest::applyAttributesKeepsArchive()
{
    TempFolder folder;
    const QString path = folder.addFile(QStringLiteral("a.txt"));
    if (!folder.setDosAttributes(QStringLiteral("a.txt"), AttrArchive | AttrSystem))
        QSKIP("this file system keeps no user attributes");
    folder.setReadOnly(QStringLiteral("a.txt"), true);
    QCOMPARE(ReadAttributesOf(path), std::optional<int>(AttrArchive | AttrSystem | AttrReadOnly));

    const FolderHandle handle = Fs().OpenFolder(folder.path());
    QVERIFY(ApplyAttributes(handle, QStringLiteral("a.txt"), Row(QStringLiteral("- - -"))));
    QCOMPARE(ReadAttributesOf(path), std::optional<int>(AttrArchive));
    QVERIFY(ApplyAttributes(handle, QStringLiteral("a.txt"), Row(QStringLiteral("R H S"))));
    QCOMPARE(ReadAttributesOf(path),
             std::optional<int>(AttrArchive | AttrReadOnly | AttrHidden | AttrSystem));
}

QTEST_GUILESS_MAIN(ValidationTest)
#include "validation_test.moc"
