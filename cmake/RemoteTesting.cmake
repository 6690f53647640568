# The throwaway PostgreSQL server for the tests on the remote server: a ctest fixture that
# makes and starts a private cluster (scripts/pg-scratch) before the first test that needs it
# and removes it after the last, also when tests failed. Both its folders lie in /tmp under a
# name derived from the build folder: socket paths are limited to about 100 characters, and run
# as root the server runs as the user postgres, who may not reach into the build folder.
string(MD5 _dupcheck_build_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${_dupcheck_build_hash}" 0 12 _dupcheck_build_hash)
set(DUPCHECK_PG_DATA "/tmp/dupcheck-pg-${_dupcheck_build_hash}-data")
set(DUPCHECK_PG_SOCKET "/tmp/dupcheck-pg-${_dupcheck_build_hash}")
set(DUPCHECK_PG_SCRIPT "${PROJECT_SOURCE_DIR}/scripts/pg-scratch")

add_test(NAME pg_scratch_start
    COMMAND ${DUPCHECK_PG_SCRIPT} start ${DUPCHECK_PG_DATA} ${DUPCHECK_PG_SOCKET})
set_tests_properties(pg_scratch_start PROPERTIES FIXTURES_SETUP pg_scratch TIMEOUT 120)
add_test(NAME pg_scratch_stop
    COMMAND ${DUPCHECK_PG_SCRIPT} stop ${DUPCHECK_PG_DATA} ${DUPCHECK_PG_SOCKET})
set_tests_properties(pg_scratch_stop PROPERTIES FIXTURES_CLEANUP pg_scratch TIMEOUT 60)

# The environment a test needs to reach the scratch server (for add_test tests; programs of
# dupcheck_test with BOTH_SERVERS get it by themselves).
set(DUPCHECK_PG_ENV "PGHOST=${DUPCHECK_PG_SOCKET};PGPORT=5432;PGUSER=postgres;PGDATABASE=dupcheck;DUPCHECK_TEST_SERVER=${DUPCHECK_PG_SOCKET}")
