// A test that runs in a temporary directory holding a pack of the run directory's content, with
// the generated stand-ins where the content has not landed.
#pragma once

#include "support/TempDir.h"
#include "support/TestContent.h"

#include <gtest/gtest.h>

class ContentFixture : public ::testing::Test {
protected:
    ContentFixture() { testcontent::WritePack(dir.Path(), testcontent::ContentWithFallbacks(realContent)); }

    testcontent::Pack realContent = testcontent::ReadPackInWorkingDirectory(); // read before the move
    TempWorkDir dir;
};
