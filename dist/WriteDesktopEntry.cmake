# Install step: the desktop entry from its template, Exec naming the installed program. A
# per-user prefix's bin folder is often missing from the PATH the desktop session started
# with, so the entry does not rely on it.
set(exec "${CMAKE_INSTALL_PREFIX}/bin/quenvarlith")
if(NOT exec MATCHES "^[A-Za-z0-9/._+~-]+$")
  # Quoted argument: " ` $ \ take a backslash; then the string rule doubles every backslash,
  # and a literal % is written %%.
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "\"" "\\\"" exec "${exec}")
  string(REPLACE "`" "\\`" exec "${exec}")
  string(REPLACE "$" "\\$" exec "${exec}")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "%" "%%" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
file(READ "${QV_DESKTOP_TEMPLATE}" entry)
string(REPLACE "@QV_EXEC@" "${exec}" entry "${entry}")
file(WRITE "${QV_DESKTOP_ENTRY}" "${entry}")
