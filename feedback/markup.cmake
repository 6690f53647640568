# The markup renderer, the two markup labels and the opening of link targets (the text-level
# steps are the target markuptext, see CMakeLists.txt).
list(APPEND FEEDBACK_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/DocumentShell.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/DocumentShell.h
    ${CMAKE_CURRENT_SOURCE_DIR}/MarkupAttributes.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/MarkupAttributes.h
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

# The layout and the painter once more, built with the address and undefined-behaviour
# sanitizers, for the texts with extreme attribute values. Only these sources are built twice.
set(MARKUP_SANITIZED_SOURCES)
foreach(unit MarkupAttributes MarkupColors MarkupLayout MarkupPainter MarkupText ShellIcons
             TImageList TPictureCache TPictureContainer TextMetrics)
    list(APPEND MARKUP_SANITIZED_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${unit}.cpp
                                         ${CMAKE_CURRENT_SOURCE_DIR}/${unit}.h)
endforeach()
dupcheck_sanitized_test(markup_sanitized_tests
    SOURCES ${MARKUP_SANITIZED_SOURCES}
            ${CMAKE_CURRENT_SOURCE_DIR}/tests/MarkupHostileValuesTest.cpp
    LIBS platformui
    APP WIDGETS)
set_target_properties(markup_sanitized_tests PROPERTIES AUTOMOC ON)
