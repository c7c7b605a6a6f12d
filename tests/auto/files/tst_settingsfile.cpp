// The settings file without a window: the property text on rows in memory, the document as
// tinyxml2 prints it, a corpus of bad files and every truncation of a good one, and reading and
// replacing paths that are no regular files, or on a full disk.

#include "../common/testfiles.h"
#include "files/propertytext.h"
#include "files/settingsfile.h"
#include "model/memoryrows.h"
#include "model/sensorcatalogue.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace DrumoSensorPlugin::Core;

using Kind = ParameterRows::Kind;

Q_DECLARE_METATYPE(SettingsError)

namespace {

const std::string sensorName = "QUX-T40 D";

// A row of every kind, with values a file can change.
MemoryRows everyKind()
{
    MemoryRows rows;
    rows.addRow("group", Kind::Group);
    rows.addRow("mode", Kind::Enumerator, 1, 0, 0, { "a", "b", "c" });
    rows.addRow("count", Kind::Integer, -7, -100, 100);
    rows.addRow("level", Kind::Double, 0.95, 0.1, 1.0);
    rows.addRow("flag", Kind::Bool, true);
    rows.addRow("teach", Kind::Action);
    return rows;
}

QByteArray document(const QByteArray &root, const QByteArray &inner)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root " + root + ">" + inner + "</root>\n";
}

const QByteArray ours = "pluginid=\"QUXfamily\" sensorid=\"QUX-T40 D\"";
const QByteArray bothInside = "<propertytreedata data=\"laser=1;\"/><chartdata data=\"1,2,3\"/>";
const QByteArray bothParts = "<pluginsettings>" + bothInside + "</pluginsettings>";

QByteArray utf16(const QByteArray &utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xFF\xFE", 2)
        + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

} // namespace

class tst_SettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void propertyTextBothWays();
    void printedDocument();
    void corpus_data();
    void corpus();
    void everyTruncationIsRefused();
    void readingBadPaths_data();
    void readingBadPaths();
    void writingBadPaths_data();
    void writingBadPaths();
};

// Rows to text: values only, doubles as "%f" prints them. Text to items: a value ends at the
// second "=", the empty last item is no item. Which rows the items set, and to what, is
// fuzz_settingsfile's, against the rules computed apart from the reader.
void tst_SettingsFile::propertyTextBothWays()
{
    MemoryRows rows = everyKind();
    QCOMPARE(propertyText(rows), std::string("mode=1;count=-7;level=0.950000;flag=1;"));
    rows.setValue("level", 0.1234567);
    rows.setValue("flag", false);
    QCOMPARE(propertyText(rows), std::string("mode=1;count=-7;level=0.123457;flag=0;"));
    QCOMPARE(propertyText(MemoryRows()), std::string());

    const std::vector<PropertyItem> items = propertyItems("a=1;b;=2;c=3=4;");
    QCOMPARE(int(items.size()), 3);
    QCOMPARE(items[1].id, std::string());
    QCOMPARE(items[2].value, std::string("3"));

    // Hexadecimal is no number, though strtod would read it (the fuzz target leaves it out).
    QCOMPARE(propertyInt("0x10"), 0);
    QCOMPARE(propertyDouble("0x10"), 0.0);
}

// The file as tinyxml2's indented printer makes it, entities escaped; it reads back. (A chart
// text written in pieces is the window's round trip of 40,000 samples.)
void tst_SettingsFile::printedDocument()
{
    SettingsDocument document = settingsDocument("S <&> \"'", everyKind(), "1,2,3;4,5,6");
    document.propertyText = "a=<&>\"';";
    const QByteArray text = settingsText(document);
    QCOMPARE(text,
             QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                        "<root pluginid=\"QUXfamily\" sensorid=\"S &lt;&amp;&gt; &quot;&apos;\">\n"
                        "    <pluginsettings>\n"
                        "        <propertytreedata data=\"a=&lt;&amp;&gt;&quot;&apos;;\"/>\n"
                        "        <chartdata data=\"1,2,3;4,5,6\"/>\n"
                        "    </pluginsettings>\n"
                        "</root>\n"));
    const SettingsReadResult read = parseSettings(text, document.sensorId);
    QCOMPARE(read.error, SettingsError::None);
    QCOMPARE(read.document.propertyText, document.propertyText);
}

// Which root and attributes make another sensor's file, and which plug-in settings and texts an
// accepted file carries, whole and in pieces, are fuzz_settingsfile's, against Qt's XML reader on
// the files both readers read; here what lies outside that: files that are no XML, a document
// type, entities and NULs in the texts, sizes and numbers.
void tst_SettingsFile::corpus_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SettingsError>("error");
    QTest::addColumn<QString>("parts"); // p: property text, c: chart text, s: pluginsettings

    using E = SettingsError;
    auto row = [](const char *tag, const QByteArray &bytes, E error, const char *parts = "") {
        QTest::newRow(tag) << bytes << error << QString(parts);
    };
    // Our file with `inner` inside its plug-in settings, and with another root.
    auto ofOurs = [](const QByteArray &inner) {
        return document(ours, "<pluginsettings>" + inner + "</pluginsettings>");
    };
    auto rootOf = [](const QByteArray &plugin, const QByteArray &sensor) {
        return document("pluginid=\"" + plugin + "\" sensorid=\"" + sensor + "\"", bothParts);
    };
    const QByteArray good = document(ours, bothParts);
    row("good", good, E::None, "spc");
    row("byte order mark", "\xEF\xBB\xBF" + good, E::None, "spc");
    row("empty", QByteArray(), E::NotLoadable);
    row("white space", " \n\t", E::NotLoadable);
    row("text", "laser=1;", E::NotLoadable);
    row("binary", QByteArray("\x00\x01\xFF<", 4), E::NotLoadable);
    row("utf-16", utf16(good), E::NotLoadable);
    row("nul in attribute", document(ours, QByteArray("<pluginsettings a=\"x\0y\"/>", 25)),
        E::NotLoadable);
    row("nested 1000 deep",
        "<root>" + QByteArray("<a>").repeated(1000) + QByteArray("</a>").repeated(1000) + "</root>",
        E::NotLoadable);
    row("root not first", "<a/><root " + ours + "/>", E::None);
    row("other sensor", rootOf("QUXfamily", "QUX-T40 DL"), E::OtherSensor);
    row("latin-1 sensor name",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><root pluginid=\"QUXfamily\" "
        "sensorid=\"QUX-T40 D\xE9\">"
            + bothParts + "</root>",
        E::OtherSensor);
    row("a million elements", ofOurs(QByteArray("<x/>").repeated(1000000) + bothInside), E::None,
        "spc");
    const QByteArray chart = "<chartdata data=\"1,2,3\"/>";
    row("doctype",
        "<?xml version=\"1.0\"?><!DOCTYPE root><root " + ours + "><pluginsettings>" + chart
            + "</pluginsettings></root>",
        E::None, "sc");
    row("entity in chart", ofOurs("<chartdata data=\"1,2,&#51;&amp;\"/>"), E::None, "sc");
    row("nul in chart", ofOurs(QByteArray("<chartdata data=\"1\0\"/>", 22)), E::NotLoadable);
    // Refused before anything is applied: each would set its row to a limit.
    for (const char *value : { "nan", "-inf", "1e999" })
        row(value,
            ofOurs("<propertytreedata data=\"laser=1;emisivity=" + QByteArray(value) + ";\"/>"),
            E::NotANumber);
}

void tst_SettingsFile::corpus()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SettingsError, error);
    QFETCH(QString, parts);
    const SettingsReadResult read = parseSettings(bytes, sensorName);
    QCOMPARE(read.error, error);
    QCOMPARE(read.document.hasPluginSettings, parts.contains('s'));
    QCOMPARE(bool(read.document.propertyText), parts.contains('p'));
    QCOMPARE(bool(read.document.chartText), parts.contains('c'));

    // The same from a file, read in chunks as large files are (small pieces against the whole
    // parse are fuzz_settingsfile's).
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(dir.filePath("corpus.ovs"), bytes));
    const SettingsReadResult fromFile = readSettingsFile(dir.filePath("corpus.ovs"), sensorName);
    QCOMPARE(fromFile.error, error);
    QCOMPARE(fromFile.document.chartText, read.document.chartText);
}

// Cut anywhere before its end, a good file is refused as corrupted: not XML, or (the
// declaration alone) XML without a root; whole up to "</root>", it reads.
void tst_SettingsFile::everyTruncationIsRefused()
{
    MemoryRows rows(findSensorInCatalogue(sensorName));
    QString chart;
    for (int i = 0; i < 20; ++i)
        chart += QStringLiteral("%1%2,%3,%4")
                     .arg(i ? ";" : "")
                     .arg(1733400000000.0 + 65 * i, 0, 'f', 0)
                     .arg(20.0 + i / 10.0)
                     .arg(i / 7.0);
    const QByteArray text = settingsText(settingsDocument(sensorName, rows, chart.toStdString()));
    const int complete = text.indexOf("</root>") + 7;
    for (int length = 0; length < text.size(); ++length) {
        const SettingsReadResult read = parseSettings(text.left(length), sensorName);
        const bool refused
            = read.error == SettingsError::NotLoadable || read.error == SettingsError::NoRoot;
        if (refused != (length < complete) || (!refused && read.error != SettingsError::None))
            QFAIL(qPrintable(QString("length %1 of %2").arg(length).arg(text.size())));
    }
}

// What is no regular file is refused before it is opened (a FIFO would block, a device never
// end); a file beyond the memory available is refused without being read.
void tst_SettingsFile::readingBadPaths_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<SettingsError>("error");
    QTest::newRow("regular") << "regular" << SettingsError::None;
    QTest::newRow("missing") << "missing" << SettingsError::Missing;
    QTest::newRow("folder") << "folder" << SettingsError::Directory;
    QTest::newRow("fifo") << "fifo" << SettingsError::NotRegularFile;
    QTest::newRow("endless device") << "/dev/zero" << SettingsError::NotRegularFile;
    QTest::newRow("unreadable") << "unreadable" << SettingsError::NotReadable;
    QTest::newRow("larger than memory") << "sparse" << SettingsError::TooLarge;
}

void tst_SettingsFile::readingBadPaths()
{
    QFETCH(QString, kind);
    QFETCH(SettingsError, error);
    QTemporaryDir dir;
    QString path = kind.startsWith('/') ? kind : dir.filePath(kind);
    if (kind == "regular" || kind == "unreadable") {
        QVERIFY(TestFiles::write(path,
                                 settingsText(settingsDocument(sensorName, everyKind(), "1,2,3"))));
        if (kind == "unreadable")
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    } else if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir(kind));
    } else if (kind == "fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "sparse") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(1LL << 40)); // sparse: nothing is written
    }
    // Root reads every file: it reads as somebody else.
    const bool asNobody = kind == "unreadable" && geteuid() == 0 && seteuid(65534) == 0;
    const SettingsReadResult read = readSettingsFile(path, sensorName);
    if (asNobody)
        QVERIFY(seteuid(0) == 0);
    QCOMPARE(read.error, error);
    if (error == SettingsError::NotReadable)
        QCOMPARE(settingsMessage(read),
                 QString("The selected settings file cannot be read: Permission denied"));
    if (error == SettingsError::TooLarge) {
        QCOMPARE(read.fileBytes, 1LL << 40);
        // The limit follows the memory available at the read, which moves meanwhile.
        QVERIFY(read.limit > 0 && read.limit < read.fileBytes);
        QCOMPARE(settingsMessage(read),
                 QStringLiteral("The selected settings file is too large for the memory "
                                "available (1048576.0 MB, at most %1 MB)")
                     .arg(double(read.limit) / 1048576.0, 0, 'f', 1));
    }
}

// Only a regular file or a new name is replaced, and only by a complete file; whatever fails
// leaves what was there and no partial file. (A device takes the FIFO's way: not a regular
// file, not a folder.)
void tst_SettingsFile::writingBadPaths_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("new name") << "new" << QString();
    QTest::newRow("longer regular file") << "regular" << QString();
    QTest::newRow("link to a regular file") << "link" << QString();
    QTest::newRow("no such folder") << "missing/settings.ovs"
                                    << "No such file or directory";
    QTest::newRow("folder") << "folder"
                            << "it is a folder";
    QTest::newRow("fifo") << "fifo"
                          << "it is a device, pipe or socket, not a file";
    QTest::newRow("full disk") << "full"
                               << "No space left on device";
}

void tst_SettingsFile::writingBadPaths()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(kind);
    const QByteArray name = QFile::encodeName(path);
    if (kind == "regular") {
        QVERIFY(TestFiles::write(path, QByteArray(200000, 'o'))); // longer than the new text
    } else if (kind == "link") {
        QVERIFY(TestFiles::write(dir.filePath("target"), "old"));
        QVERIFY(QFile::link(dir.filePath("target"), path));
    } else if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir(kind));
    } else if (kind == "fifo") {
        QCOMPARE(mkfifo(name.constData(), 0600), 0);
    } else if (kind == "full") {
        // A small file system of its own, filled up.
        if (QProcess::execute("mount", { "-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path() })
            != 0)
            QSKIP("cannot mount a small file system here");
        QVERIFY(TestFiles::write(path, "old"));
        QFile filler(dir.filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(1024, 'x');
        while (filler.write(block) == block.size()) { }
    }
    const QFileInfo before(path);
    const SettingsDocument document
        = settingsDocument(sensorName, everyKind(), std::string(100000, '1'));
    QString error;
    const bool written = writeSettingsFile(path, document, &error);
    const QStringList partial
        = QDir(dir.path()).entryList({ ".*.saving-*" }, QDir::Files | QDir::Hidden);
    const QByteArray content = QFileInfo(path).isFile() ? TestFiles::read(path) : QByteArray();
    if (kind == "full")
        QProcess::execute("umount", { dir.path() });
    QCOMPARE(written, reason.isEmpty());
    QCOMPARE(error, reason);
    QVERIFY2(partial.isEmpty(), qPrintable(partial.join(' ')));
    const QFileInfo after(path);
    QCOMPARE(after.isSymLink(), before.isSymLink());
    if (written) {
        QCOMPARE(content, settingsText(document));
    } else {
        QCOMPARE(after.exists(), before.exists());
        QCOMPARE(after.isDir(), before.isDir());
        if (before.isFile())
            QCOMPARE(content, QByteArray("old"));
    }
}

QTEST_GUILESS_MAIN(tst_SettingsFile)

#include "tst_settingsfile.moc"
