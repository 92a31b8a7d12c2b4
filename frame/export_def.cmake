# Writes the module definition file of one build from the export table:
# each export by name at its ordinal, stdcall and register-convention
# symbols mapped from their decorated names, so that an export whose
# convention or argument size differs from its row fails to link.
# Inputs: TABLE, OUTPUT, LIBRARY_NAME.
file(STRINGS ${TABLE} rows REGEX "^VJ_EXPORT\\(")
set(def "LIBRARY ${LIBRARY_NAME}\nEXPORTS\n")
foreach(row IN LISTS rows)
  string(REGEX MATCH "^VJ_EXPORT\\(([a-z]+), *([0-9]+), *([A-Z]+), *\"([a-z]*)\", *([0-9]+), *([0-9]+), *([A-Z]+), *([a-z]+)\\)" m "${row}")
  if(NOT m)
    message(FATAL_ERROR "unreadable export row: ${row}")
  endif()
  set(name ${CMAKE_MATCH_1})
  set(ordinal ${CMAKE_MATCH_2})
  if(CMAKE_MATCH_3 STREQUAL "CDECL")
    string(APPEND def "  ${name} @${ordinal}\n")
  else()
    math(EXPR bytes "${CMAKE_MATCH_5} + ${CMAKE_MATCH_6}")
    string(APPEND def "  ${name} = ${name}@${bytes} @${ordinal}\n")
  endif()
endforeach()
file(WRITE ${OUTPUT}.tmp "${def}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
