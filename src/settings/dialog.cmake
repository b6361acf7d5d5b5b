# The settings dialog: the held values (plain C++, no Qt) and the options window on top.
add_library(vantor_held_settings STATIC ${CMAKE_CURRENT_LIST_DIR}/held_settings.cpp)
target_include_directories(vantor_held_settings PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vantor_held_settings PUBLIC vantor_flags vantor_settings_store)

add_library(vantor_settings_ui STATIC ${CMAKE_CURRENT_LIST_DIR}/setting_ui.cpp)
target_link_libraries(vantor_settings_ui PUBLIC vantor_held_settings vantor_controls Qt6::Widgets)

# A window of every button picture and the dialog, for screenshots (scripts/screenshots).
add_executable(vantor_gallery ${PROJECT_SOURCE_DIR}/tools/gallery/main.cpp)
target_link_libraries(vantor_gallery PRIVATE vantor_settings_ui)
