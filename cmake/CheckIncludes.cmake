# Fails when a file reaches past its target's include roots: a quoted include that climbs with "..",
# or, in a window-free target (WINDOW_FREE=ON), any Qt module beyond Qt Core.
# cmake -DFILES=a.cpp;b.h -DWINDOW_FREE=ON|OFF -DSTAMP=file -P CheckIncludes.cmake
set(bad "")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*\"[^\"]*\\.\\./")
      list(APPEND bad "${file}: ${line}")
    elseif(WINDOW_FREE AND line MATCHES "#[ \t]*include[ \t]*<(Qt(Gui|Widgets|PrintSupport|DBus)/|ui_)")
      list(APPEND bad "${file}: ${line} (window-free code)")
    endif()
  endforeach()
endforeach()
if(bad)
  list(JOIN bad "\n  " text)
  message(FATAL_ERROR "Includes outside the layer:\n  ${text}")
endif()
file(TOUCH "${STAMP}")
