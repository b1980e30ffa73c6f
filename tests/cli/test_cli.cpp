// tarnel-cli: its arguments, the MAC forms and the names it takes, and the
// program itself run against a receiver on loopback.
#include "FileBytes.h"
#include "UdpReceiver.h"
#include "addressbook/AddressListFormat.h"
#include "cli/CliCommand.h"
#include "cli/MacText.h"
#include "cli/WakeTargets.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The command as one line, or "error: " and the message.
QString render(const CliParse& parse)
{
    if (!parse.error.isEmpty())
        return QStringLiteral("error: ") + parse.error;
    const CliCommand& c = parse.command;
    static const QStringList actions = {"list", "wake", "getmac", "help", "version"};
    QStringList parts{actions.at(int(c.action))};
    if (!c.targets.isEmpty())
        parts << c.targets.join(u',');
    const auto add = [&](const char* name, const auto& value) {
        if (value)
            parts << QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(*value);
    };
    add("host", c.host);
    add("port", c.port);
    add("repeat", c.repeat);
    add("wait", c.waitSeconds);
    add("probe", c.probePort);
    if (!c.file.isEmpty())
        parts << "file=" + c.file;
    if (c.json)
        parts << "json";
    if (c.names)
        parts << "names";
    return parts.join(u' ');
}

QByteArray magicPacket(const QByteArray& hex)
{
    return QByteArray(6, char(0xFF)) + QByteArray::fromHex(hex).repeated(16);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void arguments_data();
    void arguments();
    void macForms_data();
    void macForms();
    void targets();
    void program_data();
    void program();
};

void TestCli::arguments_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("command");
    // clang-format off
    QTest::newRow("list") << "list" << "list";
    QTest::newRow("list as JSON, another book") << "list --json --file b.lst" << "list file=b.lst json";
    QTest::newRow("options among the targets") << "wake pc1 --port 9 pc2 -repeat 3" << "wake pc1,pc2 port=9 repeat=3";
    QTest::newRow("every wake option") << "wake 0a:1b:2c:3d:4e:5f --host h --wait 30 --probe-port 22"
                                       << "wake 0a:1b:2c:3d:4e:5f host=h wait=30 probe=22";
    QTest::newRow("getmac") << "getmac *" << "getmac *";
    QTest::newRow("version") << "--version list" << "version";
    QTest::newRow("help wins") << "wake --help --port 0" << "help";
    QTest::newRow("nothing to do") << "" << "error: Say what to do: list, wake or getmac.";
    QTest::newRow("unknown command") << "start pc" << "error: Unknown command \"start\": use list, wake or getmac.";
    QTest::newRow("unknown option") << "wake pc --bogus" << "error: Unknown option 'bogus'.";
    QTest::newRow("option without its value") << "wake pc --port" << "error: Missing value after '--port'.";
    QTest::newRow("wake without a target") << "wake --port 9" << "error: wake needs at least one name or MAC address.";
    QTest::newRow("port 0") << "wake pc --port 0" << "error: --port must be a whole number from 1 to 65535, not \"0\".";
    QTest::newRow("port past 65535") << "wake pc --port 65536" << "error: --port must be a whole number from 1 to 65535, not \"65536\".";
    QTest::newRow("port not a number") << "wake pc --port 9x" << "error: --port must be a whole number from 1 to 65535, not \"9x\".";
    QTest::newRow("repeat past 100") << "wake pc --repeat 101" << "error: --repeat must be a whole number from 1 to 100, not \"101\".";
    QTest::newRow("wait 0") << "wake pc --wait 0" << "error: --wait must be a whole number from 1 to 86400, not \"0\".";
    QTest::newRow("probe without wait") << "wake pc --probe-port 22" << "error: --probe-port goes with --wait.";
    QTest::newRow("list with a wake option") << "list --port 9" << "error: --host --port --repeat --wait --probe-port cannot be used with list.";
    QTest::newRow("list with an argument") << "list pc" << "error: list takes no arguments.";
    QTest::newRow("both list forms") << "list --json --names" << "error: Give --json or --names, not both.";
    QTest::newRow("wake with a list option") << "wake pc --json" << "error: --json --names cannot be used with wake.";
    QTest::newRow("getmac of two") << "getmac a b" << "error: getmac takes one computer: an IPv4 address, a name, or * for this one.";
    // clang-format on
}

void TestCli::arguments()
{
    QFETCH(QString, arguments);
    QFETCH(QString, command);
    QCOMPARE(render(parseCliArguments(QStringList{"tarnel-cli"} + arguments.split(u' ', Qt::SkipEmptyParts))), command);
}

void TestCli::macForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes"); // empty: not a MAC address
    for (const char* form :
         {"0A1B2C3D4E5F", "0a:1b:2c:3d:4e:5f", "0A-1B-2C-3D-4E-5F", "0a1b.2c3d.4e5f", " 0a1b2c3d4e5f "})
        QTest::newRow(form) << form << "0A1B2C3D4E5F";
    for (const char* form :
         {"", "0a1b2c3d4e5", "0a1b2c3d4e5g", "0a:1b:2c:3d:4e", "0a:1b:2c:3d:4e:5f:60", "0a:1b-2c:3d:4e:5f",
          "a:1b:2c:3d:4e:5ff", "0a1b.2c3d.4e5", "0a1b2c.3d4e5f", "+a1b2c3d4e5f"})
        QTest::newRow(form) << form << "";
}

void TestCli::macForms()
{
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    const std::optional<std::array<QString, 6>> mac = parseMacText(text);
    QCOMPARE(mac ? QStringList(mac->begin(), mac->end()).join(QString()) : QString(), bytes);
}

// Names first, exactly, then without regard to case if that is unique; then a MAC address.
void TestCli::targets()
{
    const AddressBook book =
        parseAddressList("nas,001122334455,,,,,,,,,h1\r\nNAS,001122334455,,,,,,,,,h2\r\n"
                         "Server-2,0A1B2C3D4E5F,,,,,,,,,h3\r\n0A1B2C3D4E5F,AABBCCDDEEFF,,,,,,,,,h4\r\n"
                         "dup,,,,,,,,,,\r\ndup,,,,,,,,,,\r\n")
            .book;
    // The first name is found by a walk through the book, the others by its index.
    const WakeTargetFinder finder(book);
    const auto found = [&](const QString& text) {
        const TargetLookup lookup = finder.find(text);
        return lookup.target
                   ? lookup.target->name + u' ' + macDisplayText(lookup.target->mac) + u' ' + lookup.target->host
                   : lookup.error;
    };
    QCOMPARE(found("NAS"), "NAS 00:11:22:33:44:55 h2");
    QCOMPARE(found("server-2"), "Server-2 0A:1B:2C:3D:4E:5F h3");
    QCOMPARE(found("Nas"), "\"Nas\" names more than one computer of the address book.");
    QCOMPARE(found("0A1B2C3D4E5F"), "0A1B2C3D4E5F AA:BB:CC:DD:EE:FF h4");
    QCOMPARE(found("0a-1b-2c-3d-4e-60"), "0A:1B:2C:3D:4E:60 0A:1B:2C:3D:4E:60 255.255.255.255");
    QCOMPARE(found("nobody"), "\"nobody\" is neither a computer of the address book nor a MAC address.");
    QCOMPARE(found("dup"), "\"dup\" names more than one computer of the address book.");
}

void TestCli::program_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // %1: the receiver's port
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("received"); // the MAC of each datagram
    // Port and repeat count come from tarnel.ini, the hosts from the book.
    QTest::newRow("two names")
        << "wake pc1 pc2" << 0
        << "woke pc1 (00:11:22:33:44:01) via 127.0.0.1:%1\nwoke pc2 (00:11:22:33:44:02) via 127.0.0.1:%1\n"
        << ""
        << "001122334401 001122334401 001122334402 001122334402";
    QTest::newRow("a MAC address, to a host") << "wake 0a1b.2c3d.4e5f --host 127.0.0.1 --repeat 1" << 0
                                              << "woke 0A:1B:2C:3D:4E:5F (0A:1B:2C:3D:4E:5F) via 127.0.0.1:%1\n"
                                              << ""
                                              << "0a1b2c3d4e5f";
    QTest::newRow("an unknown name sends nothing")
        << "wake pc1 nobody" << 2 << ""
        << "\"nobody\" is neither a computer of the address book nor a MAC address.\n"
        << "";
    QTest::newRow("a MAC box that is not hexadecimal")
        << "wake bad pc1 --repeat 1" << 1 << "woke pc1 (00:11:22:33:44:01) via 127.0.0.1:%1\n"
        << "could not wake bad: error 13: "
        << "001122334401";
    QTest::newRow("usage") << "wake --port 0 pc1" << 2 << ""
                           << "tarnel-cli: --port must be a whole number from 1 to 65535, not \"0\".\n"
                              "Try \"tarnel-cli --help\".\n"
                           << "";
    QTest::newRow("version") << "--version" << 0 << "tarnel-cli " TARNEL_VERSION_TEXT "\n"
                             << ""
                             << "";
}

void TestCli::program()
{
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, received);
    // tarnel.ini takes only ports from 1025 to 9999.
    std::unique_ptr<UdpReceiver> receiving;
    for (int port = 9100; !receiving && port < 10000; ++port) {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress::LocalHost, quint16(port)))
            continue;
        probe.close();
        receiving = std::make_unique<UdpReceiver>("127.0.0.1", port);
    }
    UdpReceiver& receiver = *receiving;
    // The program in a folder of its own, which holds the window's files.
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("tarnel-cli"));
    QVERIFY(QFile::copy(QStringLiteral(TARNEL_CLI), program));
    const QByteArray book = "pc1,001122334401,,,,,,,,,127.0.0.1\r\npc2,001122334402,07:30,,,,,,,,127.0.0.1\r\n"
                            "bad,ZZ1122334403,,,,,,,,,127.0.0.1\r\n";
    const QByteArray settings = QStringLiteral("\"%1\",\"2\",1\r\n").arg(receiver.port()).toUtf8();
    for (const auto& [name, bytes] : {std::pair{"address.lst", book}, {"tarnel.ini", settings}}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QProcess process;
    process.start(program, arguments.split(u' '));
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
             QString(out).replace("%1", QString::number(receiver.port())));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.isEmpty() ? errors.isEmpty() : errors.startsWith(err), qPrintable(errors));
    QList<QByteArray> expected;
    for (const QString& mac : received.split(u' ', Qt::SkipEmptyParts))
        expected << magicPacket(mac.toLatin1());
    QCOMPARE(receiver.drain(), expected);
    // Only read: the files are as they were, with nothing beside them.
    QCOMPARE(fileBytes(dir.filePath("address.lst")) + fileBytes(dir.filePath("tarnel.ini")), book + settings);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);

    if (QTest::currentDataTag() == QByteArrayLiteral("usage")) {
        // In Japanese where the locale is.
        process.setEnvironment(QProcess::systemEnvironment() << "LC_ALL=ja_JP.UTF-8"
                                                             << "LANGUAGE=ja");
        process.start(program, arguments.split(u' '));
        QVERIFY(process.waitForFinished(10000) && process.exitCode() == exitCode);
        QVERIFY(QString::fromUtf8(process.readAllStandardError())
                    .startsWith(QStringLiteral("tarnel-cli: --port には 1 から 65535 までの整数を指定してください")));
    }
    if (QTest::currentDataTag() == QByteArrayLiteral("two names")) {
        // The list as JSON reads back as the book.
        process.start(program, {"list", "--json"});
        QVERIFY(process.waitForFinished(10000) && process.exitCode() == 0);
        const QJsonArray list = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(1).toObject().value("mac").toString(), QStringLiteral("00:11:22:33:44:02"));
        QCOMPARE(list.at(1).toObject().value("alarms").toObject().value("daily").toString(), QStringLiteral("07:30"));
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
