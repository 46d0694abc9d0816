#include "platform/dosattrib.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "platform/wildcard.h"
#include "support/pathfs.h"
#include "support/tempfolder.h"

#include <QTest>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void nameRoundTrip_data();
    void nameRoundTrip();
    void invalidBytesSurviveCaseMapping();
    void wildcard_data();
    void wildcard();
    void dosAttrib_data();
    void dosAttrib();
    void composeChangesOnlyTheWord_data();
    void composeChangesOnlyTheWord();
    void composeLeavesUnknownRecordsAlone();
    void sambaRecordOnDisk();
    void renameNeverReplaces();
    void symbolicLinks();
    void attributesOnDisk();
    void wholeFileWrites();
    void privateFolders();
    void largeFolderKeepsEnumerationOrder();
    void openedAndListedAsTheyAre_data();
    void openedAndListedAsTheyAre();
};

void PlatformTest::nameRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QByteArray("photo.jpg");
    QTest::newRow("japanese") << QByteArray("写真　一.jpg");
    QTest::newRow("latin-1 byte") << QByteArray("caf\xe9.txt");
    QTest::newRow("truncated sequence") << QByteArray("a\xe3\x81");
    QTest::newRow("overlong slash") << QByteArray("x\xc0\xaf");
    QTest::newRow("surrogate half") << QByteArray("\xed\xa0\x80.txt");
    QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80");
    QTest::newRow("genuine escape code point") << QByteArray("\xf4\x8f\xba\x80");
    QTest::newRow("emoji") << QByteArray("\xf0\x9f\x93\xb7.png");
}

void PlatformTest::nameRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeName(DecodeName(bytes)), bytes);
}

void PlatformTest::invalidBytesSurviveCaseMapping()
{
    const QByteArray bytes("Caf\xe9\xff.TXT");
    const QString upper = DecodeName(bytes).toUpper();
    const QString lower = DecodeName(bytes).toLower();
    QCOMPARE(EncodeName(upper), QByteArray("CAF\xe9\xff.TXT"));
    QCOMPARE(EncodeName(lower), QByteArray("caf\xe9\xff.txt"));
}

void PlatformTest::wildcard_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("empty matches all") << ""
                                       << "README" << true;
    QTest::newRow("star dot star matches no period") << "*.*"
                                                     << "README" << true;
    QTest::newRow("star") << "*"
                          << "a.b.c" << true;
    QTest::newRow("extension ignores case") << "*.jpg"
                                            << "PHOTO.JPG" << true;
    QTest::newRow("extension must end") << "*.jpg"
                                        << "photo.jpg.bak" << false;
    QTest::newRow("question mark one char") << "IMG_???.png"
                                            << "img_001.png" << true;
    QTest::newRow("question mark not zero chars") << "a?.txt"
                                                  << "a.txt" << false;
    QTest::newRow("japanese case-free") << "*写真*"
                                        << "旅行写真01.jpg" << true;
    QTest::newRow("backtracking") << "*a*b"
                                  << "xaxxbxb" << true;
    QTest::newRow("literal") << "abc"
                             << "abcd" << false;
}

void PlatformTest::wildcard()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(Wildcard(pattern).Matches(name), matches);
}

namespace {

// Records as Samba's own marshaller writes them for hidden + archive (0x22),
// valid_flags 1, times 0.
QByteArray SambaRecord(int version)
{
    switch (version) {
    case 5:
        return QByteArray("\0\0\x05\0\x05\0\0\0\x01\0\0\0\x22\0\0\0", 16) + QByteArray(8, '\0');
    case 4:
        return QByteArray("\0\0\x04\0\x04\0\0\0\x01\0\0\0\x22\0\0\0", 16) + QByteArray(16, '\0');
    case 3:
        return QByteArray("0x22\0\0\x03\0\x03\0\0\0\x01\0\0\0\x22\0\0\0", 20) + QByteArray(36, '\0');
    default:
        return QByteArray("0x22\0\0\x01\0\x01\0\0\0\x22\0\0\0", 16) + QByteArray(36, '\0');
    }
}

} // namespace

void PlatformTest::dosAttrib_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("word");
    QTest::newRow("text") << QByteArray("0x22") << 0x22;
    QTest::newRow("text with NUL") << QByteArray("0x6\0", 4) << 0x6;
    QTest::newRow("samba version 5") << SambaRecord(5) << 0x22;
    QTest::newRow("samba version 4") << SambaRecord(4) << 0x22;
    QTest::newRow("samba version 3") << SambaRecord(3) << 0x22;
    QTest::newRow("samba version 1") << SambaRecord(1) << 0x22;
    QByteArray invalid = SambaRecord(5);
    invalid[8] = 0; // valid_flags without the attribute bit: the word does not count
    QTest::newRow("word not valid") << invalid << 0;
    QTest::newRow("garbage") << QByteArray("hello") << -1;
    QTest::newRow("unknown version") << QByteArray("\0\0\x07\0\x07\0\0\0\x22\0\0\0\0\0\0\0", 16) << -1;
    QTest::newRow("version and level differ")
        << QByteArray("\0\0\x03\0\x05\0\0\0\x01\0\0\0\x22\0\0\0", 16) << -1;
    QTest::newRow("too short for its word") << SambaRecord(5).left(14) << -1;
}

void PlatformTest::dosAttrib()
{
    QFETCH(QByteArray, value);
    QFETCH(int, word);
    const auto parsed = ParseDosAttrib(value);
    QCOMPARE(parsed ? int(*parsed) : -1, word);
}

void PlatformTest::composeChangesOnlyTheWord_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("wordAt");
    QTest::newRow("version 5") << 5 << 12;
    QTest::newRow("version 4") << 4 << 12;
    QTest::newRow("version 3") << 3 << 16;
    QTest::newRow("version 1") << 1 << 12;
}

void PlatformTest::composeChangesOnlyTheWord()
{
    QFETCH(int, version);
    QFETCH(int, wordAt);
    QByteArray record = SambaRecord(version);
    const int validAt = version >= 3 ? wordAt - 4 : -1;
    if (validAt >= 0)
        record[validAt] = 0; // patching must set the valid bit again
    const QByteArray patched = *ComposeDosAttrib(record, 0x24);
    QCOMPARE(patched.size(), record.size());
    QCOMPARE(*ParseDosAttrib(patched), 0x24u);
    for (int k = 0; k < record.size(); ++k) {
        if (k >= wordAt && k < wordAt + 4)
            QCOMPARE(patched.at(k), k == wordAt ? char(0x24) : char(0));
        else if (k == validAt)
            QCOMPARE(patched.at(k), char(1));
        else
            QCOMPARE(patched.at(k), record.at(k));
    }
}

void PlatformTest::composeLeavesUnknownRecordsAlone()
{
    QCOMPARE(*ComposeDosAttrib(QByteArray("0x20"), 0x22), QByteArray("0x22"));
    QCOMPARE(*ComposeDosAttrib(QByteArray(), 0x4), QByteArray("0x4"));
    QVERIFY(!ComposeDosAttrib(QByteArray("hello"), 0x2));
    QVERIFY(!ComposeDosAttrib(SambaRecord(5).left(14), 0x2));
}

void PlatformTest::sambaRecordOnDisk()
{
    // Applying hidden to a file with a Samba record patches the record and
    // leaves every other byte of it as Samba wrote it.
    TempFolder folder;
    const QString path = folder.addFile(QStringLiteral("a.txt"));
    QByteArray record = SambaRecord(3);
    record[16] = 0x20; // archive only
    if (::setxattr(EncodeName(path).constData(), "user.DOSATTRIB", record.constData(), size_t(record.size()),
                   0) != 0)
        QSKIP("this file system keeps no user attributes");
    QCOMPARE(*ReadAttributesOf(path), int(AttrArchive));
    QVERIFY(CanWriteAttributesOf(path, AttrHidden));
    QVERIFY(WriteAttributesOf(path, AttrHidden));
    QCOMPARE(*ReadAttributesOf(path), AttrHidden | AttrArchive);
    QByteArray stored(512, '\0');
    stored.truncate(::getxattr(EncodeName(path).constData(), "user.DOSATTRIB", stored.data(), 512));
    QCOMPARE(stored, SambaRecord(3));

    // A record longer than 256 bytes is read whole, never taken for absent.
    QByteArray longRecord = SambaRecord(5) + QByteArray(300, '\x7f');
    ::setxattr(EncodeName(path).constData(), "user.DOSATTRIB", longRecord.constData(),
               size_t(longRecord.size()), 0);
    QCOMPARE(*ReadAttributesOf(path), AttrHidden | AttrArchive);
    QVERIFY(WriteAttributesOf(path, AttrSystem));
    longRecord[12] = 0x24;
    stored.resize(1024);
    stored.truncate(::getxattr(EncodeName(path).constData(), "user.DOSATTRIB", stored.data(), 1024));
    QCOMPARE(stored, longRecord);

    // A record of a form we do not know belongs to someone else: left alone.
    const QByteArray foreign("\0\0\x09\0\x09\0\0\0\x22\0\0\0", 12);
    ::setxattr(EncodeName(path).constData(), "user.DOSATTRIB", foreign.constData(), size_t(foreign.size()),
               0);
    QVERIFY(!CanWriteAttributesOf(path, AttrSystem));
    QVERIFY(!WriteAttributesOf(path, AttrSystem));
    QVERIFY(WriteAttributesOf(path, 0)); // nothing to change is no error
    stored.resize(64);
    stored.truncate(::getxattr(EncodeName(path).constData(), "user.DOSATTRIB", stored.data(), 64));
    QCOMPARE(stored, foreign);
}

void PlatformTest::renameNeverReplaces()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("a.txt"), "A");
    folder.addFile(QStringLiteral("b.txt"), "B");
    QVERIFY(
        !RenameByPath(folder.filePath(QStringLiteral("a.txt")), folder.filePath(QStringLiteral("b.txt"))));
    QCOMPARE(folder.content(QStringLiteral("a.txt")), QByteArray("A"));
    QCOMPARE(folder.content(QStringLiteral("b.txt")), QByteArray("B"));
    QVERIFY(RenameByPath(folder.filePath(QStringLiteral("a.txt")), folder.filePath(QStringLiteral("c.txt"))));
    QCOMPARE(folder.names(), QStringList({QStringLiteral("b.txt"), QStringLiteral("c.txt")}));
}

void PlatformTest::symbolicLinks()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("target.txt"), "12345");
    folder.addFolder(QStringLiteral("dir"));
    const QByteArray base = folder.encodedPath() + '/';
    QCOMPARE(::symlink("target.txt", QByteArray(base + "link.txt").constData()), 0);
    QCOMPARE(::symlink("dir", QByteArray(base + "dirlink").constData()), 0);
    QCOMPARE(::symlink("missing", QByteArray(base + "dangling").constData()), 0);

    std::vector<FolderEntry> entries;
    ListOptions options;
    options.mask = AttrReadOnly | AttrHidden | AttrSystem;
    QVERIFY(Fs().ListFolder(folder.path(), options, entries));
    QStringList names;
    for (const FolderEntry &e : entries) {
        names.append(e.name);
        if (e.name == u"link.txt")
            QCOMPARE(e.size, 5); // the target's size
    }
    names.sort();
    // A link to a folder counts as a folder; a dangling link is still an entry.
    QCOMPARE(names, QStringList({QStringLiteral("dangling"), QStringLiteral("link.txt"),
                                 QStringLiteral("target.txt")}));

    // Renaming a link renames the link, never its target.
    QVERIFY(RenameByPath(folder.filePath(QStringLiteral("link.txt")),
                         folder.filePath(QStringLiteral("renamed.txt"))));
    QVERIFY(folder.exists(QStringLiteral("target.txt")));
    QCOMPARE(folder.content(QStringLiteral("renamed.txt")), QByteArray("12345"));
    // Attributes are never applied through a link.
    QVERIFY(!CanWriteAttributesOf(folder.filePath(QStringLiteral("renamed.txt")), AttrReadOnly));
    QVERIFY(!WriteAttributesOf(folder.filePath(QStringLiteral("renamed.txt")), AttrReadOnly));
    QVERIFY(WriteAttributesOf(folder.filePath(QStringLiteral("renamed.txt")), 0));
}

void PlatformTest::attributesOnDisk()
{
    TempFolder folder;
    const QString plain = folder.addFile(QStringLiteral("plain.txt"));
    const QString dotted = folder.addFile(QStringLiteral(".hidden"));
    QCOMPARE(*ReadAttributesOf(plain), 0);
    QCOMPARE(*ReadAttributesOf(dotted), int(AttrHidden));

    QVERIFY(CanWriteAttributesOf(plain, AttrReadOnly));
    QVERIFY(WriteAttributesOf(plain, AttrReadOnly));
    QCOMPARE(*ReadAttributesOf(plain), int(AttrReadOnly));
    struct stat st;
    ::stat(EncodeName(plain).constData(), &st);
    QCOMPARE(st.st_mode & 0222, 0u); // every write bit cleared
    QVERIFY(WriteAttributesOf(plain, 0));
    ::stat(EncodeName(plain).constData(), &st);
    QCOMPARE(st.st_mode & 0222, 0200u); // only the owner's comes back

    // A period name stays hidden whatever is asked; that is no error.
    QVERIFY(WriteAttributesOf(dotted, 0));
    QCOMPARE(*ReadAttributesOf(dotted), int(AttrHidden));

    if (!folder.setDosAttributes(QStringLiteral("plain.txt"), AttrArchive))
        QSKIP("this file system keeps no user attributes");
    QVERIFY(WriteAttributesOf(plain, AttrReadOnly | AttrHidden | AttrSystem));
    QCOMPARE(*ReadAttributesOf(plain), AttrReadOnly | AttrHidden | AttrSystem | AttrArchive);
    // Read-only files still take new user attributes.
    QVERIFY(WriteAttributesOf(plain, AttrReadOnly));
    QCOMPARE(*ReadAttributesOf(plain), AttrReadOnly | AttrArchive);
}

void PlatformTest::wholeFileWrites()
{
    TempFolder folder;
    const QString log = folder.filePath(QStringLiteral("log"));
    QVERIFY(Fs().ReplaceFile(log, "one"));
    QVERIFY(Fs().ReplaceFile(log, "two"));
    QCOMPARE(*Fs().ReadFile(log), QByteArray("two"));
    QCOMPARE(folder.names(), QStringList{QStringLiteral("log")}); // no temporary file left

    // A settings file that is a link is written through to its target.
    folder.addFolder(QStringLiteral("real"));
    folder.addFile(QStringLiteral("real/Kazami.ini"), "old");
    QCOMPARE(::symlink("real/Kazami.ini", QByteArray(folder.encodedPath() + "/Kazami.ini").constData()), 0);
    QVERIFY(Fs().ReplaceFile(folder.filePath(QStringLiteral("Kazami.ini")), "new"));
    QCOMPARE(folder.content(QStringLiteral("real/Kazami.ini")), QByteArray("new"));
    struct stat st;
    QCOMPARE(::lstat(QByteArray(folder.encodedPath() + "/Kazami.ini").constData(), &st), 0);
    QVERIFY(S_ISLNK(st.st_mode));

    // Unique files never share a name and are the owner's alone.
    const auto first =
        Fs().CreateUniqueFile(folder.path(), QStringLiteral("~KZM_Tmp."), QStringLiteral(".tmp"), "a");
    const auto second =
        Fs().CreateUniqueFile(folder.path(), QStringLiteral("~KZM_Tmp."), QStringLiteral(".tmp"), "b");
    QVERIFY(first && second && *first != *second);
    QCOMPARE(*Fs().ReadFile(*first), QByteArray("a"));
    QCOMPARE(::stat(EncodeName(*first).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0600u);
    QVERIFY(Fs().RemoveFile(*first));
    QVERIFY(Fs().RemoveFile(*first));
    QVERIFY(!Fs().ReadFile(*first));

    // A named pipe is no file to read: the read must not wait for a writer.
    QCOMPARE(::mkfifo(QByteArray(folder.encodedPath() + "/pipe.jpg").constData(), 0600), 0);
    QVERIFY(!Fs().ReadFile(folder.filePath(QStringLiteral("pipe.jpg"))));
}

void PlatformTest::privateFolders()
{
    TempFolder folder;
    const QString own = folder.filePath(QStringLiteral("own"));
    QVERIFY(!Fs().PrivateFolder(own, false));
    QVERIFY(Fs().PrivateFolder(own, true));
    QVERIFY(Fs().PrivateFolder(own, false));
    // Open to others, or a link: refused.
    folder.addFolder(QStringLiteral("open"));
    ::chmod(QByteArray(folder.encodedPath() + "/open").constData(), 0755);
    QVERIFY(!Fs().PrivateFolder(folder.filePath(QStringLiteral("open")), true));
    QCOMPARE(::symlink("own", QByteArray(folder.encodedPath() + "/link").constData()), 0);
    QVERIFY(!Fs().PrivateFolder(folder.filePath(QStringLiteral("link")), true));

    // A lock is exclusive across separate holders until released.
    LockAttempt held = Fs().LockExclusive(own);
    QVERIFY(held.lock);
    LockAttempt second = Fs().LockExclusive(own);
    QVERIFY(!second.lock && second.busy);
    held.lock.reset();
    QVERIFY(Fs().LockExclusive(own).lock);
}

void PlatformTest::largeFolderKeepsEnumerationOrder()
{
    // Large folders are read by two threads; the order must still be the
    // file system's own.
    TempFolder folder;
    for (int i = 0; i < 9000; ++i)
        folder.addFile(QStringLiteral("f%1.txt").arg(i));
    folder.addFolder(QStringLiteral("sub"));
    QList<QByteArray> raw;
    DIR *dir = ::opendir(folder.encodedPath().constData());
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('f'))
            raw.append(name);
    }
    ::closedir(dir);

    std::vector<FolderEntry> entries;
    QVERIFY(Fs().ListFolder(folder.path(), ListOptions{}, entries));
    QCOMPARE(qsizetype(entries.size()), raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i)
        QCOMPARE(EncodeName(entries[size_t(i)].name), raw[i]);
}

void PlatformTest::openedAndListedAsTheyAre_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("mode");   // of a folder; 0 for the default
    QTest::addColumn<bool>("opens"); // as a file to read, with its content
    QTest::addColumn<bool>("listable");
    QTest::addColumn<bool>("byRoot"); // the row needs an unprivileged user

    QTest::newRow("file") << u"file"_s << 0 << true << false << false;
    QTest::newRow("empty file") << u"empty"_s << 0 << true << false << false;
    QTest::newRow("link to a file") << u"link"_s << 0 << true << false << false;
    QTest::newRow("named pipe") << u"pipe"_s << 0 << false << false << false;
    QTest::newRow("missing") << u"missing"_s << 0 << false << false << false;
    QTest::newRow("folder") << u"folder"_s << 0 << false << true << false;
    QTest::newRow("empty folder") << u"folder"_s << 0700 << false << true << false;
    QTest::newRow("folder without read") << u"folder"_s << 0300 << false << false << true;
    QTest::newRow("folder without search") << u"folder"_s << 0600 << false << false << true;
}

void PlatformTest::openedAndListedAsTheyAre()
{
    QFETCH(QString, kind);
    QFETCH(int, mode);
    QFETCH(bool, opens);
    QFETCH(bool, listable);
    QFETCH(bool, byRoot);
    if (byRoot && ::geteuid() == 0)
        QSKIP("root reads and searches every folder");

    TempFolder folder;
    const QString path = folder.filePath(u"entry"_s);
    const QByteArray content = kind == u"empty" ? QByteArray() : QByteArray(300000, 'k');
    if (kind == u"file" || kind == u"empty") {
        folder.addFile(u"entry"_s, content);
    } else if (kind == u"link") {
        folder.addFile(u"target"_s, content);
        QCOMPARE(::symlink("target", EncodeName(path).constData()), 0);
    } else if (kind == u"pipe") {
        QCOMPARE(::mkfifo(EncodeName(path).constData(), 0600), 0);
    } else if (kind == u"folder") {
        folder.addFolder(u"entry"_s);
        if (mode != 0700)
            folder.addFile(u"entry/inner"_s);
        if (mode)
            QCOMPARE(::chmod(EncodeName(path).constData(), mode_t(mode)), 0);
    }

    const std::unique_ptr<QIODevice> device = Fs().OpenFile(path);
    QCOMPARE(bool(device), opens);
    if (device) {
        QCOMPARE(device->size(), qint64(content.size()));
        // Read as far as needed, from anywhere.
        QVERIFY(device->seek(content.size() / 2));
        QCOMPARE(device->readAll(), content.mid(content.size() / 2));
    }
    QCOMPARE(Fs().FolderListable(path), listable);
    if (kind == u"folder")
        ::chmod(EncodeName(path).constData(), 0700);
}

QTEST_GUILESS_MAIN(PlatformTest)
#include "platform_test.moc"
