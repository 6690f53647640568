# dupcheck_test(<name> SOURCES <files...> LIBS <targets...> [APP NONE|CORE|GUI|WIDGETS])
#
# A GoogleTest program registered with ctest. APP selects which Qt application object the
# test's main() creates before running the tests (NONE: plain gtest_main). Tests are
# discovered when ctest runs, so a build never has to start a test program.
function(dupcheck_test name)
    cmake_parse_arguments(T "" "APP" "SOURCES;LIBS" ${ARGN})
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
endfunction()
