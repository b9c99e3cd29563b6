// Lookups go through the process-wide tables, so every test starts and ends without them.
#pragma once

#include "TempFolder.h"

#include "lang/Texts.h"

#include <gtest/gtest.h>

class TextTables : public ::testing::Test
{
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset()
    {
        ClearLanguageTable();
        InstallResourceStrings({});
    }

    TempFolder m_folder;
};
