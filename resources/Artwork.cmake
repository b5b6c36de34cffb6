# The icon and the toolbar strip are kept as text pixel art and turned into
# the binary files the resource script includes.
set(BALDRIX_PIXELART ${CMAKE_SOURCE_DIR}/scripts/pixelart.py)
add_custom_command(
    OUTPUT ${BALDRIX_GENERATED}/bALDRIX.ico
    COMMAND ${Python3_EXECUTABLE} ${BALDRIX_PIXELART} ico
            ${CMAKE_SOURCE_DIR}/resources/art/icon.txt ${BALDRIX_GENERATED}/bALDRIX.ico
    DEPENDS ${BALDRIX_PIXELART} ${CMAKE_SOURCE_DIR}/resources/art/icon.txt
    COMMENT "Drawing the icon")
add_custom_command(
    OUTPUT ${BALDRIX_GENERATED}/toolbar.bmp
    COMMAND ${Python3_EXECUTABLE} ${BALDRIX_PIXELART} bmp
            ${CMAKE_SOURCE_DIR}/resources/art/toolbar.txt ${BALDRIX_GENERATED}/toolbar.bmp
    DEPENDS ${BALDRIX_PIXELART} ${CMAKE_SOURCE_DIR}/resources/art/toolbar.txt
    COMMENT "Drawing the toolbar strip")
set(BALDRIX_ARTWORK ${BALDRIX_GENERATED}/bALDRIX.ico ${BALDRIX_GENERATED}/toolbar.bmp)
add_custom_target(artwork DEPENDS ${BALDRIX_ARTWORK})
