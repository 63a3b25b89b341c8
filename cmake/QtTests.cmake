# add_qt_test(<name> SOURCES <files...> LIBS <targets...> [WAITING <test functions...>])
# Every test runs offscreen and has a time limit, so that a test stuck on an
# unanswered modal box fails fast. MORVELL_TEST_TIMEOUT is that limit in
# seconds, longer in an instrumented build (cmake/Sanitizers.cmake).
# The WAITING functions spend their time waiting on a line or a process:
# each is an entry of its own (see add_waiting_tests), and the test's own
# entry runs every other function (a test all of whose functions wait is an
# add_test_executable with add_waiting_tests).
set(MORVELL_TEST_TIMEOUT 120)

# Whether the target's compile definitions bring Qt's widgets: what it links
# publicly, walked down; a static library's private links ($<LINK_ONLY:...>)
# bring no definitions.
function(morvell_brings_widgets target result)
    set(${result} FALSE PARENT_SCOPE)
    if(target STREQUAL "Qt5::Widgets")
        set(${result} TRUE PARENT_SCOPE)
        return()
    endif()
    if(NOT TARGET ${target} OR target MATCHES "^Qt5::")
        return()
    endif()
    get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
    if(links)
        foreach(link ${links})
            morvell_brings_widgets(${link} found)
            if(found)
                set(${result} TRUE PARENT_SCOPE)
                return()
            endif()
        endforeach()
    endif()
endfunction()

# Most of a test's compile time goes into Qt's headers. With GCC the tests
# share <QtTest> precompiled twice, as the Qt macros it depends on differ:
# for tests with widgets and for those on QtCore alone. The tests' own code is
# not optimised, which takes longer than it would save: the code under test is.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(MORVELL_TEST_PCH ON)
endif()
set(MORVELL_TEST_OPTIONS -O0)

function(morvell_test_pch kind)
    if(NOT TARGET testpch_${kind})
        file(WRITE ${CMAKE_BINARY_DIR}/testpch.cpp "")
        add_library(testpch_${kind} STATIC ${CMAKE_BINARY_DIR}/testpch.cpp)
        set_target_properties(testpch_${kind} PROPERTIES AUTOMOC OFF AUTOUIC OFF)
        target_compile_options(testpch_${kind} PRIVATE ${MORVELL_TEST_OPTIONS})
        target_link_libraries(testpch_${kind} PRIVATE Qt5::Test ${ARGN})
        target_precompile_headers(testpch_${kind} PRIVATE <QtTest>)
    endif()
endfunction()

# add_test_executable(<name> SOURCES <files...> LIBS <targets...>)
# A test program, built as every test is; add_qt_test makes it an entry.
function(add_test_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
    target_compile_options(${name} PRIVATE ${MORVELL_TEST_OPTIONS})
    if(MORVELL_TEST_PCH)
        set(widgets FALSE)
        foreach(lib ${ARG_LIBS})
            morvell_brings_widgets(${lib} found)
            if(found)
                set(widgets TRUE)
            endif()
        endforeach()
        if(widgets)
            morvell_test_pch(widgets Qt5::Widgets Qt5::SerialPort)
            target_precompile_headers(${name} REUSE_FROM testpch_widgets)
        else()
            morvell_test_pch(core)
            target_precompile_headers(${name} REUSE_FROM testpch_core)
        endif()
    endif()
endfunction()

function(add_qt_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;WAITING" ${ARGN})
    add_test_executable(${name} SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS})
    if(ARG_WAITING)
        set(skipped "")
        foreach(function ${ARG_WAITING})
            string(APPEND skipped " -e ${function}")
        endforeach()
        add_test(NAME ${name} COMMAND sh -c
            "exec \"$0\" $(\"$0\" -functions | sed -n 's/()$//p' | grep -vxF${skipped})"
            $<TARGET_FILE:${name}>)
        add_waiting_tests(${name} ${ARG_WAITING})
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-data;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-config"
        TIMEOUT ${MORVELL_TEST_TIMEOUT})
endfunction()

# add_waiting_tests(<executable> [LABEL <label>] <test functions...>)
# Each test function of an executable built already as a ctest entry of its
# own, labelled waits: they spend their time waiting on a line or a process,
# hardly computing, so scripts/ctest.sh runs them beside the others rather
# than in their turn. A function given as function:row runs that data row
# alone, so that rows which each wait long wait side by side too.
function(add_waiting_tests executable)
    cmake_parse_arguments(ARG "" "LABEL" "" ${ARGN})
    foreach(function ${ARG_UNPARSED_ARGUMENTS})
        string(REPLACE ":" "-" directory "${executable}-${function}")
        add_test(NAME ${executable}.${function} COMMAND ${executable} ${function})
        set_tests_properties(${executable}.${function} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/${directory}-data;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${directory}-config"
            TIMEOUT ${MORVELL_TEST_TIMEOUT}
            LABELS "waits;${ARG_LABEL}")
    endforeach()
endfunction()
