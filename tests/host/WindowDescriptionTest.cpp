#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "ui/InstallerWindow.h"
#include "ui/Pictures.h"

namespace {

using platform::Bytes;
using platform::ControlKind;
using platform::Event;

struct ImageInfo {
    std::string format;  // "jpeg-baseline", "jpeg-other", "icon", "unknown"
    int width = 0, height = 0, components = 0, precision = 0, images = 0;
};

int be16(Bytes b, size_t at) { return b[at] << 8 | b[at + 1]; }
int le16(Bytes b, size_t at) { return b[at] | b[at + 1] << 8; }

ImageInfo inspect(Bytes b) {
    ImageInfo info;
    if (b.size() > 4 && b[0] == 0xFF && b[1] == 0xD8) {
        for (size_t at = 2; at + 9 < b.size();) {
            if (b[at] != 0xFF) break;
            int marker = b[at + 1];
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                info.format = marker == 0xC0 ? "jpeg-baseline" : "jpeg-other";
                info.precision = b[at + 4];
                info.height = be16(b, at + 5);
                info.width = be16(b, at + 7);
                info.components = b[at + 9];
                return info;
            }
            at += 2 + be16(b, at + 2);
        }
    } else if (b.size() > 22 && le16(b, 0) == 0 && le16(b, 2) == 1) {
        info.format = "icon";
        info.images = le16(b, 4);
        info.width = b[6] ? b[6] : 256;
        info.height = b[7] ? b[7] : 256;
        info.precision = le16(b, 12);  // bits per pixel of the first image
        return info;
    }
    info.format = "unknown";
    return info;
}

TEST(WindowDescription, NamesAreUniqueAndParentsComeLaterInTheList) {
    const auto& window = ui::InstallerWindow();
    ASSERT_EQ(window.controls.size(), 25u);
    std::map<std::string, size_t> position;
    for (size_t i = 0; i < window.controls.size(); ++i) {
        EXPECT_TRUE(position.emplace(window.controls[i].name, i).second) << "duplicate " << window.controls[i].name;
    }
    for (size_t i = 0; i < window.controls.size(); ++i) {
        const auto& control = window.controls[i];
        if (!control.parent) continue;
        SCOPED_TRACE(control.name);
        ASSERT_TRUE(position.count(control.parent)) << "unknown parent " << control.parent;
        EXPECT_GT(position[control.parent], i);
        auto parentKind = window.controls[position[control.parent]].kind;
        EXPECT_EQ(parentKind, ControlKind::PictureBox) << "only picture boxes hold controls";
    }
}

TEST(WindowDescription, EveryBindingNamesAControlOfTheRightKind) {
    const auto& window = ui::InstallerWindow();
    std::map<std::string, ControlKind> kinds;
    for (const auto& c : window.controls) kinds[c.name] = c.kind;
    std::set<std::string> bound;
    for (const auto& binding : window.bindings) {
        if (!binding.control) {
            EXPECT_EQ(binding.event, Event::Created);
            continue;
        }
        SCOPED_TRACE(binding.control);
        ASSERT_TRUE(kinds.count(binding.control));
        EXPECT_TRUE(bound.insert(std::string(binding.control) + "/" + std::to_string(int(binding.event))).second)
            << "bound twice";
        ControlKind kind = kinds[binding.control];
        switch (binding.event) {
            case Event::Clicked: EXPECT_EQ(kind, ControlKind::PictureButton); break;
            case Event::ExtractProgress: EXPECT_EQ(kind, ControlKind::ZipComponent); break;
            case Event::LeftPressed:
            case Event::LeftReleased: EXPECT_FALSE(platform::isNonVisual(kind)); break;
            case Event::Created: ADD_FAILURE() << "created belongs to the window"; break;
        }
    }
}

TEST(WindowDescription, ButtonPicturesHaveTheSizeOfTheirButton) {
    for (const auto& c : ui::InstallerWindow().controls) {
        if (c.kind != ControlKind::PictureButton) continue;
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.normalPicture.empty());
        for (Bytes picture : {c.normalPicture, c.hotPicture, c.pressedPicture, c.disabledPicture}) {
            if (picture.empty()) continue;
            ImageInfo info = inspect(picture);
            EXPECT_EQ(info.width, c.width);
            EXPECT_EQ(info.height, c.height);
        }
    }
}

struct PictureCase {
    const char* name;
    const platform::ByteSetBlock* block;
    const char* format;
    int width, height;
};

class PictureTest : public testing::TestWithParam<PictureCase> {};

TEST_P(PictureTest, IsAnImageOfItsFormatAndSize) {
    const auto& p = GetParam();
    EXPECT_EQ(p.block->one, 1u);
    ImageInfo info = inspect(platform::bytesOf(*p.block));
    EXPECT_EQ(info.format, p.format);
    EXPECT_EQ(info.width, p.width);
    EXPECT_EQ(info.height, p.height);
    if (info.format == "jpeg-baseline") {
        EXPECT_EQ(info.components, 3);
        EXPECT_EQ(info.precision, 8);
    } else {
        EXPECT_EQ(info.images, 1);
        EXPECT_EQ(info.precision, 32);
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureTest, testing::Values(
    PictureCase{"InstallButton", &InstallButtonPicture, "jpeg-baseline", 220, 80},
    PictureCase{"InstallButtonHot", &InstallButtonHotPicture, "jpeg-baseline", 220, 80},
    PictureCase{"Completion", &CompletionPicture, "jpeg-baseline", 220, 80},
    PictureCase{"FlameLogo", &FlameLogoPicture, "jpeg-baseline", 424, 534},
    PictureCase{"LetterLogo", &LetterLogoPicture, "jpeg-baseline", 250, 256},
    PictureCase{"BadgeIcon", &BadgeIconPicture, "icon", 48, 48},
    PictureCase{"CloseButton", &CloseButtonPicture, "jpeg-baseline", 27, 22},
    PictureCase{"CloseButtonHot", &CloseButtonHotPicture, "jpeg-baseline", 27, 22},
    PictureCase{"CloseButtonPressed", &CloseButtonPressedPicture, "jpeg-baseline", 27, 22}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
