// Write protection, read-only folders and the console line of every failure.
#include "core/settings/ProfileFile.h"

#include "core/util/Console.h"
#include "tests/core/settings/TempDir.h"
#include "tests/core/settings/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

using namespace omnar;
using namespace omnar::settings;
using omnar::settings::test::readBytes;
using omnar::settings::test::runUnprivileged;
using omnar::settings::test::TempDir;
using omnar::settings::test::writeBytes;

namespace {

ino_t inodeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class ProfileAccessTest : public ::testing::Test {
protected:
    ProfileAccessTest() { ::chmod(dir.path().c_str(), 0755); }

    // A folder with the given mode holding Planinfo.ini with the given mode.
    std::string makeFile(const std::string& folder, mode_t folderMode, mode_t fileMode, const std::string& bytes)
    {
        const std::string f = dir.file(folder);
        std::filesystem::create_directory(f);
        const std::string p = f + "/Planinfo.ini";
        writeBytes(p, bytes);
        ::chmod(p.c_str(), fileMode);
        ::chmod(f.c_str(), folderMode);
        return p;
    }

    TempDir dir;
};

constexpr const char* kOriginal = "; hand-written\n[CONNECT]\nSerialTcp=0\n";

} // namespace

TEST_F(ProfileAccessTest, AWriteProtectedFileIsNeverReplaced)
{
    // The folder would take a temp file; only the file's own protection stops the write.
    const std::string p = makeFile("open", 0777, 0444, kOriginal);
    const ino_t inode = inodeOf(p);
    std::string why;
    const auto result = runUnprivileged([&] {
        ProfileFile ini(p);
        const bool wrote = ini.writeString("CONNECT", "SerialTcp", "1");
        const bool reason = ini.lastError().find("write-protected") != std::string::npos;
        const bool readable = ini.getString("CONNECT", "SerialTcp") == "0";
        return (wrote ? 1 : 0) | (readable ? 0 : 2) | (reason ? 0 : 4);
    }, why);
    if (!result)
        GTEST_SKIP() << why;
    EXPECT_EQ(*result, 0) << "1: the write succeeded, 2: the file no longer reads, 4: no reason given";
    EXPECT_EQ(readBytes(p), kOriginal);
    EXPECT_EQ(inodeOf(p), inode);
    EXPECT_FALSE(std::filesystem::exists(p + ".tmp"));
}

TEST_F(ProfileAccessTest, AFileWithoutAWriteBitIsKeptFromRootToo)
{
    // As we are: root may write anything, but a 0444 file was protected on purpose.
    const std::string p = makeFile("mine", 0777, 0444, kOriginal);
    ProfileFile ini(p);
    EXPECT_FALSE(ini.writeString("CONNECT", "SerialTcp", "1"));
    EXPECT_NE(ini.lastError().find("write-protected"), std::string::npos) << ini.lastError();
    EXPECT_EQ(readBytes(p), kOriginal);
}

TEST_F(ProfileAccessTest, AFifoGivenAsTheProfileIsRefusedWithoutWaiting)
{
    // Opening a FIFO for reading waits for a writer that never comes.
    const std::string p = dir.file("pipe.ini");
    ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
    ProfileFile ini(p);
    std::string why;
    EXPECT_FALSE(ini.read([](const ProfileFile::Editor&) {}, &why));
    EXPECT_NE(why.find("not a regular file"), std::string::npos) << why;
    EXPECT_FALSE(ini.writeString("CONNECT", "SerialTcp", "1"));
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "still the FIFO, not replaced";
}

TEST_F(ProfileAccessTest, AReadOnlyFolderGetsTheWritableFileRewrittenInPlace)
{
    const std::string p = makeFile("locked", 0555, 0666, kOriginal);
    const std::string fresh = dir.file("locked/Fresh.ini");
    const ino_t inode = inodeOf(p);
    std::string why;
    const auto result = runUnprivileged([&] {
        ProfileFile ini(p);
        int r = 0;
        if (!ini.update([](ProfileFile::Editor& e) {
                e.writeString("CONNECT", "SerialTcp", "1");
                e.writeString("CONNECT", "IP", "10.0.0.7");
            }))
            r |= 1;
        if (ini.getString("CONNECT", "IP") != "10.0.0.7")
            r |= 2;
        // A shorter text must not leave the tail of the longer one behind.
        if (!ini.deleteKey("CONNECT", "IP"))
            r |= 4;
        // No file to rewrite in place: a new one needs the folder.
        if (ProfileFile(fresh).writeString("CONNECT", "SerialTcp", "1"))
            r |= 8;
        return r;
    }, why);
    if (!result)
        GTEST_SKIP() << why;
    EXPECT_EQ(*result, 0) << "1, 4: a write failed, 2: not read back, 8: a file was created";
    EXPECT_EQ(readBytes(p), "; hand-written\n[CONNECT]\nSerialTcp=1\n");
    EXPECT_EQ(inodeOf(p), inode) << "written in place, not replaced";
    EXPECT_FALSE(std::filesystem::exists(p + ".tmp"));
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST_F(ProfileAccessTest, EveryFailureIsOneConsoleLineNamingTheFileAndTheReason)
{
    std::vector<std::string> lines;
    const auto old = util::setConsoleSink([&](std::string_view text) { lines.emplace_back(text); });

    const std::string p = dir.file("Planinfo.ini");
    writeBytes(p, kOriginal);
    ProfileFile ini(p);
    EXPECT_EQ(ini.getString("CONNECT", "SerialTcp"), "0");
    ASSERT_TRUE(ini.writeString("CONNECT", "SerialTcp", "1"));
    EXPECT_TRUE(lines.empty()) << "successes are silent";

    std::filesystem::create_directory(ini.tempPath()); // the rewrite cannot be staged
    std::string why;
    EXPECT_FALSE(ini.update([](ProfileFile::Editor& e) { e.writeString("CONNECT", "SerialTcp", "0"); }, &why));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Profile file " + p + ": " + why + "\n");
    EXPECT_NE(why.find(ini.tempPath()), std::string::npos) << why;
    EXPECT_NE(why.find("Is a directory"), std::string::npos) << why;
    EXPECT_EQ(ini.getString("CONNECT", "SerialTcp"), "1") << "the old value stays, and is what is read";

    lines.clear();
    writeBytes(p, std::string("[CONNECT]\0", 10));
    EXPECT_FALSE(ini.read([](const ProfileFile::Editor& e) { EXPECT_FALSE(e.fileMissing()); }, &why));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(p), std::string::npos);
    EXPECT_NE(lines[0].find("not a text file"), std::string::npos) << lines[0];
    EXPECT_FALSE(ini.writeString("CONNECT", "SerialTcp", "0"));
    EXPECT_EQ(lines.size(), 2u);

    lines.clear();
    EXPECT_FALSE(ini.writeString("CONNECT", "a=b", "x"));
    EXPECT_EQ(lines.size(), 1u) << "a refused edit is a failed write too";
    util::setConsoleSink(old);
}
