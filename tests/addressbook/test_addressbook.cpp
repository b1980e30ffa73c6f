#include "DiskFull.h"
#include "FileBytes.h"
#include "addressbook/AddressBookFile.h"
#include "core/AtomicFile.h"
#include "core/Failure.h"

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
    void save_data();
    void save();
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

void TestAddressBook::save_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QByteArray>("saved"); // null: the save fails and leaves the original
    QTest::addColumn<bool>("backedUp");

    // サーバー, 事務所 and ソフト表 (whose second bytes are 5C, the backslash) in code page 932.
    QTest::newRow("Shift-JIS") << QByteArray(
                                      "\x83\x54\x81\x5b\x83\x6f\x81\x5b,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                      "\x8e\x96\x96\xb1\x8f\x8a,AABBCCDDEEFF,\x83\x5c\x83\x74\x83\x67\x95\x5c\r\n")
                               << false
                               << QStringLiteral("サーバー,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                                 "事務所,AABBCCDDEEFF,ソフト表,,,,,,,,255.255.255.255\r\n")
                                      .toUtf8()
                               << true;
    QTest::newRow("UTF-8, byte for byte") << Written << false << Written << false;
    const QByteArray line = "pc,001122334455,__:__,,,,,,,,192.168.0.255\r\n";
    QTest::newRow("40,000 lines") << line.repeated(40000) << false << line.repeated(AddressBook::MaxEntries) << true;
    QTest::newRow("no room for the new file") << QByteArray("old\r\n") << true << QByteArray() << false;
    // An empty book would fit, but a file not read whole (here: not text) must be copied aside first.
    QTest::newRow("no room for the backup") << QByteArray("\x80\xff\xfd old") << true << QByteArray() << false;
}

void TestAddressBook::save()
{
    QFETCH(QByteArray, original);
    QFETCH(bool, diskFull);
    QFETCH(QByteArray, saved);
    QFETCH(bool, backedUp);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("address.lst"));
    AddressBookFile file(path);
    QCOMPARE(render(file.load()), QStringList()); // no file
    QVERIFY(writeFileAtomically(path, original));
    const AddressListLoad load = file.load();
    AddressBookFile::SaveResult result;
    {
        DiskFull full(diskFull ? 4 : RLIM_INFINITY);
        // A book not read whole is saved empty here, which fits: only its backup can fail.
        result = file.save(diskFull && !load.complete ? AddressBook() : load.book);
    }
    QCOMPARE(result.saved && result.error.isEmpty(), !saved.isNull());
    QCOMPARE(result.backedUp, backedUp);
    QCOMPARE(fileBytes(path), saved.isNull() ? original : saved);
    QCOMPARE(fileBytes(file.backupPath()), backedUp ? original : QByteArray("<unreadable>"));
    // Only once: a later save leaves the backup alone.
    if (backedUp)
        QVERIFY(!file.save(load.book).backedUp);
}

QTEST_GUILESS_MAIN(TestAddressBook)
#include "test_addressbook.moc"
