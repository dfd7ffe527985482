// The keys of the game as the rules see them: virtual-key codes and a
// modifier mask, whatever the window system calls them.
#pragma once

namespace Turrion {

// Virtual-key codes the rules use.
enum VirtualKey : int {
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18, // Alt
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_0 = 48,
    VK_9 = 57,
    VK_A = 65,
    VK_NUMPAD0 = 96,
    VK_F1 = 112,
    // A key the game has no use for.
    VK_NONE = 255,
};
// Modifier mask bits.
constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;

} // namespace Turrion
