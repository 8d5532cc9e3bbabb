#pragma once
#include "platform/WindowDescription.h"

namespace ui {

// The one installer window: its settings, its 25 controls in description order and the
// bindings of their events to the logic's handlers.
const platform::WindowDesc& InstallerWindow();

}  // namespace ui
