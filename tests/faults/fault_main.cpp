// The fault tests' main: shortens every wait of the library's sessions to a
// few milliseconds before any session exists, so a stalled reply times out
// at once (a stall costs (read timeout + 1) steps), then runs the tests and
// prints the figures of the sweeps it ran.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "fault_fixture.h"

int main(int argc, char** argv) {
    // An explicit setting in the environment wins.
    ::setenv("Q5CLIENT_POLL_STEP_MS", "2", 0);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    const q5test::SweepFigures& totals = q5test::TotalFigures();
    if (totals.cases > 0) {
        std::cout << "[faults] total: " << totals.offsets << " offsets, " << totals.cases << " cases"
                  << std::endl;
    }
    return result;
}
