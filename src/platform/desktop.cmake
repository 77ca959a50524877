# Settings store and input and message boxes on Qt: library dornvel_desktop.
add_library(dornvel_desktop STATIC
  ${CMAKE_CURRENT_LIST_DIR}/qt_dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_dialogs.h
  ${CMAKE_CURRENT_LIST_DIR}/qt_settings_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_settings_store.h
)
target_include_directories(dornvel_desktop PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(dornvel_desktop PUBLIC Qt6::Widgets dornvel_ui dornvel_options)
