# The settings store: four operations over the registry (a REGEDIT4 file where there is none).
add_library(vantor_settings_store STATIC
    ${CMAKE_CURRENT_LIST_DIR}/settings_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_source.cpp)
target_include_directories(vantor_settings_store PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vantor_settings_store PUBLIC vantor_flags vantor_platform_registry)
