# The deletion's safety pass over all bookings next to the check and to the same pass in SQL.
# Argument: a copy of a folder made by "dupcheck-host demo DIR --articles 1000000 --seed 1".
add_executable(deletion_bench ${CMAKE_CURRENT_LIST_DIR}/DeletionBench.cpp)
target_link_libraries(deletion_bench PRIVATE checkcore SQLite::SQLite3)
