# Fails when PROGRAM imports a function that Windows 7 SP1 does not have, or anything from a DLL
# Windows 7 does not ship. Run as: cmake -DOBJDUMP=... -DPROGRAM=... -P check_imports.cmake

# Functions added after Windows 7 (whole families as patterns), matched against each import name.
set(later_than_windows_7
  "^GetDpiFor"                       # GetDpiForWindow, GetDpiForSystem, GetDpiForMonitor
  "ForDpi$"                          # AdjustWindowRectExForDpi, GetSystemMetricsForDpi, ...
  "DpiAwareness"                     # Set/GetProcessDpiAwareness(Context), thread contexts
  "^EnableNonClientDpiScaling$"
  "^LogicalToPhysicalPointForPerMonitorDPI$"
  "^PhysicalToLogicalPointForPerMonitorDPI$"
  "^[SG]etThreadDescription$"
  "^GetSystemTimePreciseAsFileTime$"
  "^WaitOnAddress$"
  "^WakeByAddress"
  "^CreateFile2$"
  "^CopyFile2$"
  "^InitializeSynchronizationBarrier$"
  "^EnterSynchronizationBarrier$"
  "^DeleteSynchronizationBarrier$"
  "^GetCurrentThreadStackLimits$"
  "^SetCoalescableTimer$"
  "^EnableMouseInPointer$"
  "^GetPointer")
# DLLs Windows 7 does not have (the API sets are resolved by later loaders only).
set(later_dlls "^api-ms-win-" "^ext-ms-win-" "^shcore\\.dll$" "^combase\\.dll$")

get_filename_component(name "${PROGRAM}" NAME)
if(NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "${name}: not built (${PROGRAM})")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${name}: ${OBJDUMP} -p failed (${result})")
endif()

# The import section: "DLL Name: X" starts a DLL, then one line per function: vma, hint, name.
string(REGEX MATCH "The Import Tables[^\n]*\n.*" imports "${dump}")
string(REGEX REPLACE "\n(The |PE File)[^\n]*\n.*" "" imports "${imports}")
string(REPLACE "\n" ";" lines "${imports}")
set(dll "")
set(count 0)
set(faults "")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: *([^ \t]+)")
    set(dll "${CMAKE_MATCH_1}")
    string(TOLOWER "${dll}" lower_dll)
    foreach(pattern IN LISTS later_dlls)
      if(lower_dll MATCHES "${pattern}")
        list(APPEND faults "${name} imports from ${dll}, which Windows 7 does not have")
      endif()
    endforeach()
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_][A-Za-z0-9_@]*)$")
    set(function "${CMAKE_MATCH_1}")
    math(EXPR count "${count} + 1")
    foreach(pattern IN LISTS later_than_windows_7)
      if(function MATCHES "${pattern}")
        list(APPEND faults "${name} imports ${function} from ${dll}, which Windows 7 does not have")
      endif()
    endforeach()
  endif()
endforeach()

# A dump this parser no longer understands must not pass as "nothing found".
if(count LESS 10)
  message(FATAL_ERROR "${name}: read only ${count} imported functions; is the objdump output new?")
endif()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "${name}: ${count} imported functions, none later than Windows 7")
