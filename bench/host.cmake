# dupcheck-host's export and import of the article table next to the sqlite3 command line
# tool's CSV export and .import of the same data. Argument: a data folder made by
# "dupcheck-host demo DIR --articles 1000000 --seed 1".
add_executable(host_tools_bench ${CMAKE_CURRENT_LIST_DIR}/HostToolsBench.cpp)
target_link_libraries(host_tools_bench PRIVATE hostschema)
add_dependencies(host_tools_bench dupcheck-host)
