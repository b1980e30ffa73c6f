#include "DiskFull.h"
#include "FileBytes.h"
#include "FileNodes.h"
#include "addressbook/AddressBookFile.h"
#include "core/Failure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Empty = QStringLiteral("            ,,,,,,,,,255.255.255.255"); // the fields after a bare name

// A first name that begins with a byte-order mark is written behind a second one, which the reader drops.
const QByteArray Written = QStringLiteral("\uFEFF\uFEFFServer-2,0A1B9C3D4E5F,__:__,,07:30,,,,,,192.168.1.255\r\n"
                                          "事務所,A 1B    4E5F,,,,,,,,,\r\n"
                                          "\uFEFFmark,001f22334455,1,2,3,4,5,6,7,8,host\r\n"
                                          "x,a0b1c2d3e41f,,,,,,,,,h\r\n"
                                          "y,0A1B9C3D4E5F,,,,,,,,,h\r\n")
                               .toUtf8();

// The book's lines, then whether the load was short of the file and whether it read Shift-JIS.
QStringList render(const AddressListLoad& load)
{
    QStringList lines;
    for (const AddressEntry& entry : load.book)
        lines << addressLine(entry);
    if (!load.complete)
        lines << (load.problem.isEmpty() ? "incomplete, no reason" : "incomplete");
    if (load.shiftJis)
        lines << "Shift-JIS";
    return lines;
}

} // namespace

class TestAddressBook : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void limitsEditingAndSharing();
    void files_data();
    void files();
};

void TestAddressBook::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    const QString full = QStringLiteral("pc,001122334455,1,2,3,4,5,6,7,8,10.0.0.1");
    QTest::newRow("zero bytes") << QByteArray("") << QStringList();
    QTest::newRow("ten fields, the first empty") << QByteArray(",,,,,,,,,\r\n") << QStringList{"," + Empty};
    QTest::newRow("empty eleventh") << QByteArray("a,,,,,,,,,,\r\n") << QStringList{"a," + Empty.chopped(15)};
    QTest::newRow("thirteen fields") << (full + ",x,y\r\n").toUtf8() << QStringList{full};
    QTest::newRow("short mac, Japanese name") << QStringLiteral("サーバー,0A1B,1\r\n").toUtf8()
                                              << QStringList{"サーバー,0A1B        ,1,,,,,,,,255.255.255.255"};
    QTest::newRow("lone LF, lone CR, no final line end")
        << QByteArray("a\nb\rc") << QStringList{"a," + Empty, "b," + Empty, "c," + Empty};
    QTest::newRow("empty lines after LF, CR and CR LF")
        << QByteArray("a\n\nb\r\rc\r\n\r\nd")
        << QStringList{"a," + Empty, "," + Empty, "b," + Empty, "," + Empty, "c," + Empty, "," + Empty, "d," + Empty};
    // A byte cut from a surrogate pair becomes U+FFFD; a whole pair stays.
    QTest::newRow("surrogate pairs in the mac")
        << QStringLiteral("pc,\U0001F600B\U0001F600C").toUtf8()
        << QStringList{"pc,\U0001F600B\uFFFD\uFFFDC      ,,,,,,,,,255.255.255.255"};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + 'a' << QStringList{"a," + Empty};
    QTest::newRow("neither UTF-8 nor Shift-JIS")
        << QByteArray("\x80\xff\xfd") << QStringList{"\uFFFD\uFFFD\uFFFD," + Empty, "incomplete"};
    // The control bytes pass as they are, around あ, a cut character and an unmapped one.
    QTest::newRow("Shift-JIS, not all valid")
        << QByteArray("\x1a\x82\xa0\x82\x1c\x7f\x85\x40\r\n")
        << QStringList{"\x1aあ\uFFFD\x1c\x7f\uFFFD," + Empty, "incomplete", "Shift-JIS"};
}

void TestAddressBook::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(render(parseAddressList(bytes)), lines);
}

void TestAddressBook::limitsEditingAndSharing()
{
    // Bigger files are read up to the last whole line within the limit.
    QCOMPARE(render(parseAddressList("a\r\nb\r\nc\r\n", 7)), (QStringList{"a," + Empty, "b," + Empty, "incomplete"}));
    AddressListLoad load = parseAddressList("a\r\nb\r\nc\r\n", 9);
    AddressBook& book = load.book;
    AddressEntry c = book.at(2);
    c.setMac(0, u"1"); // a byte text is padded or cut to two characters
    c.setMac(5, u"ABC");
    book.replace(0, c);
    book.removeAt(1);
    QVERIFY(book.append(c));
    const QString changed = "c,1" + QString(9, u' ') + "AB" + Empty.mid(12);
    QCOMPARE(render(load), (QStringList{changed, "c," + Empty, changed}));
    QVERIFY_THROWS_EXCEPTION(Failure, book.at(-1));
    QVERIFY_THROWS_EXCEPTION(Failure, book.replace(3, c));
    QVERIFY_THROWS_EXCEPTION(Failure, book.removeAt(3));
    QVERIFY(!parseAddressList(QByteArray(AddressBook::MaxEntries, '\n')).book.append(c));
    // Files compare equal when only CR LF and LF differ; otherwise the first line that differs is named.
    QCOMPARE(firstDifferentLine("a\r\nb\n", "a\nb\r\n"), 0);
    QCOMPARE(firstDifferentLine("a\nb\nc\r\n", "a\r\nb\r\nd\r\n"), 3);
    QCOMPARE(firstDifferentLine("a\r\nb", "a\r\nb\r\n"), 2);
    QCOMPARE(firstDifferentLine("a\rb", "a\r\nb"), 1);
    // The file has no quoting.
    QVERIFY(isStorableInAddressLine(u"名前 1") && !isStorableInAddressLine(u"a,b"));
    QVERIFY(!isStorableInAddressLine(u"a\r") && !isStorableInAddressLine(u"\nb"));

    const AddressBook read = parseAddressList(Written).book;
    QCOMPARE(read.at(0).name, QStringLiteral("\uFEFFServer-2"));
    // One text serves every entry that holds it; lower-case digits are kept as they are (see the round trip).
    QCOMPARE(read.at(2).mac[1].constData(), read.at(3).mac[5].constData());
    for (std::size_t j = 0; j < 6; ++j)
        QCOMPARE(read.at(0).mac[j].constData(), read.at(4).mac[j].constData());
}

void TestAddressBook::files_data()
{
    QTest::addColumn<QString>("kind"); // what lies under the name: a file, or what a link points at
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<int>("mode"); // 0: as the umask leaves it
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QByteArray>("saved"); // null: the save is refused and the original stays
    QTest::addColumn<QString>("backup");   // the backup's name beside the file; empty: none

    const QString bak = QStringLiteral("address.lst.bak");
    const QByteArray line = "pc,001122334455,__:__,,,,,,,,192.168.0.255\r\n";
    const QByteArray server = "Server-2,0A1B2C3D4E5F,__:__,,07:30,,,,,,192.168.1.255";
    const QByteArray twelveFields = server + ",extra-field,more\r\n";
    // サーバー, 事務所 and ソフト表 (whose second bytes are 5C, the backslash) in code page 932.
    QTest::newRow("Shift-JIS") << "file"
                               << QByteArray(
                                      "\x83\x54\x81\x5b\x83\x6f\x81\x5b,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                      "\x8e\x96\x96\xb1\x8f\x8a,AABBCCDDEEFF,\x83\x5c\x83\x74\x83\x67\x95\x5c\r\n")
                               << 0 << false
                               << QStringLiteral("サーバー,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                                 "事務所,AABBCCDDEEFF,ソフト表,,,,,,,,255.255.255.255\r\n")
                                      .toUtf8()
                               << bak;
    QTest::newRow("UTF-8, byte for byte") << "file" << Written << 0 << false << Written << "";
    QTest::newRow("LF line ends") << "file" << QByteArray(line).replace("\r\n", "\n").repeated(2) << 0 << false
                                  << line.repeated(2) << "";
    QTest::newRow("fields past the eleventh") << "file" << line + twelveFields << 0 << false << line + server + "\r\n"
                                              << bak;
    QTest::newRow("16-digit MAC") << "file" << QByteArray(line).replace("455,", "4556071,") << 0 << false << line
                                  << bak;
    QTest::newRow("a name alone, no line end")
        << "file" << QByteArray("pc") << 0 << false << QByteArray("pc,            ,,,,,,,,,255.255.255.255\r\n") << bak;
    QTest::newRow("40,000 lines") << "file" << line.repeated(40000) << 0 << false
                                  << line.repeated(AddressBook::MaxEntries) << bak;
    QTest::newRow("an older backup stays") << "file" << twelveFields << 0 << false << server + "\r\n" << bak + ".1";
    QTest::newRow("mode 0600") << "file" << twelveFields << 0600 << false << server + "\r\n" << bak;
    QTest::newRow("mode 0640") << "file" << twelveFields << 0640 << false << server + "\r\n" << bak;
    QTest::newRow("owned by nobody") << "file, nobody's" << twelveFields << 0 << false << server + "\r\n" << bak;
    QTest::newRow("link to a file") << "link to a file" << twelveFields << 0640 << false << server + "\r\n" << bak;
    QTest::newRow("no room for the new file") << "file" << QByteArray("old\r\n") << 0 << true << QByteArray() << "";
    // An empty book would fit, but a file not read whole (here: not text) must be copied aside first.
    QTest::newRow("no room for the backup")
        << "file" << QByteArray("\x80\xff\xfd old") << 0 << true << QByteArray() << "";
    for (const char* kind : {"FIFO", "socket", "folder", "link to a FIFO", "link to a device"})
        QTest::newRow(kind) << kind << QByteArray() << 0 << false << QByteArray() << "";
}

void TestAddressBook::files()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, original);
    QFETCH(int, mode);
    QFETCH(bool, diskFull);
    QFETCH(QByteArray, saved);
    QFETCH(QString, backup);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("address.lst"));
    // A link points into another folder, by a relative path; what it points at is made there.
    const bool link = kind.startsWith(QStringLiteral("link to "));
    const QString real = link ? dir.filePath(QStringLiteral("elsewhere/address.lst")) : path;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("elsewhere")));
    if (link)
        QVERIFY(fileNodes::makeLink(QStringLiteral("elsewhere/address.lst"), path));
    const QString thing = link ? kind.mid(8) : kind;
    const bool ordinary = thing.startsWith(QStringLiteral("file")) || thing == QStringLiteral("a file");
    if (ordinary) {
        QFile file(real);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(original) == original.size());
    }
    const bool made = ordinary || (thing == "FIFO" && fileNodes::makeFifo(real)) ||
                      (thing == "socket" && fileNodes::makeSocket(real)) || (thing == "folder" && QDir().mkdir(real)) ||
                      (thing == "a FIFO" && fileNodes::makeFifo(real)) ||
                      (thing == "a device" && fileNodes::makeDevice(real));
    if (!made)
        QSKIP("this system does not let the test make a device node (it needs root)");
    if (mode != 0)
        QVERIFY(::chmod(qPrintable(real), mode_t(mode)) == 0);
    if (kind.endsWith(QStringLiteral("nobody's")) && ::chown(qPrintable(real), 65534, 65534) != 0)
        QSKIP("only root can give a file to nobody");
    if (backup.endsWith(QStringLiteral(".1")))
        QVERIFY(QFile(real + ".bak").open(QIODevice::WriteOnly));
    const struct stat before = fileNodes::statusOf(real);

    AddressBookFile file(path);
    QElapsedTimer timer;
    timer.start();
    const AddressListLoad load = file.load();
    QVERIFY(timer.elapsed() < 1000); // a FIFO with no writer would block a plain open
    QCOMPARE(file.notOrdinary(), !ordinary);
    AddressBookFile::SaveResult result;
    {
        DiskFull full(diskFull ? 4 : RLIM_INFINITY);
        // A book not read whole is saved empty here, which fits: only its backup can fail.
        result = file.save(diskFull && !load.complete ? AddressBook() : load.book);
    }
    QCOMPARE(result.saved, !saved.isNull());
    QCOMPARE(result.error == NotOrdinaryFile, !ordinary);
    QCOMPARE(QFileInfo(path).isSymLink(), link);
    const QDir folder = QFileInfo(real).dir();
    QCOMPARE(folder.entryList({"*.tmp"}, QDir::AllEntries | QDir::Hidden | QDir::System), QStringList());
    const struct stat after = fileNodes::statusOf(real);
    QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT); // nothing is replaced by another kind of thing
    if (ordinary) {
        QCOMPARE(fileBytes(real), saved.isNull() ? original : saved);
        QCOMPARE(after.st_mode & 0777, before.st_mode & 0777);
        QCOMPARE(after.st_uid, before.st_uid);
    }

    QCOMPARE(QFileInfo(result.backupPath).fileName(), backup);
    if (!backup.isEmpty()) {
        QCOMPARE(QFileInfo(result.backupPath).dir(), folder);
        QCOMPARE(fileBytes(result.backupPath), original);
        const struct stat kept = fileNodes::statusOf(result.backupPath);
        QCOMPARE(kept.st_mode & 0777, before.st_mode & 0777);
        QCOMPARE(kept.st_uid, before.st_uid);
        QCOMPARE(fileBytes(real + ".bak"), backup.endsWith(QStringLiteral(".1")) ? QByteArray() : original);
        // Only once: a later save leaves the backups alone.
        QVERIFY(file.save(load.book).backupPath.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestAddressBook)
#include "test_addressbook.moc"
