# The data layer's benchmark: a full walk of the article table in BSTN order through TDbTable
# next to the same walk on the engine's C interface. Argument: a data folder made by
# "dupcheck-host demo DIR --articles 1000000".
add_executable(data_bench ${CMAKE_CURRENT_SOURCE_DIR}/DataBench.cpp)
target_link_libraries(data_bench PRIVATE data)
