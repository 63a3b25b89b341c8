# add_qt_test(<name> SOURCES <files...> LIBS <targets...> [WAITING <test functions...>])
# Every test runs offscreen and has a time limit, so that a test stuck on an
# unanswered modal box fails fast. MORVELL_TEST_TIMEOUT is that limit in
# seconds, longer in an instrumented build (cmake/Sanitizers.cmake).
# The WAITING functions spend their time waiting on a line or a process:
# each is an entry of its own (see add_waiting_tests), and the test's own
# entry runs every other function (a test all of whose functions wait is an
# executable with add_waiting_tests).
set(MORVELL_TEST_TIMEOUT 120)

function(add_qt_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;WAITING" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
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
# than in their turn.
function(add_waiting_tests executable)
    cmake_parse_arguments(ARG "" "LABEL" "" ${ARGN})
    foreach(function ${ARG_UNPARSED_ARGUMENTS})
        add_test(NAME ${executable}.${function} COMMAND ${executable} ${function})
        set_tests_properties(${executable}.${function} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/${executable}-${function}-data;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${executable}-${function}-config"
            TIMEOUT ${MORVELL_TEST_TIMEOUT}
            LABELS "waits;${ARG_LABEL}")
    endforeach()
endfunction()
