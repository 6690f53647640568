# End-to-end tests: the real dupcheck program on Xvfb, driven with xdotool on a data folder that
# dupcheck-host makes from the fixtures; the table files are read back afterwards. Each case
# starts its own X server, so the cases may run side by side.
set(DUPCHECK_E2E_CASES
    rename
    delete_yes
    delete_no
    escape
    click_again
    build_too_low
    missing_folder
    folder_without_tables
    settings_without_index
    damaged_table
    read_only_folder
    install_and_scheme
    install_menu_with_nul)
foreach(case IN LISTS DUPCHECK_E2E_CASES)
    add_test(NAME e2e_${case}
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/dupcheck_e2e.sh ${case}
                $<TARGET_FILE:dupcheck> $<TARGET_FILE:dupcheck-host>)
    set_tests_properties(e2e_${case} PROPERTIES TIMEOUT 120 LABELS e2e)
endforeach()

# The same program on a data set of the throwaway PostgreSQL server (fixture pg_scratch).
foreach(case IN ITEMS check_delete_rename two_workstations)
    add_test(NAME e2e_remote_${case}
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/dupcheck_remote_e2e.sh ${case}
                $<TARGET_FILE:dupcheck> $<TARGET_FILE:dupcheck-host>)
    set_tests_properties(e2e_remote_${case} PROPERTIES TIMEOUT 120 LABELS e2e
        ENVIRONMENT "${DUPCHECK_PG_ENV}" FIXTURES_REQUIRED pg_scratch)
endforeach()

# The login dialog on the remote server: a role that must give its password (fixture
# pg_scratch; the tests create and drop the role themselves).
foreach(case IN ITEMS right_password wrong_password cancel)
    add_test(NAME e2e_login_${case}
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/dupcheck_login_e2e.sh ${case}
                $<TARGET_FILE:dupcheck> $<TARGET_FILE:dupcheck-host>)
    set_tests_properties(e2e_login_${case} PROPERTIES TIMEOUT 120 LABELS e2e
        ENVIRONMENT "${DUPCHECK_PG_ENV}" FIXTURES_REQUIRED pg_scratch)
endforeach()
