# MORVELL_SANITIZE builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report ends the process, so a test that
# triggers one fails. scripts/sanitize.sh runs the tests of such a build with
# the runtime options and the suppressions in cmake/sanitizers/.
option(MORVELL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(MORVELL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    # Instrumented code runs several times slower, and so do the tests.
    math(EXPR MORVELL_TEST_TIMEOUT "${MORVELL_TEST_TIMEOUT} * 3")
endif()
