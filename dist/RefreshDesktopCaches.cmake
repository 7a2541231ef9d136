# Install step: tells the desktop about the new entry, MIME types and icon when installing
# into the live system. A staged install (DESTDIR, packaging) leaves this to the package's
# own triggers.
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  return()
endif()
set(share "${CMAKE_INSTALL_PREFIX}/share")

# Runs one refresh quietly; its output is shown only when it fails.
function(qv_refresh)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc)
    list(JOIN ARGN " " command)
    message(WARNING "${command} failed (${rc}): ${out}")
  endif()
endfunction()

find_program(QV_UPDATE_MIME update-mime-database)
find_program(QV_UPDATE_DESKTOP update-desktop-database)
find_program(QV_UPDATE_ICONS gtk-update-icon-cache)
if(QV_UPDATE_MIME)
  qv_refresh("${QV_UPDATE_MIME}" "${share}/mime")
endif()
if(QV_UPDATE_DESKTOP)
  qv_refresh("${QV_UPDATE_DESKTOP}" -q "${share}/applications")
endif()
# Only an icon cache that exists already: a stale one hides the new icon, a missing one is
# simply not used.
if(QV_UPDATE_ICONS AND EXISTS "${share}/icons/hicolor/icon-theme.cache")
  qv_refresh("${QV_UPDATE_ICONS}" -q -t -f "${share}/icons/hicolor")
endif()
