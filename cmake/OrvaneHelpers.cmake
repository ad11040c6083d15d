# orvane_add_library(<target> <export-macro-base> <namespace-dir>)
# A shared library with an alias orvane::<target>, a generated export header
# <target-dir>/<base>_export.h, and headers installed under include/<target>.
function(orvane_add_library target base)
    add_library(${target} SHARED)
    add_library(orvane::${target} ALIAS ${target})
    string(TOLOWER "${base}" base_lower)
    generate_export_header(${target}
        BASE_NAME ${base}
        EXPORT_FILE_NAME "${CMAKE_CURRENT_BINARY_DIR}/${base_lower}_export.h")
    target_include_directories(${target} PUBLIC
        "$<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>"
        "$<BUILD_INTERFACE:${CMAKE_CURRENT_BINARY_DIR}>"
        "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/${target}>")
    set_target_properties(${target} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR})
    install(TARGETS ${target} EXPORT orvane-qcTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES "${CMAKE_CURRENT_BINARY_DIR}/${base_lower}_export.h"
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${target})
endfunction()

# orvane_install_headers(<target> <header>...): public headers keep their sub-folders.
function(orvane_install_headers target)
    foreach(header ${ARGN})
        get_filename_component(dir "${header}" DIRECTORY)
        install(FILES "${header}" DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/${target}/${dir}")
    endforeach()
endfunction()

# orvane_add_qt_test(<name> SOURCES <file>... LIBRARIES <target>...)
# One Qt Test executable registered with CTest, run offscreen and with test paths.
function(orvane_add_qt_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES} "${PROJECT_SOURCE_DIR}/tests/support/testMode.cpp")
    target_link_libraries(${name} PRIVATE Qt::Test Qt::Widgets ${ARG_LIBRARIES})
    add_test(NAME ${name} COMMAND ${name})
    set(environment QT_QPA_PLATFORM=offscreen "ORVANE_SHARED_DATA=${PROJECT_SOURCE_DIR}/../shared/data"
        ${ORVANE_TEST_SANITIZER_ENVIRONMENT})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 120)
endfunction()
