// Which entry names the extraction accepts: one table, each name with the reason it is in it.
#include <gtest/gtest.h>

#include <string>

#include "payload/EntryNames.h"

namespace {

struct NameCase {
    std::string name;
    bool safe;
    const char* why;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.why; }

bool gbkLead(uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }

class EntryNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(EntryNameTest, IsAcceptedOnlyWhenItStaysInside) {
    EXPECT_EQ(payload::IsSafeEntryName(GetParam().name, gbkLead), GetParam().safe) << GetParam().why;
}

const std::string Gbk5C = "\x81\x5C";  // a double-byte character whose second byte is "\"

INSTANTIATE_TEST_SUITE_P(Names, EntryNameTest, testing::Values(
    NameCase{"readme.txt", true, "plain file"},
    NameCase{"bin/", true, "directory entry with its trailing separator"},
    NameCase{"bin\\", true, "directory entry with a backslash"},
    NameCase{"bin/data/file.dat", true, "nested file"},
    NameCase{"bin\\data\\file.dat", true, "backslash separators"},
    NameCase{".config", true, "leading dot in a component"},
    NameCase{"a..b/...c", true, "dots inside components"},
    NameCase{"my file.txt", true, "inner space"},
    NameCase{"CONSOLE.txt", true, "longer than a device name"},
    NameCase{"COM10", true, "COM with two digits is no device"},
    NameCase{"LPT", true, "LPT without digit"},
    NameCase{"xNUL.txt", true, "device name inside a longer name"},
    NameCase{Gbk5C + "/" + Gbk5C + ".txt", true, "second byte 0x5C is no separator"},
    NameCase{"\xC8\xED\xBC\xFE/\xCE\xC4\xBC\xFE.txt", true, "GBK folder and file"},
    NameCase{std::string(259, 'a'), true, "259 bytes"},
    NameCase{"", false, "empty name"},
    NameCase{std::string(260, 'a'), false, "260 bytes"},
    NameCase{std::string(200, 'a') + "/" + std::string(100, 'b'), false, "300 bytes in two components"},
    NameCase{"/", false, "separator alone"},
    NameCase{"/etc/passwd", false, "leading slash"},
    NameCase{"\\Windows\\win.ini", false, "leading backslash"},
    NameCase{"\\\\server\\share\\x", false, "UNC path"},
    NameCase{"\\\\?\\C:\\x", false, "long-path device prefix"},
    NameCase{"\\\\.\\PhysicalDrive0", false, "device namespace"},
    NameCase{"C:\\x.txt", false, "drive with root"},
    NameCase{"C:/x.txt", false, "drive with slash"},
    NameCase{"C:x.txt", false, "drive-relative"},
    NameCase{"z:", false, "drive alone"},
    NameCase{"file.txt:stream", false, "alternate data stream"},
    NameCase{"a/b:c/d", false, "colon in a middle component"},
    NameCase{"a//b", false, "empty component"},
    NameCase{"bin//", false, "empty component before the trailing separator"},
    NameCase{".", false, "dot alone"},
    NameCase{"./a", false, "dot component"},
    NameCase{"a/./b", false, "inner dot component"},
    NameCase{"..", false, "dot-dot alone"},
    NameCase{"../evil.txt", false, "climbs out"},
    NameCase{"a/../../evil.txt", false, "climbs out from inside"},
    NameCase{"a\\..\\..\\evil.txt", false, "climbs out with backslashes"},
    NameCase{"a/..", false, "dot-dot at the end"},
    NameCase{"../", false, "dot-dot directory entry"},
    NameCase{"...", false, "ends in a dot (Windows drops it)"},
    NameCase{"file.", false, "ends in a dot"},
    NameCase{"dir./x", false, "component ends in a dot"},
    NameCase{"file ", false, "ends in a space"},
    NameCase{"dir /x", false, "component ends in a space"},
    NameCase{".. ", false, "dot-dot and a space"},
    NameCase{"CON", false, "console device"},
    NameCase{"con.txt", false, "device with an extension, lower case"},
    NameCase{"Aux.tar.gz", false, "device with two extensions"},
    NameCase{"dir/NUL", false, "device as a later component"},
    NameCase{"PRN/x", false, "device as a folder"},
    NameCase{"NUL .txt", false, "device with spaces before the extension"},
    NameCase{"COM1", false, "serial port"},
    NameCase{"com0.log", false, "serial port 0"},
    NameCase{"LPT9.txt", false, "printer port"},
    NameCase{"CONIN$", false, "console input"},
    NameCase{std::string("a\0b", 3), false, "NUL byte"},
    NameCase{"a\tb", false, "tab"},
    NameCase{"a\x1F" "b", false, "control character 0x1F"},
    NameCase{"abc\x81", false, "lead byte at the end"},
    NameCase{"\x81/evil", false, "lead byte before a slash"},
    NameCase{".\x81.", false, "lead byte before a dot"}));

}  // namespace
