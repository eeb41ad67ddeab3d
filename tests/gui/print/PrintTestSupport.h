#pragma once
#include "tests/support/TestEnvironment.h"

// A list to print: the checks are off, so that boards of the start position can be added quickly.
class PrintListTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        SettingsState::legalCheckActive = false;
    }
    void MakeDiagrams(int count)
    {
        CPlaviaView& view = View();
        view.SetBoardPosition(1);
        for (int i = 1; i < count; ++i) {
            view.OnAddDiagram();
            view.SetBoardPosition(1);
        }
    }
};
