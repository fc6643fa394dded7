# The program's resources (icon, title-strip pictures) for an executable. They are compiled into
# each executable itself: resources inside a static library would never be linked in, because
# nothing refers to them by symbol.
function(hkv_add_resources target)
  set(ui_dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../src/ui")
  cmake_path(NORMAL_PATH ui_dir)
  set(script "${ui_dir}/resources.rc")
  target_sources(${target} PRIVATE "${script}")
  # The resource compiler's dependency scan does not see the embedded files; a redrawn picture
  # must still rebuild the resources.
  set(embedded program.ico close.bmp menu.bmp minimise.bmp program.manifest)
  list(TRANSFORM embedded PREPEND "${ui_dir}/assets/")
  set_property(SOURCE "${script}" TARGET_DIRECTORY ${target} APPEND
               PROPERTY OBJECT_DEPENDS ${embedded} "${ui_dir}/resource_ids.h")
  if(MSVC)
    # The manifest comes from the resources; the linker must not add a second one.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
