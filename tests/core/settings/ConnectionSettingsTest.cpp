#include "core/settings/ConnectionSettings.h"

#include "tests/core/settings/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace omnar::settings;
using omnar::settings::test::readBytes;
using omnar::settings::test::TempDir;
using omnar::settings::test::writeBytes;

namespace {

class ConnectionSettingsTest : public ::testing::Test {
protected:
    ConnectionSettings loadFrom(const std::string& text, std::string_view combo = "COM3")
    {
        writeBytes(path, text);
        return ConnectionSettings::load(ini, combo);
    }

    TempDir dir;
    std::string path = dir.file("Planinfo.ini");
    ProfileFile ini{path};
};

} // namespace

TEST_F(ConnectionSettingsTest, MissingFileGivesTheDefaults)
{
    const auto s = ConnectionSettings::load(ini, "COM3");
    EXPECT_TRUE(s.serial) << "a fresh installation starts on Serial, the transport the panel offers";
    EXPECT_EQ(s.ip, "");
    EXPECT_EQ(s.port, "");
    EXPECT_FALSE(s.autoConnect);
    EXPECT_FALSE(s.startTimer);
    EXPECT_FALSE(s.startTimerEnabled());
    EXPECT_EQ(s.deviceId, 0);
    EXPECT_EQ(s.deviceIdComboIndex(), -1);
    EXPECT_EQ(s.deviceIdRadio(), 0);
    EXPECT_FALSE(std::filesystem::exists(path)) << "loading writes nothing";
}

TEST_F(ConnectionSettingsTest, AFreshMachineStaysOnSerialAfterItsFirstWrite)
{
    auto s = ConnectionSettings::load(ini, "COM3");
    ASSERT_TRUE(s.serial);
    EXPECT_EQ(s.comName, "COM3");
    // The first Connect creates the file; the next start must not find a
    // file without SerialTcp, which means Network.
    ASSERT_TRUE(s.prepareConnect(ini, "COM3"));
    EXPECT_EQ(readBytes(path), "[CONNECT]\nSerialTcp=1\nConnectFlag=0\nComName=COM3\nStartTimerFlag=0\n");
    EXPECT_TRUE(ConnectionSettings::load(ini).serial);

    // A file that exists keeps its meaning: no SerialTcp is Network, and no
    // write of all settings adds one.
    s = loadFrom("[PLANCOUNT]\ndaytimecount=0\n");
    EXPECT_FALSE(s.serial);
    ASSERT_TRUE(s.toggleAutoConnect(ini));
    EXPECT_EQ(ini.getString("CONNECT", "SerialTcp", "absent"), "absent");
}

TEST_F(ConnectionSettingsTest, SerialTcpOneIsSerialAnythingElseNetwork)
{
    auto s = loadFrom("[CONNECT]\nSerialTcp=1\nIP=10.0.0.9\nPort=5000\n");
    EXPECT_TRUE(s.serial);
    EXPECT_EQ(s.comName, "COM3") << "the COM combo's text becomes the port name";
    EXPECT_EQ(s.ip, "") << "address and port are read for Network only";
    EXPECT_EQ(s.port, "");

    for (const char* value : {"2", "0", "abc", "", "-1", "11"}) {
        s = loadFrom(std::string("[CONNECT]\nSerialTcp=") + value + "\nIP=10.0.0.9\nPort=5000\n");
        EXPECT_FALSE(s.serial) << value;
        EXPECT_EQ(s.ip, "10.0.0.9") << value;
        EXPECT_EQ(s.port, "5000") << value;
        EXPECT_EQ(s.comName, "") << value;
    }
    EXPECT_FALSE(loadFrom("[CONNECT]\nIP=1.1.1.1\n").serial) << "missing key";
    EXPECT_TRUE(loadFrom("[connect]\nserialtcp= 1 \n").serial);
}

TEST_F(ConnectionSettingsTest, DeviceIdIsReadOnlyWithAutoConnectAndOnlyInRange)
{
    auto s = loadFrom("[CONNECT]\nConnectFlag=1\nDeviceID=12\n");
    EXPECT_TRUE(s.autoConnect);
    EXPECT_EQ(s.deviceId, 12);
    EXPECT_EQ(s.deviceIdComboIndex(), 11);
    EXPECT_EQ(s.deviceIdRadio(), 0) << "no radio for ids above 6";

    s = loadFrom("[CONNECT]\nConnectFlag=1\nDeviceID=6\n");
    EXPECT_EQ(s.deviceIdRadio(), 6);
    EXPECT_EQ(s.deviceIdComboIndex(), 5);

    EXPECT_EQ(loadFrom("[CONNECT]\nConnectFlag=0\nDeviceID=12\n").deviceId, 0);
    EXPECT_EQ(loadFrom("[CONNECT]\nConnectFlag=1\n").deviceId, 0);
    EXPECT_EQ(loadFrom("[CONNECT]\nConnectFlag=1\nDeviceID=255\n").deviceId, 255);
    for (const char* bad : {"256", "0", "-3", "id", "99999999999999999999"})
        EXPECT_EQ(loadFrom(std::string("[CONNECT]\nConnectFlag=1\nDeviceID=") + bad + "\n").deviceId, 0) << bad;
}

TEST_F(ConnectionSettingsTest, FlagsOutsideZeroAndOneReadAsMissing)
{
    auto s = loadFrom("[CONNECT]\nConnectFlag=1\nStartTimerFlag=1\n");
    EXPECT_TRUE(s.autoConnect);
    EXPECT_TRUE(s.startTimer);
    EXPECT_TRUE(s.startTimerEnabled());

    s = loadFrom("[CONNECT]\nConnectFlag=0\nStartTimerFlag=1\n");
    EXPECT_FALSE(s.autoConnect);
    EXPECT_TRUE(s.startTimer) << "kept, only its checkbox is disabled";
    EXPECT_FALSE(s.startTimerEnabled());

    for (const char* bad : {"2", "-1", "yes", ""}) {
        s = loadFrom(std::string("[CONNECT]\nConnectFlag=") + bad + "\nStartTimerFlag=" + bad + "\n");
        EXPECT_FALSE(s.autoConnect) << bad;
        EXPECT_FALSE(s.startTimer) << bad;
    }
}

TEST_F(ConnectionSettingsTest, TogglingAutoConnectOffWritesAllSettingsAtOnce)
{
    auto s = loadFrom("[CONNECT]\nSerialTcp=1\nConnectFlag=1\nStartTimerFlag=1\nDeviceID=12\n");
    ASSERT_TRUE(s.toggleAutoConnect(ini));
    EXPECT_FALSE(s.autoConnect);
    EXPECT_FALSE(s.startTimerEnabled());
    EXPECT_EQ(ini.getString("CONNECT", "ConnectFlag"), "0");
    EXPECT_EQ(ini.getString("CONNECT", "ComName"), "COM3");
    EXPECT_EQ(ini.getString("CONNECT", "StartTimerFlag"), "1");
    EXPECT_EQ(ini.getString("CONNECT", "DeviceID"), "12");
    EXPECT_EQ(ini.getString("CONNECT", "SerialTcp"), "1");

    ASSERT_TRUE(s.toggleStartTimer(ini));
    EXPECT_EQ(ini.getString("CONNECT", "StartTimerFlag"), "0");
    ASSERT_TRUE(s.toggleAutoConnect(ini));
    EXPECT_EQ(ini.getString("CONNECT", "ConnectFlag"), "1");
}

TEST_F(ConnectionSettingsTest, WriteAllSettingsOrderAndNetworkOnlyKeys)
{
    ConnectionSettings s; // Network
    s.ip = "192.168.0.20";
    s.port = "4001";
    s.chooseDeviceId(3);
    ASSERT_TRUE(s.prepareConnect(ini, "COM7"));
    EXPECT_EQ(readBytes(path), "[CONNECT]\nConnectFlag=0\nComName=COM7\nStartTimerFlag=0\nDeviceID=3\n"
                               "IP=192.168.0.20\nPort=4001\n");

    // Empty texts, and any text while Serial is chosen, leave the stored ones alone.
    s.ip.clear();
    s.port = "5000";
    s.serial = true;
    ASSERT_TRUE(s.save(ini));
    EXPECT_EQ(ini.getString("CONNECT", "IP"), "192.168.0.20");
    EXPECT_EQ(ini.getString("CONNECT", "Port"), "4001");
    s.serial = false;
    ASSERT_TRUE(s.save(ini));
    EXPECT_EQ(ini.getString("CONNECT", "IP"), "192.168.0.20");
    EXPECT_EQ(ini.getString("CONNECT", "Port"), "5000");
    EXPECT_EQ(ini.getString("CONNECT", "SerialTcp", "absent"), "absent") << "only the radios write it";
}

TEST_F(ConnectionSettingsTest, NoDeviceIdChosenKeepsTheStoredOne)
{
    auto s = loadFrom("[CONNECT]\nConnectFlag=0\nDeviceID=12\n");
    ASSERT_EQ(s.deviceId, 0);
    ASSERT_TRUE(s.toggleAutoConnect(ini));
    EXPECT_EQ(ini.getString("CONNECT", "DeviceID"), "12");
    EXPECT_EQ(ConnectionSettings::load(ini).deviceId, 12);
}

TEST_F(ConnectionSettingsTest, TransportRadiosWriteOnlySerialTcp)
{
    ConnectionSettings s;
    ASSERT_TRUE(s.chooseTransport(ini, true));
    EXPECT_TRUE(s.serial);
    EXPECT_EQ(readBytes(path), "[CONNECT]\nSerialTcp=1\n");
    ASSERT_TRUE(s.chooseTransport(ini, false));
    EXPECT_EQ(readBytes(path), "[CONNECT]\nSerialTcp=0\n");
}

TEST_F(ConnectionSettingsTest, DeviceIdChoiceStopsAtOneByte)
{
    ConnectionSettings s;
    EXPECT_TRUE(s.chooseDeviceId(1));
    EXPECT_EQ(s.deviceIdRadio(), 1);
    EXPECT_TRUE(s.chooseDeviceId(255));
    EXPECT_EQ(s.deviceIdComboIndex(), 254);
    EXPECT_FALSE(s.chooseDeviceId(256));
    EXPECT_FALSE(s.chooseDeviceId(0));
    EXPECT_EQ(s.deviceId, 255);
    EXPECT_EQ(deviceIdItems().size(), 255u);
    EXPECT_EQ(deviceIdItems().back(), "255");
}

TEST_F(ConnectionSettingsTest, RoundTripAndOperatorTextWithLineBreaks)
{
    ConnectionSettings s;
    s.autoConnect = true;
    s.startTimer = true;
    s.ip = "10.0.0.1";
    s.port = "5000\n[CONNECT]\nSerialTcp=1";
    s.chooseDeviceId(200);
    ASSERT_TRUE(s.prepareConnect(ini, "COM2"));

    const auto back = ConnectionSettings::load(ini, "COM9");
    EXPECT_FALSE(back.serial);
    EXPECT_TRUE(back.autoConnect);
    EXPECT_TRUE(back.startTimer);
    EXPECT_EQ(back.deviceId, 200);
    EXPECT_EQ(back.ip, "10.0.0.1");
    EXPECT_EQ(back.port, "5000 [CONNECT] SerialTcp=1") << "one value, never extra lines";
    EXPECT_EQ(ini.sectionKeys("CONNECT").size(), 6u);
}

TEST(PortCheck, RangeAndTexts)
{
    EXPECT_TRUE(checkPort("65535").accepted);
    EXPECT_EQ(checkPort("65535").port, 65535);
    EXPECT_FALSE(checkPort("65536").accepted);
    EXPECT_FALSE(checkPort("-1").accepted);
    EXPECT_FALSE(checkPort("99999999999999999999999").accepted);
    EXPECT_TRUE(checkPort("-0").accepted);
    EXPECT_EQ(checkPort("").port, 0) << "empty reads as port 0 and passes";
    EXPECT_TRUE(checkPort("").accepted);
    EXPECT_TRUE(checkPort("http").accepted);
    EXPECT_EQ(checkPort("http").port, 0);
    EXPECT_EQ(checkPort(" 4001 ").port, 4001);

    const auto en = portOutOfRangeMessage(false);
    EXPECT_EQ(en.text, "Port out of range\uFF0Crange is 0~65535");
    EXPECT_EQ(en.caption, "System information");
    EXPECT_EQ(en.languageId, 1033);
    const auto zh = portOutOfRangeMessage(true);
    EXPECT_EQ(zh.text, "端口号超出范围,范围是0~65535");
    EXPECT_EQ(zh.caption, "系统消息");
    EXPECT_EQ(zh.languageId, 1033);
}

TEST_F(ConnectionSettingsTest, ConnectTargetFromTheTypedAddressAndPort)
{
    auto s = loadFrom("[CONNECT]\r\nSerialTcp=0\r\nIP=192.168.1.20\r\nPort=5000\r\nConnectFlag=1\r\nDeviceID=12\r\n");
    auto t = s.connectTarget();
    EXPECT_FALSE(t.serial);
    EXPECT_EQ(t.address, 0xC0A80114u);
    EXPECT_EQ(t.port, 5000);
    EXPECT_TRUE(t.portInRange);
    EXPECT_EQ(t.deviceId, 12);

    // No address, or one that does not read, is none: never this machine.
    for (const char* typed : {"", "  ", "192.168.1", "300.1.1.1", "localhost"}) {
        s.ip = typed;
        EXPECT_EQ(s.connectTarget().address, 0u) << typed;
    }
    s.ip = " 10.0.0.7 ";
    EXPECT_EQ(s.connectTarget().address, 0x0A000007u);

    s.port = "65536";
    EXPECT_FALSE(s.connectTarget().portInRange);
    s.port = "-1";
    EXPECT_FALSE(s.connectTarget().portInRange);
    s.port = "";
    EXPECT_TRUE(s.connectTarget().portInRange);
    EXPECT_EQ(s.connectTarget().port, 0);

    // Serial: the COM port name of the last Connect.
    s.chooseTransport(ini, true);
    s.prepareConnect(ini, "ttyUSB1");
    t = s.connectTarget();
    EXPECT_TRUE(t.serial);
    EXPECT_EQ(t.comPortName, "ttyUSB1");
}
