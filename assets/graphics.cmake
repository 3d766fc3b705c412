# Graphics, fonts, licences and the empty save file, built into the game folder.
#   graphics/<name>.svg      -> data/graphics/<name>.png  (rsvg-convert, alpha kept, then
#                               asset_png_pack: the same pixels stored to decode fast)
#   graphics/<name>.jpg.svg  -> data/graphics/<name>.jpg  (rendered, then asset_jpeg)
#   graphics/mirror.txt      -> lines "<target> <source>": target.png = source.png flipped left-right
#   fonts/*                  -> fonts/*  (the fonts and their licence texts)
# Every output hangs off game_data; the outputs depend only on their sources and the tools,
# so the same sources give the same bytes.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(HEDGEROW_GRAPHICS_OUT ${HEDGEROW_GAME_DIR}/data/graphics)
set(HEDGEROW_JPEG_QUALITY 90)
file(MAKE_DIRECTORY ${HEDGEROW_GRAPHICS_OUT} ${HEDGEROW_GAME_DIR}/fonts)
set(HEDGEROW_DATA_OUTPUTS)

function(hedgerow_check_lower_case name path)
  string(TOLOWER "${name}" lower)
  if(NOT lower STREQUAL name)
    message(FATAL_ERROR "${path}: data file names are lower case (the game maps its spellings)")
  endif()
endfunction()

function(hedgerow_render_png svg name)
  set(png ${HEDGEROW_GRAPHICS_OUT}/${name}.png)
  set(unpacked ${CMAKE_CURRENT_BINARY_DIR}/unpacked/${name}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/unpacked
    COMMAND ${RSVG_CONVERT} --format=png --output=${unpacked} ${svg}
    COMMAND asset_png_pack ${unpacked} ${png}
    DEPENDS ${svg} asset_png_pack
    BYPRODUCTS ${unpacked}
    COMMENT "Rendering data/graphics/${name}.png" VERBATIM)
  set(HEDGEROW_DATA_OUTPUTS ${HEDGEROW_DATA_OUTPUTS} ${png} PARENT_SCOPE)
endfunction()

function(hedgerow_render_jpeg svg name)
  set(jpeg ${HEDGEROW_GRAPHICS_OUT}/${name}.jpg)
  set(rendered ${CMAKE_CURRENT_BINARY_DIR}/rendered/${name}.png)
  add_custom_command(OUTPUT ${jpeg}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/rendered
    COMMAND ${RSVG_CONVERT} --format=png --output=${rendered} ${svg}
    COMMAND asset_jpeg ${rendered} ${jpeg} ${HEDGEROW_JPEG_QUALITY}
    DEPENDS ${svg} asset_jpeg
    BYPRODUCTS ${rendered}
    COMMENT "Rendering data/graphics/${name}.jpg" VERBATIM)
  set(HEDGEROW_DATA_OUTPUTS ${HEDGEROW_DATA_OUTPUTS} ${jpeg} PARENT_SCOPE)
endfunction()

function(hedgerow_mirror_png target source)
  set(out ${HEDGEROW_GRAPHICS_OUT}/${target}.png)
  set(in ${HEDGEROW_GRAPHICS_OUT}/${source}.png)
  add_custom_command(OUTPUT ${out}
    COMMAND asset_mirror ${in} ${out}
    DEPENDS ${in} asset_mirror
    COMMENT "Mirroring data/graphics/${target}.png" VERBATIM)
  set(HEDGEROW_DATA_OUTPUTS ${HEDGEROW_DATA_OUTPUTS} ${out} PARENT_SCOPE)
endfunction()

function(hedgerow_copy source target)
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${target}
    DEPENDS ${source}
    COMMENT "Copying ${source}" VERBATIM)
  set(HEDGEROW_DATA_OUTPUTS ${HEDGEROW_DATA_OUTPUTS} ${target} PARENT_SCOPE)
endfunction()

# Pictures drawn as SVG.
set(hedgerow_picture_names)
file(GLOB hedgerow_svgs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/graphics/*.svg)
foreach(svg ${hedgerow_svgs})
  get_filename_component(file ${svg} NAME)
  hedgerow_check_lower_case("${file}" "${svg}")
  if(file MATCHES "^(.+)\\.jpg\\.svg$")
    hedgerow_render_jpeg(${svg} ${CMAKE_MATCH_1})
  else()
    string(REGEX REPLACE "\\.svg$" "" name "${file}")
    hedgerow_render_png(${svg} ${name})
    list(APPEND hedgerow_picture_names ${name})
  endif()
endforeach()

# Pictures made by mirroring others.
set(hedgerow_mirror_list ${CMAKE_CURRENT_SOURCE_DIR}/graphics/mirror.txt)
if(EXISTS ${hedgerow_mirror_list})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${hedgerow_mirror_list})
  file(STRINGS ${hedgerow_mirror_list} hedgerow_mirror_lines)
  foreach(line ${hedgerow_mirror_lines})
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([a-z0-9_]+)[ \t]+([a-z0-9_]+)$")
      message(FATAL_ERROR "${hedgerow_mirror_list}: expected '<target> <source>', got '${line}'")
    endif()
    set(target ${CMAKE_MATCH_1})
    set(source ${CMAKE_MATCH_2})
    if(NOT source IN_LIST hedgerow_picture_names)
      message(FATAL_ERROR "${hedgerow_mirror_list}: no graphics/${source}.svg to mirror into ${target}")
    endif()
    if(target IN_LIST hedgerow_picture_names)
      message(FATAL_ERROR "${hedgerow_mirror_list}: ${target} is also drawn as graphics/${target}.svg")
    endif()
    hedgerow_mirror_png(${target} ${source})
  endforeach()
endif()

# Fonts with their licence texts, the licences of the game, and the empty save file.
file(GLOB hedgerow_font_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fonts/*)
foreach(font_file ${hedgerow_font_files})
  get_filename_component(file ${font_file} NAME)
  hedgerow_copy(${font_file} "${HEDGEROW_GAME_DIR}/fonts/${file}")
endforeach()
hedgerow_copy(${CMAKE_CURRENT_SOURCE_DIR}/../LICENSE ${HEDGEROW_GAME_DIR}/LICENSE)
hedgerow_copy(${CMAKE_CURRENT_SOURCE_DIR}/LICENSE ${HEDGEROW_GAME_DIR}/LICENSE-assets)
hedgerow_copy(${CMAKE_CURRENT_SOURCE_DIR}/save.dat ${HEDGEROW_GAME_DIR}/data/save.dat)

add_custom_target(game_graphics DEPENDS ${HEDGEROW_DATA_OUTPUTS})
add_dependencies(game_data game_graphics)
