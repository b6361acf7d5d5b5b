# The settings store: four operations over the registry (a REGEDIT4 file where there is none).
if(WIN32)
    set(_vantor_registry_impl ${PROJECT_SOURCE_DIR}/src/platform/registry_win.cpp)
else()
    set(_vantor_registry_impl ${PROJECT_SOURCE_DIR}/src/platform/registry_file_posix.cpp)
endif()
add_library(vantor_settings_store STATIC
    ${CMAKE_CURRENT_LIST_DIR}/settings_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_source.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/regedit4.cpp
    ${_vantor_registry_impl})
target_include_directories(vantor_settings_store PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vantor_settings_store PUBLIC vantor_flags)
if(WIN32)
    target_link_libraries(vantor_settings_store PRIVATE advapi32)
endif()
