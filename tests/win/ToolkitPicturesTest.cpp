// Decoding of the window's pictures: JPEG through libjpeg, icon files through the system,
// good files drawn with their colours, damaged ones refused without harm.
#include <gtest/gtest.h>

#include "platform/win32/Pictures.h"
#include "tests/win/ToolkitTestSupport.h"
#include "ui/Pictures.h"

namespace {

using platform::Bytes;
using platform::win32::Picture;
using namespace toolkit_test;

Bytes bytes(const std::vector<uint8_t>& v) { return Bytes(v.data(), v.size()); }

// --- good pictures -------------------------------------------------------------------

struct JpegCase {
    const char* name;
    int width, height;
    bool grey;
};

class GoodJpeg : public testing::TestWithParam<JpegCase> {};

TEST_P(GoodJpeg, DecodesToItsSizeAndColours) {
    const auto& c = GetParam();
    // Left half orange, right half blue (grey levels for a greyscale file).
    auto colour = [&](int x, int) -> Rgb { return x < c.width / 2 ? 0xF08020 : 0x2040C0; };
    auto file = makeJpeg(c.width, c.height, colour, c.grey);
    auto picture = Picture::decode(bytes(file));
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->isIcon());
    EXPECT_EQ(picture->width(), c.width);
    EXPECT_EQ(picture->height(), c.height);

    Canvas canvas(c.width, c.height);
    picture->draw(canvas.dc(), RECT{0, 0, c.width, c.height}, false);
    if (c.width >= 16) {
        Rgb left = c.grey ? 0x808080 : 0xF08020, right = c.grey ? 0x404040 : 0x2040C0;
        EXPECT_TRUE(similar(canvas.pixel(2, c.height / 2), left, 24)) << hex(canvas.pixel(2, c.height / 2));
        EXPECT_TRUE(similar(canvas.pixel(c.width - 3, c.height / 2), right, 24))
            << hex(canvas.pixel(c.width - 3, c.height / 2));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, GoodJpeg,
                         testing::Values(JpegCase{"OnePixel", 1, 1, false}, JpegCase{"OddWidth", 17, 9, false},
                                         JpegCase{"ButtonSized", 220, 80, false},
                                         JpegCase{"Greyscale", 32, 16, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Pictures, StretchedFillsTheBoxNaturalKeepsItsSize) {
    auto file = makeJpeg(16, 16, [](int x, int) -> Rgb { return x < 8 ? 0xE00000 : 0x0000E0; });
    auto picture = Picture::decode(bytes(file));
    ASSERT_TRUE(picture);
    Canvas stretched(64, 32, 0x00FF00);
    picture->draw(stretched.dc(), RECT{0, 0, 64, 32}, true);
    EXPECT_TRUE(similar(stretched.pixel(8, 16), 0xE00000, 30)) << hex(stretched.pixel(8, 16));
    EXPECT_TRUE(similar(stretched.pixel(56, 16), 0x0000E0, 30)) << hex(stretched.pixel(56, 16));

    Canvas natural(64, 32, 0x00FF00);
    picture->draw(natural.dc(), RECT{0, 0, 64, 32}, false);
    EXPECT_TRUE(similar(natural.pixel(3, 8), 0xE00000, 30));
    EXPECT_TRUE(similar(natural.pixel(12, 8), 0x0000E0, 30));
    EXPECT_EQ(natural.pixel(40, 8), 0x00FF00u) << "drawn beyond its natural size";
    EXPECT_EQ(natural.pixel(8, 24), 0x00FF00u) << "drawn beyond its natural size";
}

TEST(Pictures, IconFileTakesItsLargestImageAndStretches) {
    auto file = makeIconFile({{16, 0xFF0000}, {48, 0x00C000}, {32, 0x0000FF}});
    auto picture = Picture::decode(bytes(file));
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->isIcon());
    EXPECT_EQ(picture->width(), 48);
    EXPECT_EQ(picture->height(), 48);
    Canvas canvas(24, 24, 0x000000);
    picture->draw(canvas.dc(), RECT{0, 0, 24, 24}, true);
    EXPECT_TRUE(similar(canvas.pixel(1, 1), 0x00C000, 8)) << hex(canvas.pixel(1, 1));
    EXPECT_TRUE(similar(canvas.pixel(22, 22), 0x00C000, 8)) << hex(canvas.pixel(22, 22));
}

TEST(Pictures, IconAlphaLetsTheBackgroundThrough) {
    auto file = makeIconFile({{32, 0xFFFFFF, 0}});
    auto picture = Picture::decode(bytes(file));
    ASSERT_TRUE(picture);
    Canvas canvas(32, 32, 0x123456);
    picture->draw(canvas.dc(), RECT{0, 0, 32, 32}, true);
    EXPECT_TRUE(similar(canvas.pixel(8, 16), 0x123456, 4)) << hex(canvas.pixel(8, 16));
    EXPECT_TRUE(similar(canvas.pixel(24, 16), 0xFFFFFF, 4)) << hex(canvas.pixel(24, 16));
}

// The committed artwork, as the installer carries it.
struct ArtCase {
    const char* name;
    const platform::ByteSetBlock& block;
    int width, height;
    bool icon;
};

class CommittedArt : public testing::TestWithParam<ArtCase> {};

TEST_P(CommittedArt, DecodesAtItsSize) {
    const auto& c = GetParam();
    auto picture = Picture::decode(platform::bytesOf(c.block));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->isIcon(), c.icon);
    EXPECT_EQ(picture->width(), c.width);
    EXPECT_EQ(picture->height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Ui, CommittedArt,
    testing::Values(ArtCase{"InstallButton", InstallButtonPicture, 220, 80, false},
                    ArtCase{"InstallButtonHot", InstallButtonHotPicture, 220, 80, false},
                    ArtCase{"Completion", CompletionPicture, 220, 80, false},
                    ArtCase{"FlameLogo", FlameLogoPicture, 424, 534, false},
                    ArtCase{"LetterLogo", LetterLogoPicture, 250, 256, false},
                    ArtCase{"BadgeIcon", BadgeIconPicture, 48, 48, true},
                    ArtCase{"CloseButton", CloseButtonPicture, 27, 22, false},
                    ArtCase{"CloseButtonHot", CloseButtonHotPicture, 27, 22, false},
                    ArtCase{"CloseButtonPressed", CloseButtonPressedPicture, 27, 22, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- damaged pictures ----------------------------------------------------------------

std::vector<uint8_t> goodJpeg() { return makeJpeg(64, 48, [](int x, int y) -> Rgb { return (x * 4) << 16 | y * 5; }); }

// Offset of the first byte after the start-of-scan segment.
size_t scanStart(const std::vector<uint8_t>& jpeg) {
    for (size_t i = 2; i + 3 < jpeg.size();) {
        const size_t length = jpeg[i + 2] << 8 | jpeg[i + 3];
        if (jpeg[i + 1] == 0xDA) return i + 2 + length;
        i += 2 + length;
    }
    return jpeg.size();
}

struct DamageCase {
    const char* name;
    std::function<std::vector<uint8_t>()> make;
    bool decodes;  // scan damage still gives a picture of the stated size; header damage none
};

class DamagedPicture : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedPicture, NeverCrashes) {
    const auto& c = GetParam();
    auto file = c.make();
    auto picture = Picture::decode(bytes(file));
    EXPECT_EQ(static_cast<bool>(picture), c.decodes);
    if (picture && !picture->isIcon()) {
        EXPECT_EQ(picture->width(), 64);
        EXPECT_EQ(picture->height(), 48);
        Canvas canvas(64, 48);
        picture->draw(canvas.dc(), RECT{0, 0, 64, 48}, true);
    }
}

std::vector<uint8_t> withIconEntry(std::vector<uint8_t> icon, size_t at, uint32_t value) {
    if (icon.size() < at + 4) return icon;
    for (size_t i = 0; i < 4; ++i) icon.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
    return icon;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedPicture,
    testing::Values(
        DamageCase{"Empty", [] { return std::vector<uint8_t>{}; }, false},
        DamageCase{"OnlyStartMarker", [] { return std::vector<uint8_t>{0xFF, 0xD8}; }, false},
        DamageCase{"StartMarkerThenNoise",
                   [] {
                       std::vector<uint8_t> v{0xFF, 0xD8};
                       for (int i = 0; i < 500; ++i) v.push_back(static_cast<uint8_t>(i * 73 + 11));
                       return v;
                   },
                   false},
        DamageCase{"CutInsideTheHeader",
                   [] {
                       auto v = goodJpeg();
                       v.resize(40);
                       return v;
                   },
                   false},
        DamageCase{"CutInsideTheScan",
                   [] {
                       auto v = goodJpeg();
                       v.resize(scanStart(v) + 20);
                       return v;
                   },
                   true},
        DamageCase{"NoiseInTheScan",
                   [] {
                       auto v = goodJpeg();
                       for (size_t i = scanStart(v) + 10; i + 2 < v.size(); i += 7) v[i] ^= 0x5A;
                       return v;
                   },
                   true},
        DamageCase{"HugeStatedSize",
                   [] {
                       auto v = goodJpeg();
                       for (size_t i = 2; i + 8 < v.size();) {  // the SOF0 frame's height and width
                           if (v[i + 1] == 0xC0) {
                               v[i + 5] = 0xFF, v[i + 6] = 0xF0, v[i + 7] = 0xFF, v[i + 8] = 0xF0;
                               break;
                           }
                           i += 2 + (v[i + 2] << 8 | v[i + 3]);
                       }
                       return v;
                   },
                   false},
        DamageCase{"NotAPicture", [] { return std::vector<uint8_t>{'B', 'M', 0, 0, 0, 0}; }, false},
        DamageCase{"IconWithoutImages", [] { return std::vector<uint8_t>{0, 0, 1, 0, 0, 0}; }, false},
        DamageCase{"IconDirectoryCut",
                   [] {
                       auto v = makeIconFile({{16, 0xFF0000}});
                       v.resize(12);
                       return v;
                   },
                   false},
        DamageCase{"IconImageBeyondTheEnd", [] { return withIconEntry(makeIconFile({{16, 0xFF0000}}), 18, 1u << 30); },
                   false},
        DamageCase{"IconImageLongerThanTheFile",
                   [] { return withIconEntry(makeIconFile({{16, 0xFF0000}}), 14, 1u << 20); }, false},
        DamageCase{"IconImageClaimsMoreRows",
                   [] {
                       auto v = makeIconFile({{16, 0xFF0000}});
                       return withIconEntry(v, 22 + 8, 2 * 200);  // the DIB header's height
                   },
                   false},
        DamageCase{"IconImageCutShort",
                   [] {
                       auto v = makeIconFile({{16, 0xFF0000}});
                       v.resize(v.size() - 100);
                       return withIconEntry(v, 14, static_cast<uint32_t>(v.size() - 22));
                   },
                   false},
        DamageCase{"OneGoodIconImageOfTwo",
                   [] {
                       auto v = makeIconFile({{16, 0xFF0000}, {32, 0x00FF00}});
                       return withIconEntry(v, 6 + 16 + 12, 1u << 30);  // the 32-pixel image's offset
                   },
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
