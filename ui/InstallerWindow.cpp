#include "ui/InstallerWindow.h"

#include "ui/Pictures.h"

namespace ui {

namespace {

using platform::Binding;
using platform::ControlDesc;
using platform::Event;
using platform::FontSpec;
using platform::Handler;
using platform::PictureMode;
using platform::Pointer;
using platform::bytesOf;
using enum platform::ControlKind;

constexpr uint32_t PageBlue = 0x1683C4;
constexpr uint32_t LightBlue = 0x75B8EE;
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Yellow = 0xFFFF00;

constexpr const char* MainPage = "图片框1_背景";
constexpr const char* InstallingPage = "图片框2_背景";
constexpr const char* FinishedPage = "图片框3_背景";
constexpr const char* Logo = "图片框_Logo";
constexpr const char* ProgressFrame = "图片框_进度框";

const ControlDesc controls[] = {
    {.name = "标签_日志", .kind = Label, .parent = MainPage, .left = 79, .top = 344, .width = 160, .height = 24,
     .background = PageBlue, .textColor = White},
    {.name = "透明标签4", .kind = TransparentLabel, .parent = MainPage, .left = 230, .top = 14, .width = 12,
     .height = 12, .textColor = White, .text = "×", .pointer = Pointer::Hand},
    {.name = "图片框1", .kind = PictureBox, .parent = nullptr, .left = 8, .top = 8, .width = 24, .height = 24,
     .shown = false, .picture = bytesOf(BadgeIconPicture), .pictureMode = PictureMode::Stretch},
    {.name = "进度条1", .kind = ProgressBar, .parent = MainPage, .left = 21, .top = 327, .width = 205, .height = 8,
     .shown = false, .minimum = 0, .maximum = 100, .position = 0, .smooth = true, .staticEdge = true},
    {.name = "ZIP压缩1", .kind = ZipComponent, .parent = Logo, .left = 8, .top = 40, .width = 27, .height = 27,
     .shown = false},
    {.name = "时钟4", .kind = Timer, .parent = nullptr, .left = 72, .top = 32, .width = 26, .height = 26,
     .shown = false, .interval = 0},
    {.name = "图形按钮3", .kind = PictureButton, .parent = FinishedPage, .left = 192, .top = 288, .width = 220,
     .height = 80, .normalPicture = bytesOf(CompletionPicture)},
    {.name = "图片框_Logo2", .kind = PictureBox, .parent = FinishedPage, .left = 174, .top = 24, .width = 250,
     .height = 255, .picture = bytesOf(LetterLogoPicture), .pictureMode = PictureMode::Natural},
    {.name = "透明标签3", .kind = TransparentLabel, .parent = FinishedPage, .left = 0, .top = 0, .width = 250,
     .height = 24, .textColor = White, .text = " Kestrion 5_安装完成！"},
    {.name = "图片框_进度", .kind = PictureBox, .parent = ProgressFrame, .left = -2, .top = 2, .width = 0,
     .height = 24, .background = White},
    {.name = "图片框_进度框", .kind = PictureBox, .parent = InstallingPage, .left = 0, .top = 335, .width = 600,
     .height = 24, .background = LightBlue, .border = true},
    {.name = "图形按钮10", .kind = PictureButton, .parent = InstallingPage, .left = 563, .top = 0, .width = 27,
     .height = 22, .normalPicture = bytesOf(CloseButtonPicture), .hotPicture = bytesOf(CloseButtonHotPicture),
     .pressedPicture = bytesOf(CloseButtonPressedPicture)},
    {.name = "图片框_AD", .kind = PictureBox, .parent = InstallingPage, .left = 0, .top = 23, .width = 600,
     .height = 300, .background = LightBlue},
    {.name = "透明标签2", .kind = TransparentLabel, .parent = InstallingPage, .left = 0, .top = 0, .width = 250,
     .height = 24, .textColor = White, .text = " Kestrion 5_正在安装..."},
    {.name = "图形按钮1", .kind = PictureButton, .parent = MainPage, .left = 14, .top = 255, .width = 220,
     .height = 80, .normalPicture = bytesOf(InstallButtonPicture), .hotPicture = bytesOf(InstallButtonHotPicture)},
    {.name = "标签1", .kind = Label, .parent = MainPage, .left = 7, .top = 344, .width = 56, .height = 24,
     .background = PageBlue, .textColor = White, .text = "安装目录："},
    {.name = "透明标签1", .kind = TransparentLabel, .parent = MainPage, .left = 7, .top = 8, .width = 68,
     .height = 24, .textColor = Yellow, .font = FontSpec{.height = 12, .weight = 700}, .text = "安装程序"},
    {.name = "图片框_Logo", .kind = PictureBox, .parent = MainPage, .left = 12, .top = 36, .width = 211,
     .height = 211, .picture = bytesOf(FlameLogoPicture), .pictureMode = PictureMode::Stretch},
    {.name = "标签_安装目录", .kind = Label, .parent = MainPage, .left = 7, .top = 367, .width = 232, .height = 25,
     .background = PageBlue, .textColor = White, .font = FontSpec{.height = 12, .weight = 400, .underline = true},
     .text = "D:\\Brisvale", .pointer = Pointer::Hand},
    {.name = "时钟3", .kind = Timer, .parent = nullptr, .left = 48, .top = 32, .width = 26, .height = 26,
     .shown = false, .interval = 0},
    {.name = "时钟2", .kind = Timer, .parent = nullptr, .left = 24, .top = 32, .width = 26, .height = 26,
     .shown = false, .interval = 0},
    {.name = "时钟1", .kind = Timer, .parent = nullptr, .left = 0, .top = 32, .width = 26, .height = 26,
     .shown = false, .interval = 0},
    {.name = "图片框1_背景", .kind = PictureBox, .parent = nullptr, .left = 0, .top = 0, .width = 250,
     .height = 400, .background = PageBlue, .border = true},
    {.name = "图片框2_背景", .kind = PictureBox, .parent = nullptr, .left = 0, .top = 0, .width = 600,
     .height = 400, .background = LightBlue, .border = true},
    {.name = "图片框3_背景", .kind = PictureBox, .parent = nullptr, .left = 0, .top = 0, .width = 600,
     .height = 400, .background = LightBlue, .border = true},
};

const Binding bindings[] = {
    {.control = nullptr, .event = Event::Created, .handler = Handler::WindowCreated},
    {.control = "标签_安装目录", .event = Event::LeftPressed, .handler = Handler::ChooseInstallLocation},
    {.control = "图形按钮1", .event = Event::Clicked, .handler = Handler::OnInstallClicked},
    {.control = "ZIP压缩1", .event = Event::ExtractProgress, .handler = Handler::OnExtractProgress},
    {.control = "透明标签4", .event = Event::LeftReleased, .handler = Handler::OnCloseCrossReleased},
    {.control = "图形按钮10", .event = Event::Clicked, .handler = Handler::OnExitButtonClicked},
    {.control = "图片框1_背景", .event = Event::LeftPressed, .handler = Handler::OnBackgroundPressed},
};

const platform::WindowDesc window = {
    .caption = "安装程序",
    .width = 250,
    .height = 400,
    .left = 50,
    .top = 50,
    .background = LightBlue,
    .controls = controls,
    .bindings = bindings,
};

}  // namespace

const platform::WindowDesc& InstallerWindow() { return window; }

}  // namespace ui
