#include "platform/filesystem.h"
#include "settings/paths.h"
#include "settings/settingsfile.h"
#include "support/failingfilesystem.h"
#include "support/recordingmessagesink.h"
#include "support/strings.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QStringEncoder>
#include <QTest>

namespace {

QByteArray Lines(const QStringList &lines, const char *end = "\r\n")
{
    QByteArray out;
    for (const QString &line : lines)
        out += line.toUtf8() + end;
    return out;
}

// The 34 lines of a complete settings file with distinctive values.
QStringList CompleteLines()
{
    QStringList lines = {QStringLiteral("///// Kazami ver1.2 設定保存用ファイル /////"),
                         QStringLiteral("/home/user/写真"),
                         QStringLiteral("False"),
                         QStringLiteral("True"),
                         QStringLiteral("False"),
                         QStringLiteral("False"),
                         QStringLiteral("False"),
                         QStringLiteral("False"),
                         QStringLiteral("False"),
                         QStringLiteral(" 5"),
                         QStringLiteral("-3"),
                         QStringLiteral("IMG_???"),
                         QStringLiteral("from"),
                         QStringLiteral("to"),
                         QStringLiteral("insert"),
                         QStringLiteral("旅行"),
                         QStringLiteral("True"),
                         QStringLiteral("True"),
                         QStringLiteral("/usr/bin/viewer"),
                         QStringLiteral("True"),
                         QStringLiteral("False")};
    for (int slot = 1; slot <= 10; ++slot)
        lines.append(slot <= 2 ? QStringLiteral("name%1.txt").arg(slot) : QString());
    lines << QStringLiteral(" 1") << QStringLiteral("True") << QStringLiteral("False");
    return lines;
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstRunWritesDefaults();
    void refusedFirstRunWritesNothing();
    void roundTrip();
    void truncatedFileKeepsWhatDefaultsDoNotTouch();
    void badFiles_data();
    void badFiles();
    void lineEnds();
    void cp932File();
    void lenientInteger_data();
    void lenientInteger();
    void booleans();
    void prohibitedSlotsStay();
    void unwritableFolder();
    void installedUse();
    void history_data();
    void history();
    void historyEntries();
    void systemFolders_data();
    void systemFolders();
    void pathHelpers();

private:
    TempFolder *m_folder = nullptr;
    int m_disclaimers = 0;
};

void SettingsTest::init()
{
    m_folder = new TempFolder;
    SetProgramFolderOverride(m_folder->path());
    m_disclaimers = 0;
    SetFirstRunHook([this] {
        ++m_disclaimers;
        return true;
    });
}

void SettingsTest::cleanup()
{
    SetProgramFolderOverride(QString());
    delete m_folder;
}

void SettingsTest::firstRunWritesDefaults()
{
    AppSettings settings;
    settings.ExternalProgram.clear();
    QCOMPARE(LoadSettings(settings), LoadResult::FirstRun);
    QCOMPARE(m_disclaimers, 1);
    QCOMPARE(settings.CurrentFolder, m_folder->path());
    QCOMPARE(settings.ExternalProgram, QStringLiteral("Explorer"));

    const QByteArray written = m_folder->content(QStringLiteral("Kazami.ini"));
    const QList<QByteArray> lines = written.split('\n');
    QCOMPARE(lines.size(), 35); // 34 lines, each ended by CR LF
    QVERIFY(written.endsWith("\r\n"));
    QCOMPARE(lines.at(0), QStringLiteral("///// Kazami ver1.2 設定保存用ファイル /////\r").toUtf8());
    QCOMPARE(lines.at(1), m_folder->path().toUtf8() + '\r');
    QCOMPARE(lines.at(9), QByteArray(" 2\r"));
    QCOMPARE(lines.at(10), QByteArray(" 0\r"));
    QCOMPARE(lines.at(18), QByteArray("Explorer\r"));

    // The next start reads it without the disclaimer.
    AppSettings again;
    QCOMPARE(LoadSettings(again), LoadResult::Loaded);
    QCOMPARE(m_disclaimers, 1);
    QCOMPARE(ComposeSettings(again), written);
}

void SettingsTest::refusedFirstRunWritesNothing()
{
    SetFirstRunHook([] { return false; });
    AppSettings settings;
    QCOMPARE(LoadSettings(settings), LoadResult::Refused);
    QVERIFY(!m_folder->exists(QStringLiteral("Kazami.ini")));
}

void SettingsTest::roundTrip()
{
    m_folder->addFile(QStringLiteral("Kazami.ini"), Lines(CompleteLines()));
    AppSettings settings;
    QCOMPARE(LoadSettings(settings), LoadResult::Loaded);
    QCOMPARE(settings.CurrentFolder, QStringLiteral("/home/user/写真"));
    QCOMPARE(settings.ProtectExtension, false);
    QCOMPARE(settings.ShowShortcuts, true);
    QCOMPARE(settings.NumberDigits, qint16(5));
    QCOMPARE(settings.NumberStart, qint16(-3));
    QCOMPARE(settings.NumberPattern, QStringLiteral("IMG_???"));
    QCOMPARE(settings.DatePrefix, QStringLiteral("旅行"));
    QCOMPARE(settings.ReplaceCaseSensitive, true);
    QCOMPARE(settings.ExternalProgram, QStringLiteral("/usr/bin/viewer"));
    QCOMPARE(settings.PictureWindowOpen, true);
    QCOMPARE(settings.ProhibitedNames[2], QStringLiteral("name2.txt"));
    QCOMPARE(settings.FilePattern, QStringLiteral("*.*"));
    QCOMPARE(m_disclaimers, 0);
    QCOMPARE(ComposeSettings(settings), Lines(CompleteLines()));
}

void SettingsTest::truncatedFileKeepsWhatDefaultsDoNotTouch()
{
    m_folder->addFile(QStringLiteral("Kazami.ini"), Lines(CompleteLines().mid(0, 20)));
    AppSettings settings;
    QCOMPARE(LoadSettings(settings), LoadResult::FirstRun);
    QCOMPARE(m_disclaimers, 1);
    QCOMPARE(settings.NumberPattern, QStringLiteral("IMG_???"));
    QCOMPARE(settings.DatePrefix, QStringLiteral("旅行"));
    QCOMPARE(settings.PictureShowNeighbours, true);
    QCOMPARE(settings.ProtectExtension, true);
    QCOMPARE(settings.NumberDigits, qint16(2));
    QCOMPARE(settings.ReplaceFrom, QString());
    QCOMPARE(settings.ExternalProgram, QStringLiteral("Explorer"));
    QCOMPARE(settings.PictureWindowOpen, false);
    QCOMPARE(settings.CurrentFolder, m_folder->path());
}

void SettingsTest::badFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("thirty lines") << Lines(CompleteLines().mid(0, 30));
    QStringList big = CompleteLines();
    big[9] = QStringLiteral("40000");
    QTest::newRow("integer above range") << Lines(big);
    big[9] = QStringLiteral("1") + QString(1000, u'9');
    QTest::newRow("thousand digits") << Lines(big);
    big[9] = QStringLiteral("-32769");
    QTest::newRow("integer below range") << Lines(big);
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) % 256));
    QTest::newRow("binary garbage") << garbage;
}

void SettingsTest::badFiles()
{
    QFETCH(QByteArray, content);
    m_folder->addFile(QStringLiteral("Kazami.ini"), content);
    AppSettings settings;
    QCOMPARE(LoadSettings(settings), LoadResult::FirstRun);
    QCOMPARE(m_disclaimers, 1);
    QCOMPARE(settings.NumberDigits, qint16(2));
    AppSettings reread;
    QCOMPARE(LoadSettings(reread), LoadResult::Loaded);
}

void SettingsTest::lineEnds()
{
    // A lone CR ends a line like CR LF; the last line needs no end.
    QStringList tenth = CompleteLines();
    tenth[30] = QStringLiteral("tenth");
    QByteArray content = Lines(tenth, "\r");
    content.chop(1);
    AppSettings settings;
    QVERIFY(ReadSettings(content, settings));
    QCOMPARE(settings.ProhibitedNames[10], QStringLiteral("tenth"));

    // LF ends a line too (an editor may have saved the file so); a line
    // break inside a value is written escaped. Lines after the 34th are
    // ignored.
    QStringList lines = CompleteLines();
    lines[12] = QStringLiteral("a\\nb\\\\r");
    lines.append(QStringLiteral("extra"));
    QVERIFY(ReadSettings(Lines(lines, "\n"), settings));
    QCOMPARE(settings.ReplaceFrom, QStringLiteral("a\nb\\r"));
    QCOMPARE(settings.ProhibitedNames[10], CompleteLines().at(30));
}

void SettingsTest::cp932File()
{
    QStringEncoder encoder("windows-31j");
    QVERIFY(encoder.isValid());
    QByteArray content;
    for (const QString &line : CompleteLines())
        content += QByteArray(encoder.encode(line)) + "\r\n";
    QVERIFY(content != Lines(CompleteLines()));
    AppSettings settings;
    QVERIFY(ReadSettings(content, settings));
    QCOMPARE(settings.CurrentFolder, QStringLiteral("/home/user/写真"));
    QCOMPARE(settings.DatePrefix, QStringLiteral("旅行"));

    // A UTF-8 file with a byte-order mark loads too.
    AppSettings bom;
    QVERIFY(ReadSettings("\xef\xbb\xbf" + Lines(CompleteLines()), bom));
    QCOMPARE(bom.CurrentFolder, QStringLiteral("/home/user/写真"));
}

void SettingsTest::lenientInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -99999 for out of range
    QTest::newRow("blank and digit") << " 2" << 2;
    QTest::newRow("trailing junk") << "  7abc" << 7;
    QTest::newRow("no number") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("negative") << "-12" << -12;
    QTest::newRow("plus sign") << "+12" << 12;
    QTest::newRow("half to even down") << "2.5" << 2;
    QTest::newRow("half to even up") << "3.5" << 4;
    QTest::newRow("negative half") << "-2.5" << -2;
    QTest::newRow("fraction rounds") << "2.6" << 3;
    QTest::newRow("exponent") << "1e3" << 1000;
    QTest::newRow("dangling exponent") << "12e" << 12;
    QTest::newRow("upper bound") << "32767" << 32767;
    QTest::newRow("lower bound") << "-32768" << -32768;
    QTest::newRow("above") << "32768" << -99999;
    QTest::newRow("rounds above") << "32767.5" << -99999;
    QTest::newRow("huge exponent") << "1e999" << -99999;
    QTest::newRow("sign alone") << "-" << 0;
}

void SettingsTest::lenientInteger()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    const auto parsed = ParseLenientInteger(text);
    QCOMPARE(parsed ? int(*parsed) : -99999, value);
}

void SettingsTest::booleans()
{
    QCOMPARE(BoolToText(true), QStringLiteral("True"));
    QCOMPARE(BoolToText(false), QStringLiteral("False"));
    QVERIFY(TextToBool(QStringLiteral("True")));
    for (const char *text : {"true", "-1", " True", "TRUE", ""})
        QVERIFY2(!TextToBool(QString::fromLatin1(text)), text);

    QStringList lines = CompleteLines();
    lines[2] = QStringLiteral("true");
    lines[3] = QStringLiteral("-1");
    AppSettings settings;
    QVERIFY(ReadSettings(Lines(lines), settings));
    QCOMPARE(settings.ProtectExtension, false);
    QCOMPARE(settings.ShowShortcuts, false);
    QVERIFY(ComposeSettings(settings).contains("\r\nFalse\r\nFalse\r\n"));
}

void SettingsTest::prohibitedSlotsStay()
{
    QStringList lines = CompleteLines();
    lines[21] = QString();
    lines[22] = QString();
    lines[23] = QStringLiteral("only-in-slot-3");
    m_folder->addFile(QStringLiteral("Kazami.ini"), Lines(lines));
    AppSettings settings;
    settings.ProhibitedNames[11] = QStringLiteral("stale");
    QCOMPARE(LoadSettings(settings), LoadResult::Loaded);
    QCOMPARE(settings.ProhibitedNames[1], QString());
    QCOMPARE(settings.ProhibitedNames[3], QStringLiteral("only-in-slot-3"));
    QCOMPARE(settings.ProhibitedNames[11], QString());
    QCOMPARE(ComposeSettings(settings), Lines(lines));
}

void SettingsTest::unwritableFolder()
{
    FailingFileSystem fs;
    fs.refuse = [](const FailingFileSystem::Operation &op) { return op.kind == u"ReplaceFile"; };
    RecordingMessageSink messages;
    AppSettings settings;
    QVERIFY(!SaveSettings(settings));
    QCOMPARE(messages.messages().size(), 1);
    QVERIFY(messages.texts().at(0).contains(QStringLiteral("設定ファイルを保存できませんでした")));
    QVERIFY(messages.texts().at(0).contains(SettingsFilePath()));
}

void SettingsTest::installedUse()
{
    // A program folder that cannot be written (an install under /usr) keeps
    // the settings in the user's configuration folder and the log in the
    // state folder; a writable one keeps both beside the program.
    TempFolder home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_STATE_HOME", home.filePath(QStringLiteral("state")).toUtf8());
    QCOMPARE(GetSettingsFolder(), m_folder->path());
    QCOMPARE(GetLogFolder(), m_folder->path());
    {
        FailingFileSystem fs;
        fs.refuse = [this](const FailingFileSystem::Operation &op) {
            return op.kind == u"FolderWritable" && op.path == m_folder->path();
        };
        QCOMPARE(GetSettingsFolder(), home.filePath(QStringLiteral("config/Kazami")));
        QCOMPARE(GetLogFolder(), home.filePath(QStringLiteral("state/Kazami")));
        AppSettings settings;
        QVERIFY(SaveSettings(settings));
        QVERIFY(home.exists(QStringLiteral("config/Kazami/Kazami.ini")));
        QVERIFY(!m_folder->exists(QStringLiteral("Kazami.ini")));
    }
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_STATE_HOME");
}

void SettingsTest::history_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("current again changes nothing") << "a" << Strings({"a", "b", "c"});
    QTest::newRow("first previous swaps") << "b" << Strings({"b", "a", "c"});
    QTest::newRow("second previous comes first") << "c" << Strings({"c", "a", "b"});
    QTest::newRow("new value") << "d" << Strings({"d", "a", "b"});
    QTest::newRow("empty is pushed too") << "" << Strings({"", "a", "b"});
}

void SettingsTest::history()
{
    QFETCH(QString, value);
    QFETCH(QStringList, after);
    QString current = QStringLiteral("a");
    std::array<QString, 2> previous = {QStringLiteral("b"), QStringLiteral("c")};
    PushHistory(value, current, previous);
    QCOMPARE(QStringList({current, previous[0], previous[1]}), after);
}

void SettingsTest::historyEntries()
{
    QCOMPARE(HistoryEntries(QStringLiteral("x"), {QString(), QStringLiteral("z")}),
             QStringList({QStringLiteral("x"), QStringLiteral("z")}));
    QCOMPARE(HistoryEntries(QString(), {}), QStringList());
}

void SettingsTest::systemFolders_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("warned");
    QTest::newRow("usr") << "/usr" << true;
    QTest::newRow("inside etc") << "/etc/systemd" << true;
    QTest::newRow("doubled separators") << "//usr//lib" << true;
    QTest::newRow("dot dot into usr") << "/home/../usr" << true;
    QTest::newRow("not a whole component") << "/usr2" << false;
    QTest::newRow("case matters") << "/USR" << false;
    QTest::newRow("home") << "/home/user/bin" << false;
    QTest::newRow("root") << "" << false;
}

void SettingsTest::systemFolders()
{
    QFETCH(QString, folder);
    QFETCH(bool, warned);
    RecordingMessageSink messages;
    AppSettings settings;
    settings.CurrentFolder = folder;
    WarnSystemFolder(settings);
    QCOMPARE(messages.messages().size(), warned ? 1 : 0);
    if (warned) {
        const auto &box = messages.messages().at(0);
        QCOMPARE(box.title, QStringLiteral("システムフォルダは危険です"));
        QCOMPARE(box.icon, MessageIcon::Exclamation);
        QCOMPARE(box.text,
                 QStringLiteral("システムのフォルダが指定されました\r\nこのフォルダのファイル名を変えると\r\n"
                                "とんでもないことが起こります．"));
    }
}

void SettingsTest::pathHelpers()
{
    QString path = QStringLiteral("/home/a///");
    StripTrailingSeparators(path);
    QCOMPARE(path, QStringLiteral("/home/a"));
    // The root keeps its separator, as the folder dialog shows it.
    path = QStringLiteral("///");
    StripTrailingSeparators(path);
    QCOMPARE(path, QStringLiteral("/"));
    path.clear();
    StripTrailingSeparators(path);
    QCOMPARE(path, QString());

    path = QStringLiteral("/a/b");
    CutLastPathPart(path);
    QCOMPARE(path, QStringLiteral("/a"));
    CutLastPathPart(path);
    QCOMPARE(path, QStringLiteral("/"));
    CutLastPathPart(path);
    QCOMPARE(path, QString());
    path = QStringLiteral("relative");
    CutLastPathPart(path);
    QCOMPARE(path, QString());

    QCOMPARE(AbsoluteFolder(QStringLiteral("rel/")), QDir::currentPath() + QStringLiteral("/rel"));
    QCOMPARE(AbsoluteFolder(QStringLiteral("/abs")), QStringLiteral("/abs"));
    QCOMPARE(AbsoluteFolder(QString()), QString());

    QVERIFY(GetTempFolder().endsWith(u'/'));
    QVERIFY(!GetTempFolder().endsWith(QStringLiteral("//")));
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "settings_test.moc"
