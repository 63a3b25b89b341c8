# add_qt_test(<name> SOURCES <files...> LIBS <targets...>)
# Every test runs offscreen and has a time limit, so that a test stuck on an
# unanswered modal box fails fast. MORVELL_TEST_TIMEOUT is that limit in
# seconds, longer in an instrumented build (cmake/Sanitizers.cmake).
set(MORVELL_TEST_TIMEOUT 120)

function(add_qt_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-data;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-config"
        TIMEOUT ${MORVELL_TEST_TIMEOUT})
endfunction()

# add_spoiled_line_tests(<executable> <test functions...>)
# Each test function of an executable built already as a ctest entry of its
# own, labelled spoiledline: they spend their time waiting on a spoiled line,
# so they run beside the others rather than in their turn.
function(add_spoiled_line_tests executable)
    foreach(function ${ARGN})
        add_test(NAME ${executable}.${function} COMMAND ${executable} ${function})
        set_tests_properties(${executable}.${function} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/${executable}-${function}-data;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${executable}-${function}-config"
            TIMEOUT ${MORVELL_TEST_TIMEOUT}
            LABELS spoiledline)
    endforeach()
endfunction()
