# Serial control, event pump and clock on Qt: library dornvel_platform.
add_library(dornvel_platform STATIC
  ${CMAKE_CURRENT_LIST_DIR}/open_failure_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_event_pump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_serial_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_input.h
  ${CMAKE_CURRENT_LIST_DIR}/traffic_trace.cpp
)
if(WIN32)
  target_sources(dornvel_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/device_check_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_mapping_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_input_win.cpp)
else()
  target_sources(dornvel_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/device_check_unix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_mapping_unix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_input_unix.cpp)
endif()
target_include_directories(dornvel_platform PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(dornvel_platform PUBLIC
  Qt6::Core Qt6::SerialPort dornvel_protocol dornvel_options)
