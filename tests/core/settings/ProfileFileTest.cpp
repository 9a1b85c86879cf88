#include "core/settings/ProfileFile.h"

#include "tests/core/settings/TempDir.h"
#include "tests/core/settings/Unprivileged.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace omnar::settings;
using omnar::settings::test::readBytes;
using omnar::settings::test::TempDir;
using omnar::settings::test::writeBytes;

namespace {

std::string utf16le(const std::u16string& text, bool bom = true)
{
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

ino_t inodeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class ProfileFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("Planinfo.ini");
};

} // namespace

TEST_F(ProfileFileTest, MissingFileReadsAsEmptyAndOnlyAWriteCreatesIt)
{
    ProfileFile ini(path);
    EXPECT_EQ(ini.getString("CONNECT", "IP"), "");
    EXPECT_EQ(ini.getString("PLANCOUNT", "daytimecount", "00"), "00");
    EXPECT_EQ(ini.getInt("PLANCOUNT", "daytimecount", 7), 7);
    EXPECT_TRUE(ini.sectionKeys("DAYTIME").empty());
    EXPECT_TRUE(ini.sectionNames().empty());

    EXPECT_TRUE(ini.deleteKey("DAYTIME", "Time0"));
    EXPECT_TRUE(ini.deleteSection("DAYTIME"));
    EXPECT_FALSE(std::filesystem::exists(path)) << "deleting nothing writes nothing";

    ASSERT_TRUE(ini.writeString("CONNECT", "SerialTcp", "1"));
    EXPECT_EQ(readBytes(path), "[CONNECT]\nSerialTcp=1\n");
    EXPECT_EQ(ini.getString("CONNECT", "SerialTcp"), "1");
    EXPECT_FALSE(std::filesystem::exists(ini.tempPath()));
}

TEST_F(ProfileFileTest, WritesReadBackThroughAnotherInstance)
{
    {
        ProfileFile writer(path);
        ASSERT_TRUE(writer.writeString("PLANCOUNT", "daytimecount", "3"));
        ASSERT_TRUE(writer.writeString("DAYTIME", "Time0", " 8:30: 0,4"));
        // Written as given, like WritePrivateProfileString.
        EXPECT_NE(readBytes(path).find("Time0= 8:30: 0,4\n"), std::string::npos);
        ASSERT_TRUE(writer.writeString("DAYTIME", "Time1", "18: 0:15,0"));
    }
    ProfileFile reader(path);
    EXPECT_EQ(reader.getInt("PLANCOUNT", "daytimecount", 0), 3);
    EXPECT_EQ(reader.getString("DAYTIME", "Time0"), "8:30: 0,4") << "leading blank trimmed on read";
    EXPECT_EQ(reader.getString("DAYTIME", "Time1"), "18: 0:15,0");
    EXPECT_EQ(reader.sectionNames(), (std::vector<std::string>{"PLANCOUNT", "DAYTIME"}));
}

TEST_F(ProfileFileTest, NamesAreCaseInsensitiveAndKeepTheirFileSpelling)
{
    writeBytes(path, "[Connect]\nserialtcp=0\nIP=10.0.0.1\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.getString("CONNECT", "SerialTcp"), "0");
    EXPECT_EQ(ini.getString("connect", "ip"), "10.0.0.1");
    EXPECT_EQ(ini.getString("  CONNECT ", " IP\t"), "10.0.0.1") << "names are trimmed too";

    ASSERT_TRUE(ini.writeString("CONNECT", "SERIALTCP", "1"));
    EXPECT_EQ(readBytes(path), "[Connect]\nserialtcp=1\nIP=10.0.0.1\n");
    EXPECT_EQ(ini.sectionKeys("CONNECT"), (std::vector<std::string>{"serialtcp", "IP"}));
}

TEST_F(ProfileFileTest, ValuesAreTrimmedAndUnquoted)
{
    writeBytes(path, "[S]\na =   spaced value \t \nb=\"  quoted  \"\nc='x\ne=\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.getString("S", "a"), "spaced value");
    EXPECT_EQ(ini.getString("S", "b"), "  quoted  ");
    EXPECT_EQ(ini.getString("S", "c"), "'x");
    EXPECT_EQ(ini.getString("S", "e", "dflt"), "") << "an empty value is present, not missing";
}

TEST_F(ProfileFileTest, ValuesAreCutLikeA260CharacterBuffer)
{
    const std::string ascii(300, 'x');
    std::string cjk;
    for (int i = 0; i < 300; ++i)
        cjk += "计"; // one UTF-16 unit, three UTF-8 bytes
    // 258 units, then a character needing a surrogate pair, which must not be split.
    const std::string astral = std::string(258, 'y') + "\xF0\x9F\x98\x80" + "z";

    ProfileFile ini(path);
    ASSERT_TRUE(ini.update([&](ProfileFile::Editor& e) {
        e.writeString("S", "ascii", ascii);
        e.writeString("S", "cjk", cjk);
        e.writeString("S", "astral", astral);
    }));
    EXPECT_EQ(ini.getString("S", "ascii"), std::string(259, 'x'));
    EXPECT_EQ(ini.getString("S", "cjk").size(), 259u * 3u);
    EXPECT_EQ(ini.getString("S", "astral"), std::string(258, 'y'));
    EXPECT_EQ(ini.getString("S", "missing", ascii), std::string(259, 'x'));
    EXPECT_NE(readBytes(path).find(ascii), std::string::npos) << "the file keeps the whole value";
}

TEST_F(ProfileFileTest, GetIntReadsTheLeadingNumberAndFallsBackOtherwise)
{
    writeBytes(path, "[N]\ntrailing=12abc\nneg=-5\nblank= \ngarbage=abc\nbig=99999999999\nquoted=\"8\"\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.getInt("N", "trailing", -1), 12);
    EXPECT_EQ(ini.getInt("N", "neg", -1), -5);
    EXPECT_EQ(ini.getInt("N", "blank", -1), -1);
    EXPECT_EQ(ini.getInt("N", "garbage", -1), -1);
    EXPECT_EQ(ini.getInt("N", "big", -1), -1) << "a number an int cannot hold is no number";
    EXPECT_EQ(ini.getInt("N", "quoted", -1), 8);
    EXPECT_EQ(ini.getInt("N", "missing", -1), -1);
}

TEST(LeadingInteger, ParsesSignDigitsAndSaturates)
{
    EXPECT_EQ(leadingInteger(" +80 tcp"), 80);
    EXPECT_EQ(leadingInteger("-"), std::nullopt);
    EXPECT_EQ(leadingInteger("x1"), std::nullopt);
    EXPECT_EQ(leadingInteger("-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(leadingInteger("9223372036854775808"), LLONG_MAX);
    EXPECT_EQ(leadingInteger("123456789012345678901234567890"), LLONG_MAX);
    EXPECT_EQ(leadingInteger("-123456789012345678901234567890"), LLONG_MIN);
}

TEST_F(ProfileFileTest, RewritesKeepOrderUnknownSectionsAndComments)
{
    const std::string original = "; Planinfo of the studio\n"
                                 "\n"
                                 "[CONNECT]\n"
                                 "; serial on the rack\n"
                                 "SerialTcp=1\n"
                                 "ComName=COM3\n"
                                 "DeviceID=12\n"
                                 "\n"
                                 "# tuning kept by the installer\n"
                                 "[Vendor]\n"
                                 "Gamma=2.2\n"
                                 "Mode=wall\n"
                                 "; end of file note\n";
    writeBytes(path, original);
    ProfileFile ini(path);

    ASSERT_TRUE(ini.writeString("connect", "comname", "COM4"));
    ASSERT_TRUE(ini.writeString("CONNECT", "ConnectFlag", "1"));
    ASSERT_TRUE(ini.writeString("PLANCOUNT", "daytimecount", "0"));

    const std::string text = readBytes(path);
    EXPECT_EQ(ini.sectionKeys("CONNECT"),
              (std::vector<std::string>{"SerialTcp", "ComName", "DeviceID", "ConnectFlag"}));
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"CONNECT", "Vendor", "PLANCOUNT"}));
    // A new key goes after the last entry of its section, a new section at the end of the file.
    EXPECT_EQ(text, "; Planinfo of the studio\n"
                    "\n"
                    "[CONNECT]\n"
                    "; serial on the rack\n"
                    "SerialTcp=1\n"
                    "ComName=COM4\n"
                    "DeviceID=12\n"
                    "ConnectFlag=1\n"
                    "\n"
                    "# tuning kept by the installer\n"
                    "[Vendor]\n"
                    "Gamma=2.2\n"
                    "Mode=wall\n"
                    "; end of file note\n"
                    "[PLANCOUNT]\n"
                    "daytimecount=0\n");

    // A second rewrite changes nothing it was not asked to.
    ASSERT_TRUE(ini.writeString("CONNECT", "ComName", "COM5"));
    std::string expected = text;
    expected.replace(expected.find("COM4"), 4, "COM5");
    EXPECT_EQ(readBytes(path), expected);
}

TEST_F(ProfileFileTest, AFileOfOnlyCommentsKeepsThemInFront)
{
    writeBytes(path, "; written by hand\n\n; second note\n");
    ProfileFile ini(path);
    ASSERT_TRUE(ini.writeString("CONNECT", "SerialTcp", "0"));
    EXPECT_EQ(readBytes(path), "; written by hand\n\n; second note\n[CONNECT]\nSerialTcp=0\n");
}

TEST_F(ProfileFileTest, DeletesKeysAndSections)
{
    writeBytes(path, "[DAYTIME]\nTime0=1:0:0,1\nTime1=2:0:0,2\nTime2=3:0:0,4\n[ONCETIME]\nTime0=x\n");
    ProfileFile ini(path);

    ASSERT_TRUE(ini.deleteKey("daytime", "TIME1"));
    EXPECT_EQ(ini.sectionKeys("DAYTIME"), (std::vector<std::string>{"Time0", "Time2"}));
    EXPECT_EQ(ini.getString("DAYTIME", "Time1", "00"), "00");

    ASSERT_TRUE(ini.deleteSection("DAYTIME"));
    EXPECT_EQ(readBytes(path), "[ONCETIME]\nTime0=x\n");
    EXPECT_EQ(ini.getString("DAYTIME", "Time0", "00"), "00");

    const ino_t before = inodeOf(path);
    EXPECT_TRUE(ini.deleteKey("ONCETIME", "Time9"));
    EXPECT_TRUE(ini.deleteSection("WEEKTIME"));
    EXPECT_EQ(inodeOf(path), before) << "nothing deleted, nothing rewritten";
}

TEST_F(ProfileFileTest, SectionRewriteInOneUpdateKeepsTheSectionInPlace)
{
    writeBytes(path, "[DAYTIME]\nTime0=9:0:0,1\n[PLANCOUNT]\ndaytimecount=1\n");
    ProfileFile ini(path);
    const ino_t before = inodeOf(path);
    ASSERT_TRUE(ini.update([](ProfileFile::Editor& e) {
        e.deleteSection("DAYTIME");
        for (int i = 0; i < 240; ++i)
            e.writeString("DAYTIME", "Time" + std::to_string(i), std::to_string(i % 24) + ": 0: 0,4");
        e.writeString("PLANCOUNT", "daytimecount", "240");
    }));
    EXPECT_NE(inodeOf(path), before);

    const auto keys = ini.sectionKeys("DAYTIME");
    ASSERT_EQ(keys.size(), 240u);
    for (int i = 0; i < 240; ++i)
        EXPECT_EQ(keys[i], "Time" + std::to_string(i));
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"DAYTIME", "PLANCOUNT"}));
    EXPECT_EQ(ini.getInt("PLANCOUNT", "daytimecount", 0), 240);

    // The editor sees its own changes before they are written.
    ASSERT_TRUE(ini.update([](ProfileFile::Editor& e) {
        e.writeString("PLANCOUNT", "daytimecount", "241");
        EXPECT_EQ(e.getInt("PLANCOUNT", "daytimecount", 0), 241);
        EXPECT_TRUE(e.hasKey("DAYTIME", "time239"));
        EXPECT_FALSE(e.hasSection("WEEKTIME"));
    }));

    // Rewriting identical values leaves the file alone.
    const ino_t written = inodeOf(path);
    ASSERT_TRUE(ini.writeString("PLANCOUNT", "daytimecount", "241"));
    EXPECT_EQ(inodeOf(path), written);
}

TEST_F(ProfileFileTest, MalformedNamesAndValuesAreRefusedWholesale)
{
    writeBytes(path, "[CONNECT]\nIP=10.0.0.1\n");
    const std::string before = readBytes(path);
    ProfileFile ini(path);

    EXPECT_FALSE(ini.writeString("CONNECT", "IP", "1.2.3.4\n[CONNECT]\nSerialTcp=1"));
    EXPECT_FALSE(ini.writeString("CONNECT", "IP", std::string("1.2\0.3", 6)));
    EXPECT_FALSE(ini.writeString("CONNECT", "a=b", "x"));
    EXPECT_FALSE(ini.writeString("CONNECT", ";x", "x"));
    EXPECT_FALSE(ini.writeString("CON]NECT", "x", "x"));
    EXPECT_FALSE(ini.deleteKey("CONNECT", "  "));
    EXPECT_FALSE(ini.lastError().empty());

    // One bad edit drops the good ones made with it.
    EXPECT_FALSE(ini.update([](ProfileFile::Editor& e) {
        e.writeString("CONNECT", "Port", "5000");
        e.writeString("CONNECT", "IP", "bad\rvalue");
    }));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(ini.getString("CONNECT", "bad=name", "d"), "d") << "reads of such names find nothing";
}

TEST_F(ProfileFileTest, Utf8BomIsReadAndKept)
{
    writeBytes(path, "\xEF\xBB\xBF[CONNECT]\nIP=10.1.1.1\n[计划]\n名字=值\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.getString("CONNECT", "IP"), "10.1.1.1");
    EXPECT_EQ(ini.getString("计划", "名字"), "值");
    EXPECT_EQ(ini.encoding(), ProfileFile::Encoding::Utf8Bom);

    ASSERT_TRUE(ini.writeString("CONNECT", "Port", "5000"));
    EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF[CONNECT]\nIP=10.1.1.1\nPort=5000\n[计划]\n名字=值\n");
}

TEST_F(ProfileFileTest, Utf16LeFileFromWindowsStaysUtf16LeWithCrlf)
{
    writeBytes(path, utf16le(u"[CONNECT]\r\nSerialTcp=0\r\nIP=192.168.1.5\r\n[计划]\r\n名字=值\r\n"));
    ProfileFile ini(path);
    EXPECT_EQ(ini.getString("connect", "ip"), "192.168.1.5");
    EXPECT_EQ(ini.getString("计划", "名字"), "值");
    EXPECT_EQ(ini.encoding(), ProfileFile::Encoding::Utf16Le);

    ASSERT_TRUE(ini.writeString("CONNECT", "Port", "5000"));
    ASSERT_TRUE(ini.writeString("计划", "名字", "新值"));
    EXPECT_EQ(readBytes(path),
              utf16le(u"[CONNECT]\r\nSerialTcp=0\r\nIP=192.168.1.5\r\nPort=5000\r\n[计划]\r\n名字=新值\r\n"));
    EXPECT_EQ(ProfileFile(path).getString("CONNECT", "Port"), "5000");
}

TEST_F(ProfileFileTest, CrlfFilesReadCleanAndStayCrlf)
{
    writeBytes(path, "[PLANCOUNT]\r\ndaytimecount=2\r\n; note\r\n[DAYTIME]\r\nTime0= 8:30: 0,4\r\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.getString("PLANCOUNT", "daytimecount"), "2");
    EXPECT_EQ(ini.getString("DAYTIME", "Time0"), "8:30: 0,4");

    ASSERT_TRUE(ini.writeString("DAYTIME", "Time1", "9: 0: 0,1"));
    const std::string text = readBytes(path);
    EXPECT_NE(text.find("Time1=9: 0: 0,1\r\n"), std::string::npos);
    EXPECT_NE(text.find("; note\r\n[DAYTIME]\r\n"), std::string::npos);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
    }
}

TEST_F(ProfileFileTest, FailedWriteLeavesTheOldFileIntact)
{
    writeBytes(path, "[CONNECT]\nSerialTcp=1\n");
    ProfileFile ini(path);

    // The rewrite cannot be staged: its temp path is taken by a folder.
    std::filesystem::create_directory(ini.tempPath());
    EXPECT_FALSE(ini.writeString("CONNECT", "SerialTcp", "0"));
    EXPECT_FALSE(ini.lastError().empty());
    EXPECT_EQ(readBytes(path), "[CONNECT]\nSerialTcp=1\n");
    EXPECT_EQ(ini.getString("CONNECT", "SerialTcp"), "1");
    std::filesystem::remove(ini.tempPath());

    // A stale temp file of an earlier crash does not matter.
    writeBytes(ini.tempPath(), "[CONNECT]\nhalf");
    ASSERT_TRUE(ini.writeString("CONNECT", "SerialTcp", "0"));
    EXPECT_EQ(readBytes(path), "[CONNECT]\nSerialTcp=0\n");
    EXPECT_TRUE(ini.lastError().empty());
    EXPECT_FALSE(std::filesystem::exists(ini.tempPath()));
}

TEST_F(ProfileFileTest, FailedWriteInAReadOnlyFolderLeavesTheOldFileIntact)
{
    // Neither the folder nor the file may be written: no temp file, no rewrite in place.
    writeBytes(path, "[CONNECT]\nSerialTcp=1\n");
    ::chmod(path.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0555);
    std::string why;
    const auto result = omnar::settings::test::runUnprivileged(
        [&] { return ProfileFile(path).writeString("CONNECT", "SerialTcp", "0") ? 1 : 0; }, why);
    ::chmod(dir.path().c_str(), 0700);
    if (!result)
        GTEST_SKIP() << why;
    EXPECT_EQ(*result, 0);
    EXPECT_EQ(readBytes(path), "[CONNECT]\nSerialTcp=1\n");
}

TEST_F(ProfileFileTest, FilesThatCannotBeReadAreNeverReplaced)
{
    // A binary file (or a UTF-16 file without BOM) reads as empty and is kept.
    const std::string binary = std::string("[CONNECT]\0IP=1\0", 15);
    writeBytes(path, binary);
    ProfileFile ini(path);
    EXPECT_EQ(ini.getString("CONNECT", "IP", "none"), "none");
    EXPECT_FALSE(ini.lastError().empty());
    EXPECT_FALSE(ini.writeString("CONNECT", "IP", "2"));
    EXPECT_EQ(readBytes(path), binary);

    // A folder where the file should be.
    const std::string folder = dir.file("folder.ini");
    std::filesystem::create_directory(folder);
    ProfileFile onFolder(folder);
    EXPECT_EQ(onFolder.getInt("CONNECT", "SerialTcp", 5), 5);
    EXPECT_FALSE(onFolder.writeString("CONNECT", "SerialTcp", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // A folder that does not exist: reads are empty, writes fail.
    ProfileFile nowhere(dir.file("no/such/Planinfo.ini"));
    EXPECT_EQ(nowhere.getString("CONNECT", "IP", "d"), "d");
    EXPECT_FALSE(nowhere.writeString("CONNECT", "IP", "1"));
}

TEST_F(ProfileFileTest, EditsByAnotherProgramAreSeenAtOnce)
{
    ProfileFile ini(path);
    ASSERT_TRUE(ini.writeString("PLANCOUNT", "daytimecount", "1"));
    EXPECT_EQ(ini.getInt("PLANCOUNT", "daytimecount", 0), 1);
    // Same size, written in place: neither inode nor length give it away.
    writeBytes(path, "[PLANCOUNT]\ndaytimecount=2\n");
    EXPECT_EQ(ini.getInt("PLANCOUNT", "daytimecount", 0), 2);
    ASSERT_TRUE(ini.writeString("PLANCOUNT", "weektimecount", "0"));
    EXPECT_EQ(readBytes(path), "[PLANCOUNT]\ndaytimecount=2\nweektimecount=0\n");
    std::filesystem::remove(path);
    EXPECT_EQ(ini.getInt("PLANCOUNT", "daytimecount", 0), 0);
}

TEST_F(ProfileFileTest, ConcurrentWritersLoseNoUpdate)
{
    constexpr int kWrites = 20;
    ProfileFile gui(path);
    ProfileFile runner(path); // a second instance on the same file shares its lock
    auto writeMany = [](ProfileFile& ini, const std::string& prefix) {
        for (int i = 0; i < kWrites; ++i)
            EXPECT_TRUE(ini.writeString("S", prefix + std::to_string(i), std::to_string(i)));
    };
    std::thread a(writeMany, std::ref(gui), "gui");
    std::thread b(writeMany, std::ref(runner), "runner");
    for (int i = 0; i < kWrites; ++i)
        (void)gui.getString("S", "gui0"); // reads meanwhile see whole files only
    a.join();
    b.join();
    EXPECT_EQ(gui.sectionKeys("S").size(), 2u * kWrites);
    EXPECT_EQ(runner.getString("S", "gui19"), "19");
    EXPECT_EQ(gui.getString("S", "runner19"), "19");
}

TEST_F(ProfileFileTest, ALinkedFileIsUpdatedBehindItsLinkWithItsPermissions)
{
    const std::string real = dir.file("real.ini");
    writeBytes(real, "[CONNECT]\nSerialTcp=1\n");
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, path);

    ProfileFile ini(path);
    ASSERT_TRUE(ini.writeString("CONNECT", "SerialTcp", "0"));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(readBytes(real), "[CONNECT]\nSerialTcp=0\n");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}
