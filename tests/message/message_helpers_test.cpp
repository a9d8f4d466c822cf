// The arithmetic of the message transport, at its edges: percentages as
// the two roads report them, and tick counts turned into chunk stamps.
#include <gtest/gtest.h>

#include "front/serial_message.h"
#include "message/message_private.h"

namespace {

TEST(MessageArithmetic, PercentagesRoundOrClampAsEachRoadReports) {
    struct Case {
        DWORD done, size, rounded;
    };
    const Case usb[] = {{0, 9216, 0},   {3072, 9216, 33}, {6144, 9216, 67}, {1, 200, 1},
                        {0xffffffffu, 0xffffffffu, 100}};
    for (const Case& c : usb) {
        SCOPED_TRACE(std::to_string(c.done) + " of " + std::to_string(c.size));
        EXPECT_EQ(c.rounded, bv::roundedPercent(c.done, c.size));
    }
    struct SerialCase {
        DWORD offset, length, total;
        bool clamp;
        DWORD percent;
    };
    const SerialCase serial[] = {{0, 0, 0, false, 100}, {0, 0, 0, true, 99},
                                 {0, 1, 200, false, 0}, {0, 1, 200, true, 1},
                                 {0, 199, 200, true, 99}, {0xfffff000u, 0x1000, 0xffffffffu, false, 100}};
    for (const SerialCase& c : serial) {
        SCOPED_TRACE(std::to_string(c.offset) + "+" + std::to_string(c.length) + " of " +
                     std::to_string(c.total) + (c.clamp ? " clamped" : ""));
        EXPECT_EQ(c.percent, bv::serialChunkProgress(c.offset, c.length, c.total, c.clamp));
    }
}

TEST(MessageArithmetic, TickCountsNeverLookLikeTheStampsStates) {
    const DWORD ticks[][2] = {{0, 2}, {1, 2}, {2, 2}, {12345, 12345}, {0xffffffffu, 0xffffffffu}};
    for (const auto& t : ticks) EXPECT_EQ(t[1], bv::stampOfTick(t[0])) << "tick " << t[0];
}

}  // namespace
