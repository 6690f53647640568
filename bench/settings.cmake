# The settings loader on a settings table holding every Ident of the catalogue, and the module's
# start to a usable main window with and without that table. Argument: a data folder made by
# "dupcheck-host demo DIR --articles 1000000 --seed 1" (read only; its article tables are
# copied to a scratch folder).
add_executable(settings_bench ${CMAKE_CURRENT_LIST_DIR}/SettingsBench.cpp)
target_link_libraries(settings_bench PRIVATE check dataui hostschema)
