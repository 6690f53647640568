# The engine's benchmark: walks, seeks and the duplicate list through the C interface next to
# the same work as plain SQL on the same files. Argument: a data folder made by
# "dupcheck-host demo DIR --articles 1000000" (made here through the engine when it is empty).
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/EngineBench.cpp)
target_link_libraries(engine_bench PRIVATE engine hostschema SQLite::SQLite3)
