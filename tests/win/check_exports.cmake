# Compares the export table of the ZELO library with its public interface:
# every ZELO_ function declared in zelo.h under its plain name, the members
# of cFlashUpgrade, and nothing else (no runtime or template symbols).
#
#   cmake -DLIBRARY=<ZELO.dll|libZELO.so> -DHEADER=<zelo.h> -DLISTER=<objdump|nm>
#         -DFORMAT=<pe|elf> -P check_exports.cmake

foreach(variable LIBRARY HEADER LISTER FORMAT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "check_exports.cmake needs -D${variable}=...")
  endif()
endforeach()

# C exports: one per ZELO_API declaration of the header.
file(STRINGS "${HEADER}" declarations REGEX "^ZELO_API ")
set(expected "")
foreach(declaration IN LISTS declarations)
  if(NOT declaration MATCHES "ZELO_CALL (ZELO_[A-Za-z0-9_]+)\\(")
    message(FATAL_ERROR "cannot read the export name of: ${declaration}")
  endif()
  list(APPEND expected "${CMAKE_MATCH_1}")
endforeach()
if(NOT expected)
  message(FATAL_ERROR "no ZELO_API declarations found in ${HEADER}")
endif()

# cFlashUpgrade: the Itanium-mangled members the class declares. The
# private CRC helper and the constants leave the library only when emitted.
set(class "_ZN13cFlashUpgrade")
list(APPEND expected
  ${class}C1Ev ${class}C2Ev          # constructor
  ${class}D1Ev ${class}D2Ev          # destructor
  ${class}aSERKS_                    # operator=
  ${class}7UpgradeEPc
  ${class}16CheckFirmwareCRCEPc
  ${class}9DesignateEPv)
set(optional ${class}16CalculatePageCRCEPKhj ${class}9StartPageE ${class}8PageSizeE)

# The export table.
if(FORMAT STREQUAL "pe")
  execute_process(COMMAND "${LISTER}" -p "${LIBRARY}" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  set(entry "^[ \t]*\\[ *[0-9]+\\] +([^ \t]+)$")
elseif(FORMAT STREQUAL "elf")
  execute_process(COMMAND "${LISTER}" -D --defined-only "${LIBRARY}" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  set(entry "^[0-9a-fA-F]* *[A-Za-z] ([^ \t]+)$")
else()
  message(FATAL_ERROR "FORMAT must be pe or elf, not ${FORMAT}")
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${LISTER} failed on ${LIBRARY} (${status})")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(actual "")
set(in_names_table FALSE)
foreach(line IN LISTS lines)
  if(FORMAT STREQUAL "pe")
    # Only the name pointer table; other sections of the listing look alike.
    if(line MATCHES "Ordinal/Name Pointer\\] Table")
      set(in_names_table TRUE)
      continue()
    elseif(in_names_table AND line STREQUAL "")
      set(in_names_table FALSE)
    endif()
    if(NOT in_names_table)
      continue()
    endif()
  endif()
  if(line MATCHES "${entry}")
    list(APPEND actual "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(REMOVE_DUPLICATES actual)

set(missing ${expected})
list(REMOVE_ITEM missing ${actual})
set(unexpected ${actual})
list(REMOVE_ITEM unexpected ${expected} ${optional})

if(missing OR unexpected)
  list(JOIN missing "\n  " missing_text)
  list(JOIN unexpected "\n  " unexpected_text)
  message(FATAL_ERROR "export table of ${LIBRARY} differs from the public interface\n"
                      "missing:\n  ${missing_text}\nunexpected:\n  ${unexpected_text}")
endif()
list(LENGTH actual count)
message(STATUS "${count} exports, as declared")
