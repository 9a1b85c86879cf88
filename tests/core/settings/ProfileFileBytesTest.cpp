// A write changes the line of its key and nothing else: the bytes of every
// other line, the encoding and the line ends stay as the file had them.
#include "core/settings/ProfileFile.h"

#include "tests/core/settings/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace omnar::settings;
using omnar::settings::test::readBytes;
using omnar::settings::test::TempDir;
using omnar::settings::test::writeBytes;

namespace {

std::string utf16le(const std::u16string& text)
{
    std::string out("\xFF\xFE", 2);
    for (char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

struct Write {
    std::string section, key, value;
};

struct RoundTrip {
    const char* name;
    std::string before;
    std::vector<Write> writes;
    std::string after;
};

class ProfileBytesTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("Planinfo.ini");
};

} // namespace

TEST_F(ProfileBytesTest, WritesTouchOnlyTheirOwnLine)
{
    const std::string handWritten = "; studio profile, kept by hand\n"
                                    "[CONNECT]\n"
                                    "SerialTcp=1\n"
                                    "this line is no entry\n"
                                    "ComName = COM3\n"
                                    "\n"
                                    "[DAYTIME]\n"
                                    "Time0= 8:30: 0,4\n"
                                    "Time0= 9:30: 0,4\n"
                                    "; evening\n"
                                    "\n"
                                    "[daytime]\n"
                                    "Time5=23: 0: 0,7\n";
    const std::vector<RoundTrip> cases = {
        {"hand-written: comments, stray lines, blanks, duplicates", handWritten,
         {{"connect", "COMNAME", "COM4"}, {"DAYTIME", "Time1", "10: 0: 0,1"}, {"DAYTIME", "Time0", " 8:30: 0,4"}},
         "; studio profile, kept by hand\n"
         "[CONNECT]\n"
         "SerialTcp=1\n"
         "this line is no entry\n"
         "ComName =COM4\n" // what stands before the value stays; the value is as written
         "\n"
         "[DAYTIME]\n"
         "Time0= 8:30: 0,4\n"
         "Time0= 9:30: 0,4\n"
         "Time1=10: 0: 0,1\n"
         "; evening\n"
         "\n"
         "[daytime]\n"
         "Time5=23: 0: 0,7\n"},
        {"CRLF, with the last line unended", "[CONNECT]\r\nSerialTcp=0\r\nIP=10.0.0.2",
         {{"CONNECT", "Port", "5000"}, {"PLANCOUNT", "daytimecount", "0"}},
         "[CONNECT]\r\nSerialTcp=0\r\nIP=10.0.0.2\r\nPort=5000\r\n[PLANCOUNT]\r\ndaytimecount=0\r\n"},
        {"bare CR of older tools", "[CONNECT]\rSerialTcp=0\rIP=10.0.0.2\r",
         {{"CONNECT", "SerialTcp", "1"}, {"CONNECT", "Port", "5000"}},
         "[CONNECT]\rSerialTcp=1\rIP=10.0.0.2\rPort=5000\r"},
        {"mixed line ends stay per line", "[A]\r\nx=1\ny=2\r\r\n",
         {{"A", "y", "3"}, {"A", "z", "4"}}, "[A]\r\nx=1\ny=3\rz=4\r\n\r\n"},
        {"a script given as profile", "#!/bin/sh\necho \"a=b\"\nexit 0",
         {{"CONNECT", "SerialTcp", "1"}}, "#!/bin/sh\necho \"a=b\"\nexit 0\n[CONNECT]\nSerialTcp=1\n"},
        {"8-bit code page bytes pass through", "[CONNECT]\n; \xC9\xE8\xB1\xB8 GBK\nSerialTcp=0\n",
         {{"CONNECT", "SerialTcp", "1"}}, "[CONNECT]\n; \xC9\xE8\xB1\xB8 GBK\nSerialTcp=1\n"},
        {"UTF-16LE from Windows", utf16le(u"; 设置\r\n[CONNECT]\r\nSerialTcp=0\r\n   stray\r\n[计划]\r\n名字= 值\r\n"),
         {{"CONNECT", "IP", "192.168.1.5"}, {"计划", "名字", "新值"}},
         utf16le(u"; 设置\r\n[CONNECT]\r\nSerialTcp=0\r\n   stray\r\nIP=192.168.1.5\r\n[计划]\r\n名字=新值\r\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, c.before);
        ProfileFile ini(path);
        for (const auto& w : c.writes)
            ASSERT_TRUE(ini.writeString(w.section, w.key, w.value)) << ini.lastError();
        EXPECT_EQ(readBytes(path), c.after);
        for (const auto& w : c.writes)
            EXPECT_EQ(ProfileFile(path).getString(w.section, w.key), w.value.substr(w.value.find_first_not_of(' ')));
    }
}

TEST_F(ProfileBytesTest, ReadsTakeTheFirstSectionAndKeyOfANameAcrossLineEnds)
{
    writeBytes(path, "[DAYTIME]\rTime0= 8:30: 0,4\rTime0=9:0:0,1\r[PLANCOUNT]\r\ndaytimecount=1\n[DAYTIME]\nTime1=x\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.getString("DAYTIME", "Time0"), "8:30: 0,4") << "bare CR ends a line; leading blank trimmed";
    EXPECT_EQ(ini.getInt("PLANCOUNT", "daytimecount", -1), 1);
    EXPECT_EQ(ini.getString("DAYTIME", "Time1", "none"), "none") << "a second section of a name is not read";
    EXPECT_EQ(ini.sectionKeys("daytime"), (std::vector<std::string>{"Time0"}));
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"DAYTIME", "PLANCOUNT"}));
}

TEST_F(ProfileBytesTest, RemovingASectionTakesEveryCopyAndKeepsWhatLeadsOn)
{
    writeBytes(path, "[DAYTIME]\nTime0=old\n; about the vendor\n[Vendor]\nGamma=2.2\n[DAYTIME]\nTime7=stale\n");
    ProfileFile ini(path);
    ASSERT_TRUE(ini.deleteSection("DAYTIME"));
    EXPECT_EQ(readBytes(path), "; about the vendor\n[Vendor]\nGamma=2.2\n");

    // Removed and written again in one edit, an unchanged section is not rewritten at all.
    const std::string ordered = "[CONNECT]\r\nSerialTcp=1\r\n[DAYTIME]\r\nTime0= 8: 0: 0,4\r\n; end\r\n[X]\r\n";
    writeBytes(path, ordered);
    ASSERT_TRUE(ini.update([](ProfileFile::Editor& e) {
        e.deleteSection("DAYTIME");
        e.writeString("DAYTIME", "Time0", " 8: 0: 0,4");
    }));
    EXPECT_EQ(readBytes(path), ordered);
    ASSERT_TRUE(ini.update([](ProfileFile::Editor& e) {
        e.deleteSection("DAYTIME");
        e.writeString("DAYTIME", "Time0", " 7: 0: 0,4");
        e.writeString("DAYTIME", "Time1", " 8: 0: 0,4");
    }));
    EXPECT_EQ(readBytes(path),
              "[CONNECT]\r\nSerialTcp=1\r\n[DAYTIME]\r\nTime0= 7: 0: 0,4\r\nTime1= 8: 0: 0,4\r\n; end\r\n[X]\r\n");
}

TEST_F(ProfileBytesTest, FilesThatDoNotDecodeAsTheyAnnounceAreNeverRewritten)
{
    const std::vector<std::pair<const char*, std::string>> broken = {
        {"UTF-8 mark, then a byte that is not UTF-8", "\xEF\xBB\xBF[CONNECT]\nIP=\xFF\n"},
        {"UTF-16LE mark, odd length", utf16le(u"[CONNECT]\r\nIP=1\r\n") + "x"},
        {"UTF-16LE mark, lone surrogate", utf16le(u"[CONNECT]\r\nIP=\xD800\r\n")},
        {"UTF-16 without a mark", std::string("[\0C\0]\0", 6)},
    };
    for (const auto& [name, bytes] : broken) {
        SCOPED_TRACE(name);
        writeBytes(path, bytes);
        ProfileFile ini(path);
        EXPECT_EQ(ini.getString("CONNECT", "IP", "d"), "d");
        EXPECT_FALSE(ini.writeString("CONNECT", "IP", "2"));
        EXPECT_NE(ini.lastError().find("not"), std::string::npos) << ini.lastError();
        EXPECT_EQ(readBytes(path), bytes);
    }

    // Text a file could not take back is refused before anything is written.
    writeBytes(path, "\xEF\xBB\xBF[CONNECT]\nIP=1\n");
    ProfileFile ini(path);
    EXPECT_FALSE(ini.writeString("CONNECT", "IP", "\xC0\xAF"));
    EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF[CONNECT]\nIP=1\n");
}
