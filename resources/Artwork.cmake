# The icon and the toolbar strip are kept as text pixel art and turned into
# the binary files the resource script includes.
set(BALDRIX_PIXELART ${CMAKE_SOURCE_DIR}/scripts/pixelart.py)
set(BALDRIX_ARTWORK)
function(baldrix_draw format art output what)
    add_custom_command(
        OUTPUT ${BALDRIX_GENERATED}/${output}
        COMMAND ${Python3_EXECUTABLE} ${BALDRIX_PIXELART} ${format}
                ${CMAKE_SOURCE_DIR}/resources/art/${art} ${BALDRIX_GENERATED}/${output}
        DEPENDS ${BALDRIX_PIXELART} ${CMAKE_SOURCE_DIR}/resources/art/${art}
        COMMENT "Drawing the ${what}")
    set(BALDRIX_ARTWORK ${BALDRIX_ARTWORK} ${BALDRIX_GENERATED}/${output} PARENT_SCOPE)
endfunction()
baldrix_draw(ico icon.txt bALDRIX.ico icon)
baldrix_draw(bmp toolbar.txt toolbar.bmp "toolbar strip")
add_custom_target(artwork DEPENDS ${BALDRIX_ARTWORK})
