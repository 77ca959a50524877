#pragma once

namespace dornvel {

class FormMain;

// Hooks for unattended runs (demonstrations, screenshots), read from the
// environment; without them the program runs until the user closes it.
//   DORNVEL_QUIT_AFTER_TICKS=n  closes the window after its n-th tick.
//   DORNVEL_SCREENSHOT=path     saves a PNG picture of the window after that tick
//                               (after the first one when no n is given).
void InstallRunHooks(FormMain& window);

}  // namespace dornvel
