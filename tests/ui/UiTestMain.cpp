// The UI tests' entry: the common controls, an application object whose main
// window each test sets, and GoogleTest.
#include "framework/win/CWinApp.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    AfxInitCommonControls();
    CWinApp app;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
