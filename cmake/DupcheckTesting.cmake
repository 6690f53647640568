# dupcheck_test(<name> SOURCES <files...> LIBS <targets...> [APP NONE|CORE|GUI|WIDGETS]
#               [BOTH_SERVERS])
#
# A GoogleTest program registered with ctest. APP selects which Qt application object the
# test's main() creates before running the tests (NONE: plain gtest_main). Tests are
# discovered when ctest runs, so a build never has to start a test program. BOTH_SERVERS
# registers the program a second time for the remote server: on the throwaway PostgreSQL
# server (fixture pg_scratch, cmake/RemoteTesting.cmake), its tests named "remote/...".
function(dupcheck_test name)
    cmake_parse_arguments(T "BOTH_SERVERS" "APP" "SOURCES;LIBS" ${ARGN})
    if(NOT T_APP)
        set(T_APP NONE)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    if(T_APP STREQUAL "NONE")
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    elseif(T_APP STREQUAL "CORE")
        target_link_libraries(${name} PRIVATE testmain_core)
    elseif(T_APP STREQUAL "GUI")
        target_link_libraries(${name} PRIVATE testmain_gui)
    elseif(T_APP STREQUAL "WIDGETS")
        target_link_libraries(${name} PRIVATE testmain_widgets)
    else()
        message(FATAL_ERROR "dupcheck_test: unknown APP ${T_APP}")
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        NO_PRETTY_VALUES
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
    if(T_BOTH_SERVERS)
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            NO_PRETTY_VALUES
            DISCOVERY_TIMEOUT 60
            TEST_PREFIX "remote/"
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                       ENVIRONMENT_MODIFICATION "DUPCHECK_TEST_SERVER=set:${DUPCHECK_PG_SOCKET}"
                       FIXTURES_REQUIRED pg_scratch
                       TIMEOUT 300)
    endif()
endfunction()

# dupcheck_sanitized_test(<name> SOURCES <files...> LIBS <targets...> [APP ...])
#
# A dupcheck_test whose own sources are compiled with the address and undefined-behaviour
# sanitizers, stopping at the first finding (the program ends and the test fails). List the few
# sources under test among SOURCES rather than linking their library, so that they are
# instrumented; the libraries below them run uninstrumented. Only these sources are built a
# second time, which keeps the extra build small.
function(dupcheck_sanitized_test name)
    dupcheck_test(${name} ${ARGN})
    set(flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(${name} PRIVATE ${flags})
    target_link_options(${name} PRIVATE ${flags})
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/testsupport/SanitizerOptions.cpp)
endfunction()
