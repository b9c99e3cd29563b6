// Several Qt Test classes in one program: each file registers its class with ZQ_UI_TEST, and
// main runs them in turn, or only the class named first on the command line.
#pragma once

#include <QtTest>

using UiTestRun = int (*)(int argc, char** argv);

bool RegisterUiTest(const char* name, UiTestRun run);

#define ZQ_UI_TEST(TestClass)                                                                                \
    namespace {                                                                                              \
    [[maybe_unused]] const bool registered##TestClass =                                                      \
        RegisterUiTest(#TestClass, [](int argc, char** argv) {                                               \
            TestClass test;                                                                                  \
            QTEST_SET_MAIN_SOURCE_PATH                                                                       \
            return QTest::qExec(&test, argc, argv);                                                          \
        });                                                                                                  \
    }

// Wine draws with fonts of its own: text widths there say nothing about Windows'.
bool IsUnderWine();
