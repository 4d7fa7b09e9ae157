# Checks the Windows version an executable's header asks for: the declared minimum (MAJOR.MINOR)
# for both the subsystem and the operating system, and never older than the newest system
# function it imports. Windows refuses to start a program whose header asks for a newer system;
# a header that asks for an older one lets the program start there and fail at its first import.
#
#   cmake -DOBJDUMP=... -DEXECUTABLE=... -DMAJOR=6 -DMINOR=1 -P pe_header_check.cmake

foreach(required OBJDUMP EXECUTABLE MAJOR MINOR)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

execute_process(COMMAND "${OBJDUMP}" -p "${EXECUTABLE}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXECUTABLE} failed")
endif()

function(header_field name out)
  if(NOT dump MATCHES "\n${name}[ \t]+([0-9]+)")
    message(FATAL_ERROR "no ${name} in the header of ${EXECUTABLE}")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

header_field(MajorOSystemVersion os_major)
header_field(MinorOSystemVersion os_minor)
header_field(MajorSubsystemVersion subsystem_major)
header_field(MinorSubsystemVersion subsystem_minor)

set(errors "")
foreach(kind os subsystem)
  if(NOT "${${kind}_major}.${${kind}_minor}" VERSION_EQUAL "${MAJOR}.${MINOR}")
    string(APPEND errors "  ${kind} version ${${kind}_major}.${${kind}_minor}, expected ${MAJOR}.${MINOR}\n")
  endif()
endforeach()

# System functions that came after Windows XP, with the version that brought them.
set(newer_functions
  GetTickCount64=6.0 InitializeConditionVariable=6.0 SleepConditionVariableCS=6.0
  SleepConditionVariableSRW=6.0 WakeConditionVariable=6.0 WakeAllConditionVariable=6.0
  InitializeSRWLock=6.0 AcquireSRWLockExclusive=6.0 AcquireSRWLockShared=6.0 InitOnceExecuteOnce=6.0
  SetProcessDPIAware=6.0 ChangeWindowMessageFilterEx=6.1 GetSystemTimePreciseAsFileTime=6.2
  CreateFile2=6.2 GetDpiForWindow=10.0 GetSystemMetricsForDpi=10.0 SetProcessDpiAwarenessContext=10.0
  SetThreadDpiAwarenessContext=10.0 AdjustWindowRectExForDpi=10.0)
foreach(entry IN LISTS newer_functions)
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 function)
  list(GET pair 1 since)
  # Import lines end with the function's name: "<address> <hint> <name>".
  if(dump MATCHES "[ \t][0-9]+[ \t]+${function}\n" AND "${subsystem_major}.${subsystem_minor}" VERSION_LESS since)
    string(APPEND errors "  imports ${function} (Windows ${since}) but asks only for ${subsystem_major}.${subsystem_minor}\n")
  endif()
endforeach()

if(errors)
  message(FATAL_ERROR "${EXECUTABLE}:\n${errors}")
endif()
message(STATUS "${EXECUTABLE}: Windows ${subsystem_major}.${subsystem_minor} and later")
