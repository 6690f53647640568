# Cursors (the program's cursor set, the animated cursor reader, the screen-wide cursor) and
# window preparation (placement on the monitors, the colour scheme hook).
list(APPEND FEEDBACK_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AnimatedCursorFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AnimatedCursorFile.h
    ${CMAKE_CURRENT_LIST_DIR}/Cursors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Cursors.h
    ${CMAKE_CURRENT_LIST_DIR}/IconFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IconFile.h
    ${CMAKE_CURRENT_LIST_DIR}/ScreenCursor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScreenCursor.h
    ${CMAKE_CURRENT_LIST_DIR}/ScreenLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScreenLayout.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowPlacement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowPlacement.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowPreparation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowPreparation.h
)
list(APPEND FEEDBACK_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/cursors/cursors.qrc)
list(APPEND FEEDBACK_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/CursorFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/CursorSetTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/WindowPlacementTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/WindowPreparationTest.cpp
)
# Damaged animated cursors as resources, for the cursor loader's own path through the program's
# resources.
qt_add_resources(FEEDBACK_CURSOR_TEST_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/cursordata/cursortest.qrc)
list(APPEND FEEDBACK_TEST_SOURCES ${FEEDBACK_CURSOR_TEST_RESOURCES})
