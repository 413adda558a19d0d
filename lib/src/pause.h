// A pause of the calling thread. In the browser there is one thread, so the
// pause gives the event loop back for its length instead.
#pragma once

#include <chrono>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#else
#include <thread>
#endif

namespace zelo {

template <class Rep, class Period>
void pauseFor(std::chrono::duration<Rep, Period> length) {
#if defined(__EMSCRIPTEN__)
    emscripten_sleep(static_cast<unsigned>(std::chrono::ceil<std::chrono::milliseconds>(length).count()));
#else
    std::this_thread::sleep_for(length);
#endif
}

}  // namespace zelo
