# The benchmark of the whole check: the main window's click on "Überprüfen" (scan and bookings
# pass with the message loop) next to the SQL query of the same duplicate list on the same
# files. Argument: a data folder made by "dupcheck-host demo DIR --articles 1000000 --seed 1".
add_executable(check_bench ${CMAKE_CURRENT_LIST_DIR}/CheckBench.cpp)
target_link_libraries(check_bench PRIVATE check dataui SQLite::SQLite3)

# The remote server's benchmark: the whole check on a data set of a PostgreSQL server next to
# the SQL query of the same list there, and seeks on "ID_ART" (bench/RemoteBench.cpp).
add_executable(remote_bench ${CMAKE_CURRENT_LIST_DIR}/RemoteBench.cpp)
target_link_libraries(remote_bench PRIVATE check dataui PostgreSQL::PostgreSQL)

# Loading a remote data set through the engine: appends inside a transaction, one by one, and
# the server's COPY of the same rows (bench/RemoteAppendBench.cpp).
add_executable(remote_append_bench ${CMAKE_CURRENT_LIST_DIR}/RemoteAppendBench.cpp)
target_link_libraries(remote_append_bench PRIVATE hostschema PostgreSQL::PostgreSQL)

# The program's start: from exec to a usable main window on a data folder, next to a bare
# window of the toolkit started in the same run.
add_executable(start_bench ${CMAKE_CURRENT_LIST_DIR}/StartBench.cpp)
target_link_libraries(start_bench PRIVATE check dataui)
