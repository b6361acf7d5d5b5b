# Tests of the held settings (no Qt) and of the options window.
add_executable(held_settings_tests ${CMAKE_CURRENT_LIST_DIR}/held_settings_test.cpp)
target_link_libraries(held_settings_tests PRIVATE vantor_held_settings vantor_test_support GTest::gtest_main)
gtest_discover_tests(held_settings_tests)

add_executable(setting_ui_tests ${CMAKE_CURRENT_LIST_DIR}/setting_ui_test.cpp)
target_link_libraries(setting_ui_tests PRIVATE vantor_settings_ui vantor_qt_test_main)
gtest_discover_tests(setting_ui_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
