#pragma once

namespace harvel {

// The platform's virtual-key codes that the shortcut handler compares.
enum VirtualKey : int {
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_F1 = 112,
    VK_F2 = 113,
    VK_F3 = 114,
};

// The virtual-key code of a Qt key (Qt::Key); 0 for keys without one.
[[nodiscard]] int VirtualKeyOf(int qtKey);

}  // namespace harvel
