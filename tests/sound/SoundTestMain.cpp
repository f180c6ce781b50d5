// Entry point of the sound tests: OpenAL's null driver mixes without a sound card and makes no
// noise, so every machine runs the engine with real voices. It must be chosen before OpenAL's
// first call, which reads the environment once.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
