#include "pairing_animation.h"

namespace zelo::app {

void restartPairing(int &progress) { progress = 0; }

PairingTick advancePairing(int &progress) {
    progress += kPairingStep;
    const PairingTick tick{progress, progress >= kPairingFull};
    if (tick.finished) progress = 0;
    return tick;
}

}  // namespace zelo::app
