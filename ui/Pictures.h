#pragma once
// The window's pictures: complete image files in the program's read-only data, each laid out
// as a byte set. The build puts them there from ui/art/.
#include "platform/Types.h"

extern "C" {
extern const platform::ByteSetBlock InstallButtonPicture;
extern const platform::ByteSetBlock InstallButtonHotPicture;
extern const platform::ByteSetBlock CompletionPicture;
extern const platform::ByteSetBlock FlameLogoPicture;
extern const platform::ByteSetBlock LetterLogoPicture;
extern const platform::ByteSetBlock BadgeIconPicture;
extern const platform::ByteSetBlock CloseButtonPicture;
extern const platform::ByteSetBlock CloseButtonHotPicture;
extern const platform::ByteSetBlock CloseButtonPressedPicture;
}
