#include "hosts/portable/profile.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "fake_api.h"

namespace fs = std::filesystem;
using hosts::portable::ProfileFiles;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::string Bytes(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Get(const std::string& section, const std::string& key, const std::string& def = "",
                    const std::string& file = "v.ini") {
        char buffer[255];
        const auto n = profile_.GetPrivateProfileString(section, key, def, buffer, 255, file);
        EXPECT_EQ(n, std::string(buffer).size());
        return buffer;
    }
    bool Set(const std::string& section, const std::string& key, const std::string& value) {
        return profile_.WritePrivateProfileString(section, key, value, "v.ini");
    }
    std::ptrdiff_t FileCount() {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }

    const testing_support::TempDir tmp_;
    const fs::path& dir_ = tmp_.Path();
    ProfileFiles profile_{dir_};
};

// Hand-edited files, read as Windows reads them.
TEST_F(ProfileTest, ReadsHandEditedFilesAsWindowsDoes) {
    const struct {
        std::string file, section;
        std::vector<std::string> reads;  // key, value, key, value...
    } cases[] = {
        // Blanks around names and values, and one pair of enclosing quotes, go.
        {"  [ Sec ]  \r\na=  abc \t\r\nb=\t\"a b\"  \r\nc=' x '\r\nd=\"abc'\r\ne=\"\r\n"
         "f='x'y'\r\ng=a=b\r\n  H  =  v\r\ni=\"\"\r\nj=''\r\nk=old ; c\r\n",
         " sEC\t",
         {"a",   "abc", "b",   "a b", "c", " x ", "d", "\"abc'", "e", "\"", "f",
          "x'y", "g",   "a=b", " h ", "v", "i",   "",  "j",      "",  "k",  "old ; c"}},
        // Lines end at LF, CR LF and a lone CR.
        {"[s]\rk=v\r", "s", {"k", "v"}},
        {"[s]\r\nk1=a\r\nk2=b\rk3=c\r\n", "s", {"k1", "a", "k2", "b", "k3", "c"}},
        {"[s]\n\rk=v\n\r\n", "s", {"k", "v"}},
        {"\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", {"k", "v"}},  // a UTF-8 mark is passed over
        // A missing key gives the default; an empty value does not.
        {"orphan=1\r\n[S]\r\nempty=\r\n;hidden=1\r\nbare\r\nlink=a]b\r\n[T]\r\nother=1\r\n[S]"
         "\r\nlate=1\r\n",
         "S",
         {"missing", "dflt", "empty", "", "hidden", "dflt", ";hidden", "dflt", "bare", "dflt",
          "other", "dflt", "late", "dflt", "link", "a]b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Put("v.ini", c.file);
        for (std::size_t i = 0; i + 1 < c.reads.size(); i += 2)
            EXPECT_EQ(Get(c.section, c.reads[i], "dflt"), c.reads[i + 1]) << c.reads[i];
    }
    // The last file still there: a missing section, and a key before every section.
    EXPECT_EQ(Get("X", "empty", "dflt"), "dflt");
    EXPECT_EQ(Get("", "orphan", "dflt"), "dflt");
    EXPECT_EQ(Get("S", "missing"), "");
    EXPECT_EQ(Get("S", "k", "dflt", "none.ini"), "dflt");
    EXPECT_EQ(Get("s", "k", " a b  ", "none.ini"), " a b");  // the default loses trailing blanks
}

TEST_F(ProfileTest, NewFileGetsSectionsAndKeysInWriteOrderWithCrlf) {
    for (const auto& [s, k, v] : {std::array<std::string, 3>{"S1", "a", "1"},
                                  {"S1", "b", "2"},
                                  {"S2", "c", " spaced "},
                                  {"s1", "d", "\"q\""},
                                  {"s2", "C", "5"},
                                  {"S3", "e", "cut\r\n[evil]"},
                                  {"S3", "f", std::string("x\0y", 3)}}) {
        ASSERT_TRUE(Set(s, k, v));
    }
    EXPECT_EQ(Bytes("v.ini"),
              "[S1]\r\na=1\r\nb=2\r\nd=\"q\"\r\n[S2]\r\nc=5\r\n[S3]\r\ne=cut\r\nf=x\r\n");
    EXPECT_EQ(FileCount(), 1);
}

// A write changes one line or adds one, in the file's own line ends, and leaves every other
// byte as it was.
TEST_F(ProfileTest, AWriteChangesOnlyItsOwnLine) {
    const struct {
        std::string before, section, key, value, after;
    } cases[] = {
        // A new key goes after the section's last key; a new section at the end.
        {"[A]\nx=1\n\n; about B\n[B]\ny=2", "A", "z", "3", "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2"},
        {"[A]\nx=1\n[B]\ny=2", "C", "w", "4", "[A]\nx=1\n[B]\ny=2\n[C]\nw=4\n"},
        // Only the first matching line, named in any case, and it keeps its spelling.
        {"; top\r\n[S]\r\n  Key = old ; c\r\nother = keep  \r\nkey=dup\n[S]\r\nkey=second\r\n", "S",
         "key", " new ",
         "; top\r\n[S]\r\n  Key= new \r\nother = keep  \r\nkey=dup\n[S]\r\nkey=second\r\n"},
        {"[MySection]\r\nMyKey=1", "mysection", "MYKEY", "2", "[MySection]\r\nMyKey=2"},
        {"\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", "w", "\xEF\xBB\xBF[s]\r\nk=w\r\n"},
        // A last line ended by a lone CR keeps it; the new lines take the file's first line end.
        {"[S]\nk=v\r", "T", "x", "1", "[S]\nk=v\r[T]\nx=1\n"},
        {"[S]\rk=v", "S", "x", "1", "[S]\rk=v\rx=1\r"},
        // A new line ended by a lone CR before an empty LF line: the two must not pair up.
        {"[S]\rk=v\n\n", "S", "x", "1", "[S]\rk=v\nx=1\r\n\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        Put("v.ini", c.before);
        ASSERT_TRUE(Set(c.section, c.key, c.value));
        EXPECT_EQ(Bytes("v.ini"), c.after);
    }
}

// Notepad's "Unicode": UTF-16 with its byte-order mark.
std::string Utf16(const std::string& text, bool little = true) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : text)
        bytes += little ? std::string{c, '\0'} : std::string{'\0', c};
    return bytes;
}

TEST_F(ProfileTest, Utf16FilesAreReadAndStayUtf16OrAreNeverRewritten) {
    for (bool little : {true, false}) {
        SCOPED_TRACE(little);
        Put("v.ini", Utf16("[VORNNOT]\r\nrunmode=2\r\nparameters=a\xE9.txt\r\n", little));
        EXPECT_EQ(Get("VORNNOT", "runmode"), "2");
        EXPECT_EQ(Get("VORNNOT", "parameters"), "a\xE9.txt");
        ASSERT_TRUE(Set("VORNNOT", "runmode", "3"));
        ASSERT_TRUE(Set("VORNDOS", "runmode", "1"));
        EXPECT_EQ(Bytes("v.ini"), Utf16("[VORNNOT]\r\nrunmode=3\r\nparameters=a\xE9.txt\r\n"
                                        "[VORNDOS]\r\nrunmode=1\r\n",
                                        little));
        Put("v.ini", Utf16("[s]\r\nk=vw", little));  // no line end after the last character
        EXPECT_EQ(Get("s", "k"), "vw");
    }
    // A file the text cannot carry (U+4E2D, which no single byte holds), or one with half a
    // character at its end, is read up to there and never rewritten.
    for (const std::string& file :
         {Utf16("[s]\r\nk=v\r\nname=") + "\x2D\x4E" + Utf16("\r\n").substr(2),
          Utf16("[s]\r\nk=v\r\nname=?") + "x"}) {
        Put("v.ini", file);
        EXPECT_EQ(Get("s", "k"), "v");
        EXPECT_EQ(Get("s", "name"), "?");
        EXPECT_FALSE(Set("s", "k", "w"));
        EXPECT_EQ(Bytes("v.ini"), file);
    }
}

TEST_F(ProfileTest, FailedWriteLeavesNothingBehind) {
    const ProfileFiles missingDir(dir_ / "nowhere");
    EXPECT_FALSE(missingDir.WritePrivateProfileString("S", "k", "v", "v.ini"));
    EXPECT_FALSE(fs::exists(dir_ / "nowhere"));

    fs::create_directory(dir_ / "v.ini");  // cannot be read or replaced as a file
    Put("v.ini/inside", "keep");
    EXPECT_FALSE(Set("S", "k", "v"));
    EXPECT_EQ(Bytes("v.ini/inside"), "keep");

    // A file that is there but cannot be read (here a link to itself) is never replaced.
    fs::create_symlink("self.ini", dir_ / "self.ini");
    EXPECT_FALSE(profile_.WritePrivateProfileString("S", "k", "v", "self.ini"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "self.ini"));

    EXPECT_TRUE(profile_.WritePrivateProfileString("S", "k", "v", (dir_ / "other.ini").string()));
    EXPECT_EQ(FileCount(), 3);
}

}  // namespace
