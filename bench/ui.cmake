# Figures of the user interface pieces: the markup renderer, the progress bar advanced once per
# record, the grid painting and scrolling a large result table.
add_executable(markup_bench ${CMAKE_CURRENT_LIST_DIR}/MarkupBench.cpp)
target_link_libraries(markup_bench PRIVATE feedback)
add_executable(widgets_bench ${CMAKE_CURRENT_LIST_DIR}/ProgressBarBench.cpp)
target_link_libraries(widgets_bench PRIVATE widgets)
add_executable(grid_bench ${CMAKE_CURRENT_LIST_DIR}/GridBench.cpp)
target_link_libraries(grid_bench PRIVATE grid)
