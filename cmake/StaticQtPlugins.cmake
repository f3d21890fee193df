# A static Qt (the Windows build that scripts/build-qt-mingw.sh makes) loads no plugin at run
# time: each executable links the plugins it needs. Qt links its default ones (the windows
# platform and style) by itself; the offscreen platform comes on top, so that the tests, and the
# programs for checks, run without a display.
function(qf_import_static_qt_plugins target)
  if(NOT TARGET Qt6::Core)
    return()
  endif()
  get_target_property(qt_core_type Qt6::Core TYPE)
  if(qt_core_type STREQUAL "STATIC_LIBRARY" AND TARGET Qt6::QOffscreenIntegrationPlugin)
    qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
  endif()
endfunction()
