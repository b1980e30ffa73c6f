#include "AddressBook.h"
#include "AddressFile.h"
#include "AddressListFile.h"
#include "Failure.h"
#include "SplitFields.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Broadcast = QStringLiteral("255.255.255.255");
const QString NoMac = QStringLiteral("            ");
const QString NoAlarms = QStringLiteral(",,,,,,,,,"); // the comma after the bytes, then one after each alarm

QStringList linesOf(const AddressBook& book)
{
    QStringList lines;
    for (const AddressEntry& entry : book)
        lines << AddressLine(entry);
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

AddressEntry entryNamed(const QString& name)
{
    AddressEntry entry;
    entry.Name = name;
    return entry;
}

// Permissions mean nothing to root; a probe file tells whether this run can test them.
bool permissionsEnforced(const QString& readOnlyDir)
{
    QFile probe(readOnlyDir + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return false;
    }
    return true;
}

} // namespace

class TestAddressBook : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fixedWidthByte_data();
    void fixedWidthByte();
    void storableText_data();
    void storableText();
    void bookOperations();
    void splitFields_data();
    void splitFields();
    void fieldsOfALine();
    void loadBytes_data();
    void loadBytes();
    void loadKeepsWholeLinesUpToTheByteLimit();
    void missingAndUnopenableFiles();
    void roundTripIsByteForByte();
    void shiftJisFileIsBackedUpAndSavedAsUtf8();
    void tooManyLinesKeepsTheFirstAndBacksUp();
    void failedSaveLeavesTheOldFile();
    void unreadableFileIsNotOverwritten();
};

void TestAddressBook::fixedWidthByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << QString() << QStringLiteral("  ");
    QTest::newRow("one character") << QStringLiteral("A") << QStringLiteral("A ");
    QTest::newRow("two") << QStringLiteral("0a") << QStringLiteral("0a");
    QTest::newRow("longer is cut") << QStringLiteral("ABC") << QStringLiteral("AB");
    QTest::newRow("whole surrogate pair") << QStringLiteral("😀x") << QStringLiteral("😀");
    QTest::newRow("half a pair") << QStringLiteral("a😀") << QStringLiteral("a\uFFFD");
}

void TestAddressBook::fixedWidthByte()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    AddressEntry entry;
    entry.setMac(3, text);
    QCOMPARE(entry.Mac[3], stored);
    QCOMPARE(entry.Mac[0], QStringLiteral("  "));
}

void TestAddressBook::storableText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("storable");
    QTest::newRow("plain") << QStringLiteral("Server-2 サーバー") << true;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("comma") << QStringLiteral("a,b") << false;
    QTest::newRow("CR") << QStringLiteral("a\rb") << false;
    QTest::newRow("LF") << QStringLiteral("a\n") << false;
    QTest::newRow("tab") << QStringLiteral("a\tb") << true;
}

void TestAddressBook::storableText()
{
    QFETCH(QString, text);
    QFETCH(bool, storable);
    QCOMPARE(IsStorableInAddressLine(text), storable);
}

void TestAddressBook::bookOperations()
{
    AddressBook book;
    auto revision = book.revision();
    auto changed = [&] {
        const bool moved = book.revision() != revision;
        revision = book.revision();
        return moved;
    };

    QVERIFY(book.append(entryNamed(QStringLiteral("a"))));
    QVERIFY(changed());
    QVERIFY(book.append(entryNamed(QStringLiteral("b"))));
    QVERIFY(book.append(entryNamed(QStringLiteral("c"))));
    QVERIFY(changed());
    book.replace(0, entryNamed(QStringLiteral("A")));
    QVERIFY(changed());
    book.removeAt(1);
    QVERIFY(changed());
    QCOMPARE(linesOf(book).size(), 2);
    QCOMPARE(book.at(1).Name, QStringLiteral("c"));
    QCOMPARE(book.at(0).Name, QStringLiteral("A"));

    try {
        (void)book.at(2);
        QFAIL("index 2 of 2 was accepted");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), int(Failure::SubscriptOutOfRange));
    }
    QVERIFY_THROWS_EXCEPTION(Failure, book.removeAt(-1));
    QVERIFY(!changed());

    // Taking another book's entries is a change even when both have made the same number of changes.
    AddressBook other;
    for (int i = 0; i < 5; ++i)
        QVERIFY(other.append(entryNamed(QString::number(i))));
    QCOMPARE(other.revision(), book.revision());
    book = other;
    QVERIFY(changed());
    QCOMPARE(book.size(), 5);

    book.clear();
    QVERIFY(changed());
    QVERIFY(book.isEmpty());

    for (int i = 0; i < AddressBook::MaxEntries; ++i)
        QVERIFY(book.append(AddressEntry()));
    changed();
    QVERIFY(!book.append(entryNamed(QStringLiteral("one too many"))));
    QVERIFY(!changed());
    QCOMPARE(book.size(), AddressBook::MaxEntries);
}

void TestAddressBook::splitFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("slots");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("pieces");

    const QString comma = QStringLiteral(",");
    QTest::newRow("no delimiter") << "abc" << comma << 12 << 3 << 1 << QStringList{"abc", "old1", "old2"};
    QTest::newRow("empty text") << "" << comma << 12 << 2 << 1 << QStringList{"", "old1"};
    QTest::newRow("delimiter only") << "," << comma << 12 << 3 << 2 << QStringList{"", "", "old2"};
    QTest::newRow("trailing delimiter") << "a,b," << comma << 12 << 4 << 3 << QStringList{"a", "b", "", "old3"};
    QTest::newRow("d + 1 equals limit") << "a,b" << comma << 2 << 3 << 2 << QStringList{"a", "b", "old2"};
    QTest::newRow("d equals limit") << "a,b,c" << comma << 2 << 3 << 2 << QStringList{"a", "b", "old2"};
    QTest::newRow("d above limit") << "a,b,c,d" << comma << 2 << 3 << 2 << QStringList{"a", "b", "old2"};
    QTest::newRow("multi-character") << "a::b:c::" << QString("::") << 12 << 4 << 3
                                     << QStringList{"a", "b:c", "", "old3"};
    QTest::newRow("overlapping") << "aaa" << QString("aa") << 12 << 3 << 2 << QStringList{"", "a", "old2"};
    QTest::newRow("case-sensitive") << "aXbxc" << QString("x") << 12 << 2 << 2 << QStringList{"aXb", "c"};
    QTest::newRow("limit past the slots") << "a,b,c,d" << comma << 12 << 2 << 2 << QStringList{"a", "b"};
    QTest::newRow("zero limit") << "a,b" << comma << 0 << 2 << 0 << QStringList{"old0", "old1"};
    QTest::newRow("negative limit") << "a,b" << comma << -3 << 1 << 0 << QStringList{"old0"};
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
    QCOMPARE(SplitFields(array, limit, text, delimiter), count);
    QCOMPARE(QStringList(array.begin(), array.end()), pieces);

    // The reader's variant gives views into the text, cut the same way.
    const std::vector<QString> olds(array.size(), QStringLiteral("old"));
    std::vector<QStringView> views(olds.begin(), olds.end());
    QCOMPARE(SplitFields(views, limit, QStringView(text), QStringView(delimiter)), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(views[std::size_t(i)].toString(), pieces[i]);
    for (int i = count; i < slots; ++i)
        QCOMPARE(views[std::size_t(i)], QStringLiteral("old"));
}

void TestAddressBook::fieldsOfALine()
{
    const AddressEntry entry =
        ParseAddressLine(QStringLiteral("Server-2,0A1B2C3D4E5F,__:__,__:__,07:30,07:30,07:30,07:30,07:30,__:__,"
                                        "192.168.1.255"));
    QCOMPARE(entry.Name, QStringLiteral("Server-2"));
    const std::array<QString, 6> mac{"0A", "1B", "2C", "3D", "4E", "5F"};
    QCOMPARE(entry.Mac, mac);
    QCOMPARE(entry.Alarm[0], QStringLiteral("__:__"));
    QCOMPARE(entry.Alarm[2], QStringLiteral("07:30"));
    QCOMPARE(entry.Alarm[7], QStringLiteral("__:__"));
    QCOMPARE(entry.Host, QStringLiteral("192.168.1.255"));
    QCOMPARE(AddressLine(entry).size(), 83);
}

void TestAddressBook::loadBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<bool>("shiftJis");

    const QString full = QStringLiteral("pc,001122334455,1,2,3,4,5,6,7,8,10.0.0.1");
    const QByteArray fullBytes = full.toUtf8();
    QTest::newRow("zero bytes") << QByteArray() << QStringList() << true << false;
    QTest::newRow("three lines") << QByteArray(fullBytes + "\r\n" + fullBytes + "\r\nb\r\n")
                                 << QStringList{full, full, "b," + NoMac + NoAlarms + Broadcast} << true << false;
    QTest::newRow("empty line") << QByteArray("\r\n") << QStringList{"," + NoMac + NoAlarms + Broadcast} << true
                                << false;
    QTest::newRow("ten fields") << QByteArray("pc,001122334455,1,2,3,4,5,6,7,8\r\n")
                                << QStringList{"pc,001122334455,1,2,3,4,5,6,7,8," + Broadcast} << true << false;
    QTest::newRow("empty eleventh") << QByteArray("pc,001122334455,1,2,3,4,5,6,7,8,\r\n")
                                    << QStringList{"pc,001122334455,1,2,3,4,5,6,7,8,"} << true << false;
    QTest::newRow("thirteen fields") << QByteArray(fullBytes + ",x,y\r\n") << QStringList{full} << true << false;
    QTest::newRow("four-character mac") << QByteArray("pc,0A1B\r\n")
                                        << QStringList{"pc,0A1B        " + NoAlarms + Broadcast} << true << false;
    QTest::newRow("fourteen-character mac") << QByteArray("pc,00112233445566\r\n")
                                            << QStringList{"pc,001122334455" + NoAlarms + Broadcast} << true << false;
    QTest::newRow("duplicate names") << QByteArray("a\r\na\r\n")
                                     << QStringList{"a," + NoMac + NoAlarms + Broadcast,
                                                    "a," + NoMac + NoAlarms + Broadcast}
                                     << true << false;
    const QString a = "a," + NoMac + NoAlarms + Broadcast;
    const QString b = "b," + NoMac + NoAlarms + Broadcast;
    const QString empty = "," + NoMac + NoAlarms + Broadcast;
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{a, b} << true << false;
    QTest::newRow("CR only") << QByteArray("a\rb\r") << QStringList{a, b} << true << false;
    QTest::newRow("LF then CR") << QByteArray("a\n\rb") << QStringList{a, empty, b} << true << false;
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\n") << QStringList{a, empty} << true << false;
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{a, b} << true << false;
    QTest::newRow("japanese utf-8") << QStringLiteral("サーバー,,1\r\n事務所\r\n").toUtf8()
                                    << QStringList{"サーバー," + NoMac + ",1,,,,,,,," + Broadcast,
                                                   "事務所," + NoMac + NoAlarms + Broadcast}
                                    << true << false;
    QTest::newRow("byte-order mark") << QByteArray(QByteArray("\xEF\xBB\xBF") + "a") << QStringList{a} << true << false;

    // サーバー, 事務所 and ソフト表 (whose second bytes are 5C, the backslash) in code page 932.
    QTest::newRow("shift-jis") << QByteArray("\x83\x54\x81\x5b\x83\x6f\x81\x5b\r\n\x8e\x96\x96\xb1\x8f\x8a,,"
                                             "\x83\x5c\x83\x74\x83\x67\x95\x5c\r\n")
                               << QStringList{"サーバー," + NoMac + NoAlarms + Broadcast,
                                              "事務所," + NoMac + ",ソフト表,,,,,,,," + Broadcast}
                               << true << true;
    QTest::newRow("shift-jis control bytes")
        << QByteArray("\x82\xa0\x1a\x1c\x7f\\~") << QStringList{"あ\x1a\x1c\x7f\\~," + NoMac + NoAlarms + Broadcast}
        << true << true;
    QTest::newRow("shift-jis with a bad byte")
        << QByteArray("\x82\xa0\x85\x40\r\n") << QStringList{"あ\uFFFD," + NoMac + NoAlarms + Broadcast} << false
        << true;
    QTest::newRow("utf-8 with a bad byte") << QByteArray("\xe3\x81\x82\xff\r\n")
                                           << QStringList{"あ\uFFFD," + NoMac + NoAlarms + Broadcast} << false << false;
    QTest::newRow("neither") << QByteArray("\x80\xff\xfd")
                             << QStringList{"\uFFFD\uFFFD\uFFFD," + NoMac + NoAlarms + Broadcast} << false << false;
}

void TestAddressBook::loadBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(bool, complete);
    QFETCH(bool, shiftJis);

    const AddressListLoad load = ParseAddressList(bytes);
    QCOMPARE(linesOf(load.book), lines);
    QCOMPARE(load.complete, complete);
    QCOMPARE(load.problem.isEmpty(), complete);
    QCOMPARE(load.shiftJis, shiftJis);
}

void TestAddressBook::loadKeepsWholeLinesUpToTheByteLimit()
{
    const AddressListLoad load = ParseAddressList("aa\r\nbb\r\ncc\r\n", 9);
    QCOMPARE(load.book.size(), 2);
    QCOMPARE(load.book.at(1).Name, QStringLiteral("bb"));
    QVERIFY(!load.complete);
    QCOMPARE(ParseAddressList("aa\r\nbb\r\ncc\r\n", 12).complete, true);
}

void TestAddressBook::missingAndUnopenableFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    AddressFile missing(dir.filePath(QStringLiteral("address.lst")));
    AddressListLoad load = missing.load();
    QVERIFY(load.book.isEmpty());
    QVERIFY(load.complete);
    QVERIFY(!missing.backupPending());
    // The first save creates the file; an empty book is zero bytes.
    const AddressFile::SaveResult saved = missing.save(AddressBook());
    QVERIFY(saved.saved);
    QVERIFY(!saved.backedUp);
    QVERIFY(QFile::exists(missing.path()));
    QCOMPARE(readAll(missing.path()), QByteArray());

    // A directory where the file should be cannot be read, and must not be replaced.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.lst")));
    AddressFile folder(dir.filePath(QStringLiteral("folder.lst")));
    load = folder.load();
    QVERIFY(load.book.isEmpty());
    QVERIFY(!load.complete);
    QVERIFY(folder.backupPending());
    const AddressFile::SaveResult refused = folder.save(AddressBook());
    QVERIFY(!refused.saved);
    QVERIFY(!refused.error.isEmpty());
    QVERIFY(QFileInfo(folder.path()).isDir());
}

void TestAddressBook::roundTripIsByteForByte()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray written = QStringLiteral("Server-2,0A1B2C3D4E5F,__:__,__:__,07:30,07:30,07:30,07:30,07:30,__:__,"
                                              "192.168.1.255\r\n"
                                              "事務所,A 1B    4E5F,,,,,,,,,\r\n"
                                              "\uFEFFmark,001122334455,1,2,3,4,5,6,7,8,host\r\n")
                                   .toUtf8();
    const QString path = dir.filePath(QStringLiteral("address.lst"));
    writeAll(path, written);

    AddressFile file(path);
    const AddressListLoad load = file.load();
    QVERIFY(load.complete);
    QCOMPARE(load.book.size(), 3);
    QCOMPARE(load.book.at(1).Mac[0], QStringLiteral("A "));
    QCOMPARE(SerializeAddressList(load.book), written);

    const AddressFile::SaveResult saved = file.save(load.book);
    QVERIFY(saved.saved);
    QVERIFY(!saved.backedUp);
    QCOMPARE(readAll(path), written);
    QVERIFY(!QFile::exists(file.backupPath()));

    // A name that begins with a byte-order mark keeps it through a save and a load.
    AddressBook marked;
    QVERIFY(marked.append(entryNamed(QStringLiteral("\uFEFFx"))));
    QCOMPARE(ParseAddressList(SerializeAddressList(marked)).book.at(0).Name, QStringLiteral("\uFEFFx"));
}

void TestAddressBook::shiftJisFileIsBackedUpAndSavedAsUtf8()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray original("\x83\x54\x81\x5b\x83\x6f\x81\x5b,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                              "\x8e\x96\x96\xb1\x8f\x8a,AABBCCDDEEFF\r\n");
    const QString path = dir.filePath(QStringLiteral("address.lst"));
    writeAll(path, original);

    AddressFile file(path);
    const AddressListLoad load = file.load();
    QVERIFY(load.shiftJis);
    QVERIFY(file.backupPending());
    QCOMPARE(load.book.at(0).Name, QStringLiteral("サーバー"));
    QCOMPARE(load.book.at(1).Name, QStringLiteral("事務所"));

    const AddressFile::SaveResult first = file.save(load.book);
    QVERIFY(first.saved);
    QVERIFY(first.backedUp);
    QCOMPARE(readAll(file.backupPath()), original);
    const QByteArray utf8 = QStringLiteral("サーバー,001122334455,07:30,,,,,,,,10.0.0.255\r\n"
                                           "事務所,AABBCCDDEEFF,,,,,,,,,255.255.255.255\r\n")
                                .toUtf8();
    QCOMPARE(readAll(path), utf8);

    // Only once: a later save leaves the backup alone.
    writeAll(file.backupPath(), "kept");
    const AddressFile::SaveResult second = file.save(load.book);
    QVERIFY(second.saved);
    QVERIFY(!second.backedUp);
    QCOMPARE(readAll(file.backupPath()), QByteArray("kept"));
}

void TestAddressBook::tooManyLinesKeepsTheFirstAndBacksUp()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray original;
    for (int i = 1; i <= 40000; ++i)
        original += "pc" + QByteArray::number(i) + ",001122334455,__:__,,,,,,,,192.168.0.255\r\n";
    const QString path = dir.filePath(QStringLiteral("address.lst"));
    writeAll(path, original);

    AddressFile file(path);
    const AddressListLoad load = file.load();
    QVERIFY(!load.complete);
    QVERIFY(!load.shiftJis);
    QCOMPARE(load.book.size(), AddressBook::MaxEntries);
    QCOMPARE(load.book.at(AddressBook::MaxEntries - 1).Name, QStringLiteral("pc32767"));

    const AddressFile::SaveResult saved = file.save(load.book);
    QVERIFY(saved.saved);
    QVERIFY(saved.backedUp);
    QCOMPARE(readAll(file.backupPath()), original);
    const QByteArray kept = readAll(path);
    QCOMPARE(kept.count("\r\n"), AddressBook::MaxEntries);
    QVERIFY(original.startsWith(kept));
}

void TestAddressBook::failedSaveLeavesTheOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    const QString path = folder + QStringLiteral("/address.lst");
    writeAll(path, "old\r\n");
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::ExeOther));
    const auto unlock =
        qScopeGuard([&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    if (!permissionsEnforced(folder))
        QSKIP("permissions are not enforced for this user (root)");

    AddressFile file(path);
    AddressListLoad load = file.load();
    QVERIFY(load.complete);
    QVERIFY(load.book.append(entryNamed(QStringLiteral("new"))));
    const AddressFile::SaveResult result = file.save(load.book);
    QVERIFY(!result.saved);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readAll(path), QByteArray("old\r\n"));
}

void TestAddressBook::unreadableFileIsNotOverwritten()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("address.lst"));
    writeAll(path, "precious\r\n");
    QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    const auto unlock = qScopeGuard([&] { QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner); });
    {
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("permissions are not enforced for this user (root)");
    }

    AddressFile file(path);
    const AddressListLoad load = file.load();
    QVERIFY(load.book.isEmpty());
    QVERIFY(!load.complete);
    // Saving the empty book would destroy the file; the backup fails first and stops it.
    const AddressFile::SaveResult result = file.save(load.book);
    QVERIFY(!result.saved);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(readAll(path), QByteArray("precious\r\n"));
}

QTEST_GUILESS_MAIN(TestAddressBook)
#include "test_addressbook.moc"
