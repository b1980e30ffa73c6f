#include "DiskFull.h"
#include "addressbook/AddressBookFile.h"
#include "addressbook/SplitFields.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString NoMac = QStringLiteral("            ");
const QString Broadcast = QStringLiteral("255.255.255.255");

// The line of an entry with only a name.
QString bare(const QString& name)
{
    return name + ',' + NoMac + QStringLiteral(",,,,,,,,,") + Broadcast;
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
    void loadFile_data();
    void loadFile();
    void byteLimitKeepsWholeLines();
    void roundTripIsByteForByte();
    void backedUpBeforeTheFirstSave_data();
    void backedUpBeforeTheFirstSave();
    void failedSaveLeavesTheOldFile_data();
    void failedSaveLeavesTheOldFile();

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
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("pieces"); // slots past `count` keep "old<n>"

    const QString comma = QStringLiteral(",");
    QTest::newRow("no delimiter") << "abc" << comma << 12 << 3 << 1 << QStringList{"abc", "old1", "old2"};
    QTest::newRow("empty text") << "" << comma << 12 << 2 << 1 << QStringList{"", "old1"};
    QTest::newRow("trailing delimiter") << "a,b," << comma << 12 << 4 << 3 << QStringList{"a", "b", "", "old3"};
    QTest::newRow("d + 1 equals limit") << "a,b" << comma << 2 << 3 << 2 << QStringList{"a", "b", "old2"};
    QTest::newRow("d equals limit") << "a,b,c" << comma << 2 << 3 << 2 << QStringList{"a", "b", "old2"};
    QTest::newRow("d above limit") << "a,b,c,d" << comma << 2 << 3 << 2 << QStringList{"a", "b", "old2"};
    QTest::newRow("multi-character") << "a::b:c::" << QString("::") << 12 << 4 << 3
                                     << QStringList{"a", "b:c", "", "old3"};
    QTest::newRow("overlapping") << "aaa" << QString("aa") << 12 << 3 << 2 << QStringList{"", "a", "old2"};
    QTest::newRow("limit past the slots") << "a,b,c,d" << comma << 12 << 2 << 2 << QStringList{"a", "b"};
    QTest::newRow("zero limit") << "a,b" << comma << 0 << 2 << 0 << QStringList{"old0", "old1"};
    QTest::newRow("empty delimiter") << "a,b" << QString() << 12 << 2 << 1 << QStringList{"a,b", "old1"};
}

void TestAddressBook::splitFields()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(int, limit);
    QFETCH(int, slots);
    QFETCH(int, count);
    QFETCH(QStringList, pieces);

    std::vector<QString> array;
    for (int i = 0; i < slots; ++i)
        array.push_back(QStringLiteral("old%1").arg(i));
    QCOMPARE(::splitFields(array, limit, text, delimiter), count);
    QCOMPARE(QStringList(array.begin(), array.end()), pieces);

    // The reader's variant gives views into the text, cut the same way.
    std::vector<QStringView> views(array.size());
    QCOMPARE(::splitFields(views, limit, QStringView(text), QStringView(delimiter)), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(views[std::size_t(i)].toString(), pieces[i]);
}

void TestAddressBook::loadFile_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<bool>("shiftJis");

    const QString full = QStringLiteral("pc,001122334455,1,2,3,4,5,6,7,8,10.0.0.1");
    QTest::newRow("no file") << QByteArray() << QStringList() << true << false;
    QTest::newRow("zero bytes") << QByteArray("") << QStringList() << true << false;
    QTest::newRow("empty line") << QByteArray("\r\n") << QStringList{bare("")} << true << false;
    QTest::newRow("ten fields") << QByteArray("pc,001122334455,1,2,3,4,5,6,7,8\r\n")
                                << QStringList{"pc,001122334455,1,2,3,4,5,6,7,8," + Broadcast} << true << false;
    QTest::newRow("empty eleventh") << QByteArray("pc,001122334455,1,2,3,4,5,6,7,8,\r\n")
                                    << QStringList{"pc,001122334455,1,2,3,4,5,6,7,8,"} << true << false;
    QTest::newRow("thirteen fields") << (full + ",x,y\r\n").toUtf8() << QStringList{full} << true << false;
    QTest::newRow("four-character mac") << QByteArray("pc,0A1B\r\n")
                                        << QStringList{"pc,0A1B        ,,,,,,,,," + Broadcast} << true << false;
    QTest::newRow("fourteen-character mac")
        << QByteArray("pc,00112233445566\r\n") << QStringList{"pc,001122334455,,,,,,,,," + Broadcast} << true << false;
    QTest::newRow("duplicate names") << (full + "\r\n" + full + "\r\n").toUtf8() << QStringList{full, full} << true
                                     << false;
    QTest::newRow("lone LF, lone CR, no final line end")
        << QByteArray("a\nb\rc") << QStringList{bare("a"), bare("b"), bare("c")} << true << false;
    QTest::newRow("empty lines after LF, CR and CR LF")
        << QByteArray("a\n\nb\r\rc\r\n\r\nd")
        << QStringList{bare("a"), bare(""), bare("b"), bare(""), bare("c"), bare(""), bare("d")} << true << false;
    // A byte cut from a surrogate pair becomes U+FFFD; a whole pair stays.
    QTest::newRow("surrogate pairs in the mac")
        << QStringLiteral("pc,\U0001F600B\U0001F600C").toUtf8()
        << QStringList{"pc,\U0001F600B\uFFFD\uFFFDC      ,,,,,,,,," + Broadcast} << true << false;
    QTest::newRow("Japanese names") << QStringLiteral("サーバー,,1\r\n事務所\r\n").toUtf8()
                                    << QStringList{"サーバー," + NoMac + ",1,,,,,,,," + Broadcast, bare("事務所")}
                                    << true << false;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + 'a' << QStringList{bare("a")} << true << false;
    QTest::newRow("neither UTF-8 nor Shift-JIS")
        << QByteArray("\x80\xff\xfd") << QStringList{bare("\uFFFD\uFFFD\uFFFD")} << false << false;
    QTest::newRow("Shift-JIS with an unmapped character")
        << QByteArray("\x82\xa0\x85\x40\r\n") << QStringList{bare("あ\uFFFD")} << false << true;
}

void TestAddressBook::loadFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(bool, complete);
    QFETCH(bool, shiftJis);

    if (!bytes.isNull())
        writeAll(path(), bytes);
    const AddressListLoad load = AddressBookFile(path()).load();
    QStringList loaded;
    for (const AddressEntry& entry : load.book)
        loaded << addressLine(entry);
    QCOMPARE(loaded, lines);
    QCOMPARE(load.complete, complete);
    QCOMPARE(load.problem.isEmpty(), complete);
    QCOMPARE(load.shiftJis, shiftJis);
}

void TestAddressBook::byteLimitKeepsWholeLines()
{
    const AddressListLoad load = parseAddressList("aa\r\nbb\r\ncc\r\n", 9);
    QCOMPARE(load.book.size(), 2);
    QVERIFY(!load.complete);
    QVERIFY(parseAddressList("aa\r\nbb\r\ncc\r\n", 12).complete);
}

void TestAddressBook::roundTripIsByteForByte()
{
    // A first name that begins with a byte-order mark is written behind a second one, which the reader drops.
    const QByteArray written = QStringLiteral("\uFEFF\uFEFFServer-2,0A1B2C3D4E5F,__:__,__:__,07:30,07:30,07:30,07:30,"
                                              "07:30,__:__,192.168.1.255\r\n"
                                              "事務所,A 1B    4E5F,,,,,,,,,\r\n"
                                              "\uFEFFmark,001f22334455,1,2,3,4,5,6,7,8,host\r\n"
                                              "x,a0b1c2d3e41f,,,,,,,,,h\r\n"
                                              "y,0A1B2C3D4E5F,,,,,,,,,h\r\n")
                                   .toUtf8();
    writeAll(path(), written);
    AddressBookFile file(path());
    const AddressListLoad load = file.load();
    QVERIFY(load.complete);
    const AddressEntry& first = load.book.at(0);
    QCOMPARE(first.name, QStringLiteral("\uFEFFServer-2"));
    QCOMPARE(first.mac[5], QStringLiteral("5F"));
    QCOMPARE(first.alarms[2], QStringLiteral("07:30"));
    QCOMPARE(first.host, QStringLiteral("192.168.1.255"));
    QCOMPARE(load.book.at(1).mac[0], QStringLiteral("A "));
    // Lower-case digits come back as they were, and one text serves every entry that holds it.
    QCOMPARE(load.book.at(2).mac[1], QStringLiteral("1f"));
    QCOMPARE(load.book.at(2).mac[1].constData(), load.book.at(3).mac[5].constData());
    for (std::size_t j = 0; j < 6; ++j)
        QCOMPARE(load.book.at(0).mac[j].constData(), load.book.at(4).mac[j].constData());

    const AddressBookFile::SaveResult saved = file.save(load.book);
    QVERIFY(saved.saved);
    QVERIFY(!saved.backedUp);
    QCOMPARE(readAll(path()), written);
}

void TestAddressBook::backedUpBeforeTheFirstSave_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<bool>("shiftJis");
    QTest::addColumn<QByteArray>("saved");

    // サーバー, 事務所 and ソフト表 (whose second bytes are 5C, the backslash) in code page 932.
    QTest::newRow("Shift-JIS") << QByteArray(
                                      "\x83\x54\x81\x5b\x83\x6f\x81\x5b,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                      "\x8e\x96\x96\xb1\x8f\x8a,AABBCCDDEEFF,\x83\x5c\x83\x74\x83\x67\x95\x5c\r\n")
                               << true
                               << QStringLiteral("サーバー,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                                 "事務所,AABBCCDDEEFF,ソフト表,,,,,,,,255.255.255.255\r\n")
                                      .toUtf8();
    QByteArray lines;
    QByteArray kept;
    for (int i = 1; i <= 40000; ++i) {
        lines += "pc" + QByteArray::number(i) + ",001122334455,__:__,,,,,,,,192.168.0.255\r\n";
        if (i == AddressBook::MaxEntries)
            kept = lines;
    }
    QTest::newRow("40,000 lines") << lines << false << kept;
}

void TestAddressBook::backedUpBeforeTheFirstSave()
{
    QFETCH(QByteArray, original);
    QFETCH(bool, shiftJis);
    QFETCH(QByteArray, saved);

    writeAll(path(), original);
    AddressBookFile file(path());
    const AddressListLoad load = file.load();
    QCOMPARE(load.shiftJis, shiftJis);
    const AddressBookFile::SaveResult first = file.save(load.book);
    QVERIFY(first.saved);
    QVERIFY(first.backedUp);
    QCOMPARE(readAll(file.backupPath()), original);
    QCOMPARE(readAll(path()), saved);

    // Only once: a later save leaves the backup alone.
    writeAll(file.backupPath(), "kept");
    QVERIFY(!file.save(load.book).backedUp);
    QCOMPARE(readAll(file.backupPath()), QByteArray("kept"));
}

void TestAddressBook::failedSaveLeavesTheOldFile_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<bool>("emptyBook");

    QTest::newRow("no room for the new file") << QByteArray("old\r\n") << false;
    // Zero bytes would fit, but a file not read whole (here: not text) must be copied aside first.
    QTest::newRow("no room for the backup") << QByteArray("\x80\xff\xfd old") << true;
}

void TestAddressBook::failedSaveLeavesTheOldFile()
{
    QFETCH(QByteArray, original);
    QFETCH(bool, emptyBook);

    writeAll(path(), original);
    AddressBookFile file(path());
    const AddressListLoad load = file.load();
    AddressBookFile::SaveResult result;
    {
        DiskFull full;
        result = file.save(emptyBook ? AddressBook() : load.book);
    }
    // The backup's buffered copy loses the failed flush, so a cut copy passes for a whole one and the original is
    // replaced; opening the copy unbuffered, as WriteFileAtomically does, lets the short write show.
    QVERIFY(!result.saved);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readAll(path()), original);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"address.lst"});
}

QTEST_GUILESS_MAIN(TestAddressBook)
#include "test_addressbook.moc"
