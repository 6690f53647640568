# The widget set's pieces; widgets/CMakeLists.txt builds the target from these lists.
list(APPEND WIDGETS_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/AdvColors.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ButtonGlyphs.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/FlatButtonGeometry.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/FlatHintWindow.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/FlatProgressGeometry.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/PanelPainting.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ParentColor.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TFlatButton.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TFlatHint.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TFlatPanel.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TFlatProgressBar.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TPanel.cpp
)
list(APPEND WIDGETS_RESOURCES ${CMAKE_CURRENT_SOURCE_DIR}/widgets.qrc)
list(APPEND WIDGETS_TEST_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/FlatButtonGeometryTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/FlatButtonTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/FlatProgressBarTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/PanelsTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/FlatHintTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/WidgetGlyphsTest.cpp
)

# A demonstration window for driving the widgets by hand or by xdotool on a real X server;
# not a test itself.
add_executable(widgets_demo ${CMAKE_CURRENT_SOURCE_DIR}/tests/WidgetsDemo.cpp)
target_link_libraries(widgets_demo PRIVATE widgets)

# The same keyboard and mouse handling driven by xdotool on a real X server.
add_test(NAME widgets_xdotool
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/xdotool_demo_test.sh $<TARGET_FILE:widgets_demo>)
set_tests_properties(widgets_xdotool PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
