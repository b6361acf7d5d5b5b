// SPDX-License-Identifier: MIT
// main() for widget tests: the offscreen platform unless the caller chose another, and a data
// folder of their own, so the windows' conversation logs never land in the user's.
#include <gtest/gtest.h>
#include <QApplication>
#include <cstdlib>

#include "support/temp_registry.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const vantor::test::TempDir data;
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
