#include "DiskFull.h"
#include "addressbook/AddressBookFile.h"
#include "addressbook/SplitFields.h"
#include "core/Failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Empty = QStringLiteral("            ,,,,,,,,,255.255.255.255"); // the fields after a bare name

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

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestAddressBook : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A fresh folder for every case.
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    void splitFields_data();
    void splitFields();
    void parse_data();
    void parse();
    void editing();
    void roundTripIsByteForByte();
    void save_data();
    void save();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("address.lst")); }

    std::optional<QTemporaryDir> m_dir;
};

void TestAddressBook::splitFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("slots");
    QTest::addColumn<QStringList>("pieces"); // slots past the pieces written keep "old<n>"

    QTest::newRow("trailing delimiter") << "a,b," << "," << 12 << 4 << QStringList{"a", "b", "", "old3"};
    QTest::newRow("d + 1 equals limit") << "a,b" << "," << 2 << 3 << QStringList{"a", "b", "old2"};
    QTest::newRow("d equals limit") << "a,b,c" << "," << 2 << 3 << QStringList{"a", "b", "old2"};
    QTest::newRow("multi-character") << "a::b:c::" << "::" << 12 << 4 << QStringList{"a", "b:c", "", "old3"};
    QTest::newRow("overlapping") << "aaa" << "aa" << 12 << 3 << QStringList{"", "a", "old2"};
    QTest::newRow("limit past the slots") << "a,b,c,d" << "," << 12 << 2 << QStringList{"a", "b"};
    QTest::newRow("zero limit") << "a,b" << "," << 0 << 2 << QStringList{"old0", "old1"};
    QTest::newRow("empty delimiter") << "a,b" << "" << 12 << 2 << QStringList{"a,b", "old1"};
}

void TestAddressBook::splitFields()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(int, limit);
    QFETCH(int, slots);
    QFETCH(QStringList, pieces);

    std::vector<QString> array;
    for (int i = 0; i < slots; ++i)
        array.push_back(QStringLiteral("old%1").arg(i));
    const int count = ::splitFields(array, limit, text, delimiter);
    QCOMPARE(QStringList(array.begin(), array.end()), pieces);
    QCOMPARE(count, pieces.size() - pieces.filter(QStringLiteral("old")).size());
    // The reader's variant gives views into the text, cut the same way.
    std::vector<QStringView> views(array.size());
    QCOMPARE(::splitFields(views, limit, QStringView(text), QStringView(delimiter)), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(views[std::size_t(i)].toString(), pieces[i]);
}

void TestAddressBook::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    const QString full = QStringLiteral("pc,001122334455,1,2,3,4,5,6,7,8,10.0.0.1");
    QTest::newRow("zero bytes") << QByteArray("") << QStringList();
    QTest::newRow("empty line") << QByteArray("\r\n") << QStringList{"," + Empty};
    QTest::newRow("ten fields") << QByteArray("pc,001122334455,1,2,3,4,5,6,7,8\r\n")
                                << QStringList{"pc,001122334455,1,2,3,4,5,6,7,8,255.255.255.255"};
    QTest::newRow("empty eleventh") << QByteArray("pc,001122334455,1,2,3,4,5,6,7,8,\r\n")
                                    << QStringList{"pc,001122334455,1,2,3,4,5,6,7,8,"};
    QTest::newRow("thirteen fields") << (full + ",x,y\r\n").toUtf8() << QStringList{full};
    QTest::newRow("short mac, Japanese name")
        << QStringLiteral("サーバー,0A1B,1\r\n").toUtf8() << QStringList{"サーバー,0A1B        ,1,,,,,,,,255.255.255.255"};
    QTest::newRow("lone LF, lone CR, no final line end")
        << QByteArray("a\nb\rc") << QStringList{"a," + Empty, "b," + Empty, "c," + Empty};
    QTest::newRow("empty lines after LF, CR and CR LF")
        << QByteArray("a\n\nb\r\rc\r\n\r\nd")
        << QStringList{"a," + Empty, "," + Empty, "b," + Empty, "," + Empty, "c," + Empty, "," + Empty, "d," + Empty};
    // A byte cut from a surrogate pair becomes U+FFFD; a whole pair stays.
    QTest::newRow("surrogate pairs in the mac") << QStringLiteral("pc,\U0001F600B\U0001F600C").toUtf8()
                                                << QStringList{"pc,\U0001F600B\uFFFD\uFFFDC      ,,,,,,,,,255.255.255.255"};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + 'a' << QStringList{"a," + Empty};
    QTest::newRow("neither UTF-8 nor Shift-JIS")
        << QByteArray("\x80\xff\xfd") << QStringList{"\uFFFD\uFFFD\uFFFD," + Empty, "incomplete"};
    // あ, a cut character, the control bytes that pass as they are, and an unmapped character.
    QTest::newRow("Shift-JIS, not all valid") << QByteArray("\x82\xa0\x82\x1a\x1c\x7f\x85\x40\r\n")
                                              << QStringList{"あ\uFFFD\x1a\x1c\x7f\uFFFD," + Empty, "incomplete", "Shift-JIS"};
}

void TestAddressBook::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(render(parseAddressList(bytes)), lines);
}

void TestAddressBook::editing()
{
    // Bigger files are read up to the last whole line within the limit.
    QCOMPARE(render(parseAddressList("a\r\nb\r\nc\r\n", 7)), (QStringList{"a," + Empty, "b," + Empty, "incomplete"}));
    AddressListLoad load = parseAddressList("a\r\nb\r\nc\r\n", 9);
    AddressBook& book = load.book;
    const AddressEntry c = book.at(2);
    book.replace(0, c);
    book.removeAt(1);
    QVERIFY(book.append(c));
    QCOMPARE(render(load), (QStringList{"c," + Empty, "c," + Empty, "c," + Empty}));
    QVERIFY_THROWS_EXCEPTION(Failure, book.at(-1));
    QVERIFY_THROWS_EXCEPTION(Failure, book.replace(3, c));
    QVERIFY_THROWS_EXCEPTION(Failure, book.removeAt(3));
    QVERIFY(!parseAddressList(QByteArray(AddressBook::MaxEntries, '\n')).book.append(c));
    // The file has no quoting.
    QVERIFY(isStorableInAddressLine(u"名前 1") && !isStorableInAddressLine(u"a,b"));
    QVERIFY(!isStorableInAddressLine(u"a\r") && !isStorableInAddressLine(u"\nb"));
}

void TestAddressBook::roundTripIsByteForByte()
{
    AddressBookFile file(path());
    QCOMPARE(render(file.load()), QStringList()); // no file
    // A first name that begins with a byte-order mark is written behind a second one, which the reader drops.
    const QByteArray written = QStringLiteral("\uFEFF\uFEFFServer-2,0A1B2C3D4E5F,__:__,__:__,07:30,07:30,07:30,07:30,"
                                              "07:30,__:__,192.168.1.255\r\n"
                                              "事務所,A 1B    4E5F,,,,,,,,,\r\n"
                                              "\uFEFFmark,001f22334455,1,2,3,4,5,6,7,8,host\r\n"
                                              "x,a0b1c2d3e41f,,,,,,,,,h\r\n"
                                              "y,0A1B2C3D4E5F,,,,,,,,,h\r\n")
                                   .toUtf8();
    writeAll(path(), written);
    const AddressListLoad load = file.load();
    QCOMPARE(load.book.at(0).name, QStringLiteral("\uFEFFServer-2"));
    // Lower-case digits come back as they were, and one text serves every entry that holds it.
    QCOMPARE(load.book.at(2).mac[1].constData(), load.book.at(3).mac[5].constData());
    for (std::size_t j = 0; j < 6; ++j)
        QCOMPARE(load.book.at(0).mac[j].constData(), load.book.at(4).mac[j].constData());

    const AddressBookFile::SaveResult saved = file.save(load.book);
    QVERIFY(saved.saved && !saved.backedUp);
    QCOMPARE(readAll(path()), written);
}

void TestAddressBook::save_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QByteArray>("saved"); // null: the save fails and leaves the original
    QTest::addColumn<bool>("backedUp");

    // サーバー, 事務所 and ソフト表 (whose second bytes are 5C, the backslash) in code page 932.
    QTest::newRow("Shift-JIS") << QByteArray("\x83\x54\x81\x5b\x83\x6f\x81\x5b,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                             "\x8e\x96\x96\xb1\x8f\x8a,AABBCCDDEEFF,\x83\x5c\x83\x74\x83\x67\x95\x5c\r\n") << false
                               << QStringLiteral("サーバー,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                                 "事務所,AABBCCDDEEFF,ソフト表,,,,,,,,255.255.255.255\r\n").toUtf8()
                               << true;
    QByteArray lines;
    QByteArray kept;
    for (int i = 1; i <= 40000; ++i) {
        lines += "pc" + QByteArray::number(i) + ",001122334455,__:__,,,,,,,,192.168.0.255\r\n";
        if (i == AddressBook::MaxEntries)
            kept = lines;
    }
    QTest::newRow("40,000 lines") << lines << false << kept << true;
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

    writeAll(path(), original);
    AddressBookFile file(path());
    const AddressListLoad load = file.load();
    AddressBookFile::SaveResult result;
    {
        DiskFull full(diskFull ? 4 : RLIM_INFINITY);
        // A book not read whole is saved empty here, which fits: only its backup can fail.
        result = file.save(diskFull && !load.complete ? AddressBook() : load.book);
    }
    QCOMPARE(result.saved && result.error.isEmpty(), !saved.isNull());
    QCOMPARE(result.backedUp, backedUp);
    QCOMPARE(readAll(path()), saved.isNull() ? original : saved);
    QCOMPARE(readAll(file.backupPath()), backedUp ? original : QByteArray("<unreadable>"));
    // Only once: a later save leaves the backup alone.
    if (backedUp)
        QVERIFY(!file.save(load.book).backedUp);
}

QTEST_GUILESS_MAIN(TestAddressBook)
#include "test_addressbook.moc"
