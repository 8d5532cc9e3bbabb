// An entry counts as written only when its data is whole: every byte its header declares, a
// clean end of the stream and a matching CRC-32. Encrypted entries are never inflated.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <functional>

#include "ExtractFixture.h"

namespace {

using ziptest::Field;
using ziptest::LayoutOf;
using ziptest::Patch;
using Bytes = std::vector<uint8_t>;

// Text that deflate cannot shrink to nothing.
std::string Payload() {
    std::string text;
    for (int i = 0; text.size() < 5000; ++i) text += std::to_string(i * 7919 % 10007) + (i % 3 ? " " : "\n");
    return text.substr(0, 5000);
}

struct IntegrityCase {
    const char* what;
    int method;
    std::function<void(Bytes&)> damage;  // applied to entry 1
    int32_t result;
};

void PrintTo(const IntegrityCase& c, std::ostream* os) { *os << c.what; }

uint32_t Central32(const Bytes& zip, size_t field) { return ziptest::Get32(zip, LayoutOf(zip).central[1] + field); }

class ExtractIntegrityTest : public ExtractFixture, public testing::WithParamInterface<IntegrityCase> {
protected:
    void SetUp() override {
        ziptest::Entry bad = ziptest::File("data.bin", Payload());
        bad.method = GetParam().method;
        Bytes zip = ziptest::MakeZip({ziptest::File("ok.txt", "fine"), bad});
        if (GetParam().damage) GetParam().damage(zip);
        PutArchive(zip);
    }
};

TEST_P(ExtractIntegrityTest, WholeDataOrFailure) {
    EXPECT_EQ(Extract(), GetParam().result);
    const std::vector<int32_t> expected = GetParam().result == 1 ? std::vector<int32_t>{0, 50, 100}
                                                                 : std::vector<int32_t>{0, 100};
    EXPECT_THAT(events, testing::ElementsAreArray(expected));
    if (GetParam().result == 1) {
        EXPECT_EQ(ContentOf("C:\\out\\data.bin"), Payload());
    }
}

constexpr size_t Crc = 16, CompressedSize = 20, UncompressedSize = 24;

INSTANTIATE_TEST_SUITE_P(Entries, ExtractIntegrityTest, testing::Values(
    IntegrityCase{"intact deflate", Z_DEFLATED, {}, 1},
    IntegrityCase{"intact stored", 0, {}, 1},
    IntegrityCase{"CRC differs", Z_DEFLATED, [](Bytes& z) { Patch(z, 1, Field::Crc, Central32(z, Crc) ^ 1); }, 0},
    IntegrityCase{"stored with CRC differing", 0, [](Bytes& z) { Patch(z, 1, Field::Crc, Central32(z, Crc) ^ 1); }, 0},
    IntegrityCase{"declared one byte longer than the stream gives", Z_DEFLATED,
                  [](Bytes& z) { Patch(z, 1, Field::UncompressedSize, Central32(z, UncompressedSize) + 1); }, 0},
    IntegrityCase{"declared one byte shorter", Z_DEFLATED,
                  [](Bytes& z) { Patch(z, 1, Field::UncompressedSize, Central32(z, UncompressedSize) - 1); }, 0},
    IntegrityCase{"stored, declared longer than its data", 0,
                  [](Bytes& z) { Patch(z, 1, Field::UncompressedSize, Central32(z, UncompressedSize) + 10); }, 0},
    IntegrityCase{"deflate stream cut short", Z_DEFLATED,
                  [](Bytes& z) { Patch(z, 1, Field::CompressedSize, Central32(z, CompressedSize) / 2); }, 0},
    IntegrityCase{"stored data cut short", 0,
                  [](Bytes& z) { Patch(z, 1, Field::CompressedSize, Central32(z, CompressedSize) / 2); }, 0},
    IntegrityCase{"deflate data altered in the middle", Z_DEFLATED,
                  [](Bytes& z) {
                      const size_t data = LayoutOf(z).dataOf(z, 1);
                      z[data + Central32(z, CompressedSize) / 2] ^= 0x55;
                  },
                  0},
    IntegrityCase{"data descriptor flag: central values count", Z_DEFLATED,
                  [](Bytes& z) {
                      Patch(z, 1, Field::Flag, 8);
                      ziptest::Put32(z, LayoutOf(z).local[1] + 14, 0);  // local CRC and sizes left zero
                      ziptest::Put32(z, LayoutOf(z).local[1] + 18, 0);
                      ziptest::Put32(z, LayoutOf(z).local[1] + 22, 0);
                  },
                  1},
    IntegrityCase{"data descriptor flag with a wrong central CRC", Z_DEFLATED,
                  [](Bytes& z) {
                      Patch(z, 1, Field::Flag, 8);
                      ziptest::Put32(z, LayoutOf(z).central[1] + Crc, 0);
                  },
                  0},
    IntegrityCase{"encrypted", Z_DEFLATED, [](Bytes& z) { Patch(z, 1, Field::Flag, 1); }, 0},
    IntegrityCase{"encrypted and stored", 0, [](Bytes& z) { Patch(z, 1, Field::Flag, 1); }, 0}));

using ExtractEncryptedTest = ExtractFixture;

TEST_F(ExtractEncryptedTest, NothingIsWrittenForAnEncryptedEntry) {
    fs.addDirectory("C:\\out");
    fs.addFile("C:\\out\\secret.txt", "old", platform::attr::ReadOnly);
    fs.addFile("C:\\out\\fresh.txt", "keep");
    Bytes zip = ziptest::MakeZip({ziptest::File("secret.txt", "new"), ziptest::File("fresh.txt", "new")});
    Patch(zip, 0, Field::Flag, 1);
    PutArchive(zip);
    EXPECT_EQ(Extract(), 0);
    EXPECT_EQ(ContentOf("C:\\out\\secret.txt"), "old");
    EXPECT_EQ(fs.find("C:\\out\\secret.txt")->attributes, platform::attr::ReadOnly);
    EXPECT_EQ(ContentOf("C:\\out\\fresh.txt"), "keep");
    EXPECT_TRUE(fs.createdFiles.empty());
}

}  // namespace
