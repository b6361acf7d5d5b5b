# Tests of the settings store, its registry file and the file's text format.
add_executable(settings_store_tests
    ${CMAKE_CURRENT_LIST_DIR}/settings_store_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_file_test.cpp
    ${PROJECT_SOURCE_DIR}/tests/platform/regedit4_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_test_util.h)
target_link_libraries(settings_store_tests PRIVATE vantor_settings_store vantor_test_support GTest::gtest_main)
gtest_discover_tests(settings_store_tests)
