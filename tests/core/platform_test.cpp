#include "platform/dosattrib.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "platform/wildcard.h"
#include "support/tempfolder.h"

#include <QTest>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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
    void composeKeepsBinaryRecord();
    void renameNeverReplaces();
    void symbolicLinks();
    void attributesOnDisk();
    void writeNeverFollowsLinks();
    void largeFolderKeepsEnumerationOrder();
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

void PlatformTest::dosAttrib_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("word");
    QTest::newRow("text") << QByteArray("0x22") << 0x22;
    QTest::newRow("text with NUL") << QByteArray("0x6\0", 4) << 0x6;
    QTest::newRow("binary version 5, empty string")
        << QByteArray("\0\x05\0\x05\0\x24\0\0\0\0\0\0\0", 13) << 0x24;
    QTest::newRow("binary with hex string") << QByteArray("0x2\0\x03\0\x03\0\x02\0\0\0", 12) << 0x2;
    QTest::newRow("garbage") << QByteArray("hello") << -1;
    QTest::newRow("short binary") << QByteArray("\0\x05\0", 3) << -1;
}

void PlatformTest::dosAttrib()
{
    QFETCH(QByteArray, value);
    QFETCH(int, word);
    const auto parsed = ParseDosAttrib(value);
    QCOMPARE(parsed ? int(*parsed) : -1, word);
}

void PlatformTest::composeKeepsBinaryRecord()
{
    const QByteArray record("\0\x05\0\x05\0\x20\0\0\0\x11\x22\x33", 12);
    const QByteArray patched = ComposeDosAttrib(record, 0x26);
    QCOMPARE(patched.size(), record.size());
    QCOMPARE(*ParseDosAttrib(patched), 0x26u);
    QCOMPARE(patched.right(3), record.right(3));
    QCOMPARE(ComposeDosAttrib(QByteArray("0x20"), 0x22), QByteArray("0x22"));
    QCOMPARE(ComposeDosAttrib(QByteArray(), 0x4), QByteArray("0x4"));
}

void PlatformTest::renameNeverReplaces()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("a.txt"), "A");
    folder.addFile(QStringLiteral("b.txt"), "B");
    QVERIFY(!Fs().RenameNoReplace(folder.filePath(QStringLiteral("a.txt")),
                                  folder.filePath(QStringLiteral("b.txt"))));
    QCOMPARE(folder.content(QStringLiteral("a.txt")), QByteArray("A"));
    QCOMPARE(folder.content(QStringLiteral("b.txt")), QByteArray("B"));
    QVERIFY(Fs().RenameNoReplace(folder.filePath(QStringLiteral("a.txt")),
                                 folder.filePath(QStringLiteral("c.txt"))));
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
    QVERIFY(Fs().RenameNoReplace(folder.filePath(QStringLiteral("link.txt")),
                                 folder.filePath(QStringLiteral("renamed.txt"))));
    QVERIFY(folder.exists(QStringLiteral("target.txt")));
    QCOMPARE(folder.content(QStringLiteral("renamed.txt")), QByteArray("12345"));
    // Attributes are never applied through a link.
    QVERIFY(!Fs().CanWriteAttributes(folder.filePath(QStringLiteral("renamed.txt")), AttrReadOnly));
    QVERIFY(!Fs().WriteAttributes(folder.filePath(QStringLiteral("renamed.txt")), AttrReadOnly));
    QVERIFY(Fs().WriteAttributes(folder.filePath(QStringLiteral("renamed.txt")), 0));
}

void PlatformTest::attributesOnDisk()
{
    TempFolder folder;
    const QString plain = folder.addFile(QStringLiteral("plain.txt"));
    const QString dotted = folder.addFile(QStringLiteral(".hidden"));
    QCOMPARE(*Fs().ReadAttributes(plain), 0);
    QCOMPARE(*Fs().ReadAttributes(dotted), int(AttrHidden));

    QVERIFY(Fs().CanWriteAttributes(plain, AttrReadOnly));
    QVERIFY(Fs().WriteAttributes(plain, AttrReadOnly));
    QCOMPARE(*Fs().ReadAttributes(plain), int(AttrReadOnly));
    struct stat st;
    ::stat(EncodeName(plain).constData(), &st);
    QCOMPARE(st.st_mode & 0222, 0u); // every write bit cleared
    QVERIFY(Fs().WriteAttributes(plain, 0));
    ::stat(EncodeName(plain).constData(), &st);
    QCOMPARE(st.st_mode & 0222, 0200u); // only the owner's comes back

    // A period name stays hidden whatever is asked; that is no error.
    QVERIFY(Fs().WriteAttributes(dotted, 0));
    QCOMPARE(*Fs().ReadAttributes(dotted), int(AttrHidden));

    if (!folder.setDosAttributes(QStringLiteral("plain.txt"), AttrArchive))
        QSKIP("this file system keeps no user attributes");
    QVERIFY(Fs().WriteAttributes(plain, AttrReadOnly | AttrHidden | AttrSystem));
    QCOMPARE(*Fs().ReadAttributes(plain), AttrReadOnly | AttrHidden | AttrSystem | AttrArchive);
    // Read-only files still take new user attributes.
    QVERIFY(Fs().WriteAttributes(plain, AttrReadOnly));
    QCOMPARE(*Fs().ReadAttributes(plain), AttrReadOnly | AttrArchive);
}

void PlatformTest::writeNeverFollowsLinks()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("precious.txt"), "keep me");
    QCOMPARE(::symlink("precious.txt", QByteArray(folder.encodedPath() + "/~KZM_Tmp.tmp").constData()), 0);
    QVERIFY(!Fs().WriteFile(folder.filePath(QStringLiteral("~KZM_Tmp.tmp")), "names\r\n", false));
    QCOMPARE(folder.content(QStringLiteral("precious.txt")), QByteArray("keep me"));

    QVERIFY(Fs().WriteFile(folder.filePath(QStringLiteral("log")), "one", true));
    QVERIFY(Fs().WriteFile(folder.filePath(QStringLiteral("log")), "two", true));
    QCOMPARE(*Fs().ReadFile(folder.filePath(QStringLiteral("log"))), QByteArray("two"));
    QVERIFY(Fs().RemoveFile(folder.filePath(QStringLiteral("log"))));
    QVERIFY(Fs().RemoveFile(folder.filePath(QStringLiteral("log"))));
    QVERIFY(!Fs().ReadFile(folder.filePath(QStringLiteral("log"))));
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

QTEST_GUILESS_MAIN(PlatformTest)
#include "platform_test.moc"
