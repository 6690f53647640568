# The engine's benchmark: walks, seeks and the duplicate list through the C interface next to
# the same work as plain SQL on the same files. Argument: a data folder made by
# "dupcheck-host demo DIR --articles 1000000" (made here through the engine when it is empty).
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/EngineBench.cpp)
target_link_libraries(engine_bench PRIVATE engine hostschema SQLite::SQLite3)

# A filter that compares without regard to case (UPPER) walked over the remote server's demo
# data set, next to the same filter as plain SQL with the server's upper() in the same run.
add_executable(remote_filter_bench ${CMAKE_CURRENT_LIST_DIR}/RemoteFilterBench.cpp)
target_link_libraries(remote_filter_bench PRIVATE engine PostgreSQL::PostgreSQL)
