# The message and question box with its input list rows and its pictures.
list(APPEND FEEDBACK_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/TFSB_BOX.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TFSB_BOX.h
    ${CMAKE_CURRENT_LIST_DIR}/TInputListDelegate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TInputListDelegate.h
)
list(APPEND FEEDBACK_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/messagebox/messagebox.qrc)
list(APPEND FEEDBACK_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/MessageBoxTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MessageBoxInputListTest.cpp
)
