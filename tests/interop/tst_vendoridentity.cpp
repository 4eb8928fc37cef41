// The translation of other implementations' host and process properties into
// "dds.sys_info.*" ones: property lists in, the list the layer hands out compared whole.
#include "VendorIdentity.h"

#include <QtTest>

using namespace ZORVAN;

namespace {

// "name=value" per property (split at the first "="); a leading "~" marks a property that is
// not propagated.
std::vector<Property_t> list(const QStringList& lines)
{
    std::vector<Property_t> properties;
    for (QString line : lines) {
        Property_t property;
        property.propagate = !line.startsWith(QLatin1Char('~'));
        if (!property.propagate) {
            line.remove(0, 1);
        }
        const int equals = line.indexOf(QLatin1Char('='));
        property.name = line.left(equals).toStdString();
        property.value = line.mid(equals + 1).toStdString();
        properties.push_back(property);
    }
    return properties;
}

QStringList lines(const std::vector<Property_t>& properties)
{
    QStringList result;
    for (const Property_t& p : properties) {
        result << (p.propagate ? QString() : QStringLiteral("~")) + QString::fromStdString(p.name) +
                      QLatin1Char('=') + QString::fromStdString(p.value);
    }
    return result;
}

} // namespace

class TestVendorIdentity : public QObject
{
    Q_OBJECT

private slots:
    void addSysInfo_data()
    {
        QTest::addColumn<QStringList>("announced");
        QTest::addColumn<QStringList>("added"); // what follows the announced properties
        const QString cycloneAddresses =
            QStringLiteral("__NetworkAddresses=udp/127.0.0.1:7410@1,udp/10.1.2.3:7410@2");

        QTest::newRow("Cyclone DDS")
            << QStringList{"__ProcessName=radar_server", "__Pid=4321", "__Hostname=node-7",
                           cycloneAddresses}
            << QStringList{"~dds.sys_info.hostname=node-7", "~dds.sys_info.process_id=4321",
                           "~dds.sys_info.executable_filepath=radar_server",
                           "~dds.sys_info.ip=127.0.0.1", "~dds.sys_info.ip=10.1.2.3"};
        QTest::newRow("Fast DDS, host with a number suffix")
            << QStringList{"PARTICIPANT_TYPE=SIMPLE",
                           "fastdds.physical_data.host=vm:17164142299256324096",
                           "fastdds.physical_data.user=root", "fastdds.physical_data.process=77",
                           "__NetworkAddresses=udp/127.0.0.1:40410@1"}
            << QStringList{"~dds.sys_info.hostname=vm", "~dds.sys_info.process_id=77",
                           "~dds.sys_info.username=root", "~dds.sys_info.ip=127.0.0.1"};
        QTest::newRow("Fast DDS, host without a suffix")
            << QStringList{"fastdds.physical_data.host=build-02"}
            << QStringList{"~dds.sys_info.hostname=build-02"};
        // Only a trailing ":" with digits goes: not a bare ":", nor letters after it.
        QTest::newRow("Fast DDS, colons that stay")
            << QStringList{"fastdds.physical_data.host=a:b:", "fastdds.physical_data.user=u"}
            << QStringList{"~dds.sys_info.hostname=a:b:", "~dds.sys_info.username=u"};
        QTest::newRow("Fast DDS, colons with digits")
            << QStringList{"fastdds.physical_data.host=h:x:12"}
            << QStringList{"~dds.sys_info.hostname=h:x"};
        QTest::newRow("Fast DDS, only a suffix")
            << QStringList{"fastdds.physical_data.host=:5", "fastdds.physical_data.process=9"}
            << QStringList{"~dds.sys_info.process_id=9"};
        QTest::newRow("non-numeric process ids are left out")
            << QStringList{"__Hostname=h", "__Pid=12ab", "fastdds.physical_data.process= 7",
                           "__ProcessName=app"}
            << QStringList{"~dds.sys_info.hostname=h", "~dds.sys_info.executable_filepath=app"};
        QTest::newRow("a process id beyond 32 bits is left out")
            << QStringList{"__Pid=4294967296", "__Hostname=h"}
            << QStringList{"~dds.sys_info.hostname=h"};
        QTest::newRow("the largest process id")
            << QStringList{"__Pid=4294967295"}
            << QStringList{"~dds.sys_info.process_id=4294967295"};
        QTest::newRow("a bad Cyclone pid falls back to the Fast DDS one")
            << QStringList{"__Pid=", "fastdds.physical_data.process=55"}
            << QStringList{"~dds.sys_info.process_id=55"};
        // Cyclone's names first for what both give; what only one gives comes from it.
        QTest::newRow("both implementations")
            << QStringList{"fastdds.physical_data.host=fhost:3",
                           "fastdds.physical_data.process=200",
                           "fastdds.physical_data.user=fuser",
                           "__ProcessName=cexe",
                           "__Pid=100",
                           "__Hostname=chost"}
            << QStringList{"~dds.sys_info.hostname=chost", "~dds.sys_info.process_id=100",
                           "~dds.sys_info.username=fuser",
                           "~dds.sys_info.executable_filepath=cexe"};
        QTest::newRow("an empty Cyclone host gives way to Fast DDS")
            << QStringList{"__Hostname=", "fastdds.physical_data.host=fhost:3"}
            << QStringList{"~dds.sys_info.hostname=fhost"};
        QTest::newRow("the last usable value of a name")
            << QStringList{"__Hostname=first", "__Hostname=second", "__Hostname=", "__Pid=8",
                           "__Pid=x"}
            << QStringList{"~dds.sys_info.hostname=second", "~dds.sys_info.process_id=8"};

        // Any announced system information wins entirely, whatever it leaves out.
        QTest::newRow("dds.sys_info present")
            << QStringList{"__Hostname=h", "__Pid=3", "dds.sys_info.target=x86_64-linux",
                           cycloneAddresses}
            << QStringList{};
        QTest::newRow("dds.sys_info with an empty value")
            << QStringList{"dds.sys_info.hostname=", "fastdds.physical_data.host=h:1"}
            << QStringList{};
        // Addresses are what Cyclone adds for every peer it reaches: no identity on their own.
        QTest::newRow("addresses only")
            << QStringList{"other.name=x", cycloneAddresses} << QStringList{};
        QTest::newRow("nothing") << QStringList{} << QStringList{};
        QTest::newRow("empty identity values")
            << QStringList{"__Hostname=", "__ProcessName=", "fastdds.physical_data.user=",
                           "fastdds.physical_data.host=", cycloneAddresses}
            << QStringList{};
        QTest::newRow("names compared whole")
            << QStringList{"__hostname=h", "__Pid2=4", "fastdds.physical_data.hostname=x",
                           "dds.sys_info=y"}
            << QStringList{};
        QTest::newRow("the peer's own properties stay as they were")
            << QStringList{"~local.only=1", "__Hostname=h"}
            << QStringList{"~dds.sys_info.hostname=h"};
        QTest::newRow("addresses of several properties, repeats once")
            << QStringList{"__Hostname=h", "__NetworkAddresses=udp/10.0.0.1:7410@1",
                           "__NetworkAddresses=udp/10.0.0.1:7412@2,udp/10.0.0.2:7410@2"}
            << QStringList{"~dds.sys_info.hostname=h", "~dds.sys_info.ip=10.0.0.1",
                           "~dds.sys_info.ip=10.0.0.2"};
    }

    void addSysInfo()
    {
        QFETCH(QStringList, announced);
        QFETCH(QStringList, added);
        std::vector<Property_t> properties = list(announced);
        VendorIdentity::addSysInfo(properties);
        QCOMPARE(lines(properties), announced + added);
    }

    void networkAddresses_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("one") << "udp/127.0.0.1:40160@1" << QStringList{"127.0.0.1"};
        QTest::newRow("two") << "udp/127.0.0.1:40660@1,udp/192.168.5.20:40860@3"
                             << QStringList{"127.0.0.1", "192.168.5.20"};
        QTest::newRow("same address twice")
            << "udp/10.0.0.1:7410@1,udp/10.0.0.1:7411@1" << QStringList{"10.0.0.1"};
        QTest::newRow("IPv6") << "udp6/[fe80::1]:7410@2,tcp6/[::1]:7400@1"
                              << QStringList{"fe80::1", "::1"};
        QTest::newRow("no port, no interface") << "tcp/10.9.8.7" << QStringList{"10.9.8.7"};
        QTest::newRow("blanks around entries")
            << " udp/10.0.0.1:1@1 , udp/10.0.0.2:1@1 " << QStringList{"10.0.0.1", "10.0.0.2"};
        QTest::newRow("own process") << "localprocess" << QStringList{};
        QTest::newRow("no address")
            << "udp/host.example:7410@1,,udp/:7410@1,udp/[::1@1" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void networkAddresses()
    {
        QFETCH(QString, value);
        QFETCH(QStringList, addresses);
        QStringList found;
        for (const std::string& address : VendorIdentity::networkAddresses(value.toStdString())) {
            found << QString::fromStdString(address);
        }
        QCOMPARE(found, addresses);
    }
};

QTEST_APPLESS_MAIN(TestVendorIdentity)
#include "tst_vendoridentity.moc"
