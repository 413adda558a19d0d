// The pairing dialog's progress animation: every tick of its 500 ms timer
// adds 3 percent; at 100 or more the timer stops and the bar stays full
// (the last position set is 102, which the bar shows as 100).
#ifndef ZELO_APP_PAIRING_ANIMATION_H
#define ZELO_APP_PAIRING_ANIMATION_H

namespace zelo::app {

inline constexpr unsigned kPairingTimerMs = 500;
inline constexpr int kPairingStep = 3;
inline constexpr int kPairingFull = 100;

struct PairingTick {
    int position;   // what the bar is set to
    bool finished;  // the timer stops
};

// progress is the process-wide pairing progress.
void restartPairing(int &progress);
PairingTick advancePairing(int &progress);

}  // namespace zelo::app

#endif
