# The markup renderer, the two markup labels and the opening of link targets (the text-level
# steps are the target markuptext, see CMakeLists.txt).
list(APPEND FEEDBACK_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/DocumentShell.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/DocumentShell.h
    ${CMAKE_CURRENT_SOURCE_DIR}/MarkupColors.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/MarkupColors.h
    ${CMAKE_CURRENT_SOURCE_DIR}/MarkupLayout.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/MarkupLayout.h
    ${CMAKE_CURRENT_SOURCE_DIR}/MarkupPainter.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/MarkupPainter.h
    ${CMAKE_CURRENT_SOURCE_DIR}/OpenDocument.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/OpenDocument.h
    ${CMAKE_CURRENT_SOURCE_DIR}/RenderMarkup.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/RenderMarkup.h
    ${CMAKE_CURRENT_SOURCE_DIR}/ShellIcons.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ShellIcons.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TImageList.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TImageList.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TMarkupHintWindow.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TMarkupHintWindow.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TMarkupLabel.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TMarkupLabel.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TMarkupLabelBase.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TMarkupLabelBase.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TPictureCache.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TPictureCache.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TPictureContainer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TPictureContainer.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TextMetrics.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TextMetrics.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TSBHTM.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TSBHTM.h
)
list(APPEND FEEDBACK_TEST_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/MarkupFixture.h
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/MarkupTextTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/MarkupLayoutTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/MarkupPainterTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/MarkupEscapeTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/LabelTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/OpenDocumentTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/MarkupGlyphsTest.cpp
)

