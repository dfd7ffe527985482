#include "game/Screen.h"

namespace Turrion {

Screen& TheScreen()
{
    static Screen screen;
    return screen;
}

void ResetScreen()
{
    TheScreen() = Screen{};
}

} // namespace Turrion
