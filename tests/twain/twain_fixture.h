// The fixture of the data source's suites: the stand-ins with the
// installed models and the sample cards, a session of the tests' manager
// and application, and at the end no device, lock or manager block left.
#pragma once

#include <memory>

#include "tests/support/camera_world.h"
#include "tests/twain/twain_harness.h"

class TwainSourceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A new session of the given manager; the previous one is closed first.
    void start(twaintest::Manager manager = twaintest::Manager::Version2);
    twaintest::TwainSession& twain() { return *session_; }
    // Closes whatever state the source is in, down to state 3.
    void closeDown();
    // Brings the new session's source from state 3 to the state given (3 to 7).
    void reach(int state);
    // The state the source is in, found by operations that change nothing.
    int probeState();

private:
    std::unique_ptr<bvtest::StandIns> standIns_;
    std::unique_ptr<twaintest::TwainSession> session_;
};
