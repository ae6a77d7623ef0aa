#pragma once

namespace tessel {

// How the link drives the chip. Both modes give the chip the same line levels and the same
// instructions; they differ in how many line calls and how long waits it takes.
//  - Specified: every bit costs its four line calls, every wait is the long fixed one.
//  - Fast: a line is set only when its level changes, MISO is sampled only for answers that are
//    used, a page write is polled until it reads back, and the other waits are the ATmega128's
//    own minimum waits with a margin (see LinkWaits.h).
enum class LinkMode { Specified, Fast };

} // namespace tessel
